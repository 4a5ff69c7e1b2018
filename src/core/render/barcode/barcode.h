#pragma once
// Barcode encoders: the 27 linear symbologies of a Barcode figure turned into a row of dot
// columns (1 bar, 0 space) with the printer's own check characters, placeholders and
// human-readable text, and the 2D symbols after them (QR Code, Data Matrix, PDF417) turned
// into a module matrix. Pure functions of (type, expanded data, narrow, wide); drawing lives
// elsewhere.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::barcode {

// Types 0..26 are the printer's own linear symbologies (it draws them from a B line);
// 27..29 are 2D symbols the printer does not know, which the editor sends as pictures.
inline constexpr int kLinearSymbologyCount = 27;
inline constexpr int kSymbologyCount = 30;
inline constexpr int kQrCode = 27;
inline constexpr int kDataMatrix = 28;
inline constexpr int kPdf417 = 29;
inline constexpr bool isMatrixSymbology(int type) { return type >= kLinearSymbologyCount && type < kSymbologyCount; }
// The printer's work row holds this many dot columns; longer symbols are cut and marked.
inline constexpr int kMaxColumns = 2048;

// A row of dot columns that never grows past kMaxColumns: what does not fit is dropped
// and remembered as an overflow. The columns live inline, so encoding allocates nothing.
class BarRow {
public:
    // User-provided, so that value-initialising a result does not zero 2 KB per row.
    BarRow() {}  // NOLINT(modernize-use-equals-default)
    void bar(int dots) { append(dots, 1); }
    void space(int dots) { append(dots, 0); }
    int length() const { return length_; }
    bool overflowed() const { return overflow_; }
    bool at(int column) const {
        return column >= 0 && column < length_ && columns_[static_cast<std::size_t>(column)] != 0;
    }
    std::span<const std::uint8_t> columns() const { return {columns_.data(), static_cast<std::size_t>(length_)}; }
    bool operator==(const BarRow& other) const {
        return std::ranges::equal(columns(), other.columns());
    }

private:
    void append(int dots, std::uint8_t value) {
        if (dots <= 0) return;
        if (dots > kMaxColumns - length_) {
            overflow_ = true;
            dots = kMaxColumns - length_;
        }
        // Modules are a few dots wide: a fixed 16-byte store (into the slack beyond the
        // used columns) is far cheaper than a call per module.
        std::uint8_t* out = columns_.data() + length_;
        if (dots <= kSlack) std::memset(out, value, kSlack);
        else std::memset(out, value, static_cast<std::size_t>(dots));
        length_ += dots;
    }
    static constexpr int kSlack = 16;
    std::array<std::uint8_t, kMaxColumns + kSlack> columns_;
    int length_ = 0;
    bool overflow_ = false;
};

// Layout codes of the EAN/UPC human-readable line.
enum EanLayout : int { kLayoutNone = 0, kLayoutEan8 = 4, kLayoutEan13 = 6, kLayoutUpcE = 7 };

struct BarcodeInput {
    int type = 0;
    std::string_view data;  // already expanded (variables, counters, date and time)
    int narrow = 2;         // 2D symbols: the module size in dots
    int wide = 3;           // 2D symbols: the error-correction level (see errorLevelItems)
};

// A 2D symbol: its modules row by row (1 dark), each moduleWidth x moduleHeight dots, and
// the quiet zone its standard asks for on every side, in modules. The symbol's dots begin
// quietZone modules along and across from the figure's anchor; the quiet zone stays white.
struct ModuleMatrix {
    int columns = 0;
    int rows = 0;
    std::vector<std::uint8_t> modules;
    int moduleWidth = 1;
    int moduleHeight = 1;  // PDF417 rows are three modules high
    int quietZone = 0;

    bool empty() const { return columns == 0 || rows == 0; }
    bool dark(int column, int row) const {
        return column >= 0 && row >= 0 && column < columns && row < rows &&
               modules[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                       static_cast<std::size_t>(column)] != 0;
    }
    // The symbol with its quiet zone, in dots along (the row) and across.
    int alongDots() const { return (columns + 2 * quietZone) * moduleWidth; }
    int acrossDots() const { return rows * moduleHeight + 2 * quietZone * moduleWidth; }
};

struct BarcodeResult {
    int type = 0;
    BarRow bars;              // the main symbol
    int barLength = 0;        // dots of the main symbol
    int totalLength = 0;      // plus the add-on and the gap before it
    bool invalid = false;     // data was replaced or could not be encoded: cross it out
    std::string text;         // human-readable line (for EAN/UPC: the digits and check digit)
    int layout = kLayoutNone;
    int checkDigit = -1;      // EAN/UPC check digit, -1 elsewhere

    // EAN/UPC: the guard bars alone, drawn full height under a human-readable line.
    BarRow guardBars;
    // EAN/UPC add-on: its digits, bars, and where it starts after the main symbol's start.
    int addOnDigits = 0;
    std::string addOnText;
    BarRow addOnBars;
    int addOnOffset = 0;

    // Postnet: fixed height; tallBars holds the columns of the tall bars, which take the
    // top of the height, while every bar in `bars` takes the bottom shortBarHeight dots.
    int fixedHeight = 0;
    int shortBarHeight = 0;
    BarRow tallBars;

    // 2D symbols: the module matrix; barLength is its extent along, acrossLength across
    // (the figure's height field does not apply to them).
    ModuleMatrix matrix;
    int acrossLength = 0;
};

using Encoder = BarcodeResult (*)(const BarcodeInput&);

// The families the types fall into: one encoder draws each family, one reader reads it, and
// a family's symbols share their shape on the label.
enum class BarcodeFamily : std::uint8_t {
    Code39,
    Code93,
    Code128,
    Gs1_128,
    Sscc,
    Codabar,
    Ean8,
    Ean13,
    UpcA,
    UpcE,
    Interleaved,  // Interleaved 2 of 5 and the symbols built on it
    Plessey,
    Postnet,
    QrCode,
    DataMatrix,
    Pdf417,
    None,  // a type outside the table
};

struct SymbologyInfo {
    const char* name;         // as listed in the barcode dialog
    const char* printerCode;  // as written in the printer's barcode command
    BarcodeFamily family;
    int addOnDigits;          // EAN/UPC: the 2- or 5-digit add-on, 0 without
    Encoder encode;
};

// Types the encoders and the reader single out within their family.
inline constexpr int kCode39WithCheck = 1;
inline constexpr int kEan13InternalCheck = 11;  // the price check digit inside the number
inline constexpr int kGermanPostalCode = 13;
inline constexpr int kInterleaved2of5 = 14;     // no check digit
inline constexpr int kItfHiddenCheck = 15;      // check digit in the bars, not in the text
inline constexpr int kItfShownCheck = 16;
inline constexpr int kUpcInterleaved = 26;

// Type 0..29; any other type gives an entry with empty name and code, family None, whose
// encoder marks the figure invalid. The 2D types have a name but no printer code.
const SymbologyInfo& symbology(int type);
inline BarcodeFamily familyOf(int type) { return symbology(type).family; }
// The type whose printer code is exactly `code`, or -1 (an empty code names no type).
int symbologyByPrinterCode(std::string_view code);

// Runs the symbology's encoder and fills in barLength and totalLength.
BarcodeResult encodeBarcode(const BarcodeInput& input);

// The error-correction choices of a 2D type, as the barcode dialog lists them; the
// figure's wide field holds the position in this list (0: the encoder chooses). Empty for
// the linear types.
std::vector<std::string> errorLevelItems(int type);

// --- Human-readable line layout (pure; the drawer applies it) ---

struct CaptionRun {
    std::string text;
    int offset = 0;  // along the symbol from its (shifted) start
};

// EAN/UPC digits under the bars, per layout code.
struct EanCaption {
    int font = 3;          // resident font 3 or 4
    int spacing = 0;       // extra dots between characters
    int symbolShift = 0;   // the symbol moves this far along to make room for a leading digit
    std::vector<CaptionRun> runs;  // offsets relative to the shifted start
    int textTop = 0;       // from the figure's top edge, across the symbol
    int guardTop = 0;      // where the full-height guard bars continue; bars above are shorter
    CaptionRun addOn;      // the add-on digits, drawn at the figure's top edge
    int addOnSpacing = 0;
    int addOnBarDrop = 0;  // add-on bars start this far down and are this much shorter
};
EanCaption layoutEanCaption(const BarcodeResult& result, int narrow, int height);

// Other symbologies: one line of text beyond the bars.
struct PlainCaption {
    int font = 1;
    int vMul = 1;
    int start = 0;  // along the symbol
    int gap = 4;    // dots between the bars and the text
};
PlainCaption layoutPlainCaption(int barLength, int characters, int humanReadable);

}  // namespace tavrin::barcode
