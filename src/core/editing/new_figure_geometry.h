#pragma once
// Where a figure drawn with the mouse starts: its geometry from the press point P and the
// release point R of the drawing drag, both in figure coordinates. The rest of the record
// stays as the kind's template has it.
#include "document/figure_records.h"

namespace tavrin {

struct DotPoint {
    int x = 0;
    int y = 0;
};

void placeNewText(TextRecord& text, DotPoint press);
void placeNewBarcode(BarcodeRecord& barcode, DotPoint press);
// The smaller coordinates, the differences as the size, each side at least 4.
void placeNewRectangle(RectangleRecord& rectangle, DotPoint press, DotPoint release);
// Corners in order; each side at least twice the thickness plus 4, the second corner moving out.
void placeNewBox(BoxRecord& box, DotPoint press, DotPoint release);
// From P to R; a line shorter than 16 dots both ways is stretched to 16 on each axis.
void placeNewLine(LineRecord& line, DotPoint press, DotPoint release);

}  // namespace tavrin
