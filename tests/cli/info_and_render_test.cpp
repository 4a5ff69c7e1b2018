// tavrin-label info and render, run as a user would run them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "document/label_file.h"
#include "render/canvas.h"
#include "render/image_io.h"
#include "render/resident_font.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

TEST(InfoCommand, ReportsSetupSlotsAndEveryFigureField) {
    test::TempDir dir;
    test::ByteBuilder b;
    b.field("ZR5500 FILE", 12).be16(384).be16(200).be16(0).be16(0).be16(-8);
    b.u8(0).u8(8).u8(4).u8(0).u8(24).u8(0).zeros(4).field("DD-MN-Y4", 16).field("H:M:S", 16);
    b.text("V").be16(97).u8(31).u8(1).u8(12).u8(2).u8('*').u8(0).field("Weight \"kg\"", 27).field("12.5", 64);
    b.text("E").be16(8).le16(1).le16(2).le16(8).text("Q").u8(0).bytes({1, 0, 2, 'A', 3, 1, 0xE0, 0xA0});
    b.text("A").be16(17 + 3).le16(-7).le16(20).le16(2).le16(3).le16(65).le16(0).le16(3).le16(0).text("\"\xC0\"").u8(0);
    b.text("G").be16(26).le16(5).le16(6).le16(8).le16(1).le16(3).field("P1", 16).bytes({2, 1, 0x55});
    b.text("G").be16(26).le16(9).le16(6).le16(8).le16(1).le16(0).field("P1", 16);
    // A 2D symbol, and a type no version knows (its number and fields are still listed).
    b.text("B").be16(21 + 4).le16(27).le16(10).le16(20).le16(24).le16(3).le16(2).le16(0).le16(0).le16(0).le16(0)
        .text("\"QR\"").u8(0);
    b.text("B").be16(21 + 3).le16(40).le16(11).le16(21).le16(24).le16(3).le16(2).le16(0).le16(0).le16(0).le16(0)
        .text("\"x\"").u8(0);
    test::writeFile(dir / "label.qlb", b.get());

    const auto r = test::runLabel({"info", (dir / "label.qlb").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* expected : {
             "\"offset\": -8", "\"dateFormat\": \"DD-MN-Y4\"", "\"textType\": \"Normal\"",
             "\"name\": \"V31\"", "\"justificationLetter\": \"C\"", "\"padChar\": \"*\"",
             "\"prompt\": \"Weight \\\"kg\\\"\"", "\"value\": \"12.5\"", "\"counters\": []",
             "\"kindName\": \"Font\"", "\"letter\": \"Q\"", "\"charCount\": 1", "\"height\": 2",
             "\"x\": -7", "\"font\": 6", "\"fontLetter\": \"Q\"", "\"rotationName\": \"270 deg\"",
             "\"data\": \"\\\"\\u00c0\\\"\"", "\"name\": \"P1\"", "\"dataLength\": 3", "\"shareCount\": 2",
             "\"type\": 27,\n      \"typeName\": \"QR Code\",\n      \"x\": 10",
             "\"type\": 40,\n      \"typeName\": \"\",\n      \"x\": 11"}) {
        EXPECT_NE(r.out.find(expected), std::string::npos) << "missing " << expected << " in\n" << r.out;
    }
}

TEST(InfoCommand, FullStandardOutputIsAFailure) {
    if (!std::filesystem::is_character_file("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::string command = std::string(TAVRIN_LABEL_EXE) + " info '" TAVRIN_SOURCE_DIR
                                "/data/samples/sample.qlb' >/dev/full 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0);
}

// A data folder with a resident font file of its own (every character glyph 0, glyph 0 of
// font 1 a solid block), so that the font the command draws with is known to be that one.
class RenderCommand : public ::testing::Test {
protected:
    RenderCommand() {
        test::Bytes font(ResidentFonts::kFileSize, 0);
        std::fill_n(font.begin(), 12, 0xFF);
        test::writeFile(dir / "ZREDIT.FNT", font);
        EXPECT_EQ(fonts.load(dir / "ZREDIT.FNT"), 0);
        document.setup = {.width = 120, .length = 80, .leftMargin = 4, .topMargin = 2};
    }
    std::string save() {
        EXPECT_TRUE(saveLabelFile(dir / "label.qlb", document));
        return (dir / "label.qlb").string();
    }
    test::CommandResult render(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "render");
        return test::runLabel(arguments);
    }
    test::TempDir dir;
    test::ScopedEnv dataDir{"TAVRIN_DATA_DIR", dir.path().c_str()};
    ResidentFonts fonts;
    LabelDocument document;
};

// How the canvas and the print image draw is the render suite's; here the command draws the
// label it read, with the data folder's fonts and the overlays it was asked for.
TEST_F(RenderCommand, ImagesAreTheCanvasWithTheOverlaysAskedForOrThePrintImage) {
    document.figures.appendFigure(RectangleRecord{10, 20, 5, 3, kColourBlack}.encode(), FigureKind::Rectangle);
    document.figures.appendFigure(TextRecord{.x = 30, .y = 10, .font = 1, .data = "\"AB\""}.encode(), FigureKind::Text);
    const std::string label = save(), png = (dir / "out.png").string();
    const struct {
        std::vector<std::string> options;
        CanvasOptions canvas;
        bool selectAll;
    } cases[] = {
        {{}, {}, false},
        {{"--grid", "--grid-step", "10", "--no-margins", "--select-all"},
         {.showGrid = true, .gridStep = 10, .showMargins = false}, true},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{label, "-o", png};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const auto r = render(arguments);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        LabelDocument shown = document;
        if (c.selectAll) shown.figures.selectAll();
        LabelCanvas canvas;
        RedrawLabel(canvas, shown, RenderContext{&shown, &fonts, {}}, c.canvas);
        ScreenImage image;
        ASSERT_TRUE(readPng(png, image));
        EXPECT_TRUE(image == canvas.visible) << arguments.back();
    }
    // The print image is one bit, without overlays, as a PBM or a PNG.
    const Bitmap print = renderPrintImage(document, RenderContext{&document, &fonts, {}});
    EXPECT_GT(print.countInk(), 15);
    ASSERT_EQ(render({label, "--print", "--grid", "--select-all", "-o", (dir / "print.pbm").string()}).exitCode, 0);
    Bitmap pbm;
    ASSERT_TRUE(readPbm(dir / "print.pbm", pbm));
    EXPECT_TRUE(pbm == print);
    ASSERT_EQ(render({label, "--print", "-o", png}).exitCode, 0);
    ScreenImage onePng;
    ASSERT_TRUE(readPng(png, onePng));
    EXPECT_TRUE(toOneBit(onePng) == print);
}

// Refusals that need no font of the test's own are the conventions test's.
TEST_F(RenderCommand, ATimeGivenIsTakenAndAMissingFontFileFails) {
    document.figures.appendFigure(RectangleRecord{0, 0, 1, 1, 0}.encode(), FigureKind::Rectangle);
    const std::string label = save(), png = (dir / "a.png").string();
    EXPECT_EQ(render({label, "-o", png, "--now", "2026-03-05T14:07:09"}).exitCode, 0);
    std::filesystem::remove(dir / "ZREDIT.FNT");
    const auto r = render({label, "-o", png});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Can't open font file"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tavrin
