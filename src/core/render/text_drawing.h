#pragma once
// Text drawn dot for dot as the printer prints it, in its resident fonts or in a soft
// font that travels with the label, with multipliers, quarter-turn rotations and styles.
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "render/bitmap.h"
#include "render/render_context.h"

namespace tavrin {

inline constexpr int kStyleInverse = 0x01;
inline constexpr int kStyleBold = 0x02;

// Draws one text field with its anchor at canvas dots (x, y) (the reference point already
// added). rotation 0..3 quarter turns clockwise; font 1..5 resident, 6 and above the soft
// font at that position of the font list; style bit 0 inverse, bit 1 bold (resident fonts
// only). Cells are ANDed onto the canvas, so blank parts never erase what is there.
// Returns the drawn extent along the writing direction (the Text figure's drawnWidth).
int DrawLabelText(Bitmap& canvas, const RenderContext& context, int x, int y, int rotation, int font,
                  int hMul, int vMul, int style, std::string_view data);

// A barcode's human-readable line: resident font 3 when font is 3, font 4 otherwise; 1 x 1,
// normal style, the characters as they stand; each cell advances w + 2 + extraSpacing.
void DrawCaptionText(Bitmap& canvas, const RenderContext& context, int x, int y, int rotation, int font,
                     int extraSpacing, std::string_view characters);

// One glyph as a printer raster. (x, y) is the top-left corner of the glyph's cell in label
// dots. data holds `rows` rows of `bytesPerRow` bytes, the glyph's first row first (the
// cell's top margin row is not included); each row starts with one margin unit of blank
// dots. As in printer rasters, a 0 bit prints and a 1 bit is blank. Each row is meant to be
// sent verticalRepeat times.
struct GlyphRaster {
    int x = 0, y = 0;
    int bytesPerRow = 0;
    int rows = 0;
    int verticalRepeat = 1;
    std::span<const std::uint8_t> data;
};

// The printer-output ("graphics text") mode: the same positions, culling and expansion as
// DrawLabelText, but each glyph is handed to emit instead of being drawn. Returns the extent.
int DrawLabelTextToPrinter(const RenderContext& context, int x, int y, int rotation, int font, int hMul,
                           int vMul, int style, std::string_view data,
                           const std::function<void(const GlyphRaster&)>& emit);

}  // namespace tavrin
