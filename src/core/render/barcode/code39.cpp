// Code 39 (types 0 and 1): native characters, full ASCII pairs for the rest of 0..127, and
// the optional modulo 43 check character.
#include <array>
#include <string>
#include <vector>

#include "render/barcode/encoders.h"

namespace tavrin::barcode {
namespace {

constexpr std::string_view kNative = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
constexpr int kStartStop = 43;

// Wide marks of each value's nine elements (bar, space, ..., bar), 1 = wide.
constexpr const char* kPatterns[44] = {
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000",
    "001110000", "000100101", "100100100", "001100100", "100001001", "001001001",
    "101001000", "000011001", "100011000", "001011000", "000001101", "100001100",
    "001001100", "000011100", "100000011", "001000011", "101000010", "000010011",
    "100010010", "001010010", "000000111", "100000110", "001000110", "000010110",
    "110000001", "011000001", "111000000", "010010001", "110010000", "011010000",
    "010000101", "110000100", "011000100", "010101000", "010100010", "010001010",
    "000101010", "010010100",
};

// The two native characters standing for each code 0..127 outside the native set.
constexpr const char* kFullAscii[128] = {
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",
    " ",  "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "-",  ".",  "/O",
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "/Z", "%F", "%G", "%H", "%I", "%J",
    "%V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "%K", "%L", "%M", "%N", "%O",
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T",
};

// Value of each byte that is a native character, -1 for the others.
constexpr std::array<signed char, 256> kNativeValues = [] {
    std::array<signed char, 256> table{};
    table.fill(-1);
    for (std::size_t i = 0; i < kNative.size(); ++i)
        table[static_cast<unsigned char>(kNative[i])] = static_cast<signed char>(i);
    return table;
}();

int nativeValue(char c) { return kNativeValues[static_cast<unsigned char>(c)]; }

void appendSymbol(BarRow& row, int value, int narrow, int wide, bool gapBefore) {
    if (gapBefore) row.space(narrow);
    appendNarrowWide(row, kPatterns[value], narrow, wide);
}

}  // namespace

BarcodeResult encodeCode39(const BarcodeInput& in) {
    BarcodeResult r;
    // Validate and substitute.
    r.text = in.data.empty() ? std::string("000000") : std::string(in.data);
    for (char& c : r.text) {
        if (static_cast<unsigned char>(c) > 127) {
            c = '0';
            r.invalid = true;
        }
    }
    // Symbol values: native characters stand for themselves, the rest as full ASCII pairs.
    std::vector<int> values;
    values.reserve(2 * r.text.size() + 1);
    for (char c : r.text) {
        const int native = nativeValue(c);
        if (native >= 0) {
            values.push_back(native);
            continue;
        }
        for (const char* p = kFullAscii[static_cast<unsigned char>(c)]; *p; ++p)
            values.push_back(nativeValue(*p));
    }
    if (in.type == kCode39WithCheck) {
        int sum = 0;
        for (int v : values) sum += v;
        values.push_back(sum % 43);
    }
    // Bars: start, symbols, stop, a narrow gap between symbols.
    appendSymbol(r.bars, kStartStop, in.narrow, in.wide, false);
    for (int v : values) appendSymbol(r.bars, v, in.narrow, in.wide, true);
    appendSymbol(r.bars, kStartStop, in.narrow, in.wide, true);
    return r;
}

}  // namespace tavrin::barcode
