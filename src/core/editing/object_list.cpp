#include "editing/object_list.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "editing/dialog_fields.h"
#include "render/barcode/barcode.h"

namespace tavrin {
namespace {

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

std::string describeText(const TextRecord& text, const FigureList& figures) {
    const bool multiplied = text.hMul != 1 || text.vMul != 1;
    if (text.font < 6) {
        return multiplied ? format("Text  (Font %d, Multiplied %dx%d)", text.font, text.hMul, text.vMul)
                          : format("Text  (Font %d)", text.font);
    }
    const Figure* font = figures.softFontByNumber(text.font);
    // A text whose font is no longer in the list still gets a row.
    const char letter = font != nullptr ? FontRecord::decode(font->record).letter : '?';
    return multiplied ? format("Text  (Loadable font %c, Multiplied %dx%d)", letter, text.hMul, text.vMul)
                      : format("Text  (Loadable font %c)", letter);
}

std::string rotationName(int rotation) {
    return rotation >= 0 && rotation < static_cast<int>(kRotationItems.size()) ? kRotationItems[static_cast<std::size_t>(rotation)]
                                                                                : "";
}

}  // namespace

std::vector<Figure*> listedFigures(FigureList& figures) {
    std::vector<Figure*> listed;
    for (Figure& f : figures)
        if (!f.isFont()) listed.push_back(&f);
    return listed;
}

std::vector<const Figure*> listedFigures(const FigureList& figures) {
    std::vector<const Figure*> listed;
    for (const Figure& f : figures)
        if (!f.isFont()) listed.push_back(&f);
    return listed;
}

std::string describeFigure(const Figure& figure, const FigureList& figures) {
    switch (figure.kind) {
        case FigureKind::Text: return describeText(TextRecord::decode(figure.record), figures);
        case FigureKind::Barcode:
            return std::string("Barcode  ") + barcode::symbology(BarcodeRecord::decode(figure.record).type).name;
        case FigureKind::Rectangle: {
            const RectangleRecord r = RectangleRecord::decode(figure.record);
            return format("Rectangle  (Size %dx%d)", r.width, r.height);
        }
        case FigureKind::DiagonalLine: {
            const LineRecord l = LineRecord::decode(figure.record);
            return format("Line  (%d,%d to %d,%d)", l.x1, l.y1, l.x2, l.y2);
        }
        case FigureKind::Box: {
            const BoxRecord b = BoxRecord::decode(figure.record);
            return format("Box  (Size %dx%d)", std::abs(b.x2 - b.x1), std::abs(b.y2 - b.y1));
        }
        case FigureKind::Picture: {
            const PictureRecord p = PictureRecord::decode(figure.record);
            return "Picture  \"" + p.name + format("\"  (Size %dx%d)", p.width, p.height);
        }
        case FigureKind::Font: break;
    }
    return {};
}

ObjectListRow objectListRow(const Figure& figure, int number, const FigureList& figures) {
    ObjectListRow row;
    auto& c = row.cells;
    c[0] = format(" %d", number);
    c[1] = figure.selected() ? "#" : "";
    c[2] = describeFigure(figure, figures);
    const auto at = [&](int x, int y) {
        c[3] = std::to_string(x);
        c[4] = std::to_string(y);
    };
    switch (figure.kind) {
        case FigureKind::Text: {
            const TextRecord t = TextRecord::decode(figure.record);
            at(t.x, t.y);
            c[5] = rotationName(t.rotation);
            c[6] = t.data;
            row.textData = true;
            break;
        }
        case FigureKind::Barcode: {
            const BarcodeRecord b = BarcodeRecord::decode(figure.record);
            at(b.x, b.y);
            c[5] = rotationName(b.rotation);
            c[6] = b.data;
            break;
        }
        case FigureKind::Rectangle: {
            const RectangleRecord r = RectangleRecord::decode(figure.record);
            at(r.x, r.y);
            break;
        }
        case FigureKind::Box: {
            const BoxRecord b = BoxRecord::decode(figure.record);
            at(std::min(b.x1, b.x2), std::min(b.y1, b.y2));
            break;
        }
        case FigureKind::Picture: {
            const PictureRecord p = PictureRecord::decode(figure.record);
            at(p.x, p.y);
            break;
        }
        case FigureKind::DiagonalLine:
        case FigureKind::Font: break;
    }
    return row;
}

void exchangeFigures(Figure& a, Figure& b) { std::swap(a, b); }

bool moveListedFigure(FigureList& figures, int row, int delta) {
    std::vector<Figure*> listed = listedFigures(figures);
    const int count = static_cast<int>(listed.size());
    const int other = row + delta;
    if (count < 2 || row < 1 || row > count || other < 1 || other > count) return false;
    exchangeFigures(*listed[static_cast<std::size_t>(row - 1)], *listed[static_cast<std::size_t>(other - 1)]);
    return true;
}

}  // namespace tavrin
