#pragma once
// Printing: a test print of the label being edited as an immediate job, a print of the
// form active in the printer in sets and copies, the values of variables and counters
// that go with them, and a raster test print of a one-bit picture. Everything runs over
// the PrinterLink and reports through its flags; messages for the user come back as
// values for the caller to show.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/figure_list.h"
#include "document/label_document.h"
#include "printer/form_writer.h"
#include "link/printer_link.h"
#include "printer/storage_operations.h"
#include "render/bitmap.h"

namespace tavrin {

inline constexpr const char* kNothingToPrint = "Nothing to print";
inline constexpr const char* kNoFormSelected = "No form is selected";
inline constexpr const char* kNoVariablesDefined = "No variables or counters defined";
inline constexpr const char* kPrintingLabel = "Printing label. Please wait !";

inline constexpr unsigned kMinQuantity = 1;
inline constexpr unsigned kMaxQuantity = 999;

// Copies and sets as the print dialogs keep them.
struct PrintQuantities {
    unsigned copies = 1;
    unsigned sets = 1;
};

// A number typed into the copies or sets box: taken when the whole text is a number from
// 1 to 999, otherwise the current value stays.
unsigned validateQuantity(std::string_view text, unsigned current);

// The label has something other than Font entries to print.
bool hasPrintableFigures(const FigureList& figures);
// At least one variable or counter is defined (the values dialog has rows to show).
bool hasVariablesOrCounters(const LabelDocument& document);

// "Print", or "Print - " and the active form's name.
std::string printDialogTitle(std::string_view activeFormName);

// The line that prints the active form: sets of copies.
std::string printLine(unsigned sets, unsigned copies);

// Adds step x n to every defined counter, after n labels have printed.
inline void AdvanceCounters(LabelDocument& document, long long n) { document.advanceCounters(n); }

// What a print operation ended with. `message` is set when the operation refused to start
// ("Nothing to print", "No form is selected"); link failures are reported by the link and
// show in its flags.
struct PrintOutcome {
    bool sent = false;  // every byte went out
    UserMessage message;
};

// One row of the values dialog: the prompt and value of a defined slot, variables by slot
// then counters by slot.
struct ValueRow {
    bool counter = false;
    int slot = 0;
    std::string prompt;
    std::string value;
};
std::vector<ValueRow> valueRows(const LabelDocument& document);
// Puts edited values back into the slots the rows came from, in the same order; a value
// longer than 63 characters is cut. Extra values are ignored.
void storeValues(LabelDocument& document, const std::vector<std::string>& values);

// The immediate job: definitions, values, header, figures and P with the copies. After a
// job that went out whole the counters advance by one label. A failed open sends nothing
// and changes nothing.
PrintOutcome testPrint(PrinterLink& link, LabelDocument& document, unsigned copies,
                       const RasterFigureWriter& rasterFigure = {});

// FA then VI: the active form's name into the storage, its variables and counters into the
// label. False after silence (the print dialog is then not shown).
bool receiveActiveFormAndVariables(PrinterStorage& storage, LabelDocument& document);

// FR with the name, then P with sets and copies; no reply is read. The caller advances the
// counters by the sets once this returns sent.
PrintOutcome printStoredForm(PrinterLink& link, std::string_view activeFormName, unsigned sets, unsigned copies);

// The values of the defined variables and counters for the active form, after "?".
// Sent by the values dialog's OK; the port is closed afterwards.
bool sendStoredFormValues(PrinterLink& link, const LabelDocument& document);

// FR, "?", the values and P in one exchange (the values dialog's Print for a stored form).
// The counters advance by the sets unless the user gave up.
PrintOutcome printStoredFormWithValues(PrinterLink& link, LabelDocument& document, std::string_view activeFormName,
                                       unsigned sets, unsigned copies);

// The bytes of a value exchange: "?", each variable value with CR LF (an empty one as a
// blank), each counter value with LF alone (an empty one as "0" with CR LF).
std::string storedFormValues(const LabelDocument& document);

// Rows of a one-bit picture laid out bottom-up, each padded to whole 32-bit words, as in a
// device-independent bitmap: rowBytes = ((width + 31) / 32) * 4.
std::size_t bitmapTestRowBytes(int width);
std::vector<std::uint8_t> bottomUpRows(const Bitmap& image);

// A raster test print of such rows: a label the size of the picture with one GW raster.
// False when the port could not be opened, the user gave up, or the rows are fewer than
// the picture needs (nothing is sent then).
bool PrintBitmapTest(PrinterLink& link, std::span<const std::uint8_t> bottomUp, int width, int height,
                     int darkness);

}  // namespace tavrin
