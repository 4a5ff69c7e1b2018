#pragma once
// The printer's exchanges that stand on their own: the memory query and the object lists,
// deleting, fetching and extracting stored objects, the clock, and the maintenance
// commands. Every command the program sends to a printer is written here or in the
// command writers beside it; windows and the command line call these and show the result.
//
// Two rules hold for all of them:
//  - an exchange that failed closes the port (endExchange): late bytes of a reply that was
//    given up on must not be read as the next exchange's answer, and a printer that fell
//    silent must not stay held against every other program;
//  - a stored picture or font comes as two length bytes, high byte first, then the block
//    (readLengthPrefixedBlock).
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "link/printer_link.h"

namespace tavrin {

// The kinds of object list; 3 is the form list received before storing the current label.
enum ListKind : int { kListForms = 0, kListGraphics = 1, kListFonts = 2, kListFormsForLabel = 3 };

// "Form", "Graphics" or "Font"; and what the progress window says while a list comes.
const char* listKindWord(int kind);
const char* listProgressText(int kind);

// Closes the port and ends the progress window, and hands back the exchange's result.
Result endExchange(PrinterLink& link);

// The leading decimal number of a list's count line: blanks and a sign allowed, the rest
// ignored, no digits give 0, a negative count gives 0, a huge one is capped.
int parseListCount(std::string_view line);

// Sends a list command (UF, UG, UE) on the open port and adds the names of its reply to
// `names`, trimmed of blanks if asked. Fails on a refused write or silence.
Result receiveNameList(PrinterLink& link, std::string_view command, std::vector<std::string>& names, bool trim);
// The list command of a kind: UF, UG or UE.
std::string listCommand(int kind);

// Two length bytes, high byte first, then the block, on the open port. A length outside
// [minimum, maximum] is read to its end and refused as Damaged, so nothing of it is left
// for the next exchange; silence fails as Silent. `block` holds the bytes only on success.
Result readLengthPrefixedBlock(PrinterLink& link, std::size_t minimum, std::size_t maximum,
                               std::vector<std::uint8_t>& block);

// The printer's memory use from "UM": bytes taken by forms, graphics and fonts, bytes free.
struct MemoryFigures {
    unsigned forms = 0;
    unsigned graphics = 0;
    unsigned fonts = 0;
    unsigned free = 0;
    bool operator==(const MemoryFigures&) const = default;
};
// "%u,%u,%u,%u": numbers that are missing or unreadable stay 0.
MemoryFigures parseMemoryLine(std::string_view line);
// UM alone: the reply line as it came, and its figures.
Result receiveMemory(PrinterLink& link, std::string& line, MemoryFigures& memory);

struct ObjectList {
    int kind = 0;  // kListForms, kListGraphics or kListFonts
    std::vector<std::string> names;
    MemoryFigures memory;
};
// "Form list - 3 objects", "Graphics list - 1 object".
std::string objectListCaption(int kind, std::size_t count);
// The bytes the kind takes and the free bytes: "1234 bytes , 5678 free".
std::string memoryLine(int kind, const MemoryFigures& memory);

// UM, then UF, UG or UE, under one progress window. On failure the progress window shows why.
Result receiveObjectList(PrinterLink& link, int kind, ObjectList& list);

// FK, GK or EK for one stored object; opens the port if it is closed and leaves it open.
Result deleteObject(PrinterLink& link, int kind, std::string_view name);
std::string deleteLine(int kind, std::string_view name);
// FR: the line that makes a stored form the active one.
std::string selectFormLine(std::string_view name);

// FI: the form's lines under a "; Saved by" line dated `today` (day, month, year), each
// ended with CR LF. No file is written unless the whole form came. On success the progress
// window turns into the report ("Form "X" successfully extracted").
Result extractFormToFile(PrinterLink& link, std::string_view name, const std::filesystem::path& path,
                         int day, int month, int year);
// GI or EI: the length bytes, then that many bytes saved unchanged.
Result extractObjectToFile(PrinterLink& link, int kind, std::string_view name, const std::filesystem::path& path);

// EI: the stored font's bytes after the length bytes; whether they are sound font data is
// for the font reader to say.
Result fetchFontBytes(PrinterLink& link, std::string_view name, std::vector<std::uint8_t>& data);

// The line that sets the printer's clock: month, day, year of the century, hour, minute,
// second, two digits each ("\r\nTS03,07,04,09,05,00\r\n" for 7 March 2004 at 09:05:00).
std::string clockSetLine(int year, int month, int day, int hour, int minute, int second);
Result setClock(PrinterLink& link, int year, int month, int day, int hour, int minute, int second);
// TI: the printer's clock line as it came.
Result readClock(PrinterLink& link, std::string& reply);

// The printer's own printouts and resets, which it answers with paper, not with bytes.
enum class Maintenance {
    DiagnosticPrint,  // U
    FormsListPrint,   // FI without a name
    GraphicsListPrint,
    FontsListPrint,
    DefaultParameters,  // RESET
    EraseMemory,        // M and N: every stored object goes
};
Result sendMaintenance(PrinterLink& link, Maintenance command);

}  // namespace tavrin
