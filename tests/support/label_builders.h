#pragma once
// Small builders for the labels the suites draw, print and store.
#include <string>
#include <vector>

#include "document/label_document.h"
#include "render/render_context.h"

namespace tavrin::test {

// A label of the given size and the context that draws it, for the fixtures that draw.
struct DrawnLabel {
    DrawnLabel(int width, int length) { document.setup.width = width, document.setup.length = length, context.document = &document; }
    DrawnLabel(const DrawnLabel&) = delete;  // the context points at this label
    LabelDocument document;
    RenderContext context;
};

inline Variable makeSlot(int length, int justification, char pad, const std::string& prompt,
                         const std::string& value = {}, int step = 0) {
    Variable v;
    v.define(length, justification, pad, prompt, step);
    v.setValue(value);
    return v;
}

inline Figure& addText(LabelDocument& d, int x, int y, int font, int style, const std::string& data,
                       int rotation = 0, int hMul = 1, int vMul = 1) {
    const TextRecord t{.x = x, .y = y, .hMul = hMul, .vMul = vMul, .font = font, .style = style,
                       .rotation = rotation, .data = data};
    return d.figures.appendFigure(t.encode(), FigureKind::Text);
}

inline Figure& addBarcode(LabelDocument& d, int type, int x, int y, int height, int narrow, int wide,
                          int readable, const std::string& data, int rotation = 0) {
    const BarcodeRecord b{.type = type, .x = x, .y = y, .height = height, .narrow = narrow, .wide = wide,
                          .humanReadable = readable, .rotation = rotation, .data = data};
    return d.figures.appendFigure(b.encode(), FigureKind::Barcode);
}

inline Figure& addRectangle(LabelDocument& d, int x, int y, int w, int h, int colour) {
    return d.figures.appendFigure(RectangleRecord{x, y, w, h, colour}.encode(), FigureKind::Rectangle);
}

inline Figure& addLine(LabelDocument& d, int x1, int y1, int x2, int y2, int thickness, int colour) {
    return d.figures.appendFigure(LineRecord{x1, y1, x2, y2, thickness, colour}.encode(), FigureKind::DiagonalLine);
}

inline Figure& addBox(LabelDocument& d, int x1, int y1, int x2, int y2, int thickness) {
    return d.figures.appendFigure(BoxRecord{x1, y1, x2, y2, thickness}.encode(), FigureKind::Box);
}

inline Figure& addPicture(LabelDocument& d, int x, int y, const std::string& name, PictureBlockRef block,
                          int width, int height) {
    const unsigned length = block ? static_cast<unsigned>(block->bytes.size()) : 0;
    const PictureRecord p{.x = x, .y = y, .width = width, .height = height, .dataLength = length, .name = name};
    Figure& f = d.figures.appendFigure(p.encode(), FigureKind::Picture);
    f.picture = std::move(block);
    return f;
}

inline Figure& addFont(LabelDocument& d, char letter, std::vector<std::uint8_t> data) {
    const FontRecord r{.charCount = data.empty() ? 0u : data[0], .height = data.size() > 2 ? data[2] : 0u,
                       .dataLength = static_cast<unsigned>(data.size()), .letter = letter};
    Figure& f = d.figures.appendFigure(r.encode(), FigureKind::Font);
    f.fontData = std::move(data);
    return f;
}

// Bytes given as numbers, as a string.
inline std::string byteString(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

}  // namespace tavrin::test
