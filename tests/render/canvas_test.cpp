#include "render/canvas.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "render/image_io.h"
#include "render/picture_decode.h"
#include "render/text_drawing.h"
#include "support/label_builders.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using Points = std::initializer_list<std::pair<int, int>>;

// The screen pixels at the points: W white, R red, G margin green, ? anything else.
std::string screen(const ScreenImage& s, Points points) {
    std::string out;
    for (auto [x, y] : points) {
        const auto p = s.pixel(x, y);
        out += p == kPaperWhite ? 'W' : p == 0xFF0000 ? 'R' : p == kMarginGreen ? 'G' : '?';
    }
    return out;
}
// The runs of ink along row y (or column x when `column`), as "first-last" separated by blanks.
std::string runs(const Bitmap& b, int at, bool column = false) {
    std::string out;
    const int length = column ? b.height() : b.width();
    for (int i = 0, start = -1; i <= length; ++i) {
        const bool on = i < length && (column ? b.isInk(at, i) : b.isInk(i, at));
        if (on && start < 0) start = i;
        if (!on && start >= 0) out += (out.empty() ? "" : " ") + std::to_string(start) + "-" + std::to_string(i - 1);
        if (!on) start = -1;
    }
    return out;
}

// Every expected dot below is worked out by hand from the figure's numbers, never taken
// from a render.
class CanvasTest : public ::testing::Test, protected test::DrawnLabel {
protected:
    CanvasTest() : DrawnLabel(200, 160) {}
    Figure& rectangle(int x, int y, int w, int h, int colour = kColourBlack) {
        return test::addRectangle(document, x, y, w, h, colour);
    }
    Figure& line(int x1, int y1, int x2, int y2, int t, int colour = kColourBlack) {
        return test::addLine(document, x1, y1, x2, y2, t, colour);
    }
    Figure& picture(int x, int y, int w, int h, std::vector<std::uint8_t> block) {
        return test::addPicture(document, x, y, "P", std::make_shared<PictureBlock>(PictureBlock{std::move(block)}), w, h);
    }
    const Bitmap& print() {
        drawFigures(canvas, document, context);
        return canvas.back;
    }
    LabelCanvas canvas;
};

TEST_F(CanvasTest, GridAndMarginLinesStartAtTheReferencePointAndFiguresShiftWithIt) {
    // An empty label at the origin: white, a grid point every 8 dots, no margin lines; a
    // selected Font entry is neither drawn, counted nor marked.
    document.figures.appendFigure(FontRecord{.height = 20, .letter = 'A'}.encode(), FigureKind::Font).flags =
        kFlagSelected;
    RedrawLabel(canvas, document, context, {.showGrid = true});
    EXPECT_EQ((std::array{canvas.drawnCount, canvas.back.width(), canvas.back.height(), canvas.back.countInk()}),
              (std::array{0, 200, 160, 0}));
    int red = 0, white = 0;
    for (auto p : canvas.visible.pixels()) red += p == kGridRed, white += p == kPaperWhite;
    EXPECT_EQ((std::array{red, white}), (std::array{25 * 20, 200 * 160 - 25 * 20}));  // 200 / 8 by 160 / 8 points
    EXPECT_EQ(screen(canvas.visible, {{0, 0}, {8, 16}, {4, 0}}), "RRW");

    document.setup.leftMargin = 20, document.setup.topMargin = 10;
    rectangle(0, 0, 1, 1), rectangle(30, 40, 2, 1);
    // No font loaded: an inverse text is its solid 10 x 14 cell, at 60..69 x 60..73.
    const TextRecord text{.x = 40, .y = 50, .font = 1, .style = kStyleInverse, .data = "\"A\""};
    const Figure& textFigure = document.figures.appendFigure(text.encode(), FigureKind::Text);
    RedrawLabel(canvas, document, context, {.showGrid = true});
    EXPECT_EQ(canvas.drawnCount, 3);
    EXPECT_EQ(test::inkString(canvas.back, {{20, 10}, {50, 50}, {51, 50}, {4, 2}, {60, 60}, {69, 73}, {70, 73}, {69, 74}}),
              "11101100");  // overlays stay off the print
    EXPECT_EQ(canvas.back.countInk(), 3 + 140);
    EXPECT_EQ(TextRecord::decode(textFigure.record).drawnWidth, 10);
    // Grid from (20 mod 8, 10 mod 8) = (4, 2); margin lines y = 10 from x = 20 rightwards and
    // x = 20 from y = 10 downwards.
    EXPECT_EQ(screen(canvas.visible, {{4, 2}, {12, 2}, {4, 130}, {0, 0}, {8, 2}}), "RRRWW");
    EXPECT_EQ(screen(canvas.visible, {{19, 10}, {21, 10}, {199, 10}, {20, 9}, {20, 159}}), "WGGWG");
}

TEST_F(CanvasTest, AHugeLabelFromAFileIsDrawnCutToTheLargestCanvas) {
    document.setup.width = 65535, document.setup.length = 65535;
    rectangle(2040, 8180, 100, 100);
    const Bitmap& image = print();
    EXPECT_EQ(std::pair(image.width(), image.height()), std::pair(2048, 8192));
    EXPECT_EQ(test::inkString(image, {{2047, 8191}, {2039, 8191}}), "10");
}

TEST_F(CanvasTest, RectanglesExcludeRightAndBottomEdgesAndInverseOnlyFlipsTheOverlap) {
    rectangle(10, 10, 20, 10);                  // black 10..29 x 10..19
    rectangle(25, 15, 10, 10, kColourInverse);  // 25..34 x 15..24
    rectangle(12, 12, 3, 2, kColourWhite);      // 12..14 x 12..13
    // Black; black inverted; white inverted; outside; below the black one; cleared; around it.
    EXPECT_EQ(test::inkString(print(), {{10, 10}, {24, 19}, {25, 15}, {29, 19}, {30, 15}, {34, 24}, {35, 24}, {34, 25}, {25, 24},
                            {12, 12}, {14, 13}, {15, 13}, {14, 14}}),
              "1100110010011");
    EXPECT_EQ(canvas.back.countInk(), 200 - 25 + 75 - 6);  // black - overlap + inverted white - cleared
    // Inverse twice restores; parts off the label are clipped; no area draws nothing.
    document.figures.clearFigures();
    rectangle(-5, -5, 10, 10), rectangle(190, 150, 50, 50), rectangle(50, 50, -10, 5);
    rectangle(0, 0, 3, 3, kColourInverse), rectangle(0, 0, 3, 3, kColourInverse);
    EXPECT_EQ(print().countInk(), 25 + 100);
    EXPECT_EQ(canvas.drawnCount, 5);
}

TEST_F(CanvasTest, BoxIsFourBandsAndReversedCornersDrawTheSame) {
    test::addBox(document, 10, 10, 30, 20, 2);
    const Bitmap sorted = print();
    EXPECT_EQ(runs(sorted, 10) + " | " + runs(sorted, 15), "10-29 | 10-11 28-29");
    EXPECT_EQ(runs(sorted, 20, true) + " | " + runs(sorted, 29, true), "10-11 18-19 | 10-19");
    EXPECT_EQ(sorted.countInk(), 20 * 10 - 16 * 6);
    for (auto [x1, y1, x2, y2] : {std::array{30, 20, 10, 10}, {10, 20, 30, 10}}) {
        document.figures.clearFigures();
        test::addBox(document, x1, y1, x2, y2, 2);
        EXPECT_TRUE(print() == sorted) << x1 << "," << y1;
    }
}

// A band of thickness dots in every column of a shallow line and every row of a steep one.
TEST_F(CanvasTest, DiagonalLineBandsRunAcrossTheirMainDirection) {
    line(10, 20, 110, 30, 4);  // slope 1/10, h = 2
    const Bitmap b = print();
    // Column 10: top edge through the dot centre at 18 + 0.05 -> rows 18..21; column 15:
    // 18 + 0.55 -> 19..22; column 109: 18 + 9.95 -> 28..31; the end column 110 is outside.
    EXPECT_EQ(runs(b, 10, true) + " | " + runs(b, 15, true) + " | " + runs(b, 109, true), "18-21 | 19-22 | 28-31");
    EXPECT_EQ(runs(b, 110, true) + runs(b, 9, true), "");
    EXPECT_EQ(b.countInk(), 100 * 4);
    document.figures.clearFigures();
    line(110, 30, 10, 20, 4);  // drawn from the other end: the same band
    EXPECT_TRUE(print() == b);

    document.figures.clearFigures();
    line(10, 20, 20, 120, 4);  // dx/dy = 1/10
    print();
    EXPECT_EQ(runs(canvas.back, 20) + " | " + runs(canvas.back, 119) + " | " + runs(canvas.back, 120),
              "8-11 | 18-21 | ");
    EXPECT_EQ(canvas.back.countInk(), 100 * 4);
    // Equal steps count as steep; odd thickness puts the extra dot after the line.
    document.figures.clearFigures();
    line(50, 50, 60, 60, 3);  // h = 1
    print();
    EXPECT_EQ(runs(canvas.back, 50) + " | " + runs(canvas.back, 59), "49-51 | 58-60");
    EXPECT_EQ(canvas.back.countInk(), 30);
}

TEST_F(CanvasTest, WhiteAndInverseLines) {
    rectangle(40, 40, 20, 20);                // black 40..59
    line(0, 50, 100, 50, 4, kColourInverse);  // rows 48..51, columns 0..99
    line(50, 0, 50, 100, 4, kColourInverse);  // columns 48..51, rows 0..99
    line(40, 58, 60, 58, 2, kColourWhite);    // rows 57..58, columns 40..59
    // Black inverted twice; white inverted once (2); black inverted once (2); untouched black;
    // cleared by the white line (2); below it; the ends of the inverse line.
    EXPECT_EQ(test::inkString(print(), {{49, 49}, {10, 49}, {49, 10}, {45, 49}, {49, 45}, {45, 45}, {45, 57}, {49, 58}, {45, 59},
                            {99, 51}, {100, 51}}),
              "11100100110");
}

TEST_F(CanvasTest, PictureIsAndedRowByRowWithPaddingLeftOutAndClipped) {
    rectangle(0, 0, 4, 10);  // black under the picture's first columns
    // width 12, bytesPerRow 2. Row 0: 0xF0 0x00 -> dots 4..11 ink (12..15 are padding). Row 1:
    // a run of three 0x0F: two fill the row, the third is dropped. Row 2: 0xFF 0x7F -> dot 8.
    picture(0, 0, 12, 3, {1, 2, 0xF0, 0x00, 0xC3, 0x0F, 0xFF, 0x7F});
    const Bitmap& b = print();
    EXPECT_EQ(runs(b, 0) + " | " + runs(b, 1) + " | " + runs(b, 2) + " | " + runs(b, 3),
              "0-11 | 0-3 8-11 | 0-3 8-8 | 0-3");
    // Two rows of 0x00 0x00 placed so that only the bottom-right corner is on the label; one
    // without data; one over the bottom-right corner.
    document.figures.clearFigures();
    picture(-10, -1, 16, 2, {1, 2, 0xC2, 0x00, 0xC2, 0x00});
    picture(100, 100, 8, 8, {}).picture.reset();
    picture(195, 150, 16, 20, {1, 2, 0xC2, 0x00, 0xC2, 0x00});
    print();
    EXPECT_EQ(runs(canvas.back, 0) + " | " + runs(canvas.back, 151), "0-5 | 195-199");
    EXPECT_EQ((std::array{canvas.back.countInk(), canvas.drawnCount}), (std::array{6 + 10, 3}));
}

TEST_F(CanvasTest, InvalidBarcodeCrossIsOnTheScreenOnlyAndSurvivesARefresh) {
    const BarcodeRecord code{.type = 8, .x = 20, .y = 20, .height = 60, .data = "\"12345678901\""};  // 11 digits
    document.figures.appendFigure(code.encode(), FigureKind::Barcode);
    RedrawLabel(canvas, document, context, {.showMargins = false});
    EXPECT_EQ(canvas.visible.pixel(25, 25), kCrossRed);  // 5 dots inside the symbol's corner
    drawSelectionMarks(canvas, document, {.showMargins = false}, true);
    EXPECT_EQ(canvas.visible.pixel(25, 25), kCrossRed);
    EXPECT_TRUE(renderPrintImage(document, context) == canvas.back);  // black and white only: the bars as drawn
}

// The selection marks ------------------------------------------------------------------

class SelectionMarksTest : public CanvasTest {
protected:
    // Redraws with `selected` as the only selected figures and lists the pixels the marks changed.
    std::vector<std::pair<int, int>> markedPixels() {
        document.figures.unselectAll();
        RedrawLabel(canvas, document, context, {.showMargins = false});
        const ScreenImage before = canvas.visible;
        for (auto* f : selected) f->flags = kFlagSelected;
        drawSelectionMarks(canvas, document, {.showMargins = false}, true);
        std::vector<std::pair<int, int>> changed;
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x)
                if (before.pixel(x, y) != canvas.visible.pixel(x, y)) changed.emplace_back(x, y);
        return changed;
    }
    MarkRectangle markOf(const Record& record, FigureKind kind) {
        Figure f;
        f.kind = kind, f.record = record;
        return selectionRectangle(f, document);
    }
    std::vector<Figure*> selected;
};

TEST_F(SelectionMarksTest, RectangleMarkIsNotXorRedAndDrawingItTwiceRemovesIt) {
    selected.push_back(&rectangle(10, 10, 20, 5));  // dots 10..29 x 10..14
    std::vector<std::pair<int, int>> outline;       // 9..29 x 9..14
    for (int y = 9; y < 15; ++y)
        for (int x = 9; x < 30; ++x)
            if (x == 9 || x == 29 || y == 9 || y == 14) outline.emplace_back(x, y);
    EXPECT_EQ(markedPixels(), outline);  // red on white, cyan on black: checked by the render command's tests
    drawSelectionMarks(canvas, document, {.showMargins = false}, false);
    const ScreenImage twice = canvas.visible;
    RedrawLabel(canvas, document, context, {.showMargins = false, .showSelection = false});
    EXPECT_TRUE(twice == canvas.visible);
}

TEST_F(SelectionMarksTest, AnInverseLineIsMarkedByItsOwnDots) {
    selected.push_back(&line(10, 10, 13, 10, 2, kColourInverse));
    EXPECT_EQ(markedPixels(), (std::vector<std::pair<int, int>>{{10, 10}, {11, 10}, {12, 10}, {13, 10}}));
}

// The outline of each kind of figure, with the reference point at (5, 0).
TEST_F(SelectionMarksTest, MarkRectanglesFollowEachFigure) {
    document.setup.leftMargin = 5;
    EXPECT_EQ(markOf(BoxRecord{60, 40, 20, 10, 3}.encode(), FigureKind::Box), (MarkRectangle{24, 9, 65, 40}));
    EXPECT_EQ(selectionRectangle(picture(10, 20, 16, 4, {1, 2}), document), (MarkRectangle{14, 19, 31, 24}));
    // Font 6 is the first Font entry and takes its height from it: a text 30 dots along and
    // 2 x 33 across, turned a quarter about its anchor (105, 100), runs across to -x, along +y.
    document.figures.appendFigure(FontRecord{.height = 33, .letter = 'b'}.encode(), FigureKind::Font);
    const TextRecord text{.x = 100, .y = 100, .vMul = 2, .font = 6, .rotation = 1, .drawnWidth = 30, .data = ""};
    EXPECT_EQ(markOf(text.encode(), FigureKind::Text), (MarkRectangle{105 - 66 + 1, 100, 106, 130}));
    // EAN 13 adds the room of its human-readable line.
    const BarcodeRecord code{.type = 8, .x = 35, .y = 40, .height = 80, .narrow = 2, .totalLength = 190, .data = ""};
    EXPECT_EQ(markOf(code.encode(), FigureKind::Barcode), (MarkRectangle{40, 40, 40 + 190 + 18 + 1, 121}));
}

// A rotation outside 0..3 from a damaged file is drawn unturned, so its mark is unturned too.
TEST_F(SelectionMarksTest, AnUnknownRotationIsMarkedAsItIsDrawn) {
    const TextRecord text{.x = 100, .y = 100, .font = 1, .rotation = 5, .drawnWidth = 30, .data = ""};
    EXPECT_EQ(markOf(text.encode(), FigureKind::Text), (MarkRectangle{100, 100, 130, 114}));
    const BarcodeRecord code{.type = 0, .x = 30, .y = 40, .height = 20, .rotation = -3, .totalLength = 50, .data = ""};
    EXPECT_EQ(markOf(code.encode(), FigureKind::Barcode), (MarkRectangle{30, 40, 81, 61}));
}

// The bitmap's word-wise operations, picture decoding, and writing rendered images: every
// format refuses an image with no dots instead of writing a 0 x 0 file the caller takes for a
// render, and a failed write says which file.
using Bytes = std::vector<std::uint8_t>;

Bitmap randomBitmap(std::mt19937& random, int width, int height) {
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) b.setDot(x, y, (random() & 1) != 0);
    return b;
}

// The word-wise fills and combines are checked against the plain dot-by-dot definition of
// each operation, on random images, sizes and positions including ones off the edges.
TEST(BitmapOpsTest, FillsAndCombinesMatchTheDotByDotDefinition) {
    std::mt19937 random(20260305);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 300; ++round) {
        const int w = 1 + below(70), h = 1 + below(9);
        Bitmap target = randomBitmap(random, w, h), expected = target;
        const int x = below(90) - 15, y = below(13) - 3;
        const bool fill = round % 2 == 0;
        const int fw = fill ? below(80) - 5 : 0, fh = fill ? below(12) : 0;
        const auto fillOp = static_cast<FillOp>(fill ? below(3) : 0);
        const Bitmap source = fill ? Bitmap(1, 1) : randomBitmap(random, 1 + below(40), 1 + below(7));
        const auto combineOp = static_cast<CombineOp>(fill ? 0 : below(3));
        if (fill) target.fillRect(x, y, fw, fh, fillOp);
        else target.combine(source, x, y, combineOp);
        int count = 0;
        for (int yy = 0; yy < h; ++yy)
            for (int xx = 0; xx < w; ++xx) {
                const bool d = expected.isInk(xx, yy);
                bool v = d;
                if (fill && xx >= x && xx < x + fw && yy >= y && yy < y + fh)
                    v = fillOp == FillOp::Invert ? !d : fillOp == FillOp::Ink;
                if (!fill && source.contains(xx - x, yy - y)) {
                    const bool s = source.isInk(xx - x, yy - y);
                    v = combineOp == CombineOp::And ? (s || d) : combineOp == CombineOp::Xor ? (s != d) : s;
                }
                expected.setDot(xx, yy, v);
                count += v ? 1 : 0;
            }
        ASSERT_TRUE(target == expected) << "round " << round;
        ASSERT_EQ(target.countInk(), count) << "round " << round;
    }
}

TEST(BitmapOpsTest, EqualityIgnoresTheBitsPastTheWidth) {
    Bitmap a(10, 2), b(10, 2);
    a.row(0)[1] = static_cast<std::uint8_t>(a.row(0)[1] & 0xC0);  // padding dots 12..15 set to ink
    EXPECT_TRUE(a == b);
    EXPECT_EQ(a.countInk(), 0);
    b.setDot(9, 1, true);
    EXPECT_FALSE(a == b);
}

std::vector<Bytes> rows(const Bytes& block, int count) {
    PictureRowDecoder decoder(block);
    std::vector<Bytes> out;
    for (int i = 0; i < count; ++i) {
        Bytes row(static_cast<std::size_t>(decoder.bytesPerRow()), 0x11);
        decoder.nextRow(row);
        out.push_back(row);
    }
    return out;
}

// Each check runs on a block of exactly its size, so a read past it shows up under the
// address sanitizer.
TEST(PictureDecodeTest, RunsStopAtRowEndsAndDamagedBlocksGiveBlankRowsWithoutReadingPastTheEnd) {
    // bytesPerRow 3. Row 0: 0x12, run of 2 x 0x34. Row 1: run of 5 x 0xAB (two dropped).
    // Row 2: 0xC0 0x99 is a run of nothing, then 0xBF literal, run 0xC2 of 0xFF.
    EXPECT_EQ(rows({1, 3, 0x12, 0xC2, 0x34, 0xC5, 0xAB, 0xC0, 0x99, 0xBF, 0xC2, 0xFF}, 3),
              (std::vector<Bytes>{{0x12, 0x34, 0x34}, {0xAB, 0xAB, 0xAB}, {0xBF, 0xFF, 0xFF}}));
    // The stream ends inside row 1; a count byte with nothing after it; no rows at all.
    EXPECT_EQ(rows({1, 2, 0x00, 0x01, 0x02}, 3), (std::vector<Bytes>{{0x00, 0x01}, {0x02, 0xFF}, {0xFF, 0xFF}}));
    EXPECT_EQ(rows({1, 2, 0x05, 0xC3}, 2), (std::vector<Bytes>{{0x05, 0xFF}, {0xFF, 0xFF}}));
    EXPECT_EQ(rows({1, 2}, 1), (std::vector<Bytes>{{0xFF, 0xFF}}));
    // Not even the two leading bytes; nothing; a run cut short.
    EXPECT_EQ(PictureRowDecoder(Bytes{1}).bytesPerRow(), 0);
    EXPECT_EQ(decodePicture(Bytes{}, 8, 2).countInk(), 0);
    EXPECT_EQ(decodePicture(Bytes{1, 4, 0xC8}, 32, 50).countInk(), 0);
    // A picture wider than its rows: the dots the rows lack are blank (zero bits are ink).
    const Bitmap wide = decodePicture(Bytes{1, 1, 0x00, 0x00}, 20, 2);
    EXPECT_EQ(wide.countInk(), 16);
    EXPECT_EQ((std::array{wide.isInk(7, 0), wide.isInk(8, 0)}), (std::array{true, false}));
}

TEST(ImageIo, EveryFormatRefusesAnEmptyImageAndWritesNothing) {
    test::TempDir dir;
    const std::pair<int, int> sizes[] = {{0, 0}, {0, 12}, {12, 0}};
    for (const auto& [width, height] : sizes) {
        const Bitmap bits(width, height);
        const ScreenImage colour(width, height);
        const std::pair<Result, const char*> results[] = {
            {writePbm(dir / "a.pbm", bits), "a.pbm"},
            {writePng(dir / "b.png", bits), "b.png"},
            {writePpm(dir / "c.ppm", colour), "c.ppm"},
            {writePng(dir / "d.png", colour), "d.png"},
        };
        for (const auto& [result, name] : results) {
            EXPECT_EQ(result.kind(), FailureKind::Invalid) << name << " " << width << " x " << height;
            EXPECT_EQ(result.message(), "empty image") << name;
            EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
        }
    }
}

TEST(ImageIo, OneDotImagesStillWriteAndReadBack) {
    test::TempDir dir;
    Bitmap bits(1, 1);
    bits.setDot(0, 0, true);
    ASSERT_TRUE(writePbm(dir / "a.pbm", bits));
    Bitmap back;
    ASSERT_TRUE(readPbm(dir / "a.pbm", back));
    EXPECT_EQ(std::tuple(back.width(), back.height(), back.countInk()), std::tuple(1, 1, 1));
    ASSERT_TRUE(writePpm(dir / "b.ppm", ScreenImage(1, 1)));
    EXPECT_EQ(test::readText(dir / "b.ppm"), std::string("P6\n1 1\n255\n\xFF\xFF\xFF", 14));
}

// Keeping the old file whole is the safe file's; a failed write here names the file.
TEST(ImageIo, AFailedWriteNamesTheFile) {
    test::TempDir dir;
    const auto path = dir / "none" / "label.ppm";
    EXPECT_EQ(writePpm(path, ScreenImage(20, 20)).message(), "Can't write " + path.string() + ": No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));
}

}  // namespace
}  // namespace tavrin
