#pragma once
// Independent views of an encoded symbol: zint's module dump of the same data, a run-length
// view that ignores the wide-to-narrow ratio, and ZXing reading a rendered image.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/barcode/barcode.h"

namespace tavrin::test {

// The symbol's columns as '0'/'1' characters.
std::string columns(const barcode::BarRow& row);
// Columns reduced to modules of `narrow` dots (every run must be a multiple of narrow).
std::string modules(const barcode::BarRow& row, int narrow);
// The rows of `zint --dump <arguments>` as '0'/'1', trailing spaces trimmed. Empty when zint
// is missing or fails.
std::vector<std::string> zintRows(const std::string& arguments);
// Runs of a 0/1 string as 'n' (the narrowest run) or 'w' (any longer run): the sequence of
// narrow and wide elements, whatever the ratio.
std::string elementClasses(const std::string& bits);
// The widths of the runs of a 0/1 string, in dots.
std::vector<int> runWidths(const std::string& bits);

// ZXing's reading of the bars drawn with a quiet zone, turned `rotation` quarter turns
// clockwise; nullopt when nothing is read. `addOn`, when given, is drawn `gap` dots after.
std::optional<std::string> readWithZXing(const std::string& bars, int rotation,
                                         const std::string& addOn = {}, int gap = 0);
bool haveZXing();

// How a symbol is compared with zint's: module for module (zint's wide elements are then
// as wide as ours at wide = 3 x narrow), or as the sequence of narrow and wide elements.
enum class Compare { Modules, Elements };
// Checks the symbol of (type, data) against `zint --dump <zintArguments>` (the add-on after
// a 9-module gap) at narrow 1 and 3.
void expectMatchesZint(int type, std::string_view data, const std::string& zintArguments, Compare how);
// Checks that ZXing reads `read` from the symbol at narrow 1..4 in all four rotations.
void expectReadsBack(int type, std::string_view data, const std::string& read);

}  // namespace tavrin::test
