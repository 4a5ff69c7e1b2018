#pragma once
// The one call through which the canvas draws a Barcode figure.
#include <cstdint>
#include <vector>

#include "render/barcode/barcode.h"
#include "render/bitmap.h"
#include "render/render_context.h"

namespace tavrin {

struct Figure;

// A line that only the screen shows (the cross over a barcode whose data could not be
// encoded): drawn in colour over the visible image, never into the printed dots.
struct ScreenLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int penWidth = 1;
    std::uint32_t colour = 0xFF0000;
};

// Expands the Barcode figure's data, encodes it and writes barLength and totalLength back
// into its record.
barcode::BarcodeResult EncodeBarcode(Figure& figure, const RenderContext& context);

// Draws the Barcode figure onto canvas (its position plus the reference point of
// context.document) and writes barLength and totalLength back into its record. Lines that
// belong on the screen only are appended to screenLines.
void DrawBarcodeFigure(Bitmap& canvas, const RenderContext& context, Figure& figure,
                       std::vector<ScreenLine>& screenLines);

}  // namespace tavrin
