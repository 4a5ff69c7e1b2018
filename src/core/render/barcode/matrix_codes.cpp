// The 2D symbols (QR Code, Data Matrix ECC 200, PDF417). The printer cannot draw them, so
// zint encodes them into a module matrix that the renderer draws like any other figure.
#include <zint.h>

#include <algorithm>
#include <memory>

#include "render/barcode/encoders.h"

namespace tavrin::barcode {

namespace {

// The largest module the editor draws: a version 40 QR Code at this size is already wider
// than any label.
constexpr int kMaxModuleDots = 16;
// Extent of a symbol that could not be encoded, in modules each way: room for its cross.
constexpr int kPlaceholderModules = 32;

struct SymbolDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

// The standard's quiet zone, in modules.
int quietZoneOf(int type) {
    switch (type) {
        case kQrCode: return 4;
        case kDataMatrix: return 1;
        default: return 2;  // PDF417
    }
}

// The widest code point of UTF-8 text, or false when the bytes are not UTF-8.
bool utf8Widest(std::string_view text, unsigned& widest) {
    widest = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        unsigned code = lead;
        if (lead < 0x80) extra = 0;
        else if ((lead & 0xE0) == 0xC0) extra = 1, code = lead & 0x1F;
        else if ((lead & 0xF0) == 0xE0) extra = 2, code = lead & 0x0F;
        else if ((lead & 0xF8) == 0xF0) extra = 3, code = lead & 0x07;
        else return false;
        if (i + static_cast<std::size_t>(extra) >= text.size()) return false;  // cut short
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr unsigned kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLeast[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        widest = std::max(widest, code);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

// "[" with two to four digits and "]": the start of a GS1 element string.
bool startsWithApplicationIdentifier(std::string_view data) {
    if (data.empty() || data.front() != '[') return false;
    std::size_t digits = 1;
    while (digits < data.size() && isDigit(data[digits])) ++digits;
    return digits >= 3 && digits <= 5 && digits < data.size() && data[digits] == ']';
}

// How the data goes to the encoder. Data that begins with an application identifier in
// square brackets ("[01]09501101530003[17]260101") is a GS1 element string, encoded with
// FNC1 (QR Code and Data Matrix). Text that is UTF-8 beyond ASCII is encoded as text, with
// the UTF-8 ECI when it does not fit Latin-1, so readers show it in its own script; any other
// bytes go into the symbol as they stand.
void chooseInputMode(zint_symbol& symbol, int type, std::string_view data) {
    if (type != kPdf417 && startsWithApplicationIdentifier(data)) {
        symbol.input_mode = GS1_MODE;
        return;
    }
    unsigned widest = 0;
    if (utf8Widest(data, widest) && widest >= 0x80) {
        symbol.input_mode = UNICODE_MODE;
        if (widest > 0xFF) symbol.eci = 26;
        return;
    }
    symbol.input_mode = DATA_MODE;
}

}  // namespace

std::vector<std::string> errorLevelItems(int type) {
    switch (type) {
        case kQrCode: return {"Auto", "L (7%)", "M (15%)", "Q (25%)", "H (30%)"};
        case kDataMatrix: return {"ECC 200"};
        case kPdf417: return {"Auto", "0", "1", "2", "3", "4", "5", "6", "7", "8"};
        default: return {};
    }
}

BarcodeResult encodeMatrixCode(const BarcodeInput& in) {
    BarcodeResult r;
    r.type = in.type;
    const bool moduleOk = in.narrow >= 1 && in.narrow <= kMaxModuleDots;
    const int module = moduleOk ? in.narrow : 1;
    const auto placeholder = [&r, module] {
        r.invalid = true;
        r.matrix = ModuleMatrix{};
        r.barLength = r.acrossLength = kPlaceholderModules * module;
        return r;
    };
    if (!moduleOk || in.data.empty()) return placeholder();

    const std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol) return placeholder();
    const int levels = static_cast<int>(errorLevelItems(in.type).size());
    const bool levelSet = in.wide >= 1 && in.wide < levels;
    switch (in.type) {
        case kQrCode:
            symbol->symbology = BARCODE_QRCODE;
            if (levelSet) symbol->option_1 = in.wide;  // 1..4 = L, M, Q, H
            break;
        case kDataMatrix:
            symbol->symbology = BARCODE_DATAMATRIX;
            symbol->option_3 = DM_SQUARE;  // square symbols, as readers expect by default
            break;
        default:
            symbol->symbology = BARCODE_PDF417;
            if (levelSet) symbol->option_1 = in.wide - 1;  // security level 0..8
            break;
    }
    chooseInputMode(*symbol, in.type, in.data);
    const int status = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(in.data.data()),
                                       static_cast<int>(in.data.size()));
    // A symbol zint had to make against its standard (a GS1 element with a wrong check
    // digit, say) is as wrong as one it refused.
    if (status >= ZINT_WARN_NONCOMPLIANT || symbol->width <= 0 || symbol->rows <= 0) return placeholder();

    ModuleMatrix& m = r.matrix;
    m.columns = symbol->width;
    m.rows = symbol->rows;
    m.moduleWidth = module;
    m.moduleHeight = in.type == kPdf417 ? 3 * module : module;
    m.quietZone = quietZoneOf(in.type);
    m.modules.resize(static_cast<std::size_t>(m.columns) * static_cast<std::size_t>(m.rows));
    for (int row = 0; row < m.rows; ++row)
        for (int column = 0; column < m.columns; ++column)
            m.modules[static_cast<std::size_t>(row * m.columns + column)] =
                (symbol->encoded_data[row][column >> 3] >> (column & 7)) & 1;
    r.barLength = m.alongDots();
    r.acrossLength = m.acrossDots();
    return r;
}

}  // namespace tavrin::barcode
