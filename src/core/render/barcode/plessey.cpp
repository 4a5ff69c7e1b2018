// Plessey (type 17): four elements per digit, most significant bit first, a Luhn check digit.
#include <string>

#include "render/barcode/encoders.h"

namespace tavrin::barcode {
namespace {

// A 1 element is a wide bar and a narrow space, a 0 element the reverse; wide is three modules.
void appendElement(BarRow& row, bool one, int narrow) {
    row.bar(one ? 3 * narrow : narrow);
    row.space(one ? narrow : 3 * narrow);
}

void appendDigit(BarRow& row, int digit, int narrow) {
    for (int bit = 3; bit >= 0; --bit) appendElement(row, (digit >> bit) & 1, narrow);
}

// Luhn: from the right, every other digit starting with the rightmost is doubled.
int luhnCheck(std::string_view digits) {
    int sum = 0;
    bool doubled = true;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        int v = digitValue(*it);
        if (doubled) v = v * 2 > 9 ? v * 2 - 9 : v * 2;
        sum += v;
        doubled = !doubled;
    }
    return (10 - sum % 10) % 10;
}

}  // namespace

BarcodeResult encodePlessey(const BarcodeInput& in) {
    BarcodeResult r;
    r.text = in.data;
    if (r.text.empty()) {
        r.text = "0000";
        r.invalid = true;
    }
    if (forceDigits(r.text)) r.invalid = true;

    const int n = in.narrow;
    appendElement(r.bars, true, n);
    for (char c : r.text) appendDigit(r.bars, digitValue(c), n);
    appendDigit(r.bars, luhnCheck(r.text), n);
    appendElement(r.bars, false, n);
    r.bars.bar(n);
    return r;
}

}  // namespace tavrin::barcode
