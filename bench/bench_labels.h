#pragma once
// The labels the speed measurements work on: up to a thousand figures of every kind spread
// over the largest label, 608 x 1640 dots.
#include <memory>

#include "document/label_document.h"

namespace tavrin::bench {

// A picture of 96 x 64 dots: stripes and plain runs, as a converted logo would have.
inline std::shared_ptr<PictureBlock> makePicture() {
    auto block = std::make_shared<PictureBlock>();
    block->bytes = {1, 12};
    for (int row = 0; row < 64; ++row) {
        if (row % 4 == 0) {
            block->bytes.insert(block->bytes.end(), {0xCC, 0x00});
        } else {
            for (int b = 0; b < 12; ++b) block->bytes.push_back(static_cast<std::uint8_t>((b * 37 + row * 11) & 0x7F));
        }
    }
    return block;
}

// count figures spread over a 608 x 1640 label: mostly text in all five fonts, turned and
// scaled, with rectangles of every colour, boxes, diagonal lines and pictures between.
inline void fillDocument(LabelDocument& document, int count) {
    document.setup.width = 608;
    document.setup.length = 1640;
    document.setup.leftMargin = 8;
    document.setup.topMargin = 8;
    const auto picture = makePicture();
    for (int i = 0; i < count; ++i) {
        const int x = (i * 97) % 560, y = (i * 131) % 1600;
        switch (i % 10) {
            case 0: case 1: case 2: case 3: case 4: {
                TextRecord t;
                t.x = x, t.y = y;
                t.font = 1 + i % 5;
                t.rotation = (i / 5) % 4;
                t.hMul = 1 + i % 2;
                t.vMul = 1 + (i / 3) % 2;
                t.style = i % 4;
                t.data = i % 3 == 0 ? "\"Lot \"V0\" 1234\"" : "\"TAVRIN Label 42\"";
                document.figures.appendFigure(t.encode(), FigureKind::Text);
                break;
            }
            case 5:
                document.figures.appendFigure(RectangleRecord{x, y, 120, 40, (i / 10) % 3}.encode(),
                                              FigureKind::Rectangle);
                break;
            case 6:
                document.figures.appendFigure(BoxRecord{x, y, x + 150, y + 90, 3}.encode(), FigureKind::Box);
                break;
            case 7:
                document.figures.appendFigure(LineRecord{x, y, x + 200, y + 60, 4, (i / 10) % 3}.encode(),
                                              FigureKind::DiagonalLine);
                break;
            case 8:
                document.figures.appendFigure(LineRecord{x, y, x + 30, y + 160, 3, 0}.encode(),
                                              FigureKind::DiagonalLine);
                break;
            default: {
                PictureRecord p;
                p.x = x, p.y = y, p.width = 96, p.height = 64, p.name = "LOGO";
                p.dataLength = static_cast<unsigned>(picture->bytes.size());
                Figure& f = document.figures.appendFigure(p.encode(), FigureKind::Picture);
                f.picture = picture;
                break;
            }
        }
    }
    // Some of them selected, as while editing.
    int n = 0;
    for (Figure& f : document.figures)
        if (n++ % 7 == 0) f.flags = kFlagSelected;
}

}  // namespace tavrin::bench
