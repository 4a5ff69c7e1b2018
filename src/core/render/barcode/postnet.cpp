// Postnet (type 18): fixed geometry whatever the narrow and wide widths, tall and short bars.
#include <string>

#include "render/barcode/encoders.h"

namespace tavrin::barcode {
namespace {

constexpr int kHeight = 24;
constexpr int kShortHeight = 8;
constexpr int kBarWidth = 4;
constexpr int kPitch = 10;

// Tall (1) and short (0) bars of each digit.
constexpr const char* kPatterns[10] = {"11000", "00011", "00101", "00110", "01001",
                                       "01010", "01100", "10001", "10010", "10100"};

bool acceptedLength(std::size_t n) { return n == 5 || n == 6 || n == 8 || n == 9 || n == 11; }

void appendBar(BarcodeResult& r, bool tall) {
    if (r.bars.length() > 0) {
        r.bars.space(kPitch - kBarWidth);
        r.tallBars.space(kPitch - kBarWidth);
    }
    r.bars.bar(kBarWidth);
    tall ? r.tallBars.bar(kBarWidth) : r.tallBars.space(kBarWidth);
}

}  // namespace

BarcodeResult encodePostnet(const BarcodeInput& in) {
    BarcodeResult r;
    r.fixedHeight = kHeight;
    r.shortBarHeight = kShortHeight;
    std::string digits(in.data);
    if (!acceptedLength(digits.size())) {
        digits = "00000";
        r.invalid = true;
    }
    int sum = 0;
    for (char& c : digits) {
        if (!isDigit(c)) {
            c = '0';
            r.invalid = true;
        }
        sum += digitValue(c);
    }
    digits += static_cast<char>('0' + (10 - sum % 10) % 10);
    r.text = digits;

    appendBar(r, true);
    for (char c : digits)
        for (const char* p = kPatterns[digitValue(c)]; *p; ++p) appendBar(r, *p == '1');
    appendBar(r, true);
    return r;
}

}  // namespace tavrin::barcode
