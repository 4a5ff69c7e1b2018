// tavrin-label info and render, run as a user would run them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "document/label_file.h"
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

    const auto r = test::runProgram(TAVRIN_LABEL_EXE, {"info", (dir / "label.qlb").string()});
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

struct Dot {
    int x, y;
    std::uint32_t colour;
};

void expectDots(const ScreenImage& image, std::initializer_list<Dot> dots) {
    for (const Dot& d : dots) EXPECT_EQ(image.pixel(d.x, d.y), d.colour) << "at " << d.x << ", " << d.y;
}

// A data folder with a resident font file whose every character is glyph 0, and glyph 0
// of font 1 a solid 8 x 12 block, so that text dots can be worked out by hand.
class RenderCommand : public ::testing::Test {
protected:
    RenderCommand() {
        test::Bytes font(ResidentFonts::kFileSize, 0);
        std::fill_n(font.begin(), 12, 0xFF);
        test::writeFile(dir / "ZREDIT.FNT", font);
        document.setup = {.width = 120, .length = 80, .leftMargin = 4, .topMargin = 2};
    }
    std::string save() {
        EXPECT_TRUE(saveLabelFile(dir / "label.qlb", document));
        return (dir / "label.qlb").string();
    }
    test::CommandResult render(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "render");
        return test::runProgram(TAVRIN_LABEL_EXE, arguments);
    }
    test::TempDir dir;
    test::ScopedEnv dataDir{"TAVRIN_DATA_DIR", dir.path().c_str()};
    LabelDocument document;
};

TEST_F(RenderCommand, ScreenImageShowsFiguresTextAndTheOverlaysAskedFor) {
    document.figures.appendFigure(RectangleRecord{10, 20, 5, 3, kColourBlack}.encode(), FigureKind::Rectangle);
    document.figures.appendFigure(TextRecord{.x = 30, .y = 10, .font = 1, .data = "\"AB\""}.encode(), FigureKind::Text);
    const std::string label = save();
    const auto out = dir / "screen.png";
    auto r = render({label, "-o", out.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ScreenImage image;
    ASSERT_TRUE(readPng(out, image));
    ASSERT_EQ(std::pair(image.width(), image.height()), std::pair(120, 80));
    // Rectangle at (10 + 4, 20 + 2), 5 x 3. Text anchor (34, 12); font 1 cells 10 dots wide
    // with the glyph one dot in: the glyphs cover 35..42 and 45..52 x 13..24. Margin lines
    // from the reference point, no grid, no marks.
    expectDots(image, {{14, 22, kInkBlack}, {19, 24, kPaperWhite}, {35, 13, kInkBlack}, {43, 13, kPaperWhite},
                       {52, 24, kInkBlack}, {52, 25, kPaperWhite}, {100, 2, kMarginGreen}, {4, 70, kMarginGreen},
                       {14, 72, kPaperWhite}, {13, 21, kPaperWhite}});

    r = render({label, "-o", out.string(), "--grid", "--grid-step", "10", "--no-margins", "--select-all"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_TRUE(readPng(out, image));
    // Grid from (4, 2) every 10 dots; the rectangle's outline from (13, 21) to (19, 25),
    // right and bottom excluded, the pen over a black dot giving cyan; the text's outline:
    // drawn width 20, height 14, from the anchor.
    expectDots(image, {{14, 72, kGridRed}, {100, 2, kPaperWhite}, {13, 21, kSelectionRed}, {18, 24, 0x00FFFFu},
                       {53, 25, kSelectionRed}, {54, 25, kPaperWhite}});
}

TEST_F(RenderCommand, PrintImageIsOneBitWithoutOverlays) {
    document.figures.appendFigure(BoxRecord{0, 0, 10, 6, 1}.encode(), FigureKind::Box);
    const std::string label = save();
    const auto r = render({label, "--print", "--grid", "--select-all", "-o", (dir / "print.pbm").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Bitmap image;
    ASSERT_TRUE(readPbm(dir / "print.pbm", image));
    // The box's outline of one dot: 4..13 x 2..7, 10 + 10 + 4 + 4 dots.
    EXPECT_EQ(std::tuple(image.width(), image.countInk()), std::tuple(120, 28));
    EXPECT_TRUE(image.isInk(4, 2) && image.isInk(13, 7));
    EXPECT_FALSE(image.isInk(5, 3) || image.isInk(14, 7));
    // The same as a one-bit PNG.
    ASSERT_EQ(render({label, "--print", "-o", (dir / "print.png").string()}).exitCode, 0);
    ScreenImage png;
    ASSERT_TRUE(readPng(dir / "print.png", png));
    expectDots(png, {{4, 2, kInkBlack}, {13, 7, kInkBlack}, {5, 3, kPaperWhite}, {119, 79, kPaperWhite}});
}

TEST_F(RenderCommand, FailuresSayWhatWentWrongAndExitNonZero) {
    document.figures.appendFigure(RectangleRecord{0, 0, 1, 1, 0}.encode(), FigureKind::Rectangle);
    const std::string label = save(), png = (dir / "a.png").string();
    test::writeFile(dir / "foreign.qlb", std::string_view("not a label at all"));
    // Missing files, unknown options and bad extensions are in the conventions test.
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{(dir / "foreign.qlb").string(), "-o", png}, "Invalid label file"},
        {{label, "-o", (dir / "no-such-folder" / "a.png").string()}, "Can't write"},
        {{label, "-o", png, "--now", "2026-02-30T10:00:00"}, "--now wants a time"}};
    for (const auto& [arguments, message] : cases) {
        const auto r = render(arguments);
        EXPECT_TRUE(r.exitCode != 0 && !r.err.empty()) << arguments.back();
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(png));
    EXPECT_EQ(render({label, "-o", png, "--now", "2026-03-05T14:07:09"}).exitCode, 0);
    std::filesystem::remove(dir / "ZREDIT.FNT");
    const auto r = render({label, "-o", png});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Can't open font file"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tavrin
