// Direct graphics rasters: pictures from their own data, soft-font text glyph by glyph.
#include <gtest/gtest.h>

#include "printer/direct_graphics.h"
#include "printer_fixtures.h"

namespace tavrin {
namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

PictureBlockRef block(std::initializer_list<int> values) {
    auto b = std::make_shared<PictureBlock>();
    for (int v : values) b->bytes.push_back(static_cast<std::uint8_t>(v));
    return b;
}

std::string pictureRaster(const Figure& figure) {
    BufferSink sink;
    CommandWriter out(sink);
    EXPECT_TRUE(writePictureRaster(figure, out));
    return sink.text();
}

TEST(PictureRaster, RowsAboveTheTopEdgeAreLeftOut) {
    LabelDocument d;
    // Seven rows of one byte each, written as themselves.
    const auto data = block({1, 1, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07});
    EXPECT_EQ(pictureRaster(test::addPicture(d, 3, -5, "P", data, 8, 7)), "GW3,0,1,2," + bytes({0x06, 0x07}) + "\r\n");
    EXPECT_EQ(pictureRaster(test::addPicture(d, -4, 9, "P", data, 8, 7)),
              "GW-4,9,1,7," + bytes({1, 2, 3, 4, 5, 6, 7}) + "\r\n");
    EXPECT_EQ(pictureRaster(test::addPicture(d, 3, -7, "P", data, 8, 7)), "");  // wholly above
}

TEST(PictureRaster, DotsBeyondTheWidthAreSentBlank) {
    LabelDocument d;
    // 10 dots wide, 2 bytes per row: a row of zeros, then a run of two 0x12 bytes.
    const auto narrow = block({1, 2, 0x00, 0x00, 0xC2, 0x12});
    EXPECT_EQ(pictureRaster(test::addPicture(d, 0, 0, "P", narrow, 10, 2)),
              "GW0,0,2,2," + bytes({0x00, 0x3F, 0x12, 0x3F}) + "\r\n");
    // Three bytes per row for 10 dots: the third lies wholly beyond and is sent as 0xFF.
    const auto padded = block({1, 3, 0xC3, 0x00});
    EXPECT_EQ(pictureRaster(test::addPicture(d, 0, 0, "P", padded, 10, 1)),
              "GW0,0,3,1," + bytes({0x00, 0x3F, 0xFF}) + "\r\n");
    // A run that would cross the row end stops there; a stream too short gives blank rows.
    const auto shortData = block({1, 1, 0xC3, 0x00});
    EXPECT_EQ(pictureRaster(test::addPicture(d, 0, 0, "P", shortData, 8, 2)),
              "GW0,0,1,2," + bytes({0x00, 0xFF}) + "\r\n");
}

TEST(PictureRaster, PictureWithoutDataKeepsItsCommandLine) {
    LabelDocument d;
    BufferSink sink;
    CommandWriter out(sink);
    EXPECT_FALSE(writePictureRaster(test::addPicture(d, 0, 0, "P", nullptr, 8, 8), out));
    EXPECT_TRUE(sink.bytes().empty());
}

TEST(GlyphRaster, RowsRepeatAndOversizeOrOffLabelGlyphsAreDropped) {
    LabelSetup setup;  // 384 x 200
    const std::vector<std::uint8_t> data = {0x7F, 0xFF, 0x3F, 0xFE};
    auto send = [&](int x, int y, int bytesPerRow, int rows, int repeat) {
        BufferSink sink;
        CommandWriter out(sink);
        writeGlyphRaster(GlyphRaster{x, y, bytesPerRow, rows, repeat, data}, setup, out);
        return sink.text();
    };
    EXPECT_EQ(send(10, 20, 2, 2, 2),
              "GW10,20,2,4," + bytes({0x7F, 0xFF, 0x7F, 0xFF, 0x3F, 0xFE, 0x3F, 0xFE}) + "\r\n");
    EXPECT_EQ(send(384, 200, 1, 1, 1), "GW384,200,1,1," + bytes({0x7F}) + "\r\n");
    EXPECT_EQ(send(385, 0, 1, 1, 1), "");
    EXPECT_EQ(send(0, 201, 1, 1, 1), "");
    EXPECT_EQ(send(-3, 0, 2, 1, 1), "");
    EXPECT_EQ(send(0, -3, 2, 1, 1), "");
    EXPECT_EQ(send(-2, -2, 2, 2, 1).substr(0, 12), "GW-2,-2,2,2,");

    const std::vector<std::uint8_t> tall(512, 0xFF);
    auto sendTall = [&](int rows, int repeat) {
        BufferSink sink;
        CommandWriter out(sink);
        writeGlyphRaster(GlyphRaster{0, 0, 1, rows, repeat, tall}, setup, out);
        return sink.bytes().size();
    };
    EXPECT_EQ(sendTall(256, 2), std::string("GW0,0,1,512,").size() + 512 + 2);
    EXPECT_EQ(sendTall(171, 3), 0u);  // 513 rows
    // A glyph claiming more rows than it holds is not read past its end.
    EXPECT_EQ(send(0, 0, 2, 3, 1), "");
}

TEST(DirectGraphics, PrintJobSendsSoftFontTextAndPicturesAsRasters) {
    LabelDocument d;
    // Font S: one character 'a', 1 dot wide, two rows.
    test::addFont(d, 'S', {1, 0, 2, 'a', 1, 1, 0x80, 0x80});
    test::addText(d, 10, 20, 6, 0, "\"a\"");
    test::addText(d, 1, 2, 3, 0, "\"r\"");
    test::addPicture(d, 5, 6, "P", block({1, 1, 0x0F}), 8, 1);
    RenderContext context;
    context.document = &d;
    BufferSink sink;
    ASSERT_TRUE(writePrintLabel(d, PrintJob{1, directGraphicsWriter(context)}, sink));
    const std::string text = sink.text();
    const auto figures = text.find("TTH:M:S\r\n") + 9;
    const std::string body = text.substr(figures);
    ASSERT_EQ(body.substr(0, 5), "GW10,") << body;
    // Whatever the glyph's size, the header announces exactly the bytes that follow.
    int x = 0, y = 0, perRow = 0, rows = 0, used = 0;
    ASSERT_EQ(std::sscanf(body.c_str(), "GW%d,%d,%d,%d,%n", &x, &y, &perRow, &rows, &used), 4);
    const std::size_t end = static_cast<std::size_t>(used + perRow * rows);
    EXPECT_GT(perRow * rows, 0);
    EXPECT_EQ(body.substr(end), "\r\nA1,2,0,3,1,1,N,\"r\"\r\nGW5,6,1,1," + bytes({0x0F}) + "\r\nP1\r\n");
}

}  // namespace
}  // namespace tavrin
