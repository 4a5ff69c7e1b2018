// The bitmap's word-wise operations and picture decoding.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/bitmap.h"
#include "render/picture_decode.h"

namespace tavrin {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bitmap randomBitmap(std::mt19937& random, int width, int height) {
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) b.setDot(x, y, (random() & 1) != 0);
    return b;
}

// The word-wise fills and combines are checked against the plain dot-by-dot definition of
// each operation, on random images, sizes and positions including ones off the edges.
TEST(BitmapOpsTest, FillsAndCombinesMatchTheDotByDotDefinition) {
    std::mt19937 random(20260305);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 300; ++round) {
        const int w = 1 + below(70), h = 1 + below(9);
        Bitmap target = randomBitmap(random, w, h), expected = target;
        const int x = below(90) - 15, y = below(13) - 3;
        if (round % 2 == 0) {
            const int fw = below(80) - 5, fh = below(12);
            const auto op = static_cast<FillOp>(below(3));
            target.fillRect(x, y, fw, fh, op);
            for (int yy = y; yy < y + fh; ++yy)
                for (int xx = x; xx < x + fw; ++xx)
                    if (expected.contains(xx, yy))
                        expected.setDot(xx, yy, op == FillOp::Invert ? !expected.isInk(xx, yy) : op == FillOp::Ink);
        } else {
            const Bitmap source = randomBitmap(random, 1 + below(40), 1 + below(7));
            const auto op = static_cast<CombineOp>(below(3));
            target.combine(source, x, y, op);
            for (int sy = 0; sy < source.height(); ++sy)
                for (int sx = 0; sx < source.width(); ++sx) {
                    const int dx = sx + x, dy = sy + y;
                    if (!expected.contains(dx, dy)) continue;
                    const bool s = source.isInk(sx, sy), d = expected.isInk(dx, dy);
                    expected.setDot(dx, dy, op == CombineOp::And ? (s || d) : op == CombineOp::Xor ? (s != d) : s);
                }
        }
        ASSERT_TRUE(target == expected) << "round " << round;
        int count = 0;
        for (int yy = 0; yy < h; ++yy)
            for (int xx = 0; xx < w; ++xx) count += target.isInk(xx, yy) ? 1 : 0;
        ASSERT_EQ(target.countInk(), count) << "round " << round;
    }
}

TEST(BitmapOpsTest, EqualityIgnoresTheBitsPastTheWidth) {
    Bitmap a(10, 2), b(10, 2);
    a.row(0)[1] = static_cast<std::uint8_t>(a.row(0)[1] & 0xC0);  // padding dots 12..15 set to ink
    EXPECT_TRUE(a == b);
    EXPECT_EQ(a.countInk(), 0);
    b.setDot(9, 1, true);
    EXPECT_FALSE(a == b);
}

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

// Each check runs on a block of exactly its size, so a read past it shows up under the
// address sanitizer.
TEST(PictureDecodeTest, DamagedBlocksGiveBlankRowsAndNeverReadPastTheEnd) {
    // The stream ends inside row 1; a count byte with nothing after it; no rows at all.
    EXPECT_EQ(rows({1, 2, 0x00, 0x01, 0x02}, 3), (std::vector<Bytes>{{0x00, 0x01}, {0x02, 0xFF}, {0xFF, 0xFF}}));
    EXPECT_EQ(rows({1, 2, 0x05, 0xC3}, 2), (std::vector<Bytes>{{0x05, 0xFF}, {0xFF, 0xFF}}));
    EXPECT_EQ(rows({1, 2}, 1), (std::vector<Bytes>{{0xFF, 0xFF}}));
    // Not even the two leading bytes; nothing; a run cut short.
    EXPECT_EQ(PictureRowDecoder(Bytes{1}).bytesPerRow(), 0);
    EXPECT_EQ(decodePicture(Bytes{}, 8, 2).countInk(), 0);
    EXPECT_EQ(decodePicture(Bytes{1, 4, 0xC8}, 32, 50).countInk(), 0);
}

TEST(PictureDecodeTest, DecodedBitmapHasZeroBitsAsInkAndIgnoresPadding) {
    // width 10, bytesPerRow 2. Row 0: 0x3F 0x00 -> dots 0, 1 ink, 2..7 blank, 8, 9 ink
    // (10..15 are padding). Row 1: 0x00 0x3F -> dots 0..7 ink, 8, 9 ink.
    const Bitmap b = decodePicture(Bytes{1, 2, 0x3F, 0x00, 0x00, 0x3F}, 10, 2);
    EXPECT_EQ((std::array{b.isInk(0, 0), b.isInk(1, 0), b.isInk(2, 0), b.isInk(9, 0), b.isInk(9, 1)}),
              (std::array{true, true, false, true, true}));
    EXPECT_EQ(b.countInk(), 4 + 10);
    // A picture wider than its rows: the dots the rows lack are blank.
    const Bitmap wide = decodePicture(Bytes{1, 1, 0x00, 0x00}, 20, 2);
    EXPECT_EQ(wide.countInk(), 16);
    EXPECT_FALSE(wide.isInk(8, 0));
}

}  // namespace
}  // namespace tavrin
