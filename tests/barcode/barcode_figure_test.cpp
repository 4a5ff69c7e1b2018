// A Barcode figure drawn on the label: position, rotations, guard bars, Postnet's bar
// heights, the measured lengths written back and the cross over invalid data.
#include <gtest/gtest.h>

#include "barcode/barcode_probe.h"
#include "document/figure_records.h"
#include "document/label_document.h"
#include "render/barcode_figure.h"
#include "render/resident_font.h"

namespace tavrin {
namespace {

class BarcodeFigureTest : public ::testing::Test {
protected:
    BarcodeFigureTest() {
        context.document = &document;
        document.setup.width = document.setup.length = 500;
    }

    Figure& figure(int type, const char* data, int rotation = 0, int humanReadable = 0) {
        BarcodeRecord b;
        b.type = type, b.x = 250, b.y = 250, b.height = 40, b.narrow = 2, b.wide = 5;
        b.humanReadable = humanReadable, b.rotation = rotation;
        b.data = data;
        return document.figures.appendFigure(b.encode(), FigureKind::Barcode);
    }
    Bitmap draw(Figure& f) {
        Bitmap canvas(500, 500);
        lines.clear();
        DrawBarcodeFigure(canvas, context, f, lines);
        return canvas;
    }
    // The canvas row y (or column x for rotations 1 and 3) as a 0/1 string.
    static std::string line(const Bitmap& b, int rotation, int at) {
        std::string out;
        const int length = rotation % 2 ? b.height() : b.width();
        for (int i = 0; i < length; ++i) out += (rotation % 2 ? b.isInk(at, i) : b.isInk(i, at)) ? '1' : '0';
        return out;
    }

    LabelDocument document;
    RenderContext context;
    std::vector<ScreenLine> lines;
};

TEST_F(BarcodeFigureTest, LengthsAreWrittenBackAndTheReferencePointMoves) {
    document.setup.leftMargin = 7;
    document.setup.topMargin = 3;
    Figure& f = figure(9, "\"12345678901242\"");
    const Bitmap b = draw(f);
    const BarcodeRecord r = BarcodeRecord::decode(f.record);
    EXPECT_EQ(r.barLength, 190u);
    EXPECT_EQ(r.totalLength, 190u + 58u);
    EXPECT_TRUE(b.isInk(257, 253));    // the start guard's first bar
    EXPECT_FALSE(b.isInk(256, 253));
    EXPECT_TRUE(b.isInk(257, 292));    // full height without a human-readable line
    EXPECT_FALSE(b.isInk(257, 293));
    EXPECT_TRUE(lines.empty());
}

TEST_F(BarcodeFigureTest, FourRotationsTurnAroundTheAnchor) {
    // Every glyph a solid block, so that the human-readable line turns with the bars.
    ResidentFonts fonts;
    fonts.loadFromBytes(std::vector<std::uint8_t>(ResidentFonts::kGlyphAreaSize, 0xFF));
    context.residentFonts = &fonts;
    Figure& f = figure(0, "\"AB-12\"", 0, 2);
    const Bitmap upright = draw(f);
    for (int rotation = 1; rotation < 4; ++rotation) {
        setRecord16(f.record, 14, rotation);
        const Bitmap turned = draw(f);
        EXPECT_EQ(turned.countInk(), upright.countInk());
        for (int y = 0; y < 500; ++y) {
            for (int x = 0; x < 500; ++x) {
                if (!upright.isInk(x, y)) continue;
                const int along = x - 250, across = y - 250;
                int px = 250 + along, py = 250 + across;
                if (rotation == 1) px = 250 - across, py = 250 + along;
                if (rotation == 2) px = 250 - along, py = 250 - across;
                if (rotation == 3) px = 250 + across, py = 250 - along;
                ASSERT_TRUE(turned.isInk(px, py)) << rotation << ": " << x << "," << y;
            }
        }
    }
}

TEST_F(BarcodeFigureTest, DrawnSymbolsReadBackInEveryRotation) {
    if (!test::haveZXing()) GTEST_SKIP() << "ZXing not available";
    for (int rotation = 0; rotation < 4; ++rotation) {
        const Bitmap b = draw(figure(8, "\"590123412345\"", rotation, 2));
        // A line across the bars, 20 dots from the anchor's side, read along the symbol.
        std::string bars = line(b, rotation, rotation == 0 || rotation == 3 ? 270 : 230);
        if (rotation >= 2) bars.assign(bars.rbegin(), bars.rend());
        EXPECT_EQ(test::readWithZXing(bars, 0), "5901234123457") << rotation;
    }
}

TEST_F(BarcodeFigureTest, GuardBarsReachBelowTheOthersUnderAHumanReadableLine) {
    const Bitmap b = draw(figure(8, "\"123456789012\"", 0, 2));
    // EAN-13 moves 3n + 12 = 18 dots right for its leading digit.
    const int x = 250 + 18;
    const std::string bars = line(b, 0, 250);
    EXPECT_EQ(bars.find('1'), static_cast<std::size_t>(x));
    // Bars stop 16 dots short; the guards (start, centre at module 46, end) go on.
    const std::string low = line(b, 0, 250 + 30);
    for (int module : {0, 2, 46, 48, 92, 94}) EXPECT_EQ(low[static_cast<std::size_t>(x + 2 * module)], '1') << module;
    EXPECT_EQ(low[static_cast<std::size_t>(x + 2 * 3)], '0');
    EXPECT_TRUE(b.isInk(x, 250 + 39));
    EXPECT_FALSE(b.isInk(x, 250 + 40));
}

TEST_F(BarcodeFigureTest, PostnetTallAndShortBars) {
    Figure& f = figure(18, "\"12345\"");
    const Bitmap b = draw(f);
    // Frame bar: tall, 24 dots; digit 1 = 00011: its first bar short, only the bottom 8 dots.
    EXPECT_TRUE(b.isInk(250, 250));
    EXPECT_TRUE(b.isInk(253, 273));
    EXPECT_FALSE(b.isInk(250, 274));
    EXPECT_FALSE(b.isInk(260, 265));
    EXPECT_TRUE(b.isInk(260, 266));
    EXPECT_TRUE(b.isInk(260, 273));
    EXPECT_FALSE(b.isInk(264, 270));
    EXPECT_EQ(BarcodeRecord::decode(f.record).barLength, 314u);
}

TEST_F(BarcodeFigureTest, InvalidDataIsCrossedOnTheScreenOnly) {
    Figure& f = figure(8, "\"12345678901\"", 1);
    const Bitmap b = draw(f);
    ASSERT_EQ(lines.size(), 2u);
    // Rotation 1: along runs down (+y), across runs left (-x); the symbol is 190 dots long.
    EXPECT_EQ(lines[0].x1, 245);
    EXPECT_EQ(lines[0].y1, 255);
    EXPECT_EQ(lines[0].x2, 250 - 30);
    EXPECT_EQ(lines[0].y2, 250 + 180);
    EXPECT_EQ(lines[1].x1, 220);
    EXPECT_EQ(lines[1].y1, 255);
    EXPECT_EQ(lines[0].penWidth, 3);
    // The zero symbol is drawn as it stands.
    EXPECT_GT(b.countInk(), 0);
    EXPECT_EQ(BarcodeRecord::decode(f.record).barLength, 190u);
}

}  // namespace
}  // namespace tavrin
