#include "printer/symbology_codes.h"

#include <array>

namespace tavrin {

namespace {
constexpr std::array<std::string_view, kSymbologyCount> kCodes = {
    "3",   "3C",  "9",   "1",   "K",   "E80", "E82", "E85", "E30", "E32", "E35", "A30", "1E", "2G",
    "2",   "2C",  "2D",  "L",   "P",   "0",   "UA0", "UA2", "UA5", "UE0", "UE2", "UE5", "2U"};
}  // namespace

std::optional<std::string_view> printerCodeOfSymbology(int type) {
    if (type < 0 || type >= kSymbologyCount) return std::nullopt;
    return kCodes[static_cast<std::size_t>(type)];
}

std::optional<int> symbologyOfPrinterCode(std::string_view code) {
    for (std::size_t i = 0; i < kCodes.size(); ++i)
        if (kCodes[i] == code) return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace tavrin
