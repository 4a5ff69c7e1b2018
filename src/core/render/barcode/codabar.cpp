// Codabar (type 4): four bars and four spaces per character, the fourth space being the gap
// between characters; the data carries its own start and stop letters.
#include <string>

#include "render/barcode/encoders.h"

namespace tavrin::barcode {
namespace {

constexpr std::string_view kCharacters = "0123456789-$:/.+ABCD";
// Wide marks of each character's seven elements (bar, space, ..., bar), 1 = wide.
constexpr const char* kPatterns[20] = {
    "0000011", "0000110", "0001001", "1100000", "0010010", "1000010", "0100001",
    "0100100", "0110000", "1001000", "0001100", "0011000", "1000101", "1010001",
    "1010100", "0010101", "0011010", "0101001", "0001011", "0001110",
};

bool isStartStop(char c) { return c >= 'A' && c <= 'D'; }

}  // namespace

BarcodeResult encodeCodabar(const BarcodeInput& in) {
    BarcodeResult r;
    r.text = in.data;
    if (r.text.empty()) {
        r.text = "A0000B";
        r.invalid = true;
    }
    for (char& c : r.text) {
        if (kCharacters.find(c) == std::string_view::npos) {
            c = '0';
            r.invalid = true;
        }
    }
    if (!isStartStop(r.text.front()) || !isStartStop(r.text.back())) r.invalid = true;

    for (std::size_t i = 0; i < r.text.size(); ++i) {
        if (i > 0) r.bars.space(in.narrow);
        appendNarrowWide(r.bars, kPatterns[kCharacters.find(r.text[i])], in.narrow, in.wide);
    }
    return r;
}

}  // namespace tavrin::barcode
