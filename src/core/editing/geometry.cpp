#include "editing/geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "render/canvas.h"

namespace tavrin {

namespace {

constexpr int kHandleReach = 4;        // a handle is hit within this many dots on both axes
constexpr int kMinBarcodeHeight = 24;  // the lowest bar height the printer takes

// The area of `along` x `across` dots anchored at (x, y), turned clockwise by rotation
// quarter turns as text and barcodes are; a rotation outside 0..3 is drawn unturned.
DotRect turnedBox(int x, int y, int rotation, int along, int across) {
    switch (rotation >= 0 && rotation <= 3 ? rotation : 0) {
        case 1: return orderedRect({x - across, y}, {x, y + along});
        case 2: return orderedRect({x - along, y - across}, {x, y});
        case 3: return orderedRect({x, y - along}, {x + across, y});
        default: return orderedRect({x, y}, {x + along, y + across});
    }
}

// The moves and resizes below write only the fields they change: the rest of the record
// stays byte for byte.
void setRectangle(Record& r, int x, int y, int width, int height) {
    setRecordField<&RectangleRecord::x>(r, x);
    setRecordField<&RectangleRecord::y>(r, y);
    setRecordField<&RectangleRecord::width>(r, width);
    setRecordField<&RectangleRecord::height>(r, height);
}

// A Diagonal Line and a Box both lie between two points.
template <typename View>
void setEnds(Record& r, int x1, int y1, int x2, int y2) {
    setRecordField<&View::x1>(r, x1);
    setRecordField<&View::y1>(r, y1);
    setRecordField<&View::x2>(r, x2);
    setRecordField<&View::y2>(r, y2);
}

bool near(DotPoint handle, DotPoint p) {
    return std::abs(handle.x - p.x) <= kHandleReach && std::abs(handle.y - p.y) <= kHandleReach;
}

bool hitsLine(const LineRecord& l, DotPoint p) {
    const double r = std::max(l.thickness / 2.0, 4.0);
    const double dx = l.x2 - l.x1, dy = l.y2 - l.y1;
    if (std::abs(dy) >= std::abs(dx)) {
        if (p.y < std::min(l.y1, l.y2) || p.y > std::max(l.y1, l.y2)) return false;
        const double atY = dy == 0 ? l.x1 : l.x1 + (p.y - l.y1) * dx / dy;
        return std::abs(p.x - atY) <= r;
    }
    if (p.x < std::min(l.x1, l.x2) || p.x > std::max(l.x1, l.x2)) return false;
    const double atX = l.y1 + (p.x - l.x1) * dy / dx;
    return std::abs(p.y - atX) <= r;
}

bool hitsBoxBorder(const BoxRecord& b, const DotRect& outer, DotPoint p) {
    if (!outer.contains(p)) return false;
    const int t = std::max(b.thickness, 4);
    const bool insideInner = p.x > outer.left + t && p.x < outer.right - t && p.y > outer.top + t &&
                             p.y < outer.bottom - t;
    return !insideInner;
}

// The smallest multiple of step at or above value (value and step positive).
int roundUpToStep(int value, int step) { return (value + step - 1) / step * step; }

void alignText(Figure& figure, const LabelDocument& document, int s) {
    TextRecord t = TextRecord::decode(figure.record);
    const int b = t.vMul * textBaselineOffset(document, t.font);
    switch (t.rotation) {
        case 1:
            t.x = snapToGrid(t.x - b, s) + b;
            t.y = snapToGrid(t.y, s);
            break;
        case 2:
            t.x = snapToGrid(t.x, s);
            t.y = snapToGrid(t.y - b, s) + b;
            break;
        case 3:
            t.x = snapToGrid(t.x + b, s) - b;
            t.y = snapToGrid(t.y, s);
            break;
        default:
            t.x = snapToGrid(t.x, s);
            t.y = snapToGrid(t.y + b, s) - b;
            break;
    }
    setRecordField<&TextRecord::x>(figure.record, t.x);
    setRecordField<&TextRecord::y>(figure.record, t.y);
}

void alignBarcode(Figure& figure, int s, bool sizes) {
    BarcodeRecord b = BarcodeRecord::decode(figure.record);
    setRecordField<&BarcodeRecord::x>(figure.record, snapToGrid(b.x, s));
    setRecordField<&BarcodeRecord::y>(figure.record, snapToGrid(b.y, s));
    if (!sizes) return;
    int height = snapToGrid(b.height, s);
    // Never below the printer's lowest bar height, and still on the grid.
    if (height < kMinBarcodeHeight) height = s >= kMinBarcodeHeight ? s : roundUpToStep(kMinBarcodeHeight, s);
    setRecordField<&BarcodeRecord::height>(figure.record, height);
}

void alignRectangle(Figure& figure, int s, bool sizes) {
    RectangleRecord r = RectangleRecord::decode(figure.record);
    r.x = snapToGrid(r.x, s);
    r.y = snapToGrid(r.y, s);
    if (sizes) {
        r.width = snapToGrid(r.width, s);
        r.height = snapToGrid(r.height, s);
        if (r.width == 0) r.width = s;
        if (r.height == 0) r.height = s;
    }
    setRectangle(figure.record, r.x, r.y, r.width, r.height);
}

void alignLine(Figure& figure, int s) {
    LineRecord l = LineRecord::decode(figure.record);
    l.x1 = snapToGrid(l.x1, s);
    l.y1 = snapToGrid(l.y1, s);
    l.x2 = snapToGrid(l.x2, s);
    l.y2 = snapToGrid(l.y2, s);
    // A line that snapped to a single point gets one step on both axes; a line straight on
    // one axis stays straight.
    if (std::abs(l.x2 - l.x1) < s && std::abs(l.y2 - l.y1) < s) {
        l.x2 = l.x1 + s;
        l.y2 = l.y1 + s;
    }
    setEnds<LineRecord>(figure.record, l.x1, l.y1, l.x2, l.y2);
}

void alignBox(Figure& figure, int s, bool sizes) {
    BoxRecord b = BoxRecord::decode(figure.record);
    const int dx = snapToGrid(b.x1, s) - b.x1, dy = snapToGrid(b.y1, s) - b.y1;
    b.x1 += dx, b.y1 += dy, b.x2 += dx, b.y2 += dy;
    if (sizes) {
        b.x2 = snapToGrid(b.x2, s);
        b.y2 = snapToGrid(b.y2, s);
        if (std::abs(b.x2 - b.x1) < s) b.x2 = b.x1 + s;
        if (std::abs(b.y2 - b.y1) < s) b.y2 = b.y1 + s;
    }
    setEnds<BoxRecord>(figure.record, b.x1, b.y1, b.x2, b.y2);
}

}  // namespace

DotRect orderedRect(DotPoint a, DotPoint b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

std::optional<DotRect> figureBox(const Figure& figure, const LabelDocument& document) {
    switch (figure.kind) {
        case FigureKind::Text: {
            const TextRecord t = TextRecord::decode(figure.record);
            return turnedBox(t.x, t.y, t.rotation, t.drawnWidth, t.vMul * textCellHeight(document, t.font));
        }
        case FigureKind::Barcode: {
            const BarcodeRecord b = BarcodeRecord::decode(figure.record);
            return turnedBox(b.x, b.y, b.rotation, static_cast<int>(b.totalLength) + readableDigitsRoom(b), b.height);
        }
        case FigureKind::Rectangle: {
            const RectangleRecord r = RectangleRecord::decode(figure.record);
            return orderedRect({r.x, r.y}, {r.x + r.width, r.y + r.height});
        }
        case FigureKind::Picture: {
            const PictureRecord p = PictureRecord::decode(figure.record);
            return orderedRect({p.x, p.y}, {p.x + p.width, p.y + p.height});
        }
        case FigureKind::Box: {
            const BoxRecord b = BoxRecord::decode(figure.record);
            return orderedRect({b.x1, b.y1}, {b.x2, b.y2});
        }
        case FigureKind::DiagonalLine: {
            const LineRecord l = LineRecord::decode(figure.record);
            return orderedRect({l.x1, l.y1}, {l.x2, l.y2});
        }
        case FigureKind::Font: break;
    }
    return std::nullopt;
}

bool hitsFigure(const Figure& figure, const LabelDocument& document, DotPoint p) {
    if (figure.kind == FigureKind::DiagonalLine) return hitsLine(LineRecord::decode(figure.record), p);
    const auto box = figureBox(figure, document);
    if (!box) return false;
    if (figure.kind == FigureKind::Box) return hitsBoxBorder(BoxRecord::decode(figure.record), *box, p);
    return box->contains(p);
}

Figure* figureAt(LabelDocument& document, DotPoint p) {
    for (Figure& figure : document.figures)
        if (hitsFigure(figure, document, p)) return &figure;
    return nullptr;
}

bool bandTakes(const Figure& figure, const LabelDocument& document, const DotRect& band) {
    if (figure.kind == FigureKind::DiagonalLine) {
        const LineRecord l = LineRecord::decode(figure.record);
        return band.contains({l.x1, l.y1}) || band.contains({l.x2, l.y2});
    }
    const auto box = figureBox(figure, document);
    if (!box) return false;
    return band.contains({box->left, box->top}) || band.contains({box->right, box->top}) ||
           band.contains({box->left, box->bottom}) || band.contains({box->right, box->bottom});
}

std::optional<HandleHit> findHandle(LabelDocument& document, DotPoint p) {
    for (Figure& figure : document.figures) {
        DotPoint first, second;
        switch (figure.kind) {
            case FigureKind::Rectangle: {
                const RectangleRecord r = RectangleRecord::decode(figure.record);
                first = {r.x, r.y};
                second = {r.x + r.width, r.y + r.height};
                break;
            }
            case FigureKind::Box: {
                const BoxRecord b = BoxRecord::decode(figure.record);
                first = {b.x1, b.y1};
                second = {b.x2, b.y2};
                break;
            }
            case FigureKind::DiagonalLine: {
                const LineRecord l = LineRecord::decode(figure.record);
                if (near({l.x1, l.y1}, p)) return HandleHit{&figure, 1, {l.x1, l.y1}, {l.x2, l.y2}};
                if (near({l.x2, l.y2}, p)) return HandleHit{&figure, 4, {l.x1, l.y1}, {l.x2, l.y2}};
                continue;
            }
            case FigureKind::Barcode: {
                const DotRect box = *figureBox(figure, document);
                const int rotation = BarcodeRecord::decode(figure.record).rotation;
                const bool alongX = p.x >= box.left && p.x <= box.right;
                const bool alongY = p.y >= box.top && p.y <= box.bottom;
                int handle = 0;
                switch (rotation) {
                    case 1: handle = alongY && std::abs(p.x - box.left) <= kHandleReach ? 6 : 0; break;
                    case 2: handle = alongX && std::abs(p.y - box.top) <= kHandleReach ? 7 : 0; break;
                    case 3: handle = alongY && std::abs(p.x - box.right) <= kHandleReach ? 8 : 0; break;
                    default: handle = alongX && std::abs(p.y - box.bottom) <= kHandleReach ? 5 : 0; break;
                }
                if (handle != 0) return HandleHit{&figure, handle, {box.left, box.top}, {box.right, box.bottom}};
                continue;
            }
            default:
                continue;  // Text, Picture and Font entries have no handles
        }
        const std::array<DotPoint, 4> corners = {first, DotPoint{second.x, first.y}, DotPoint{first.x, second.y},
                                                 second};
        for (std::size_t i = 0; i < corners.size(); ++i)
            if (near(corners[i], p)) return HandleHit{&figure, static_cast<int>(i) + 1, first, second};
    }
    return std::nullopt;
}

void applyResize(Figure& figure, int handle, DotPoint first, DotPoint second) {
    Record& r = figure.record;
    switch (figure.kind) {
        case FigureKind::Barcode: {
            const int height = (handle == 5 || handle == 7) ? second.y - first.y : second.x - first.x;
            setRecordField<&BarcodeRecord::height>(r, std::max(height, kMinBarcodeHeight));
            break;
        }
        case FigureKind::Rectangle: {
            const DotRect d = orderedRect(first, second);
            setRectangle(r, d.left, d.top, std::max(d.right - d.left, 2), std::max(d.bottom - d.top, 2));
            break;
        }
        case FigureKind::DiagonalLine: {
            // A line shrunk to (nearly) a point could no longer be seen or caught.
            if (std::abs(second.x - first.x) < 8 && std::abs(second.y - first.y) < 8) {
                if (second.x <= first.x)
                    first.x = second.x + 16;
                else
                    second.x = first.x + 16;
            }
            setEnds<LineRecord>(r, first.x, first.y, second.x, second.y);
            break;
        }
        case FigureKind::Box: {
            const DotRect d = orderedRect(first, second);
            setEnds<BoxRecord>(r, d.left, d.top, std::max(d.right, d.left + 2), std::max(d.bottom, d.top + 2));
            break;
        }
        default:
            break;
    }
}

int snapToGrid(int value, int step) {
    if (step < 1) return value;
    const int n = (std::abs(value) + step / 2) / step;
    return value < 0 ? -n * step : n * step;
}

int textBaselineOffset(const LabelDocument& document, int font) {
    switch (font) {
        case 1: return 11;
        case 2: return 14;
        case 3: return 18;
        case 4: return 20;
        case 5: return 41;
        default: return textCellHeight(document, font);  // a soft font: its character height
    }
}

void alignSelection(LabelDocument& document, int step, bool adjustSizes) {
    if (step < 1) return;
    for (Figure& figure : document.figures) {
        if (!figure.selected()) continue;
        switch (figure.kind) {
            case FigureKind::Text: alignText(figure, document, step); break;
            case FigureKind::Barcode: alignBarcode(figure, step, adjustSizes); break;
            case FigureKind::Rectangle: alignRectangle(figure, step, adjustSizes); break;
            case FigureKind::DiagonalLine:
                if (adjustSizes) alignLine(figure, step);
                break;
            case FigureKind::Box: alignBox(figure, step, adjustSizes); break;
            case FigureKind::Picture: {
                const PictureRecord picture = PictureRecord::decode(figure.record);
                setRecordField<&PictureRecord::x>(figure.record, snapToGrid(picture.x, step));
                setRecordField<&PictureRecord::y>(figure.record, snapToGrid(picture.y, step));
                break;
            }
            case FigureKind::Font: break;
        }
    }
}

void placeNewRectangle(RectangleRecord& record, DotPoint press, DotPoint release) {
    const DotRect d = orderedRect(press, release);
    record.x = d.left;
    record.y = d.top;
    record.width = std::max(d.right - d.left, 4);
    record.height = std::max(d.bottom - d.top, 4);
}

void placeNewBox(BoxRecord& record, DotPoint press, DotPoint release) {
    const DotRect d = orderedRect(press, release);
    const int least = 2 * record.thickness + 4;
    record.x1 = d.left;
    record.y1 = d.top;
    record.x2 = std::max(d.right, d.left + least);
    record.y2 = std::max(d.bottom, d.top + least);
}

void placeNewLine(LineRecord& record, DotPoint press, DotPoint release) {
    if (std::abs(release.x - press.x) < 16 && std::abs(release.y - press.y) < 16) {
        // Too short to see: each axis is pushed apart separately.
        if (press.x >= release.x)
            press.x = release.x + 16;
        else
            release.x = press.x + 16;
        if (press.y >= release.y)
            press.y = release.y + 16;
        else
            release.y = press.y + 16;
    }
    record.x1 = press.x;
    record.y1 = press.y;
    record.x2 = release.x;
    record.y2 = release.y;
}

}  // namespace tavrin
