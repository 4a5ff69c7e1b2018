#include "render/canvas.h"

#include <algorithm>
#include <cstdlib>

#include "render/barcode/barcode.h"
#include "render/picture_decode.h"
#include "render/text_drawing.h"

namespace tavrin {

namespace {

FillOp fillFor(int colour) {
    switch (colour) {
        case kColourInverse: return FillOp::Invert;
        case kColourWhite: return FillOp::Blank;
        default: return FillOp::Ink;
    }
}

// Division rounding up, for a positive divisor.
long long ceilDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && a > 0) ? q + 1 : q;
}

// The area of `along` x `across` dots whose corner dot is the anchor, turned clockwise by
// rotation quarter turns as text and barcodes are (a rotation outside 0..3 is drawn unturned).
MarkRectangle turnedArea(int x, int y, int rotation, int along, int across) {
    switch (rotation >= 0 && rotation <= 3 ? rotation : 0) {
        case 1: return {x - across + 1, y, x + 1, y + along};
        case 2: return {x - along + 1, y - across + 1, x + 1, y + 1};
        case 3: return {x, y - along + 1, x + across, y + 1};
        default: return {x, y, x + along, y + across};
    }
}

void drawScreenLine(ScreenImage& image, const ScreenLine& line) {
    const int width = std::max(line.penWidth, 1);
    const int before = (width - 1) / 2;
    // A square pen moved along the line.
    const int dx = std::abs(line.x2 - line.x1), dy = -std::abs(line.y2 - line.y1);
    const int sx = line.x1 < line.x2 ? 1 : -1, sy = line.y1 < line.y2 ? 1 : -1;
    int x = line.x1, y = line.y1, error = dx + dy;
    for (;;) {
        for (int py = y - before; py < y - before + width; ++py)
            for (int px = x - before; px < x - before + width; ++px) image.setPixel(px, py, line.colour);
        if (x == line.x2 && y == line.y2) break;
        const int twice = 2 * error;
        if (twice >= dy) { error += dy; x += sx; }
        if (twice <= dx) { error += dx; y += sy; }
    }
}

void buildVisible(LabelCanvas& canvas, const LabelDocument& document, const CanvasOptions& options) {
    canvas.visible.copyFrom(canvas.back);
    for (const ScreenLine& line : canvas.screenLines) drawScreenLine(canvas.visible, line);
    const LabelSetup& setup = document.setup;
    if (options.showGrid)
        drawGrid(canvas.visible, setup.leftMargin, setup.topMargin,
                 std::clamp(options.gridStep, kMinGridStep, kMaxGridStep));
    if (options.showMargins) drawMargins(canvas.visible, setup.leftMargin, setup.topMargin);
}

}  // namespace

int textCellHeight(const LabelDocument& document, int font) {
    switch (font) {
        case 1: return 14;
        case 2: return 18;
        case 3: return 22;
        case 4: return 26;
        case 5: return 50;
        default: break;
    }
    const Figure* entry = document.figures.softFontByNumber(font);
    if (entry == nullptr) return 16;
    return document.figures.softFontHeight(FontRecord::decode(entry->record).letter);
}

int readableDigitsRoom(const BarcodeRecord& barcode) {
    const barcode::SymbologyInfo& info = barcode::symbology(barcode.type);
    const bool digitsOutside = info.family == barcode::BarcodeFamily::Ean13 || info.family == barcode::BarcodeFamily::UpcE;
    if (!digitsOutside || barcode.humanReadable == 0) return 0;
    // UPC-E without an add-on has a digit outside at either end.
    const bool bothEnds = info.family == barcode::BarcodeFamily::UpcE && info.addOnDigits == 0;
    return (3 * barcode.narrow + 12) * (bothEnds ? 2 : 1);
}

void drawRectangle(Bitmap& canvas, int x, int y, int width, int height, int colour) {
    canvas.fillRect(x, y, width, height, fillFor(colour));
}

void drawBox(Bitmap& canvas, int x1, int y1, int x2, int y2, int thickness) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const int t = thickness;
    const int w = x2 - x1, h = y2 - y1;
    canvas.fillRect(x1, y1, w, t, FillOp::Ink);      // top
    canvas.fillRect(x1, y2 - t, w, t, FillOp::Ink);  // bottom
    canvas.fillRect(x1, y1, t, h, FillOp::Ink);      // left
    canvas.fillRect(x2 - t, y1, t, h, FillOp::Ink);  // right
}

// The band between the line and its copy t dots further across (h = t / 2 before it). A
// dot belongs to the band when its centre lies inside, so every column (or row) of the
// band holds exactly t dots and the end point's own column (row) is left out, as the right
// and bottom edges of a rectangle are.
void drawDiagonalLine(Bitmap& canvas, int x1, int y1, int x2, int y2, int thickness, int colour) {
    const int t = thickness;
    if (t <= 0) return;
    const int h = t / 2;
    const FillOp op = fillFor(colour);
    const bool steep = std::abs(x2 - x1) <= std::abs(y2 - y1);
    if (steep) {
        if (y1 == y2) return;  // both points the same: no area
        if (y1 > y2) { std::swap(x1, x2); std::swap(y1, y2); }
        const long long dx = x2 - x1, dy = y2 - y1;
        const int from = std::max(y1, 0), to = std::min(y2, canvas.height());
        for (int py = from; py < to; ++py) {
            const long long k = py - y1;
            const auto first = static_cast<int>(x1 - h + ceilDiv(dx * (2 * k + 1) - dy, 2 * dy));
            canvas.fillRect(first, py, t, 1, op);
        }
        return;
    }
    if (x1 > x2) { std::swap(x1, x2); std::swap(y1, y2); }
    const long long dx = x2 - x1, dy = y2 - y1;
    const int from = std::max(x1, 0), to = std::min(x2, canvas.width());
    // Neighbouring columns usually start on the same row: fill them as one run.
    int runStart = from, runTop = 0;
    for (int px = from; px <= to; ++px) {
        int top = 0;
        if (px < to) {
            const long long k = px - x1;
            top = static_cast<int>(y1 - h + ceilDiv(dy * (2 * k + 1) - dx, 2 * dx));
        }
        if (px == from) { runTop = top; continue; }
        if (px == to || top != runTop) {
            canvas.fillRect(runStart, runTop, px - runStart, t, op);
            runStart = px;
            runTop = top;
        }
    }
}

void drawPicture(Bitmap& canvas, const Figure& figure, int x, int y) {
    if (!figure.picture) return;
    const PictureRecord picture = PictureRecord::decode(figure.record);
    andPicture(canvas, figure.picture->bytes, x, y, picture.width, picture.height);
}

void drawFigures(LabelCanvas& canvas, LabelDocument& document, const RenderContext& context) {
    const LabelSetup& setup = document.setup;
    const int width = std::clamp(setup.width, 0, kMaxCanvasWidth);
    const int length = std::clamp(setup.length, 0, kMaxCanvasLength);
    if (canvas.back.width() != width || canvas.back.height() != length)
        canvas.back = Bitmap(width, length);
    else
        canvas.back.clear();
    canvas.drawnCount = 0;
    canvas.screenLines.clear();

    RenderContext local = context;
    local.document = &document;
    const int rx = setup.leftMargin, ry = setup.topMargin;
    Bitmap& back = canvas.back;

    for (Figure& figure : document.figures) {
        switch (figure.kind) {
            case FigureKind::Text: {
                const TextRecord text = TextRecord::decode(figure.record);
                const int extent = DrawLabelText(back, local, text.x + rx, text.y + ry, text.rotation, text.font,
                                                 text.hMul, text.vMul, text.style, text.data);
                setRecordField<&TextRecord::drawnWidth>(figure.record, extent);
                break;
            }
            case FigureKind::Barcode:
                DrawBarcodeFigure(back, local, figure, canvas.screenLines);
                break;
            case FigureKind::Rectangle: {
                const RectangleRecord r = RectangleRecord::decode(figure.record);
                drawRectangle(back, r.x + rx, r.y + ry, r.width, r.height, r.colour);
                break;
            }
            case FigureKind::DiagonalLine: {
                const LineRecord l = LineRecord::decode(figure.record);
                drawDiagonalLine(back, l.x1 + rx, l.y1 + ry, l.x2 + rx, l.y2 + ry, l.thickness, l.colour);
                break;
            }
            case FigureKind::Box: {
                const BoxRecord b = BoxRecord::decode(figure.record);
                drawBox(back, b.x1 + rx, b.y1 + ry, b.x2 + rx, b.y2 + ry, b.thickness);
                break;
            }
            case FigureKind::Picture: {
                const PictureRecord p = PictureRecord::decode(figure.record);
                drawPicture(back, figure, p.x + rx, p.y + ry);
                break;
            }
            default:
                continue;  // Font entries (and unknown kinds) are not drawn and not counted
        }
        ++canvas.drawnCount;
    }
}

MarkRectangle selectionRectangle(const Figure& figure, const LabelDocument& document) {
    const int rx = document.setup.leftMargin, ry = document.setup.topMargin;
    switch (figure.kind) {
        case FigureKind::Text: {
            const TextRecord t = TextRecord::decode(figure.record);
            return turnedArea(t.x + rx, t.y + ry, t.rotation, t.drawnWidth,
                              t.vMul * textCellHeight(document, t.font));
        }
        case FigureKind::Barcode: {
            const BarcodeRecord b = BarcodeRecord::decode(figure.record);
            return turnedArea(b.x + rx, b.y + ry, b.rotation,
                              static_cast<int>(b.totalLength) + readableDigitsRoom(b) + 1,
                              b.height + 1);
        }
        case FigureKind::Rectangle: {
            const RectangleRecord r = RectangleRecord::decode(figure.record);
            return {r.x + rx - 1, r.y + ry - 1, r.x + rx + r.width, r.y + ry + r.height};
        }
        case FigureKind::Picture: {
            const PictureRecord p = PictureRecord::decode(figure.record);
            return {p.x + rx - 1, p.y + ry - 1, p.x + rx + p.width, p.y + ry + p.height};
        }
        case FigureKind::Box: {
            const BoxRecord b = BoxRecord::decode(figure.record);
            return {std::min(b.x1, b.x2) + rx - 1, std::min(b.y1, b.y2) + ry - 1, std::max(b.x1, b.x2) + rx,
                    std::max(b.y1, b.y2) + ry};
        }
        default:
            return {};
    }
}

void drawSelectionMarks(LabelCanvas& canvas, const LabelDocument& document, const CanvasOptions& options,
                        bool refresh) {
    if (refresh) buildVisible(canvas, document, options);
    if (!options.showSelection) return;
    const int rx = document.setup.leftMargin, ry = document.setup.topMargin;
    for (const Figure& figure : document.figures) {
        if (!figure.selected() || figure.isFont()) continue;
        if (figure.kind == FigureKind::DiagonalLine) {
            const LineRecord l = LineRecord::decode(figure.record);
            canvas.visible.notXorLine(l.x1 + rx, l.y1 + ry, l.x2 + rx, l.y2 + ry, kSelectionRed);
            continue;
        }
        const MarkRectangle m = selectionRectangle(figure, document);
        canvas.visible.notXorRectangle(m.left, m.top, m.right, m.bottom, kSelectionRed);
    }
}

void RedrawLabel(LabelCanvas& canvas, LabelDocument& document, const RenderContext& context,
                 const CanvasOptions& options) {
    drawFigures(canvas, document, context);
    buildVisible(canvas, document, options);
    drawSelectionMarks(canvas, document, options, false);
}

Bitmap renderPrintImage(LabelDocument& document, const RenderContext& context) {
    LabelCanvas canvas;
    drawFigures(canvas, document, context);
    return std::move(canvas.back);
}

}  // namespace tavrin
