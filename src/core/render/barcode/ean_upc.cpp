// EAN-8, EAN-13, UPC-A and UPC-E (types 5..11, 20..25) with their 2- and 5-digit add-ons
// and the in-store price check digit, following the GS1 number sets and guard patterns.
#include <string>

#include "render/barcode/encoders.h"

namespace tavrin::barcode {
namespace {

using Family = BarcodeFamily;

struct Shape {
    Family family;
    int mainDigits;  // digits typed for the main symbol, without check digit
    int addOn;       // 0, 2 or 5
};

Shape shapeOf(int type) {
    const SymbologyInfo& info = symbology(type);
    switch (info.family) {
    case Family::Ean8: return {Family::Ean8, 7, info.addOnDigits};
    case Family::UpcA: return {Family::UpcA, 11, info.addOnDigits};
    case Family::UpcE: return {Family::UpcE, 6, info.addOnDigits};
    default: return {Family::Ean13, 12, info.addOnDigits};
    }
}

// Number set A as the widths of its space, bar, space, bar (in modules). Set C has the
// same widths starting with a bar; set B is set C mirrored, so A's widths reversed.
constexpr std::uint8_t kSetAWidths[10][4] = {{3, 2, 1, 1}, {2, 2, 2, 1}, {2, 1, 2, 2}, {1, 4, 1, 1}, {1, 1, 3, 2},
                                             {1, 2, 3, 1}, {1, 1, 1, 4}, {1, 3, 1, 2}, {1, 2, 1, 3}, {3, 1, 1, 2}};
// Parity (A or B) of the left-hand digits of EAN-13 by its leading digit.
constexpr const char* kEan13Parity[10] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                          "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};
// Parity of the six UPC-E digits (number system 0) by the check digit.
constexpr const char* kUpcEParity[10] = {"BBBAAA", "BBABAA", "BBAABA", "BBAAAB", "BABBAA",
                                         "BAABBA", "BAAABB", "BABABA", "BABAAB", "BAABAB"};
// Parity of the 5-digit add-on by its check value.
constexpr const char* kAddOn5Parity[10] = {"BBAAA", "BABAA", "BAABA", "BAAAB", "ABBAA",
                                           "AABBA", "AAABB", "ABABA", "ABAAB", "AABAB"};
constexpr const char* kAddOn2Parity[4] = {"AA", "AB", "BA", "BB"};

void appendModules(BarRow& row, std::string_view modules, int narrow) {
    for (char m : modules) m == '1' ? row.bar(narrow) : row.space(narrow);
}

void appendDigit(BarRow& row, char digit, char set, int narrow) {
    const auto& w = kSetAWidths[digitValue(digit)];
    if (set == 'A') {
        row.space(w[0] * narrow), row.bar(w[1] * narrow), row.space(w[2] * narrow), row.bar(w[3] * narrow);
    } else if (set == 'B') {
        row.space(w[3] * narrow), row.bar(w[2] * narrow), row.space(w[1] * narrow), row.bar(w[0] * narrow);
    } else {
        row.bar(w[0] * narrow), row.space(w[1] * narrow), row.bar(w[2] * narrow), row.space(w[3] * narrow);
    }
}

// The six digits of a UPC-E symbol expanded to the 11 digits of its UPC-A number.
std::string expandUpcE(std::string_view d) {
    const std::string s(d);
    switch (d[5]) {
    case '0': case '1': case '2': return "0" + s.substr(0, 2) + s[5] + "0000" + s.substr(2, 3);
    case '3': return "0" + s.substr(0, 3) + "00000" + s.substr(3, 2);
    case '4': return "0" + s.substr(0, 4) + "00000" + s[4];
    default: return "0" + s.substr(0, 5) + "0000" + s[5];
    }
}

// Weighting tables of the price check digit.
constexpr int kWeight2Minus[10] = {0, 2, 4, 6, 8, 9, 1, 3, 5, 7};
constexpr int kWeight5Plus[10] = {0, 5, 1, 6, 2, 7, 3, 8, 4, 9};
constexpr int kWeight5Minus[10] = {0, 5, 9, 4, 8, 3, 7, 2, 6, 1};

// The check digit of a five-digit price field.
char priceCheckDigit(std::string_view price) {
    auto d = [&](int i) { return digitValue(price[static_cast<std::size_t>(i)]); };
    const int sum = kWeight5Plus[d(0)] + kWeight2Minus[d(1)] + kWeight5Minus[d(2)] +
                    kWeight5Plus[d(3)] + kWeight2Minus[d(4)];
    const int c = (10 - sum % 10) % 10;
    for (int digit = 0; digit < 10; ++digit)
        if (kWeight5Minus[digit] == c) return static_cast<char>('0' + digit);
    return '0';
}

void encodeAddOn(BarRow& row, std::string_view digits, int narrow) {
    const char* parity;
    if (digits.size() == 2) {
        parity = kAddOn2Parity[(10 * digitValue(digits[0]) + digitValue(digits[1])) % 4];
    } else {
        const int sum = 3 * (digitValue(digits[0]) + digitValue(digits[2]) + digitValue(digits[4])) +
                        9 * (digitValue(digits[1]) + digitValue(digits[3]));
        parity = kAddOn5Parity[sum % 10];
    }
    appendModules(row, "1011", narrow);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0) appendModules(row, "01", narrow);
        appendDigit(row, digits[i], parity[i], narrow);
    }
}

// A standard EAN/UPC symbol: left digits in the given parities, right digits in set C.
void encodeTwoHalves(BarRow& row, std::string_view left, std::string_view parity,
                     std::string_view right, int narrow) {
    appendModules(row, "101", narrow);
    for (std::size_t i = 0; i < left.size(); ++i) appendDigit(row, left[i], parity[i], narrow);
    appendModules(row, "01010", narrow);
    for (char c : right) appendDigit(row, c, 'C', narrow);
    appendModules(row, "101", narrow);
}

void guardsOnly(BarRow& row, int digitsPerHalf, int narrow) {
    appendModules(row, "101", narrow);
    row.space(7 * digitsPerHalf * narrow);
    appendModules(row, "01010", narrow);
    row.space(7 * digitsPerHalf * narrow);
    appendModules(row, "101", narrow);
}

}  // namespace

BarcodeResult encodeEanUpc(const BarcodeInput& in) {
    BarcodeResult r;
    const Shape shape = shapeOf(in.type);
    const int n = in.narrow;

    // Validate and substitute.
    std::string digits(in.data);
    const auto expected = static_cast<std::size_t>(shape.mainDigits + shape.addOn);
    if (digits.size() != expected) {
        digits.assign(expected, '0');
        r.invalid = true;
    }
    if (forceDigits(digits)) r.invalid = true;
    std::string main = digits.substr(0, static_cast<std::size_t>(shape.mainDigits));
    r.addOnText = digits.substr(main.size());
    r.addOnDigits = shape.addOn;
    if (in.type == kEan13InternalCheck) main[6] = priceCheckDigit(std::string_view(main).substr(7, 5));

    // Check digit.
    const std::string checked = shape.family == Family::UpcE ? expandUpcE(main) : main;
    r.checkDigit = mod10Weight3Right(checked);
    const char check = static_cast<char>('0' + r.checkDigit);
    r.text = main + check;

    // Bars and guard bars.
    switch (shape.family) {
    case Family::Ean8:
        r.layout = kLayoutEan8;
        encodeTwoHalves(r.bars, std::string_view(r.text).substr(0, 4), "AAAA",
                        std::string_view(r.text).substr(4), n);
        guardsOnly(r.guardBars, 4, n);
        break;
    case Family::Ean13:
    case Family::UpcA: {
        r.layout = kLayoutEan13;
        const std::string full = shape.family == Family::UpcA ? "0" + r.text : r.text;
        encodeTwoHalves(r.bars, std::string_view(full).substr(1, 6),
                        kEan13Parity[digitValue(full[0])], std::string_view(full).substr(7), n);
        guardsOnly(r.guardBars, 6, n);
        break;
    }
    case Family::UpcE:
    default: {  // shapeOf gives no other family
        r.layout = kLayoutUpcE;
        appendModules(r.bars, "101", n);
        for (std::size_t i = 0; i < 6; ++i)
            appendDigit(r.bars, main[i], kUpcEParity[r.checkDigit][i], n);
        appendModules(r.bars, "010101", n);
        appendModules(r.guardBars, "101", n);
        r.guardBars.space(43 * n);
        appendModules(r.guardBars, "10101", n);
        break;
    }
    }
    if (shape.addOn > 0) encodeAddOn(r.addOnBars, r.addOnText, n);
    return r;
}

}  // namespace tavrin::barcode
