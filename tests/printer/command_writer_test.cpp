// Single command lines and direct graphics rasters, compared with the printer's line
// grammar written out by hand.
#include <gtest/gtest.h>

#include "printer/direct_graphics.h"
#include "support/label_builders.h"

namespace tavrin {
namespace {

using namespace test;

LabelSetup setup(void (*change)(LabelSetup&)) {
    LabelSetup s;  // length 200, gap 24, offset 8, width 384
    change(s);
    return s;
}

TEST(CommandLines, EveryShapeByteForByte) {
    LabelDocument d;
    addFont(d, 'A', {1, 0, 16});
    addFont(d, 'B', {1, 0, 20});
    const auto line = [&d](const Figure& f) { return figureLine(f, d.figures).value_or("<none>"); };
    const Figure& picture = addPicture(d, 5, -6, "PICT0001", nullptr, 0, 0);
    const std::pair<std::string, std::string> cases[] = {
        {lengthAndWidthLines(setup([](LabelSetup& s) { s.offset = 0; })), "Q200,24\r\nq384\r\n"},
        {lengthAndWidthLines(setup([](LabelSetup& s) { s.paperType = 1, s.offset = 0; })), "Q200,B24\r\nq384\r\n"},
        {lengthAndWidthLines(setup([](LabelSetup& s) { s.paperType = 2, s.offset = 80, s.width = 608; })),
         "Q200,24+80\r\nq608\r\n"},  // black line: no B
        {numberLines(setup([](LabelSetup& s) { s.darkness = 15, s.language = 2; }), 6), "D15\r\nS6\r\nI2\r\n"},
        {formatLines(setup([](LabelSetup& s) { s.dateFormat = "Y4/MN/DD", s.timeFormat = "H:M"; })),
         "TDY4/MN/DD\r\nTTH:M\r\n"},
        {referencePointLine(setup([](LabelSetup& s) { s.leftMargin = -5, s.topMargin = 12; })), "R-5,12\r\n"},
        // A blank pad and any pad under N are not written.
        {variableDefinitionLine(0, makeSlot(10, kJustifyLeft, ' ', "Name")), "V00,10,L,\"Name\"\r\n"},
        {variableDefinitionLine(31, makeSlot(32, kJustifyNone, '*', "P")), "V31,32,N,\"P\"\r\n"},
        {variableDefinitionLine(7, makeSlot(8, kJustifyCentre, '*', "")), "V07,08,C*,\"\"\r\n"},
        // Counters always sign their step.
        {counterDefinitionLine(7, makeSlot(4, kJustifyNone, '0', "Down", "", -1)), "C07,04,N,-1,\"Down\"\r\n"},
        {counterDefinitionLine(2, makeSlot(12, kJustifyLeft, ' ', "", "", 0)), "C02,12,L,+0,\"\"\r\n"},
        {counterDefinitionLine(1, makeSlot(3, kJustifyLeft, 'x', "a", "", -128)), "C01,03,Lx,-128,\"a\"\r\n"},
        {line(addText(d, 40, 40, 3, 1, "\"Text\"")), "A40,40,0,3,1,1,R,\"Text\"\r\n"},
        {line(addText(d, -3, 7, 5, 3, "TD", 2, 8, 9)), "A-3,7,2,5,8,9,W,TD\r\n"},
        // Font 7 is the second Font entry; a soft font always writes N, whatever the style.
        {line(addText(d, 10, 20, 7, 1, "V00", 1, 2, 2)), "A10,20,1,B,2,2,N,V00\r\n"},
        {line(addText(d, 1, 2, 'K', 0, "\"x\"")), "A1,2,0,K,1,1,N,\"x\"\r\n"},  // read back without its font
        {line(addText(d, 1, 2, 9, 0, "\"x\"")), "<none>"},                       // no fourth Font entry
        {line(addText(d, 1, 2, 0, 0, "\"x\"")), "<none>"},
        {line(addBarcode(d, 0, 0, -4, 50, 1, 2, 0, "\"A\"", 3)), "B0,-4,3,3,1,2,50,N,\"A\"\r\n"},
        {line(addBarcode(d, 26, 1, 1, 9, 3, 6, 1, "C00")), "B1,1,0,2U,3,6,9,B,C00\r\n"},
        {line(addBarcode(d, 22, 1, 1, 9, 3, 6, 3, "x")), "B1,1,0,UA5,3,6,9,BR,x\r\n"},
        {line(addBarcode(d, 12, 1, 1, 9, 3, 6, 2, "x")), "B1,1,0,1E,3,6,9,BC,x\r\n"},
        {line(addBarcode(d, 27, 1, 1, 9, 3, 6, 2, "x")), "<none>"},
        {line(addBarcode(d, -1, 1, 1, 9, 3, 6, 2, "x")), "<none>"},
        {line(addRectangle(d, -1, 2, 3, 4, 1)), "LE-1,2,3,4\r\n"},
        {line(addRectangle(d, 1, 2, 3, 4, 2)), "LW1,2,3,4\r\n"},
        {line(addLine(d, 40, 40, 140, 90, 4, 0)), "LS40,40,4,140,90\r\n"},
        {line(addLine(d, 0, 0, -10, 5, 80, 2)), "LS0,0,80W,-10,5\r\n"},
        {line(addBox(d, 40, 40, 140, 90, 4)), "X40,40,4,140,90\r\n"},
        {line(picture), "GG5,-6,\"PICT0001\"\r\n"},
        {line(addFont(d, 'C', {})), "<none>"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
}

TEST(CommandLines, PcxHeaderForAWidePicture) {
    const auto wide = pcxHeaderForPicture(608, 300, 76);
    EXPECT_EQ(std::vector(wide.begin() + 8, wide.begin() + 12), (std::vector<std::uint8_t>{0x5F, 0x02, 0x2B, 0x01}));
    EXPECT_EQ(wide[66], 76);
}

PictureBlockRef block(std::vector<std::uint8_t> bytes) {
    auto b = std::make_shared<PictureBlock>();
    b->bytes = std::move(bytes);
    return b;
}

TEST(PictureRaster, DotsBeyondTheWidthBlankAndRowsAboveTheTopLeftOut) {
    LabelDocument d;
    const auto raster = [&d](int x, int y, const PictureBlockRef& data, int width, int height) {
        BufferSink sink;
        CommandWriter out(sink);
        EXPECT_TRUE(writePictureRaster(addPicture(d, x, y, "P", data, width, height), out));
        return sink.text();
    };
    // Seven rows of one byte each, written as themselves.
    const auto seven = block({1, 1, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07});
    EXPECT_EQ(raster(3, -5, seven, 8, 7), "GW3,0,1,2," + byteString({0x06, 0x07}) + "\r\n");
    EXPECT_EQ(raster(-4, 9, seven, 8, 7), "GW-4,9,1,7," + byteString({1, 2, 3, 4, 5, 6, 7}) + "\r\n");
    EXPECT_EQ(raster(3, -7, seven, 8, 7), "");  // wholly above
    // 10 dots wide, 2 bytes per row: a row of zeros, then a run of two 0x12 bytes.
    EXPECT_EQ(raster(0, 0, block({1, 2, 0x00, 0x00, 0xC2, 0x12}), 10, 2),
              "GW0,0,2,2," + byteString({0x00, 0x3F, 0x12, 0x3F}) + "\r\n");
    // Three bytes per row for 10 dots: the third lies wholly beyond and is sent as 0xFF.
    EXPECT_EQ(raster(0, 0, block({1, 3, 0xC3, 0x00}), 10, 1), "GW0,0,3,1," + byteString({0x00, 0x3F, 0xFF}) + "\r\n");
    // A run that would cross the row end stops there; a stream too short gives blank rows.
    EXPECT_EQ(raster(0, 0, block({1, 1, 0xC3, 0x00}), 8, 2), "GW0,0,1,2," + byteString({0x00, 0xFF}) + "\r\n");
    BufferSink sink;  // a picture without data keeps its command line
    CommandWriter out(sink);
    EXPECT_FALSE(writePictureRaster(addPicture(d, 0, 0, "P", nullptr, 8, 8), out));
    EXPECT_TRUE(sink.bytes().empty());
}

TEST(GlyphRaster, RowsRepeatAndOversizeOrOffLabelGlyphsAreDropped) {
    const std::vector<std::uint8_t> data = {0x7F, 0xFF, 0x3F, 0xFE};
    const std::vector<std::uint8_t> tall(512, 0xFF);
    const auto send = [](int x, int y, int bytesPerRow, int rows, int repeat, const std::vector<std::uint8_t>& bytes) {
        BufferSink sink;
        CommandWriter out(sink);
        writeGlyphRaster(GlyphRaster{x, y, bytesPerRow, rows, repeat, bytes}, LabelSetup{}, out);  // 384 x 200
        return sink.text();
    };
    EXPECT_EQ(send(10, 20, 2, 2, 2, data),
              "GW10,20,2,4," + byteString({0x7F, 0xFF, 0x7F, 0xFF, 0x3F, 0xFE, 0x3F, 0xFE}) + "\r\n");
    EXPECT_EQ(send(384, 200, 1, 1, 1, data), "GW384,200,1,1," + byteString({0x7F}) + "\r\n");
    for (const auto& [x, y, perRow] : {std::tuple{385, 0, 1}, {0, 201, 1}, {-3, 0, 2}, {0, -3, 2}})
        EXPECT_EQ(send(x, y, perRow, 1, 1, data), "") << x << "," << y;
    EXPECT_EQ(send(-2, -2, 2, 2, 1, data).substr(0, 12), "GW-2,-2,2,2,");
    EXPECT_EQ(send(0, 0, 1, 256, 2, tall), "GW0,0,1,512," + std::string(512, '\xFF') + "\r\n");
    EXPECT_EQ(send(0, 0, 1, 171, 3, tall), "");  // 513 rows
    EXPECT_EQ(send(0, 0, 2, 3, 1, data), "");    // more rows claimed than held: not read past the end
}

TEST(DirectGraphics, PrintJobSendsSoftFontTextAndPicturesAsRasters) {
    LabelDocument d;
    addFont(d, 'S', {1, 0, 2, 'a', 1, 1, 0x80, 0x80});  // one character 'a', 1 dot wide, two rows
    addText(d, 10, 20, 6, 0, "\"a\"");
    addText(d, 1, 2, 3, 0, "\"r\"");
    addPicture(d, 5, 6, "P", block({1, 1, 0x0F}), 8, 1);
    RenderContext context;
    context.document = &d;
    BufferSink sink;
    ASSERT_TRUE(writePrintLabel(d, PrintJob{1, directGraphicsWriter(context)}, sink));
    const std::string body = sink.text().substr(sink.text().find("TTH:M:S\r\n") + 9);
    ASSERT_EQ(body.substr(0, 5), "GW10,") << body;
    // Whatever the glyph's size, the header announces exactly the bytes that follow.
    int x = 0, y = 0, perRow = 0, rows = 0, used = 0;
    ASSERT_EQ(std::sscanf(body.c_str(), "GW%d,%d,%d,%d,%n", &x, &y, &perRow, &rows, &used), 4);
    EXPECT_GT(perRow * rows, 0);
    EXPECT_EQ(body.substr(static_cast<std::size_t>(used + perRow * rows)),
              "\r\nA1,2,0,3,1,1,N,\"r\"\r\nGW5,6,1,1," + byteString({0x0F}) + "\r\nP1\r\n");
}

}  // namespace
}  // namespace tavrin
