// The table tying barcode types 0..29 to their names, printer codes and encoders, and the
// steps every encoder shares.
#include <algorithm>
#include <iterator>
#include <string_view>

#include "render/barcode/encoders.h"

namespace tavrin::barcode {

bool forceDigits(std::string& text) {
    bool replaced = false;
    for (char& c : text) {
        if (!isDigit(c)) {
            c = static_cast<char>('0' + static_cast<unsigned char>(c) % 10);
            replaced = true;
        }
    }
    return replaced;
}

int mod10Weight3Right(std::string_view digits) {
    int sum = 0;
    int weight = 3;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        sum += weight * digitValue(*it);
        weight = 4 - weight;
    }
    return (10 - sum % 10) % 10;
}

void appendWidths(BarRow& row, std::string_view widths, int unit) {
    bool bar = true;
    for (char w : widths) {
        const int dots = digitValue(w) * unit;
        bar ? row.bar(dots) : row.space(dots);
        bar = !bar;
    }
}

void appendNarrowWide(BarRow& row, std::string_view marks, int narrow, int wide) {
    bool bar = true;
    for (char m : marks) {
        const int dots = m == '1' ? wide : narrow;
        bar ? row.bar(dots) : row.space(dots);
        bar = !bar;
    }
}

namespace {

BarcodeResult encodeUnknown(const BarcodeInput& in) {
    BarcodeResult r;
    r.type = in.type;
    r.invalid = true;
    return r;
}

using F = BarcodeFamily;
constexpr SymbologyInfo kTable[] = {
    {"Code 39", "3", F::Code39, 0, encodeCode39},
    {"Code 39 with check digit", "3C", F::Code39, 0, encodeCode39},
    {"Code 93", "9", F::Code93, 0, encodeCode93},
    {"Code 128 auto A, B, C modes", "1", F::Code128, 0, encodeCode128Auto},
    {"Codabar", "K", F::Codabar, 0, encodeCodabar},
    {"EAN 8", "E80", F::Ean8, 0, encodeEanUpc},
    {"EAN 8 (2 digits add-on)", "E82", F::Ean8, 2, encodeEanUpc},
    {"EAN 8 (5 digits add-on)", "E85", F::Ean8, 5, encodeEanUpc},
    {"EAN 13", "E30", F::Ean13, 0, encodeEanUpc},
    {"EAN 13 (2 digits add-on)", "E32", F::Ean13, 2, encodeEanUpc},
    {"EAN 13 (5 digits add-on)", "E35", F::Ean13, 5, encodeEanUpc},
    {"EAN 13 with internal check digit", "A30", F::Ean13, 0, encodeEanUpc},
    {"EAN 128", "1E", F::Gs1_128, 0, encodeEan128},
    {"German Postal Code", "2G", F::Interleaved, 0, encodeInterleaved},
    {"Interleaved 2 of 5", "2", F::Interleaved, 0, encodeInterleaved},
    {"ITF with check digit", "2C", F::Interleaved, 0, encodeInterleaved},
    {"ITF - human readable check digit", "2D", F::Interleaved, 0, encodeInterleaved},
    {"Plessey", "L", F::Plessey, 0, encodePlessey},
    {"Postnet", "P", F::Postnet, 0, encodePostnet},
    {"SSCC-18", "0", F::Sscc, 0, encodeSscc18},
    {"UPC-A", "UA0", F::UpcA, 0, encodeEanUpc},
    {"UPC-A (2 digits add-on)", "UA2", F::UpcA, 2, encodeEanUpc},
    {"UPC-A (5 digits add-on)", "UA5", F::UpcA, 5, encodeEanUpc},
    {"UPC-E", "UE0", F::UpcE, 0, encodeEanUpc},
    {"UPC-E (2 digits add-on)", "UE2", F::UpcE, 2, encodeEanUpc},
    {"UPC-E (5 digits add-on)", "UE5", F::UpcE, 5, encodeEanUpc},
    {"UPC Interleaved 2 of 5", "2U", F::Interleaved, 0, encodeInterleaved},
    // Drawn by the editor and sent as pictures: no printer code.
    {"QR Code", "", F::QrCode, 0, encodeMatrixCode},
    {"Data Matrix", "", F::DataMatrix, 0, encodeMatrixCode},
    {"PDF417", "", F::Pdf417, 0, encodeMatrixCode},
};
static_assert(std::size(kTable) == kSymbologyCount, "one row for every barcode type");

// The named types must name the rows they stand for.
constexpr bool names(int type, std::string_view name) { return kTable[type].name == name; }
static_assert(names(kCode39WithCheck, "Code 39 with check digit") &&
              names(kEan13InternalCheck, "EAN 13 with internal check digit") &&
              names(kGermanPostalCode, "German Postal Code") && names(kInterleaved2of5, "Interleaved 2 of 5") &&
              names(kItfHiddenCheck, "ITF with check digit") &&
              names(kItfShownCheck, "ITF - human readable check digit") &&
              names(kUpcInterleaved, "UPC Interleaved 2 of 5") && names(kQrCode, "QR Code") &&
              names(kDataMatrix, "Data Matrix") && names(kPdf417, "PDF417"));
// Every row has a family, and the 2D families are exactly the types the printer has no
// code for, at the end of the table.
constexpr bool familiesFitTheTypes() {
    for (int type = 0; type < kSymbologyCount; ++type) {
        const F family = kTable[type].family;
        const bool matrix = family == F::QrCode || family == F::DataMatrix || family == F::Pdf417;
        if (family == F::None || matrix != isMatrixSymbology(type) || matrix != (*kTable[type].printerCode == '\0'))
            return false;
    }
    return true;
}
static_assert(familiesFitTheTypes());

const SymbologyInfo kUnknown{"", "", F::None, 0, encodeUnknown};

}  // namespace

const SymbologyInfo& symbology(int type) {
    if (type < 0 || type >= kSymbologyCount) return kUnknown;
    return kTable[type];
}

int symbologyByPrinterCode(std::string_view code) {
    for (int type = 0; type < kLinearSymbologyCount; ++type) {
        if (code == kTable[type].printerCode) return type;
    }
    return -1;
}

BarcodeResult encodeBarcode(const BarcodeInput& input) {
    BarcodeResult r = symbology(input.type).encode(input);
    r.type = input.type;
    if (isMatrixSymbology(input.type)) {
        r.totalLength = r.barLength;  // the encoder measured the symbol with its quiet zone
        return r;
    }
    r.barLength = r.bars.length();
    r.totalLength = r.barLength;
    if (r.addOnDigits > 0) {
        // A damaged record's module width of 0 or less draws no bars; the add-on's place
        // and the total then stay at the (empty) symbol instead of going negative.
        const int n = std::max(input.narrow, 0);
        r.addOnOffset = r.barLength + 9 * n;
        r.totalLength = r.barLength + (9 * r.addOnDigits + 11) * n;
    }
    if (r.bars.overflowed() || r.addOnBars.overflowed() || r.guardBars.overflowed() ||
        r.tallBars.overflowed())
        r.invalid = true;
    return r;
}

}  // namespace tavrin::barcode
