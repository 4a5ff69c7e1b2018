#pragma once
// The printer's code for each barcode type, as used in B command lines.
#include <optional>
#include <string_view>

namespace tavrin {

inline constexpr int kSymbologyCount = 27;

// The code for type 0..26, or nothing for a type outside the table.
std::optional<std::string_view> printerCodeOfSymbology(int type);
// The type whose code equals the text exactly, or nothing.
std::optional<int> symbologyOfPrinterCode(std::string_view code);

}  // namespace tavrin
