// Whole command streams of the three writers and form files on disk, written out by hand.
#include <gtest/gtest.h>

#include "printer/form_file.h"
#include "printer/form_writer.h"
#include "support/label_builders.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using namespace test;

const std::string kHeader = "; Saved by TAVRIN Label Editor\r\n";

TEST(PrintLabel, WholeJobWithCounterEmptyValueAndReferencePoint) {
    LabelDocument d;
    d.variables[0] = makeSlot(3, kJustifyNone, ' ', "", "");  // empty prompt, empty value as an empty line
    d.variables[3] = makeSlot(5, kJustifyRight, '0', "Price", "12");
    d.counters[0] = makeSlot(4, kJustifyRight, '0', "Count", "0009", 1);
    addText(d, 40, 40, 3, 0, "\"Text\"");
    addRectangle(d, 40, 40, 100, 20, 0);
    d.setup.orientation = 1, d.setup.leftMargin = 16, d.setup.topMargin = -2;
    BufferSink sink;
    EXPECT_TRUE(writePrintLabel(d, PrintJob{3, {}}, sink));
    EXPECT_EQ(sink.text(), "\r\nN\r\nVC\r\nV00,03,N,\"\"\r\nV03,05,R0,\"Price\"\r\nC00,04,R0,+1,\"Count\"\r\n"
                           "?\r\n\r\n12\r\n0009\r\nD8\r\nS6\r\nI0\r\nZB\r\nQ200,24+8\r\nq384\r\nR16,-2\r\n"
                           "TDDD-MN-Y4\r\nTTH:M:S\r\nA40,40,0,3,1,1,N,\"Text\"\r\nLO40,40,100,20\r\nP3\r\n");
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
    addPicture(d, 1, 2, "EMPTY", nullptr, 0, 0);  // no data: placed but not downloaded
    BufferSink sink;
    ASSERT_TRUE(writeStoredForm(d, "FORM1", sink));
    std::string expected = "\r\nN\r\nFK\"FORM1\"\r\n";
    const std::size_t afterFk = expected.size();
    expected += "FS\"FORM1\"\r\nV03,05,R0,\"Price\"\r\n"
                "D8\r\nS6\r\nI0\r\nZT\r\nQ200,24+8\r\nq384\r\nTDDD-MN-Y4\r\nTTH:M:S\r\nR0,0\r\n"
                "GG10,20,\"LOGO\"\nGG50,60,\"LOGO\"\nGG1,2,\"EMPTY\"\nFE\r\n\r\n\nGK\"LOGO\"\r\n";
    const std::size_t beforeGm = expected.size();
    // 128-byte header for 10 x 2 dots, 2 bytes per row.
    expected += "GM\"LOGO\"132\n" +
                byteString({10, 5, 1, 1, 0, 0, 0, 0, 9, 0, 1, 0, 150, 0, 150, 0, 0, 0, 0, 255, 255, 255}) +
                std::string(43, '\0') + byteString({1, 2, 0, 1}) + std::string(59, '\0') +
                byteString({0xC2, 0x00, 0x3F, 0x0F}) + "\r\n\n\n";
    const std::size_t afterPictures = expected.size();
    expected += "\r\n\nEK\"B\"\r\n";
    const std::size_t afterEk = expected.size();
    expected += "ES\"B\"" + byteString({2, 0, 3, 7}) + std::string(256, '\r');
    const std::size_t afterFont = expected.size();
    expected += "\r\nFR\"FORM1\"\r\n";
    EXPECT_EQ(sink.text(), expected);
    const std::vector<BufferSink::PauseMark> pauses = {{afterFk, PrinterPause::Long},
                                                       {beforeGm, PrinterPause::Medium},
                                                       {afterPictures, PrinterPause::Medium},
                                                       {afterEk, PrinterPause::Medium},
                                                       {afterFont, PrinterPause::Short}};
    EXPECT_EQ(sink.pauses(), pauses);
    EXPECT_EQ(sink.progressTexts(),
              (std::vector<std::string>{"Store current form as FORM1", "Store picture \"LOGO\"", "Store font \"B\""}));
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

TEST(SaveAsForm, ReplacesTheFileWholeOrNotAtAll) {
    TempDir dir;
    LabelDocument d;
    EXPECT_EQ(saveAsForm(dir / "a.ejf", d).message(), "Nothing to save");
    EXPECT_FALSE(std::filesystem::exists(dir / "a.ejf"));
    writeFile(dir / "a.ejf", std::string(5000, 'z'));
    addBox(d, 1, 2, 3, 4, 5);
    ASSERT_TRUE(saveAsForm(dir / "a.ejf", d));
    const std::string saved = readText(dir / "a.ejf");  // the old, longer text wholly gone
    EXPECT_TRUE(saved.starts_with(kHeader) && saved.ends_with("R0,0\r\nX1,2,5,3,4\r\n\r\n")) << saved;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left
    EXPECT_EQ(saveAsForm(dir / "no" / "such" / "a.ejf", d).message(), "Can't open output file");
    std::filesystem::create_directory(dir / "taken.ejf");  // a folder in the way stays as it is
    EXPECT_FALSE(saveAsForm(dir / "taken.ejf", d));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.ejf"));
}

TEST(FormLines, SplitLikeThePrinterLinkReadsReplies) {
    const auto split = [](const std::string& text) {
        return splitFormLines(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    };
    EXPECT_EQ(split(std::string("A1\r\n\r\nB\x01\x02" "2\nlast\x7f\xe9\r") + '\0' + "after"),
              (std::vector<std::string>{"A1", "", "B2", "last\x7f\xe9"}));
    EXPECT_EQ(split("q100"), std::vector<std::string>{"q100"});
}

TEST(ImportForm, ReplacesFiguresAndSlotsKeepsUnsetSetup) {
    TempDir dir;
    writeFile(dir / "f.ejf", kHeader + "V01,05,L,\"Name\"\r\nD3\r\nS2\r\nI1\r\nZB\r\n"
                                       "Q300,B20-4\r\nq500\r\nR10,10\r\nLO1,2,3,4\r\nGG5,5,\"LOGO\"\r\nXX\r\n\r\n");
    LabelDocument d;
    addBox(d, 9, 9, 9, 9, 9);
    d.variables[5] = makeSlot(3, 0, ' ', "old");
    d.setup.leftMargin = 33;
    const FormImport imported = importFormFile(dir / "f.ejf", d);
    ASSERT_TRUE(imported.result);
    EXPECT_EQ(imported.linesRead, 7);     // V, D, S, ZB, Q, q, LO
    EXPECT_EQ(imported.linesSkipped, 4);  // R, I, GG without picture data, XX
    ASSERT_EQ(d.figures.size(), 1u);
    EXPECT_EQ(d.figures.front().record, (RectangleRecord{1, 2, 3, 4, 0}.encode()));
    EXPECT_FALSE(d.variables[5].isDefined());
    EXPECT_EQ(d.variables[1], makeSlot(5, kJustifyLeft, ' ', "Name"));
    EXPECT_EQ(d.setup, (LabelSetup{.width = 500, .length = 300, .leftMargin = 33, .offset = -4, .orientation = 1,
                                   .darkness = 3, .speed = 2, .labelGap = 20, .paperType = 1,
                                   .timeFormat = "H:M:S"}));
    EXPECT_EQ(importFormFile(dir / "none.ejf", d).result.message(), "Can't open input file");
    EXPECT_EQ(d.figures.size(), 1u);
}

}  // namespace
}  // namespace tavrin
