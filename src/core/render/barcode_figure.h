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
// into its record; for a 2D symbol also its extent across into the height field, which
// the symbol's size decides.
barcode::BarcodeResult EncodeBarcode(Figure& figure, const RenderContext& context);

// Draws the Barcode figure onto canvas (its position plus the reference point of
// context.document) and writes barLength and totalLength back into its record. Lines that
// belong on the screen only are appended to screenLines.
void DrawBarcodeFigure(Bitmap& canvas, const RenderContext& context, Figure& figure,
                       std::vector<ScreenLine>& screenLines);

// The longest expanded data a 2D symbol takes (the printer's own limit is for what it draws).
inline constexpr std::size_t kMaxMatrixData = 4096;

// A 2D symbol drawn alone by the same painter, cut to its extent (quiet zone included), to
// be sent or stored as a picture. x and y are where its top-left dot lies in figure
// coordinates (before the reference point). Empty when the figure is not a 2D symbol or its
// data cannot be encoded (invalid).
struct MatrixPicture {
    Bitmap image;
    int x = 0, y = 0;
    bool invalid = false;
    bool empty() const { return image.width() == 0 || image.height() == 0; }
};
MatrixPicture renderMatrixPicture(const Figure& figure, const RenderContext& context);

}  // namespace tavrin
