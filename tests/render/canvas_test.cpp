#include "render/canvas.h"

#include <gtest/gtest.h>

#include <memory>

#include "render/resident_font.h"

namespace tavrin {
namespace {

// Every expected dot below is worked out by hand from the figure's numbers, never taken
// from a render.
class CanvasTest : public ::testing::Test {
protected:
    CanvasTest() {
        document.setup.width = 200;
        document.setup.length = 160;
        context.document = &document;
    }

    Figure& rectangle(int x, int y, int w, int h, int colour = kColourBlack) {
        return document.figures.appendFigure(RectangleRecord{x, y, w, h, colour}.encode(), FigureKind::Rectangle);
    }
    Figure& line(int x1, int y1, int x2, int y2, int t, int colour = kColourBlack) {
        return document.figures.appendFigure(LineRecord{x1, y1, x2, y2, t, colour}.encode(),
                                             FigureKind::DiagonalLine);
    }
    Figure& box(int x1, int y1, int x2, int y2, int t) {
        return document.figures.appendFigure(BoxRecord{x1, y1, x2, y2, t}.encode(), FigureKind::Box);
    }
    Figure& picture(int x, int y, int w, int h, std::vector<std::uint8_t> block) {
        PictureRecord p;
        p.x = x, p.y = y, p.width = w, p.height = h;
        p.dataLength = static_cast<unsigned>(block.size());
        p.name = "P";
        Figure& f = document.figures.appendFigure(p.encode(), FigureKind::Picture);
        f.picture = std::make_shared<PictureBlock>(PictureBlock{std::move(block)});
        return f;
    }
    const Bitmap& print() {
        drawFigures(canvas, document, context);
        return canvas.back;
    }
    // Ink dots of one column between rows from and to (exclusive), as a list of rows.
    static std::vector<int> inkRows(const Bitmap& b, int x, int from, int to) {
        std::vector<int> rows;
        for (int y = from; y < to; ++y)
            if (b.isInk(x, y)) rows.push_back(y);
        return rows;
    }
    static std::vector<int> inkColumns(const Bitmap& b, int y, int from, int to) {
        std::vector<int> columns;
        for (int x = from; x < to; ++x)
            if (b.isInk(x, y)) columns.push_back(x);
        return columns;
    }

    LabelDocument document;
    RenderContext context;
    LabelCanvas canvas;
};

TEST_F(CanvasTest, EmptyLabelIsWhiteWithGridAndNoMarginLinesAtTheOrigin) {
    CanvasOptions options;
    options.showGrid = true;
    RedrawLabel(canvas, document, context, options);
    EXPECT_EQ(canvas.drawnCount, 0);
    EXPECT_EQ(canvas.back.width(), 200);
    EXPECT_EQ(canvas.back.height(), 160);
    EXPECT_EQ(canvas.back.countInk(), 0);
    int red = 0, other = 0;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 200; ++x) {
            const auto p = canvas.visible.pixel(x, y);
            if (p == kGridRed) ++red;
            else if (p != kPaperWhite) ++other;
        }
    EXPECT_EQ(red, 25 * 20);  // 200 / 8 by 160 / 8 points
    EXPECT_EQ(other, 0);
    EXPECT_EQ(canvas.visible.pixel(0, 0), kGridRed);
    EXPECT_EQ(canvas.visible.pixel(8, 16), kGridRed);
    EXPECT_EQ(canvas.visible.pixel(4, 0), kPaperWhite);
}

TEST_F(CanvasTest, ReferencePointShiftsFiguresAndAnchorsGridAndMargins) {
    document.setup.leftMargin = 20;
    document.setup.topMargin = 10;
    rectangle(0, 0, 1, 1);
    rectangle(30, 40, 2, 1);
    CanvasOptions options;
    options.showGrid = true;
    RedrawLabel(canvas, document, context, options);
    EXPECT_EQ(canvas.drawnCount, 2);
    EXPECT_TRUE(canvas.back.isInk(20, 10));
    EXPECT_TRUE(canvas.back.isInk(50, 50));
    EXPECT_TRUE(canvas.back.isInk(51, 50));
    EXPECT_EQ(canvas.back.countInk(), 3);
    // Grid from (20 mod 8, 10 mod 8) = (4, 2).
    EXPECT_EQ(canvas.visible.pixel(4, 2), kGridRed);
    EXPECT_EQ(canvas.visible.pixel(12, 2), kGridRed);
    EXPECT_EQ(canvas.visible.pixel(4, 130), kGridRed);
    EXPECT_EQ(canvas.visible.pixel(0, 0), kPaperWhite);
    EXPECT_EQ(canvas.visible.pixel(8, 2), kPaperWhite);
    // Margin lines: y = 10 from x = 20 rightwards, x = 20 from y = 10 downwards.
    EXPECT_EQ(canvas.visible.pixel(19, 10), kPaperWhite);
    EXPECT_EQ(canvas.visible.pixel(21, 10), kMarginGreen);
    EXPECT_EQ(canvas.visible.pixel(199, 10), kMarginGreen);
    EXPECT_EQ(canvas.visible.pixel(20, 9), kPaperWhite);
    EXPECT_EQ(canvas.visible.pixel(20, 159), kMarginGreen);
    // Overlays never reach the back image, and are off when asked.
    EXPECT_FALSE(canvas.back.isInk(4, 2));
    options.showGrid = false;
    options.showMargins = false;
    RedrawLabel(canvas, document, context, options);
    EXPECT_EQ(canvas.visible.pixel(4, 2), kPaperWhite);
    EXPECT_EQ(canvas.visible.pixel(21, 10), kPaperWhite);
}

TEST_F(CanvasTest, RectanglesExcludeRightAndBottomEdgesAndInverseOnlyFlipsTheOverlap) {
    rectangle(10, 10, 20, 10);                  // black 10..29 x 10..19
    rectangle(25, 15, 10, 10, kColourInverse);  // 25..34 x 15..24
    rectangle(12, 12, 3, 2, kColourWhite);      // 12..14 x 12..13
    const Bitmap& b = print();
    EXPECT_TRUE(b.isInk(10, 10));
    EXPECT_TRUE(b.isInk(24, 19));
    EXPECT_FALSE(b.isInk(25, 15));  // black, inverted
    EXPECT_FALSE(b.isInk(29, 19));
    EXPECT_TRUE(b.isInk(30, 15));   // white, inverted
    EXPECT_TRUE(b.isInk(34, 24));
    EXPECT_FALSE(b.isInk(35, 24));
    EXPECT_FALSE(b.isInk(34, 25));
    EXPECT_TRUE(b.isInk(25, 24));   // below the black one
    EXPECT_FALSE(b.isInk(12, 12));
    EXPECT_FALSE(b.isInk(14, 13));
    EXPECT_TRUE(b.isInk(15, 13));
    EXPECT_TRUE(b.isInk(14, 14));
    // 200 black - 25 overlap + 75 inverted white - 6 cleared
    EXPECT_EQ(b.countInk(), 200 - 25 + 75 - 6);

    // Inverse twice restores; parts off the label are clipped; no area draws nothing.
    document.figures.clearFigures();
    rectangle(-5, -5, 10, 10);
    rectangle(190, 150, 50, 50);
    rectangle(0, 0, 3, 3, kColourInverse);
    rectangle(0, 0, 3, 3, kColourInverse);
    rectangle(50, 50, -10, 5);
    EXPECT_EQ(print().countInk(), 25 + 100);
    EXPECT_EQ(canvas.drawnCount, 5);
}

TEST_F(CanvasTest, BoxIsFourBandsAndReversedCornersDrawTheSame) {
    box(10, 10, 30, 20, 2);
    const Bitmap sorted = print();
    EXPECT_EQ(inkColumns(sorted, 10, 0, 50), std::vector<int>({10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                                                22, 23, 24, 25, 26, 27, 28, 29}));
    EXPECT_EQ(inkColumns(sorted, 15, 0, 50), std::vector<int>({10, 11, 28, 29}));
    EXPECT_EQ(inkRows(sorted, 20, 0, 50), std::vector<int>({10, 11, 18, 19}));
    EXPECT_EQ(inkRows(sorted, 29, 0, 50), std::vector<int>({10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
    EXPECT_EQ(sorted.countInk(), 20 * 10 - 16 * 6);

    document.figures.clearFigures();
    box(30, 20, 10, 10, 2);
    EXPECT_TRUE(print() == sorted);
    document.figures.clearFigures();
    box(10, 20, 30, 10, 2);
    EXPECT_TRUE(print() == sorted);
}

TEST_F(CanvasTest, ShallowLineIsABandOfThicknessDotsInEveryColumn) {
    line(10, 20, 110, 30, 4);  // slope 1/10, h = 2
    const Bitmap& b = print();
    // Column 10: top edge through the dot centre at 18 + 0.05 -> rows 18..21.
    EXPECT_EQ(inkRows(b, 10, 0, 160), std::vector<int>({18, 19, 20, 21}));
    // Column 109: 18 + 9.95 -> rows 28..31. The end column 110 is outside, as a right edge.
    EXPECT_EQ(inkRows(b, 109, 0, 160), std::vector<int>({28, 29, 30, 31}));
    EXPECT_TRUE(inkRows(b, 110, 0, 160).empty());
    EXPECT_TRUE(inkRows(b, 9, 0, 160).empty());
    // Column 15: 18 + 0.55 -> rows 19..22.
    EXPECT_EQ(inkRows(b, 15, 0, 160), std::vector<int>({19, 20, 21, 22}));
    EXPECT_EQ(b.countInk(), 100 * 4);

    // Drawn from the other end, the same band.
    const Bitmap forward = b;
    document.figures.clearFigures();
    line(110, 30, 10, 20, 4);
    EXPECT_TRUE(print() == forward);
}

TEST_F(CanvasTest, SteepLineIsABandOfThicknessDotsInEveryRow) {
    line(10, 20, 20, 120, 4);  // dx/dy = 1/10
    const Bitmap& b = print();
    EXPECT_EQ(inkColumns(b, 20, 0, 200), std::vector<int>({8, 9, 10, 11}));
    EXPECT_EQ(inkColumns(b, 119, 0, 200), std::vector<int>({18, 19, 20, 21}));
    EXPECT_TRUE(inkColumns(b, 120, 0, 200).empty());
    EXPECT_EQ(b.countInk(), 100 * 4);

    // Equal steps count as steep; odd thickness puts the extra dot after the line.
    document.figures.clearFigures();
    line(50, 50, 60, 60, 3);  // h = 1
    const Bitmap& d = print();
    EXPECT_EQ(inkColumns(d, 50, 0, 200), std::vector<int>({49, 50, 51}));
    EXPECT_EQ(inkColumns(d, 59, 0, 200), std::vector<int>({58, 59, 60}));
    EXPECT_EQ(d.countInk(), 30);
}

TEST_F(CanvasTest, WhiteAndInverseLines) {
    rectangle(40, 40, 20, 20);                 // black 40..59
    line(0, 50, 100, 50, 4, kColourInverse);   // rows 48..51, columns 0..99
    line(50, 0, 50, 100, 4, kColourInverse);   // columns 48..51, rows 0..99
    line(40, 58, 60, 58, 2, kColourWhite);     // rows 57..58, columns 40..59
    const Bitmap& b = print();
    EXPECT_TRUE(b.isInk(49, 49));    // black, inverted twice
    EXPECT_TRUE(b.isInk(10, 49));    // white, inverted once
    EXPECT_TRUE(b.isInk(49, 10));
    EXPECT_FALSE(b.isInk(45, 49));   // black, inverted once
    EXPECT_FALSE(b.isInk(49, 45));
    EXPECT_TRUE(b.isInk(45, 45));    // untouched black
    EXPECT_FALSE(b.isInk(45, 57));   // cleared by the white line
    EXPECT_FALSE(b.isInk(49, 58));
    EXPECT_TRUE(b.isInk(45, 59));
    EXPECT_TRUE(b.isInk(99, 51));
    EXPECT_FALSE(b.isInk(100, 51));
}

TEST_F(CanvasTest, PictureIsAndedRowByRowWithPaddingLeftOut) {
    rectangle(0, 0, 4, 10);  // black under the picture's first columns
    // width 12, bytesPerRow 2. Row 0: 0xF0 0x00 -> dots 0..3 blank, 4..11 ink (12..15 are
    // padding). Row 1: a run of three 0x0F bytes: two fill the row, the third is dropped.
    // Row 2 starts on the next byte: 0xFF 0x7F -> only dot 8 ink.
    picture(0, 0, 12, 3, {1, 2, 0xF0, 0x00, 0xC3, 0x0F, 0xFF, 0x7F});
    const Bitmap& b = print();
    EXPECT_EQ(inkColumns(b, 0, 0, 20), std::vector<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(inkColumns(b, 1, 0, 20), std::vector<int>({0, 1, 2, 3, 8, 9, 10, 11}));
    EXPECT_EQ(inkColumns(b, 2, 0, 20), std::vector<int>({0, 1, 2, 3, 8}));
    EXPECT_EQ(inkColumns(b, 3, 0, 20), std::vector<int>({0, 1, 2, 3}));
}

TEST_F(CanvasTest, PictureOffTheEdgesAndWithoutDataIsClipped) {
    // Two rows of 0x00 0x00, placed so that only its bottom-right corner is on the label.
    picture(-10, -1, 16, 2, {1, 2, 0xC2, 0x00, 0xC2, 0x00});
    Figure& empty = picture(100, 100, 8, 8, {});
    empty.picture.reset();
    picture(195, 150, 16, 20, {1, 2, 0xC2, 0x00, 0xC2, 0x00});
    const Bitmap& b = print();
    EXPECT_EQ(inkColumns(b, 0, 0, 200), std::vector<int>({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(inkColumns(b, 151, 0, 200), std::vector<int>({195, 196, 197, 198, 199}));
    EXPECT_EQ(b.countInk(), 6 + 10);
    EXPECT_EQ(canvas.drawnCount, 3);
}

TEST_F(CanvasTest, FontEntriesAreNeitherDrawnNorCounted) {
    FontRecord font;
    font.letter = 'A';
    font.height = 20;
    document.figures.appendFigure(font.encode(), FigureKind::Font).flags = kFlagSelected;
    rectangle(1, 1, 1, 1);
    RedrawLabel(canvas, document, context, {});
    EXPECT_EQ(canvas.drawnCount, 1);
    EXPECT_EQ(canvas.back.countInk(), 1);
    EXPECT_EQ(canvas.visible.pixel(0, 0), kPaperWhite);
}

TEST_F(CanvasTest, TextIsDrawnAtItsAnchorWithDrawnWidthWrittenBackAndInverseFlipsOnlyTheOverlap) {
    // Every character is glyph 0, and glyph 0 of font 1 is a solid 8 x 12 block.
    std::vector<std::uint8_t> fontFile(ResidentFonts::kFileSize, 0);
    std::fill_n(fontFile.begin(), 12, 0xFF);
    ResidentFonts fonts;
    fonts.loadFromBytes(fontFile);
    context.residentFonts = &fonts;
    document.setup.leftMargin = 2;
    TextRecord text;
    text.x = 8, text.y = 10, text.font = 1, text.data = "\"A\"";
    Figure& figure = document.figures.appendFigure(text.encode(), FigureKind::Text);
    rectangle(13, 0, 20, 40, kColourInverse);  // canvas columns 15..34
    const Bitmap& b = print();
    // Cell 10..19 x 10..23, glyph dots 11..18 x 11..22.
    EXPECT_EQ(inkColumns(b, 15, 0, 40), std::vector<int>({11, 12, 13, 14, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28,
                                                            29, 30, 31, 32, 33, 34}));
    EXPECT_EQ(inkColumns(b, 10, 0, 16), std::vector<int>({15}));
    EXPECT_EQ(inkRows(b, 12, 0, 40), std::vector<int>({11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22}));
    EXPECT_EQ(TextRecord::decode(figure.record).drawnWidth, 10);
    EXPECT_EQ(canvas.drawnCount, 2);
}

TEST_F(CanvasTest, InvalidBarcodeCrossIsOnTheScreenOnlyAndSurvivesARefresh) {
    BarcodeRecord code;  // EAN 13 with 11 digits cannot be encoded
    code.type = 8, code.x = 20, code.y = 20, code.height = 60, code.data = "\"12345678901\"";
    document.figures.appendFigure(code.encode(), FigureKind::Barcode);
    CanvasOptions plain;
    plain.showMargins = false;
    RedrawLabel(canvas, document, context, plain);
    EXPECT_EQ(canvas.drawnCount, 1);
    // The cross starts 5 dots inside the symbol's corner.
    EXPECT_EQ(canvas.visible.pixel(25, 25), kCrossRed);
    drawSelectionMarks(canvas, document, plain, true);
    EXPECT_EQ(canvas.visible.pixel(25, 25), kCrossRed);
    // The print image has only black and white: the dot is whatever the bars made it.
    Bitmap printed = renderPrintImage(document, context);
    EXPECT_TRUE(printed == canvas.back);
}

// The selection marks ------------------------------------------------------------------

class SelectionMarksTest : public CanvasTest {
protected:
    // Redraws with the given figure as the only selected one and lists the pixels the
    // marks changed.
    std::vector<std::pair<int, int>> markedPixels() {
        CanvasOptions plain;
        plain.showMargins = false;
        document.figures.unselectAll();
        RedrawLabel(canvas, document, context, plain);
        const ScreenImage before = canvas.visible;
        for (auto* f : selected) f->flags = kFlagSelected;
        drawSelectionMarks(canvas, document, plain, true);
        std::vector<std::pair<int, int>> changed;
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x)
                if (before.pixel(x, y) != canvas.visible.pixel(x, y)) changed.emplace_back(x, y);
        return changed;
    }
    static std::vector<std::pair<int, int>> outline(int left, int top, int right, int bottom) {
        std::vector<std::pair<int, int>> dots;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (x == left || x == right - 1 || y == top || y == bottom - 1) dots.emplace_back(x, y);
        return dots;
    }
    std::vector<Figure*> selected;
};

TEST_F(SelectionMarksTest, RectangleMarkIsNotXorRedAndDrawingItTwiceRemovesIt) {
    selected.push_back(&rectangle(10, 10, 20, 5));  // dots 10..29 x 10..14
    EXPECT_EQ(markedPixels(), outline(9, 9, 30, 15));
    EXPECT_EQ(canvas.visible.pixel(9, 9), kSelectionRed);       // on white: red
    EXPECT_EQ(canvas.visible.pixel(29, 14), 0x00FFFFu);         // on black: its complement
    drawSelectionMarks(canvas, document, {.showMargins = false}, false);
    const ScreenImage twice = canvas.visible;
    RedrawLabel(canvas, document, context, {.showMargins = false, .showSelection = false});
    EXPECT_TRUE(twice == canvas.visible);
}

TEST_F(SelectionMarksTest, BoxPictureAndTextOutlinesAndTheLineItself) {
    document.setup.leftMargin = 5;
    EXPECT_EQ(selectionRectangle(box(60, 40, 20, 10, 3), document), (MarkRectangle{24, 9, 65, 40}));
    EXPECT_EQ(selectionRectangle(picture(10, 20, 16, 4, {1, 2}), document), (MarkRectangle{14, 19, 31, 24}));
    // A text 30 dots along and 2 x 14 across, turned about its anchor (105, 100).
    TextRecord text;
    text.x = 100, text.y = 100, text.font = 1, text.vMul = 2, text.drawnWidth = 30;
    Figure& t = document.figures.appendFigure(text.encode(), FigureKind::Text);
    const auto turned = [&](int rotation) {
        text.rotation = rotation;
        t.record = text.encode();
        return selectionRectangle(t, document);
    };
    EXPECT_EQ(turned(0), (MarkRectangle{105, 100, 135, 128}));
    EXPECT_EQ(turned(1), (MarkRectangle{78, 100, 106, 130}));  // across to -x, along +y
    EXPECT_EQ(turned(2), (MarkRectangle{76, 73, 106, 101}));   // along -x, across -y
    EXPECT_EQ(turned(3), (MarkRectangle{105, 71, 133, 101}));  // across +x, along -y

    document.figures.clearFigures();
    document.setup.leftMargin = 0;
    selected.push_back(&line(10, 10, 13, 10, 2, kColourInverse));
    EXPECT_EQ(markedPixels(), (std::vector<std::pair<int, int>>{{10, 10}, {11, 10}, {12, 10}, {13, 10}}));
}

TEST_F(SelectionMarksTest, TextMarkHeightComesFromTheFont) {
    const auto heightOf = [&](int font) {
        TextRecord text;
        text.font = font;
        text.vMul = 1;
        text.drawnWidth = 5;
        Figure f;
        f.kind = FigureKind::Text;
        f.record = text.encode();
        const MarkRectangle m = selectionRectangle(f, document);
        return m.bottom - m.top;
    };
    EXPECT_EQ(heightOf(1), 14);
    EXPECT_EQ(heightOf(4), 26);
    EXPECT_EQ(heightOf(5), 50);
    EXPECT_EQ(heightOf(6), 16);  // no soft font loaded
    FontRecord b;
    b.letter = 'b';
    b.height = 33;
    document.figures.appendFigure(b.encode(), FigureKind::Font);
    EXPECT_EQ(heightOf(6), 33);
    EXPECT_EQ(heightOf(7), 16);
}

TEST_F(SelectionMarksTest, BarcodeMarkAddsTheHumanReadableRoomOfEanAndUpcE) {
    const auto markOf = [&](int type, int humanReadable, int rotation) {
        BarcodeRecord code;
        code.type = type;
        code.x = 40, code.y = 40, code.height = 80, code.narrow = 2, code.totalLength = 190;
        code.humanReadable = humanReadable;
        code.rotation = rotation;
        Figure f;
        f.kind = FigureKind::Barcode;
        f.record = code.encode();
        return selectionRectangle(f, document);
    };
    EXPECT_EQ(markOf(8, 2, 0), (MarkRectangle{40, 40, 40 + 190 + 18 + 1, 121}));
    EXPECT_EQ(markOf(8, 0, 0), (MarkRectangle{40, 40, 40 + 191, 121}));
    EXPECT_EQ(markOf(23, 1, 0), (MarkRectangle{40, 40, 40 + 190 + 36 + 1, 121}));
    EXPECT_EQ(markOf(0, 2, 0), (MarkRectangle{40, 40, 231, 121}));
    EXPECT_EQ(markOf(0, 0, 1), (MarkRectangle{40 - 80, 40, 41, 40 + 191}));
}

}  // namespace
}  // namespace tavrin
