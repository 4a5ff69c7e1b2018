#include "render/picture_decode.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavrin {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> rows(const Bytes& block, int count) {
    PictureRowDecoder decoder(block);
    std::vector<Bytes> out;
    for (int i = 0; i < count; ++i) {
        Bytes row(static_cast<std::size_t>(decoder.bytesPerRow()), 0x11);
        decoder.nextRow(row);
        out.push_back(row);
    }
    return out;
}

TEST(PictureDecodeTest, LiteralsAndRunsFillRowsAndRunsNeverCrossARowEnd) {
    // bytesPerRow 3. Row 0: 0x12, run of 2 x 0x34. Row 1: run of 5 x 0xAB (two dropped).
    // Row 2: 0xC0 0x99 is a run of nothing, then 0xBF literal, run 0xC2 of 0xFF.
    const Bytes block = {1, 3, 0x12, 0xC2, 0x34, 0xC5, 0xAB, 0xC0, 0x99, 0xBF, 0xC2, 0xFF};
    EXPECT_EQ(rows(block, 3), (std::vector<Bytes>{{0x12, 0x34, 0x34}, {0xAB, 0xAB, 0xAB}, {0xBF, 0xFF, 0xFF}}));
}

TEST(PictureDecodeTest, DamagedBlocksGiveBlankRowsAndNeverReadPastTheEnd) {
    // The stream ends inside row 1; row 2 and later are blank.
    EXPECT_EQ(rows({1, 2, 0x00, 0x01, 0x02}, 3), (std::vector<Bytes>{{0x00, 0x01}, {0x02, 0xFF}, {0xFF, 0xFF}}));
    // A count byte with nothing after it.
    EXPECT_EQ(rows({1, 2, 0x05, 0xC3}, 2), (std::vector<Bytes>{{0x05, 0xFF}, {0xFF, 0xFF}}));
    // No rows at all, or not even the two leading bytes.
    EXPECT_EQ(rows({1, 2}, 1), (std::vector<Bytes>{{0xFF, 0xFF}}));
    EXPECT_EQ(PictureRowDecoder(Bytes{1}).bytesPerRow(), 0);
    const Bitmap none = decodePicture(Bytes{}, 8, 2);
    EXPECT_EQ(none.countInk(), 0);
    // Each check runs on a block of exactly its size, so a read past it shows up under the
    // address sanitizer.
    const Bytes cut = {1, 4, 0xC8};
    const Bitmap picture = decodePicture(cut, 32, 50);
    EXPECT_EQ(picture.countInk(), 0);
}

TEST(PictureDecodeTest, DecodedBitmapHasZeroBitsAsInkAndIgnoresPadding) {
    // width 10, bytesPerRow 2. Row 0: 0x3F 0x00 -> dots 0, 1 ink, 2..7 blank, 8, 9 ink
    // (10..15 are padding). Row 1: 0x00 0x3F -> dots 0..7 ink, 8, 9 ink.
    const Bitmap b = decodePicture(Bytes{1, 2, 0x3F, 0x00, 0x00, 0x3F}, 10, 2);
    EXPECT_TRUE(b.isInk(0, 0));
    EXPECT_TRUE(b.isInk(1, 0));
    EXPECT_FALSE(b.isInk(2, 0));
    EXPECT_TRUE(b.isInk(9, 0));
    EXPECT_TRUE(b.isInk(9, 1));
    EXPECT_EQ(b.countInk(), 4 + 10);
    // A picture wider than its rows: the dots the rows lack are blank.
    const Bitmap wide = decodePicture(Bytes{1, 1, 0x00, 0x00}, 20, 2);
    EXPECT_EQ(wide.countInk(), 16);
    EXPECT_FALSE(wide.isInk(8, 0));
}

}  // namespace
}  // namespace tavrin
