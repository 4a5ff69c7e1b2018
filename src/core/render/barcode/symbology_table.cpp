// The table tying barcode types 0..29 to their names, printer codes and encoders, and the
// steps every encoder shares.
#include <algorithm>
#include <array>

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

const std::array<SymbologyInfo, kSymbologyCount> kTable{{
    {"Code 39", "3", encodeCode39},
    {"Code 39 with check digit", "3C", encodeCode39},
    {"Code 93", "9", encodeCode93},
    {"Code 128 auto A, B, C modes", "1", encodeCode128Auto},
    {"Codabar", "K", encodeCodabar},
    {"EAN 8", "E80", encodeEanUpc},
    {"EAN 8 (2 digits add-on)", "E82", encodeEanUpc},
    {"EAN 8 (5 digits add-on)", "E85", encodeEanUpc},
    {"EAN 13", "E30", encodeEanUpc},
    {"EAN 13 (2 digits add-on)", "E32", encodeEanUpc},
    {"EAN 13 (5 digits add-on)", "E35", encodeEanUpc},
    {"EAN 13 with internal check digit", "A30", encodeEanUpc},
    {"EAN 128", "1E", encodeEan128},
    {"German Postal Code", "2G", encodeInterleaved},
    {"Interleaved 2 of 5", "2", encodeInterleaved},
    {"ITF with check digit", "2C", encodeInterleaved},
    {"ITF - human readable check digit", "2D", encodeInterleaved},
    {"Plessey", "L", encodePlessey},
    {"Postnet", "P", encodePostnet},
    {"SSCC-18", "0", encodeSscc18},
    {"UPC-A", "UA0", encodeEanUpc},
    {"UPC-A (2 digits add-on)", "UA2", encodeEanUpc},
    {"UPC-A (5 digits add-on)", "UA5", encodeEanUpc},
    {"UPC-E", "UE0", encodeEanUpc},
    {"UPC-E (2 digits add-on)", "UE2", encodeEanUpc},
    {"UPC-E (5 digits add-on)", "UE5", encodeEanUpc},
    {"UPC Interleaved 2 of 5", "2U", encodeInterleaved},
    // Drawn by the editor and sent as pictures: no printer code.
    {"QR Code", "", encodeMatrixCode},
    {"Data Matrix", "", encodeMatrixCode},
    {"PDF417", "", encodeMatrixCode},
}};

const SymbologyInfo kUnknown{"", "", encodeUnknown};

}  // namespace

const SymbologyInfo& symbology(int type) {
    if (type < 0 || type >= kSymbologyCount) return kUnknown;
    return kTable[static_cast<std::size_t>(type)];
}

int symbologyByPrinterCode(std::string_view code) {
    for (int type = 0; type < kLinearSymbologyCount; ++type) {
        if (code == kTable[static_cast<std::size_t>(type)].printerCode) return type;
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
