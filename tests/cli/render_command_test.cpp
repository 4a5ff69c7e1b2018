// tavrin-label render, run as a user would run it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "document/label_file.h"
#include "render/image_io.h"
#include "render/resident_font.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

// A data folder with a resident font file whose every character is glyph 0, and glyph 0
// of font 1 a solid 8 x 12 block, so that text dots can be worked out by hand.
class RenderCommand : public ::testing::Test {
protected:
    RenderCommand() {
        test::Bytes font(ResidentFonts::kFileSize, 0);
        for (int i = 0; i < 12; ++i) font[static_cast<std::size_t>(i)] = 0xFF;
        test::writeFile(dir / "ZREDIT.FNT", font);
        const char* old = std::getenv("TAVRIN_DATA_DIR");
        if (old) savedDataDir = old;
        hadDataDir = old != nullptr;
        ::setenv("TAVRIN_DATA_DIR", dir.path().c_str(), 1);

        document.setup.width = 120;
        document.setup.length = 80;
        document.setup.leftMargin = 4;
        document.setup.topMargin = 2;
    }
    ~RenderCommand() override {
        if (hadDataDir) ::setenv("TAVRIN_DATA_DIR", savedDataDir.c_str(), 1);
        else ::unsetenv("TAVRIN_DATA_DIR");
    }

    std::string save() {
        const auto path = dir / "label.qlb";
        const LabelFileResult saved = saveLabelFile(path, document);
        EXPECT_TRUE(saved.ok) << saved.message;
        return path.string();
    }
    test::CommandResult render(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "render");
        return test::runProgram(TAVRIN_LABEL_EXE, arguments);
    }

    test::TempDir dir;
    std::string savedDataDir;
    bool hadDataDir = false;
    LabelDocument document;
};

TEST_F(RenderCommand, ScreenImageShowsFiguresTextAndTheOverlaysAskedFor) {
    document.figures.appendFigure(RectangleRecord{10, 20, 5, 3, kColourBlack}.encode(), FigureKind::Rectangle);
    TextRecord text;
    text.x = 30, text.y = 10, text.font = 1, text.data = "\"AB\"";
    document.figures.appendFigure(text.encode(), FigureKind::Text);
    const std::string label = save();
    const auto out = dir / "screen.png";

    auto r = render({label, "-o", out.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ScreenImage image;
    ASSERT_TRUE(readPng(out, image).ok);
    ASSERT_EQ(image.width(), 120);
    ASSERT_EQ(image.height(), 80);
    // Rectangle at (10 + 4, 20 + 2), 5 x 3.
    EXPECT_EQ(image.pixel(14, 22), kInkBlack);
    EXPECT_EQ(image.pixel(19, 24), kPaperWhite);
    // Text anchor (34, 12); font 1 cells 10 dots wide with the glyph one dot in: the
    // glyphs cover 35..42 and 45..52 x 13..24.
    EXPECT_EQ(image.pixel(35, 13), kInkBlack);
    EXPECT_EQ(image.pixel(43, 13), kPaperWhite);
    EXPECT_EQ(image.pixel(52, 24), kInkBlack);
    EXPECT_EQ(image.pixel(52, 25), kPaperWhite);
    // Margin lines from the reference point, no grid, no marks.
    EXPECT_EQ(image.pixel(100, 2), kMarginGreen);
    EXPECT_EQ(image.pixel(4, 70), kMarginGreen);
    EXPECT_EQ(image.pixel(14, 72), kPaperWhite);
    EXPECT_EQ(image.pixel(13, 21), kPaperWhite);

    r = render({label, "-o", out.string(), "--grid", "--grid-step", "10", "--no-margins", "--select-all"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_TRUE(readPng(out, image).ok);
    EXPECT_EQ(image.pixel(14, 72), kGridRed);  // grid from (4, 2) every 10 dots
    EXPECT_EQ(image.pixel(100, 2), kPaperWhite);
    // The rectangle's outline from (13, 21) to (19, 25), right and bottom excluded.
    EXPECT_EQ(image.pixel(13, 21), kSelectionRed);
    EXPECT_EQ(image.pixel(18, 24), 0x00FFFFu);  // the pen over a black dot
    // The text's outline: drawn width 20, height 14, from the anchor.
    EXPECT_EQ(image.pixel(53, 25), kSelectionRed);
    EXPECT_EQ(image.pixel(54, 25), kPaperWhite);
}

TEST_F(RenderCommand, PrintImageIsOneBitWithoutOverlays) {
    document.figures.appendFigure(BoxRecord{0, 0, 10, 6, 1}.encode(), FigureKind::Box);
    const std::string label = save();
    const auto out = dir / "print.pbm";
    const auto r = render({label, "--print", "--grid", "--select-all", "-o", out.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Bitmap image;
    ASSERT_TRUE(readPbm(out, image).ok);
    ASSERT_EQ(image.width(), 120);
    // The box's outline of one dot: 4..13 x 2..7, 10 + 10 + 4 + 4 dots.
    EXPECT_EQ(image.countInk(), 28);
    EXPECT_TRUE(image.isInk(4, 2));
    EXPECT_TRUE(image.isInk(13, 7));
    EXPECT_FALSE(image.isInk(5, 3));
    EXPECT_FALSE(image.isInk(14, 7));

    // The same as a one-bit PNG.
    const auto png = dir / "print.png";
    ASSERT_EQ(render({label, "--print", "-o", png.string()}).exitCode, 0);
    ScreenImage fromPng;
    ASSERT_TRUE(readPng(png, fromPng).ok);
    EXPECT_EQ(fromPng.pixel(4, 2), kInkBlack);
    EXPECT_EQ(fromPng.pixel(13, 7), kInkBlack);
    EXPECT_EQ(fromPng.pixel(5, 3), kPaperWhite);
    EXPECT_EQ(fromPng.pixel(119, 79), kPaperWhite);
}

TEST_F(RenderCommand, FailuresSayWhatWentWrongAndExitNonZero) {
    document.figures.appendFigure(RectangleRecord{0, 0, 1, 1, 0}.encode(), FigureKind::Rectangle);
    const std::string label = save();

    auto r = render({(dir / "missing.qlb").string(), "-o", (dir / "a.png").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Can't open input file"), std::string::npos) << r.err;

    test::writeFile(dir / "foreign.qlb", std::string_view("not a label at all"));
    r = render({(dir / "foreign.qlb").string(), "-o", (dir / "a.png").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Invalid label file"), std::string::npos) << r.err;

    r = render({label, "-o", (dir / "no-such-folder" / "a.png").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{label}, {label, "-o", (dir / "a.gif").string()},
          {label, "-o", (dir / "a.png").string(), "--now", "2026-02-30T10:00:00"},
          {label, "-o", (dir / "a.png").string(), "--grid-step", "3"},
          {label, "-o", (dir / "a.png").string(), "--frobnicate"}}) {
        r = render(bad);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "a.png"));

    r = render({label, "-o", (dir / "a.png").string(), "--now", "2026-03-05T14:07:09"});
    EXPECT_EQ(r.exitCode, 0) << r.err;

    std::filesystem::remove(dir / "ZREDIT.FNT");
    r = render({label, "-o", (dir / "b.png").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Can't open font file"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tavrin
