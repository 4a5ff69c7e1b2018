// tavrin-label make-font, add-font and list-fonts: a label font made from a Debian font,
// attached to a label and drawn by tavrin-label render.
#include <gtest/gtest.h>

#include "document/label_file.h"
#include "fonts/font_rasteriser.h"
#include "render/canvas.h"
#include "render/image_io.h"
#include "render/resident_font.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// make-font's options against the converter's core with the same settings, then add-font and
// render: the label holds the font as made and draws its texts as the canvas does (the text
// drawing suite checks soft font glyphs dot for dot). Refusals are the conventions test's.
TEST(FontCommands, MadeFontIsTheConvertersAndIsDrawnInALabel) {
    if (!std::filesystem::exists(kDejaVu)) GTEST_SKIP() << "fonts-dejavu-core is not installed";
    test::TempDir dir;
    auto r = test::runLabel({"make-font", "--font", kDejaVu, "--size", "14", "--script", "Greek",
                             "--width-correction", "1.5", "--space", "1", "--map", "0xC1-0xD9:65",
                             "--map", "0xE1-0xF9:97", "--trim", "2,3", "-o",
                             (dir / "greek.qft").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Characters: "), std::string::npos);
    std::string error;
    const auto source = GlyphSource::open(kDejaVu, 0, *scriptByName("Greek"), error);
    ASSERT_TRUE(source) << error;
    CharacterTable table;
    table.select({1, 1});  // 'A'
    table.copyRange({{5, 1}, {5, 25}});
    table.select({2, 1});  // 'a'
    table.copyRange({{6, 1}, {6, 25}});
    const RasterSettings settings{
        .size = 14, .widthCorrection = widthCorrectionAt(15), .space = 1, .topRemove = 2, .bottomRemove = 3};
    const auto font = encodeLabelFont(rasteriseFont(*source, table.cells(), settings));
    EXPECT_EQ(test::readFile(dir / "greek.qft"), font);
    EXPECT_EQ(font[0], 49);  // 0xD2 is undefined in the Greek page and left out

    LabelDocument label;
    label.setup.width = 300, label.setup.length = 100;
    const TextRecord text{.x = 10, .y = 12, .font = 6, .data = "\"Ya\""};  // Omega and alpha
    label.figures.appendFigure(text.encode(), FigureKind::Text);
    ASSERT_TRUE(saveLabelFile(dir / "label.qlb", label));
    r = test::runLabel({"add-font", (dir / "label.qlb").string(), (dir / "greek.qft").string(),
                        "--letter", "r", "-o", (dir / "with-font.qlb").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = test::runLabel({"render", (dir / "with-font.qlb").string(), "--no-margins", "-o",
                        (dir / "out.pbm").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    LabelDocument withFont;
    ASSERT_TRUE(loadLabelFile(dir / "with-font.qlb", withFont));
    const Figure* stored = withFont.figures.fontByLetter('R');
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->fontData, font);
    ResidentFonts fonts;
    ASSERT_EQ(fonts.load(std::filesystem::path(TAVRIN_SOURCE_DATA_DIR) / "ZREDIT.FNT"), 0);
    LabelCanvas canvas;
    RedrawLabel(canvas, withFont, RenderContext{&withFont, &fonts, {}}, {.showMargins = false});
    Bitmap image;
    ASSERT_TRUE(readPbm(dir / "out.pbm", image));
    EXPECT_GT(image.countInk(), 20);
    EXPECT_TRUE(image == toOneBit(canvas.visible));
    // The family it was made from is listed with its scripts.
    r = test::runLabel({"list-fonts"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(("\n" + r.out).find("\nDejaVu Sans: Western, Cyrillic, Greek, "), std::string::npos) << r.out;
}

}  // namespace
}  // namespace tavrin
