// Where the human-readable line goes: the EAN/UPC digit groups between the guard bars, and
// the single line of the other symbologies with its font chosen by the character pitch.
#include <string>

#include "render/barcode/barcode.h"

namespace tavrin::barcode {

EanCaption layoutEanCaption(const BarcodeResult& result, int narrow, int height) {
    EanCaption c;
    const int n = narrow;
    c.font = n >= 3 ? 4 : 3;
    c.spacing = 7 * n - (c.font == 4 ? 16 : 14);
    c.addOnSpacing = 9 * n - (c.font == 4 ? 16 : 14);
    c.textTop = height - 12;
    c.guardTop = height - 16;
    c.addOnBarDrop = 24;
    const bool leadingDigit = familyOf(result.type) == BarcodeFamily::Ean13 || result.layout == kLayoutUpcE;
    c.symbolShift = leadingDigit ? 3 * n + 12 : 0;

    const std::string& t = result.text;
    const int half = c.spacing / 2;
    auto run = [&](std::size_t from, std::size_t count, int offset) {
        if (from < t.size()) c.runs.push_back({t.substr(from, count), offset});
    };
    switch (result.layout) {
    case kLayoutEan8:
        run(0, 4, 3 * n + half);
        run(4, 4, 36 * n + half);
        break;
    case kLayoutEan13:
        if (leadingDigit) {
            run(0, 1, -3 * n - 12);
            run(1, 6, 3 * n + half);
            run(7, 6, 49 * n + half);
        } else {
            run(0, 6, 3 * n + half);
            run(6, 6, 49 * n + half);
        }
        break;
    case kLayoutUpcE:
        c.runs.push_back({"0", -2 * n - 12});
        run(0, 6, 3 * n + half);
        run(6, 1, 51 * n + half);
        break;
    default:
        break;
    }
    if (result.addOnDigits > 0) c.addOn = {result.addOnText, result.barLength + 14 * n};
    return c;
}

PlainCaption layoutPlainCaption(int barLength, int characters, int humanReadable) {
    PlainCaption c;
    if (characters <= 0) return c;
    const int pitch = barLength / characters;
    c.font = pitch < 12 ? 1 : pitch < 14 ? 2 : pitch < 16 ? 3 : 4;
    c.vMul = c.font <= 2 ? 2 : 1;
    const int free = barLength - (2 * c.font + 8) * characters;
    c.start = humanReadable == 2 ? free / 2 : humanReadable == 3 ? free : 0;
    return c;
}

}  // namespace tavrin::barcode
