#pragma once
// The label canvas: every figure drawn into a one-bit back image exactly as the printer
// prints it, and the visible colour image made from it with the grid, the margin lines and
// the selection marks on top. The print image is the back image alone, so the screen and
// the printer never disagree about a dot.
#include <vector>

#include "document/label_document.h"
#include "render/barcode_figure.h"
#include "render/bitmap.h"
#include "render/render_context.h"
#include "render/screen_image.h"

namespace tavrin {

struct CanvasOptions {
    bool showGrid = false;
    int gridStep = 8;          // dots between grid points, 4..40
    bool showMargins = true;
    bool showSelection = true; // outlines of the selected figures
};

// The largest label the canvas draws. Label files carry their size unchecked, and a
// 65535 x 65535 label would take gigabytes; no printer of this kind is wider than 608 dots
// or feeds a longer label than this, so a bigger one is drawn cut to it.
inline constexpr int kMaxCanvasWidth = 2048;
inline constexpr int kMaxCanvasLength = 8192;

inline constexpr int kMinGridStep = 4;
inline constexpr int kMaxGridStep = 40;

struct LabelCanvas {
    Bitmap back;                          // label width x length, figures only
    ScreenImage visible;                  // back plus overlays
    int drawnCount = 0;                   // drawable figures drawn by the last redraw
    std::vector<ScreenLine> screenLines;  // screen-only lines the figures asked for
};

// Draws every figure, head first, into canvas.back (resized to the label and cleared
// first), counts them into drawnCount and writes the measured values back into the figures
// (a text's drawnWidth, a barcode's lengths).
void drawFigures(LabelCanvas& canvas, LabelDocument& document, const RenderContext& context);

// The full redraw every change of the label ends with: the figures, then the visible image
// with its overlays.
void RedrawLabel(LabelCanvas& canvas, LabelDocument& document, const RenderContext& context,
                 const CanvasOptions& options);

// The selection outlines in the not-xor pen, so that drawing one twice removes it. With
// refresh the visible image is first rebuilt from the back image with grid and margins,
// which takes away the old marks without drawing the figures again.
void drawSelectionMarks(LabelCanvas& canvas, const LabelDocument& document, const CanvasOptions& options,
                        bool refresh);

// The one-bit image the printer would print: the figures, no overlays.
Bitmap renderPrintImage(LabelDocument& document, const RenderContext& context);

// The painters. Coordinates are canvas dots, the reference point already added; every
// area excludes its right and bottom edges.
void drawRectangle(Bitmap& canvas, int x, int y, int width, int height, int colour);
void drawBox(Bitmap& canvas, int x1, int y1, int x2, int y2, int thickness);
void drawDiagonalLine(Bitmap& canvas, int x1, int y1, int x2, int y2, int thickness, int colour);
void drawPicture(Bitmap& canvas, const Figure& figure, int x, int y);

// The outline drawn for one selected figure, in label dots (left, top, right, bottom with
// right and bottom excluded). Diagonal lines are marked by the line itself instead.
struct MarkRectangle {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const MarkRectangle&) const = default;
};
MarkRectangle selectionRectangle(const Figure& figure, const LabelDocument& document);

// The measures the marks and the mouse editor share. A text's cell height by font: 14, 18,
// 22, 26, 50 for the resident fonts 1..5, else the soft font's character height (16 when
// the font is missing).
int textCellHeight(const LabelDocument& document, int font);
// The room the human-readable digits of EAN 13 and UPC-E take beside the bars, added to a
// barcode's total length; 0 for the other types and without digits.
int readableDigitsRoom(const BarcodeRecord& barcode);

}  // namespace tavrin
