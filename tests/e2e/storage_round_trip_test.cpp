// The label stored in the simulated printer, listed, retrieved and deleted through the
// command line: what comes back is the label that went in.
#include <gtest/gtest.h>

#include "document/label_file.h"
#include "e2e/e2e_support.h"
#include "printer/form_writer.h"

namespace tavrin {
namespace {

class StorageRoundTrip : public testing::TestWithParam<test::Over> {};

using e2e::runPrinterCommand;

const std::vector<std::uint8_t> kFontData = {
    2, 0, 8,                                                         // two characters, 8 rows
    'A', 8, 1, 0xFF, 0x81, 0x81, 0xFF, 0x81, 0x81, 0x81, 0x81,     // code, width, bytes per row, rows
    'B', 8, 1, 0xFE, 0x81, 0x81, 0xFE, 0x81, 0x81, 0x81, 0xFE};

// The sample label with a soft font and a text set in it.
LabelDocument sampleWithFont() {
    LabelDocument d;
    EXPECT_TRUE(loadLabelFile(test::kSample, d));
    d.figures.appendFigure(TextRecord{.x = 40, .y = 300, .hMul = 2, .vMul = 2, .font = 6, .data = "\"AB\""}.encode(),
                           FigureKind::Text);
    const FontRecord font{.charCount = 2, .height = 8, .dataLength = static_cast<unsigned>(kFontData.size()), .letter = 'B'};
    d.figures.appendFigure(font.encode(), FigureKind::Font).fontData = kFontData;
    return d;
}

// The form made from a label, with the setup fields a stored form does not carry back
// taken from the original: the reference point stays what the editor had, and the speed
// number a stored form holds reads back as an index of its own.
std::string formFileOf(const LabelDocument& d, const LabelDocument& original) {
    LabelDocument copy = d;
    copy.setup.leftMargin = original.setup.leftMargin;
    copy.setup.topMargin = original.setup.topMargin;
    copy.setup.speed = original.setup.speed;
    BufferSink sink;
    writeFormFile(copy, sink);
    return sink.text();
}

std::vector<const Figure*> figuresOfKind(const LabelDocument& d, FigureKind kind) {
    std::vector<const Figure*> found;
    for (const Figure& f : d.figures)
        if (f.kind == kind) found.push_back(&f);
    return found;
}

TEST_P(StorageRoundTrip, CommandLineStoresRetrievesAndDeletes) {
    test::TempDir dir;
    const test::Simulator sim(GetParam(), dir / "out");
    ASSERT_TRUE(saveLabelFile(dir / "in.qlb", sampleWithFont()));
    auto r = runPrinterCommand(sim.port, {"store-label", (dir / "in.qlb").string(), "CLI1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "CLI1\n");
    r = runPrinterCommand(sim.port, {"store-label", (dir / "in.qlb").string(), "BAD_NAME"});
    EXPECT_TRUE(r.exitCode != 0 && r.err.find("Invalid name: BAD_NAME") != std::string::npos) << r.err;
    r = runPrinterCommand(sim.port, {"retrieve-form", "CLI1", "-o", (dir / "back.qlb").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    LabelDocument back;
    ASSERT_TRUE(loadLabelFile(dir / "back.qlb", back));
    const LabelDocument original = sampleWithFont();
    // Same figures, setup and definitions: the form they make is the same, byte for byte.
    EXPECT_EQ(formFileOf(back, original), formFileOf(original, original));
    // One picture block, shared by both Pictures.
    const auto pictures = figuresOfKind(back, FigureKind::Picture);
    ASSERT_EQ(pictures.size(), 2u);
    ASSERT_TRUE(pictures[0]->picture);
    EXPECT_EQ(pictures[0]->picture, pictures[1]->picture);
    EXPECT_EQ(pictures[0]->picture->bytes, figuresOfKind(original, FigureKind::Picture)[0]->picture->bytes);
    // The font came back as the first soft font, and the text names it by number.
    const auto fonts = figuresOfKind(back, FigureKind::Font);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(std::tuple(FontRecord::decode(fonts[0]->record).letter, fonts[0]->fontData), std::tuple('B', kFontData));
    EXPECT_EQ(TextRecord::decode(figuresOfKind(back, FigureKind::Text).back()->record).font, 6);
    // With -o - the label is standard output, and the report goes to standard error.
    r = runPrinterCommand(sim.port, {"retrieve-form", "CLI1", "-o", "-"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, test::readText(dir / "back.qlb"));
    EXPECT_NE(r.err.find("CLI1: "), std::string::npos) << r.err;
    r = runPrinterCommand(sim.port, {"select", "CLI1"});
    EXPECT_EQ(r.out, "active form: CLI1\nV00 \"Lot number\" = \"\"\nC00 +1 \"Serial\" = \"\"\n");
    EXPECT_EQ(runPrinterCommand(sim.port, {"delete", "form", "CLI1"}).exitCode, 0);
    EXPECT_EQ(runPrinterCommand(sim.port, {"delete", "font", "B"}).exitCode, 0);
    EXPECT_EQ(runPrinterCommand(sim.port, {"list", "forms"}).out + runPrinterCommand(sim.port, {"list", "fonts"}).out,
              "");
    EXPECT_EQ(runPrinterCommand(sim.port, {"send", "\\r\\nUG\\r\\n"}).out, "1\r\nLOGO\r\n");
    // A form the printer no longer has is named as missing, and no file is written.
    r = runPrinterCommand(sim.port, {"retrieve-form", "CLI1", "-o", (dir / "gone.qlb").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("The printer has no stored form \"CLI1\""), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "gone.qlb"));
}

INSTANTIATE_TEST_SUITE_P(Over, StorageRoundTrip, testing::Values(test::Over::Terminal, test::Over::Network),
                         test::overName);

}  // namespace
}  // namespace tavrin
