#pragma once
// The exchanges behind the printer's object list: the memory query with the list of one
// kind, deleting a stored object, and fetching a stored form, picture or font into a file.
// They run over the PrinterLink and report through its flags and its progress window.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/printer_link.h"

namespace tavrin {

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

struct ObjectList {
    int kind = 0;  // kListForms, kListGraphics or kListFonts
    std::vector<std::string> names;
    MemoryFigures memory;
};
// "Form list - 3 objects", "Graphics list - 1 object".
std::string objectListCaption(int kind, std::size_t count);
// The bytes the kind takes and the free bytes: "1234 bytes , 5678 free".
std::string memoryLine(int kind, const MemoryFigures& memory);

// UM, then UF, UG or UE. False on a failed open, a refused write or silence; the progress
// window then shows why.
bool receiveObjectList(PrinterLink& link, int kind, ObjectList& list);

// FK, GK or EK for one stored object; the port must be open.
bool sendDelete(PrinterLink& link, int kind, std::string_view name);

// What a fetch into a file ended with: the message the progress window turns into when it
// worked; nothing when it failed (the link or a message box has said why).
struct ExtractResult {
    bool ok = false;
    std::string title;
    std::string text;
};

// FI: the form's lines under a "; Saved by" line dated `today` (day, month, year), each
// ended with CR LF. No file is written unless the whole form came.
ExtractResult extractFormToFile(PrinterLink& link, std::string_view name, const std::filesystem::path& path,
                                int day, int month, int year);
// GI or EI: the length bytes, then that many bytes saved unchanged.
ExtractResult extractObjectToFile(PrinterLink& link, int kind, std::string_view name,
                                  const std::filesystem::path& path);

}  // namespace tavrin
