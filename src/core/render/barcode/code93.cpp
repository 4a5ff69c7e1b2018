// Code 93 (type 2): the 43 native characters plus the four shift symbols typed as \ ] ^ _,
// and the two check characters C and K. Every element is a whole number of modules.
#include <string>
#include <vector>

#include "render/barcode/encoders.h"

namespace tavrin::barcode {
namespace {

// Values 0..46 in order; the last four stand for the shift symbols ($) (%) (/) (+).
constexpr std::string_view kCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%\\]^_";

constexpr const char* kPatterns[47] = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211",
    "141111", "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212",
    "112311", "122112", "132111", "111123", "111222", "111321", "121122", "131121", "212112",
    "212211", "211122", "211221", "221121", "222111", "112122", "112221", "122121", "123111",
    "121131", "311112", "311211", "321111", "112131", "113121", "211131", "121221", "312111",
    "311121", "122211",
};
constexpr const char* kStartStop = "111141";

// Weighted sum from the right with weights 1..maxWeight repeating, modulo 47.
int checkValue(const std::vector<int>& values, int maxWeight) {
    int sum = 0;
    int weight = 1;
    for (auto it = values.rbegin(); it != values.rend(); ++it) {
        sum += weight * *it;
        weight = weight == maxWeight ? 1 : weight + 1;
    }
    return sum % 47;
}

}  // namespace

BarcodeResult encodeCode93(const BarcodeInput& in) {
    BarcodeResult r;
    r.text = in.data.empty() ? std::string("000000") : std::string(in.data);
    std::vector<int> values;
    for (char& c : r.text) {
        auto value = kCharacters.find(c);
        if (value == std::string_view::npos) {
            c = '0';
            value = 0;
            r.invalid = true;
        }
        values.push_back(static_cast<int>(value));
    }
    values.push_back(checkValue(values, 20));
    values.push_back(checkValue(values, 15));

    appendWidths(r.bars, kStartStop, in.narrow);
    for (int v : values) appendWidths(r.bars, kPatterns[v], in.narrow);
    appendWidths(r.bars, kStartStop, in.narrow);
    r.bars.bar(in.narrow);  // termination bar
    return r;
}

}  // namespace tavrin::barcode
