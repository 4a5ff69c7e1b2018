// Interleaved 2 of 5 and the symbols built on it: plain ITF (type 14), ITF with a check digit
// hidden or shown (15, 16), the German postal codes (13) and UPC Interleaved 2 of 5 (26).
#include <string>

#include "render/barcode/encoders.h"

namespace tavrin::barcode {
namespace {

// Wide marks of each digit's five elements, 1 = wide.
constexpr const char* kPatterns[10] = {"00110", "10001", "01001", "11000", "00101",
                                       "10100", "01100", "00011", "10010", "01010"};

void appendInterleaved(BarRow& row, std::string digits, int narrow, int wide) {
    if (digits.size() % 2 != 0) digits.insert(digits.begin(), '0');
    appendNarrowWide(row, "0000", narrow, wide);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const char* bars = kPatterns[digitValue(digits[i])];
        const char* spaces = kPatterns[digitValue(digits[i + 1])];
        const char pair[10] = {bars[0], spaces[0], bars[1], spaces[1], bars[2],
                               spaces[2], bars[3], spaces[3], bars[4], spaces[4]};
        appendNarrowWide(row, std::string_view(pair, 10), narrow, wide);
    }
    appendNarrowWide(row, "100", narrow, wide);
}

// Modulo 10 with weights 4, 9, 4, 9 ... from the first digit.
char germanPostalCheck(std::string_view digits) {
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) sum += (i % 2 == 0 ? 4 : 9) * digitValue(digits[i]);
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

// "12.345 678.901 2" for 12 digits, "12345.678.901.23 4" for 14.
std::string germanPostalText(const std::string& d) {
    if (d.size() == 12)
        return d.substr(0, 2) + '.' + d.substr(2, 3) + ' ' + d.substr(5, 3) + '.' + d.substr(8, 3) +
               ' ' + d[11];
    return d.substr(0, 5) + '.' + d.substr(5, 3) + '.' + d.substr(8, 3) + '.' + d.substr(11, 2) +
           ' ' + d[13];
}

std::string upcInterleavedText(const std::string& d) {
    return d.substr(0, 1) + ' ' + d.substr(1, 2) + ' ' + d.substr(3, 5) + ' ' + d.substr(8, 5) +
           ' ' + d[13];
}

}  // namespace

BarcodeResult encodeInterleaved(const BarcodeInput& in) {
    BarcodeResult r;
    std::string digits(in.data);
    // Validate and substitute.
    if (in.type == kGermanPostalCode && digits.size() != 11 && digits.size() != 13) {
        digits.assign(11, '0');
        r.invalid = true;
    } else if (in.type == kUpcInterleaved && digits.size() != 13) {
        digits.assign(13, '0');
        r.invalid = true;
    } else if (digits.empty()) {
        digits = "1234";
    }
    if (forceDigits(digits)) r.invalid = true;

    // Check digit and text.
    switch (in.type) {
    case kGermanPostalCode:
        digits += germanPostalCheck(digits);
        r.text = germanPostalText(digits);
        break;
    case kItfHiddenCheck:
        r.text = digits;
        digits += static_cast<char>('0' + mod10Weight3Right(digits));
        break;
    case kItfShownCheck:
    case kUpcInterleaved:
        digits += static_cast<char>('0' + mod10Weight3Right(digits));
        r.text = in.type == kUpcInterleaved ? upcInterleavedText(digits) : digits;
        break;
    default:
        r.text = digits;
        break;
    }
    appendInterleaved(r.bars, digits, in.narrow, in.wide);
    return r;
}

}  // namespace tavrin::barcode
