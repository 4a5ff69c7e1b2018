#include "editing/new_figure_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace tavrin {

namespace {
constexpr int kMinimumRectangleSide = 4;
constexpr int kMinimumLineExtent = 16;

// Moves P or R on one axis so that they lie 16 apart: P goes past R when it is at or
// after R, otherwise R goes past P.
void stretchAxis(int& press, int& release) {
    if (press >= release) press = release + kMinimumLineExtent;
    else release = press + kMinimumLineExtent;
}
}  // namespace

void placeNewText(TextRecord& text, DotPoint press) {
    text.x = press.x;
    text.y = press.y;
}

void placeNewBarcode(BarcodeRecord& barcode, DotPoint press) {
    barcode.x = press.x;
    barcode.y = press.y;
}

void placeNewRectangle(RectangleRecord& rectangle, DotPoint press, DotPoint release) {
    rectangle.x = std::min(press.x, release.x);
    rectangle.y = std::min(press.y, release.y);
    rectangle.width = std::max(std::abs(press.x - release.x), kMinimumRectangleSide);
    rectangle.height = std::max(std::abs(press.y - release.y), kMinimumRectangleSide);
}

void placeNewBox(BoxRecord& box, DotPoint press, DotPoint release) {
    const int minimum = 2 * box.thickness + 4;
    box.x1 = std::min(press.x, release.x);
    box.y1 = std::min(press.y, release.y);
    box.x2 = std::max({press.x, release.x, box.x1 + minimum});
    box.y2 = std::max({press.y, release.y, box.y1 + minimum});
}

void placeNewLine(LineRecord& line, DotPoint press, DotPoint release) {
    if (std::abs(press.x - release.x) < kMinimumLineExtent && std::abs(press.y - release.y) < kMinimumLineExtent) {
        stretchAxis(press.x, release.x);
        stretchAxis(press.y, release.y);
    }
    line.x1 = press.x;
    line.y1 = press.y;
    line.x2 = release.x;
    line.y2 = release.y;
}

}  // namespace tavrin
