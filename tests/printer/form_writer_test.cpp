// Whole command streams of the three writers, written out by hand.
#include <gtest/gtest.h>

#include "printer/form_writer.h"
#include "printer_fixtures.h"

namespace tavrin {
namespace {

using test::addFont;
using test::addPicture;
using test::addRectangle;
using test::addText;
using test::makeSlot;


// One variable, one counter, a text and a rectangle on the default setup.
LabelDocument smallLabel() {
    LabelDocument d;
    d.variables[3] = makeSlot(5, kJustifyRight, '0', "Price", "12");
    d.counters[0] = makeSlot(4, kJustifyRight, '0', "Count", "0009", 1);
    addText(d, 40, 40, 3, 0, "\"Text\"");
    addRectangle(d, 40, 40, 100, 20, 0);
    return d;
}

constexpr const char* kDefinitions = "V03,05,R0,\"Price\"\r\nC00,04,R0,+1,\"Count\"\r\n";
constexpr const char* kFigures = "A40,40,0,3,1,1,N,\"Text\"\r\nLO40,40,100,20\r\n";

TEST(FormFile, WholeFile) {
    BufferSink sink;
    writeFormFile(smallLabel(), sink);
    EXPECT_EQ(sink.text(), std::string("; Saved by TAVRIN Label Editor\r\n") + kDefinitions +
                               "D8\r\nS4\r\nI0\r\nZT\r\nTDDD-MN-Y4\r\nTTH:M:S\r\nQ200,24+8\r\nq384\r\nR0,0\r\n" +
                               kFigures + "\r\n");
    EXPECT_TRUE(sink.pauses().empty());
}

TEST(FormFile, FontOnlyLabelHasHeaderAndNoFigureLines) {
    LabelDocument d;
    addFont(d, 'A', {1, 0, 16, 0, 0});
    d.setup.speed = 0;
    d.setup.offset = 0;
    d.setup.paperType = 1;
    BufferSink sink;
    writeFormFile(d, sink);
    EXPECT_EQ(sink.text(),
              "; Saved by TAVRIN Label Editor\r\nD8\r\nS0\r\nI0\r\nZT\r\nTDDD-MN-Y4\r\nTTH:M:S\r\n"
              "Q200,B24\r\nq384\r\nR0,0\r\n\r\n");
}

TEST(PrintLabel, WholeJobWithValues) {
    LabelDocument d = smallLabel();
    d.variables[0] = makeSlot(3, kJustifyNone, ' ', "", "");  // empty prompt and value
    d.setup.orientation = 1;
    d.setup.leftMargin = 16;
    d.setup.topMargin = -2;
    BufferSink sink;
    EXPECT_TRUE(writePrintLabel(d, PrintJob{3, {}}, sink));
    EXPECT_EQ(sink.text(), std::string("\r\nN\r\nVC\r\nV00,03,N,\"\"\r\n") + kDefinitions +
                               "?\r\n\r\n12\r\n0009\r\n"
                               "D8\r\nS6\r\nI0\r\nZB\r\nQ200,24+8\r\nq384\r\nR16,-2\r\nTDDD-MN-Y4\r\nTTH:M:S\r\n" +
                               kFigures + "P3\r\n");
}

TEST(PrintLabel, RasterHookReplacesChosenFigures) {
    LabelDocument d = smallLabel();
    PrintJob job;
    job.quantity = 1;
    job.rasterFigure = [](const Figure& f, CommandWriter& out) {
        if (f.kind != FigureKind::Text) return false;
        out.send("GW<raster>\r\n");
        return true;
    };
    BufferSink sink;
    EXPECT_TRUE(writePrintLabel(d, job, sink));
    const std::string text = sink.text();
    EXPECT_NE(text.find("TTH:M:S\r\nGW<raster>\r\nLO40,40,100,20\r\nP1\r\n"), std::string::npos) << text;
}

// Rows: two blank bytes as one run, then 0x3F 0x0F as themselves.
PictureBlockRef logoBlock() {
    auto block = std::make_shared<PictureBlock>();
    block->bytes = {2, 2, 0xC2, 0x00, 0x3F, 0x0F};
    return block;
}

TEST(StoredForm, FramingPicturesOnceFontsAndPauses) {
    LabelDocument d;
    d.variables[3] = makeSlot(5, kJustifyRight, '0', "Price");
    const auto block = logoBlock();
    addPicture(d, 10, 20, "LOGO", block, 10, 2);
    addFont(d, 'B', {2, 0, 3, 7});
    addPicture(d, 50, 60, "LOGO", block, 10, 2);
    BufferSink sink;
    ASSERT_TRUE(writeStoredForm(d, "FORM1", sink));

    std::string expected =
        "\r\nN\r\nFK\"FORM1\"\r\n"
        "FS\"FORM1\"\r\nV03,05,R0,\"Price\"\r\n"
        "D8\r\nS6\r\nI0\r\nZT\r\nQ200,24+8\r\nq384\r\nTDDD-MN-Y4\r\nTTH:M:S\r\nR0,0\r\n"
        "GG10,20,\"LOGO\"\nGG50,60,\"LOGO\"\n"
        "FE\r\n"
        "\r\n\nGK\"LOGO\"\r\nGM\"LOGO\"132\n";
    const std::size_t afterFk = std::string("\r\nN\r\nFK\"FORM1\"\r\n").size();
    const std::size_t beforeGm = expected.size() - std::string("GM\"LOGO\"132\n").size();
    // 128-byte header for 10 x 2 dots, 2 bytes per row.
    const unsigned char header[22] = {10, 5, 1, 1, 0, 0, 0, 0, 9, 0, 1, 0, 150, 0, 150, 0, 0, 0, 0, 255, 255, 255};
    expected.append(reinterpret_cast<const char*>(header), sizeof header);
    expected.append(43, '\0');
    expected += std::string("\x01\x02\x00\x01", 4);
    expected.append(59, '\0');
    expected += std::string("\xC2\x00\x3F\x0F", 4);
    expected += "\r\n\n\n";
    const std::size_t afterPictures = expected.size();
    expected += "\r\n\nEK\"B\"\r\n";
    const std::size_t afterEk = expected.size();
    expected += "ES\"B\"" + std::string("\x02\x00\x03\x07", 4) + std::string(256, '\r');
    const std::size_t afterFont = expected.size();
    expected += "\r\nFR\"FORM1\"\r\n";
    EXPECT_EQ(sink.text(), expected);

    using Mark = BufferSink::PauseMark;
    const std::vector<Mark> pauses = {{afterFk, PrinterPause::Long},
                                      {beforeGm, PrinterPause::Medium},
                                      {afterPictures, PrinterPause::Medium},
                                      {afterEk, PrinterPause::Medium},
                                      {afterFont, PrinterPause::Short}};
    EXPECT_EQ(sink.pauses(), pauses);
    EXPECT_EQ(sink.progressTexts(),
              (std::vector<std::string>{"Store current form as FORM1", "Store picture \"LOGO\"", "Store font \"B\""}));
}

TEST(StoredForm, PicturesWithoutDataAreNotDownloaded) {
    LabelDocument d;
    addPicture(d, 1, 2, "EMPTY", nullptr, 0, 0);
    BufferSink sink;
    ASSERT_TRUE(writeStoredForm(d, "F", sink));
    EXPECT_EQ(sink.text().find("GM"), std::string::npos);
    EXPECT_NE(sink.text().find("GG1,2,\"EMPTY\"\nFE\r\n\r\nFR\"F\"\r\n"), std::string::npos);
}

TEST(Writers, StopWhereTheLinkGaveUp) {
    LabelDocument d;
    addPicture(d, 10, 20, "LOGO", logoBlock(), 10, 2);
    BufferSink full;
    ASSERT_TRUE(writeStoredForm(d, "F", full));
    for (std::size_t cut : {std::size_t{0}, std::size_t{3}, std::size_t{40}, full.bytes().size() - 1}) {
        BufferSink sink;
        sink.failAfter(cut);
        EXPECT_FALSE(writeStoredForm(d, "F", sink)) << cut;
        EXPECT_EQ(sink.text(), full.text().substr(0, cut));
        for (const auto& mark : sink.pauses()) EXPECT_LT(mark.offset, cut);  // no pause after giving up
    }
    BufferSink print;
    print.failAfter(10);
    EXPECT_FALSE(writePrintLabel(d, PrintJob{}, print));
    EXPECT_EQ(print.bytes().size(), 10u);
}

}  // namespace
}  // namespace tavrin
