// Code 128 (type 3) with its fixed set-choice rules, and the two GS1 forms built on it:
// EAN 128 (type 12) with application identifiers and SSCC-18 (type 19).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "render/barcode/encoders.h"

namespace tavrin::barcode {
namespace {

constexpr const char* kPatterns[107] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112",
};

enum : int {
    kCodeC = 99, kCodeB = 100, kCodeA = 101, kFnc1 = 102,
    kStartA = 103, kStartB = 104, kStartC = 105, kStop = 106,
};

using Bytes = std::basic_string_view<unsigned char>;

bool isControl(unsigned char c) { return c >= 128 && c <= 159; }
bool isSpecial(unsigned char c) { return c >= 160 && c <= 169; }
bool isDigitByte(unsigned char c) { return c >= '0' && c <= '9'; }

bool digitsAhead(Bytes data, std::size_t i, std::size_t count) {
    if (data.size() - i < count) return false;
    for (std::size_t k = 0; k < count; ++k)
        if (!isDigitByte(data[i + k])) return false;
    return true;
}

bool controlFrom(Bytes data, std::size_t i) {
    for (; i < data.size(); ++i)
        if (isControl(data[i])) return true;
    return false;
}

// Start, symbols, check symbol, stop and termination bar.
void appendSymbols(BarRow& row, const std::vector<int>& symbols, int narrow) {
    int sum = symbols.empty() ? 0 : symbols.front();
    for (std::size_t i = 1; i < symbols.size(); ++i) sum += symbols[i] * static_cast<int>(i);
    for (int s : symbols) appendWidths(row, kPatterns[s], narrow);
    appendWidths(row, kPatterns[sum % 103], narrow);
    appendWidths(row, kPatterns[kStop], narrow);
}

std::vector<int> code128Symbols(Bytes data) {
    enum class Set { A, B, C };
    std::vector<int> out;
    Set set;
    if (digitsAhead(data, 0, 4)) {
        out.push_back(kStartC);
        set = Set::C;
    } else if (controlFrom(data, 0)) {
        out.push_back(kStartA);
        set = Set::A;
    } else {
        out.push_back(kStartB);
        set = Set::B;
    }
    std::size_t i = 0;
    while (i < data.size()) {
        const unsigned char c = data[i];
        if (set == Set::C) {
            if (digitsAhead(data, i, 2)) {
                out.push_back(10 * (c - '0') + (data[i + 1] - '0'));
                i += 2;
            } else if (controlFrom(data, i)) {
                out.push_back(kCodeA);
                set = Set::A;
            } else {
                out.push_back(kCodeB);
                set = Set::B;
            }
            continue;
        }
        if (digitsAhead(data, i, 4)) {
            out.push_back(kCodeC);
            set = Set::C;
        } else if (isSpecial(c)) {
            out.push_back(c - 64);
            ++i;
        } else if (set == Set::A) {
            if (c >= 96 && c <= 127) {
                out.push_back(kCodeB);
                set = Set::B;
            } else {
                out.push_back(isControl(c) ? c - 64 : c - 32);
                ++i;
            }
        } else if (isControl(c)) {
            out.push_back(kCodeA);
            set = Set::A;
        } else {
            out.push_back(c - 32);
            ++i;
        }
    }
    return out;
}

// EAN 128 bars: FNC1 after the start; set C for runs of four or more digits, set B
// otherwise, a group separator as FNC1.
std::vector<int> ean128Symbols(std::string_view data) {
    constexpr char kGroupSeparator = 29;
    auto digits = [&](std::size_t i, std::size_t count) {
        return digitsAhead(Bytes(reinterpret_cast<const unsigned char*>(data.data()), data.size()),
                           i, count);
    };
    std::vector<int> out;
    bool setC = digits(0, 4);
    out.push_back(setC ? kStartC : kStartB);
    out.push_back(kFnc1);
    std::size_t i = 0;
    while (i < data.size()) {
        if (setC) {
            if (digits(i, 2)) {
                out.push_back(10 * digitValue(data[i]) + digitValue(data[i + 1]));
                i += 2;
            } else {
                out.push_back(kCodeB);
                setC = false;
            }
        } else if (digits(i, 4)) {
            out.push_back(kCodeC);
            setC = true;
        } else {
            out.push_back(data[i] == kGroupSeparator ? kFnc1 : data[i] - 32);
            ++i;
        }
    }
    return out;
}

// --- EAN 128 element strings ---

constexpr int kVariable = -1;

struct Identifier {
    int digits = 2;  // length of the identifier itself
    int length = kVariable;  // fixed data length, or kVariable up to a group separator
};

// Returns false when the identifier's digits are not there.
bool identify(std::string_view s, Identifier& id) {
    auto digitsAt = [&](std::size_t n) {
        if (s.size() < n) return false;
        for (std::size_t k = 0; k < n; ++k)
            if (!isDigit(s[k])) return false;
        return true;
    };
    if (!digitsAt(2)) return false;
    const int ai = 10 * digitValue(s[0]) + digitValue(s[1]);
    switch (ai) {
    case 0: id = {2, 18}; return true;
    case 1: case 2: id = {2, 14}; return true;
    case 11: case 13: case 15: case 17: id = {2, 6}; return true;
    case 20: id = {2, 2}; return true;
    case 24: case 25: case 42: id = {3, kVariable}; return digitsAt(3);
    case 31: case 32: case 33: case 34: case 35: case 36: id = {4, 6}; return digitsAt(4);
    case 41: id = {3, 13}; return digitsAt(3);
    case 23:
        // Lot number with a length digit n: 2n + 1 digits follow.
        if (!digitsAt(3)) return false;
        id = {3, 2 * digitValue(s[2]) + 1};
        return true;
    case 80: case 81: {
        if (!digitsAt(4)) return false;
        const int rest = 10 * digitValue(s[2]) + digitValue(s[3]);
        int length = kVariable;
        if (ai == 80 && rest == 1) length = 14;
        if (ai == 80 && rest == 5) length = 6;
        if (ai == 81 && rest == 0) length = 6;
        if (ai == 81 && rest == 1) length = 10;
        if (ai == 81 && rest == 2) length = 2;
        id = {4, length};
        return true;
    }
    default: id = {2, kVariable}; return true;
    }
}

bool allowedEan128(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u == 29 || (u > 32 && u < 127);
}

// Builds the text "(ai)data(ai)data..."; false when the data does not parse.
bool ean128Text(std::string_view data, std::string& text) {
    constexpr char kGroupSeparator = 29;
    if (data.empty() || data.size() > 48) return false;
    for (char c : data)
        if (!allowedEan128(c)) return false;
    std::size_t i = 0;
    while (i < data.size()) {
        Identifier id;
        if (!identify(data.substr(i), id)) return false;
        char head[12];
        std::snprintf(head, sizeof head, "(%02u", static_cast<unsigned>(digitValue(data[i]) * 10 +
                                                                          digitValue(data[i + 1])));
        text += head;
        text.append(data.substr(i + 2, static_cast<std::size_t>(id.digits - 2)));
        text += ')';
        i += static_cast<std::size_t>(id.digits);
        if (id.length == kVariable) {
            const std::size_t end = std::min(data.find(kGroupSeparator, i), data.size());
            text.append(data.substr(i, end - i));
            i = end;
        } else {
            const auto length = static_cast<std::size_t>(id.length);
            if (data.size() - i < length) return false;
            for (std::size_t k = 0; k < length; ++k)
                if (!isDigit(data[i + k])) return false;
            text.append(data.substr(i, length));
            i += length;
        }
        if (i < data.size() && data[i] == kGroupSeparator) ++i;
    }
    return true;
}

}  // namespace

BarcodeResult encodeCode128Auto(const BarcodeInput& in) {
    BarcodeResult r;
    const Bytes data(reinterpret_cast<const unsigned char*>(in.data.data()), in.data.size());
    for (unsigned char c : data) {
        if (c < 32 || c > 169) {
            r.invalid = true;
            return r;
        }
    }
    for (unsigned char c : data) {
        if (isControl(c)) r.text += ' ';
        else if (!isSpecial(c)) r.text += static_cast<char>(c);
    }
    appendSymbols(r.bars, code128Symbols(data), in.narrow);
    return r;
}

BarcodeResult encodeEan128(const BarcodeInput& in) {
    BarcodeResult r;
    if (ean128Text(in.data, r.text)) {
        appendSymbols(r.bars, ean128Symbols(in.data), in.narrow);
        return r;
    }
    r.invalid = true;
    r.text = "(00)000000000000000000";
    std::vector<int> placeholder{kStartC, kFnc1};
    placeholder.insert(placeholder.end(), 10, 0);
    appendSymbols(r.bars, placeholder, in.narrow);
    return r;
}

BarcodeResult encodeSscc18(const BarcodeInput& in) {
    BarcodeResult r;
    std::string digits(in.data);
    if (digits.size() != 17) {
        digits.assign(17, '0');
        r.invalid = true;
    }
    if (forceDigits(digits)) r.invalid = true;
    digits += static_cast<char>('0' + mod10Weight3Right(digits));
    std::vector<int> symbols{kStartC, kFnc1, 0};
    for (std::size_t i = 0; i < digits.size(); i += 2)
        symbols.push_back(10 * digitValue(digits[i]) + digitValue(digits[i + 1]));
    appendSymbols(r.bars, symbols, in.narrow);
    r.text = "(00)" + digits;
    return r;
}

}  // namespace tavrin::barcode
