// The bitmap's word-wise operations, picture decoding, and writing rendered images: every
// format refuses an image with no dots instead of writing a 0 x 0 file the caller takes for a
// render, and a failed write says which file.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/bitmap.h"
#include "render/image_io.h"
#include "render/picture_decode.h"
#include "support/test_support.h"

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
        const bool fill = round % 2 == 0;
        const int fw = fill ? below(80) - 5 : 0, fh = fill ? below(12) : 0;
        const auto fillOp = static_cast<FillOp>(fill ? below(3) : 0);
        const Bitmap source = fill ? Bitmap(1, 1) : randomBitmap(random, 1 + below(40), 1 + below(7));
        const auto combineOp = static_cast<CombineOp>(fill ? 0 : below(3));
        if (fill) target.fillRect(x, y, fw, fh, fillOp);
        else target.combine(source, x, y, combineOp);
        int count = 0;
        for (int yy = 0; yy < h; ++yy)
            for (int xx = 0; xx < w; ++xx) {
                const bool d = expected.isInk(xx, yy);
                bool v = d;
                if (fill && xx >= x && xx < x + fw && yy >= y && yy < y + fh)
                    v = fillOp == FillOp::Invert ? !d : fillOp == FillOp::Ink;
                if (!fill && source.contains(xx - x, yy - y)) {
                    const bool s = source.isInk(xx - x, yy - y);
                    v = combineOp == CombineOp::And ? (s || d) : combineOp == CombineOp::Xor ? (s != d) : s;
                }
                expected.setDot(xx, yy, v);
                count += v ? 1 : 0;
            }
        ASSERT_TRUE(target == expected) << "round " << round;
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

// Each check runs on a block of exactly its size, so a read past it shows up under the
// address sanitizer.
TEST(PictureDecodeTest, RunsStopAtRowEndsAndDamagedBlocksGiveBlankRowsWithoutReadingPastTheEnd) {
    // bytesPerRow 3. Row 0: 0x12, run of 2 x 0x34. Row 1: run of 5 x 0xAB (two dropped).
    // Row 2: 0xC0 0x99 is a run of nothing, then 0xBF literal, run 0xC2 of 0xFF.
    EXPECT_EQ(rows({1, 3, 0x12, 0xC2, 0x34, 0xC5, 0xAB, 0xC0, 0x99, 0xBF, 0xC2, 0xFF}, 3),
              (std::vector<Bytes>{{0x12, 0x34, 0x34}, {0xAB, 0xAB, 0xAB}, {0xBF, 0xFF, 0xFF}}));
    // The stream ends inside row 1; a count byte with nothing after it; no rows at all.
    EXPECT_EQ(rows({1, 2, 0x00, 0x01, 0x02}, 3), (std::vector<Bytes>{{0x00, 0x01}, {0x02, 0xFF}, {0xFF, 0xFF}}));
    EXPECT_EQ(rows({1, 2, 0x05, 0xC3}, 2), (std::vector<Bytes>{{0x05, 0xFF}, {0xFF, 0xFF}}));
    EXPECT_EQ(rows({1, 2}, 1), (std::vector<Bytes>{{0xFF, 0xFF}}));
    // Not even the two leading bytes; nothing; a run cut short.
    EXPECT_EQ(PictureRowDecoder(Bytes{1}).bytesPerRow(), 0);
    EXPECT_EQ(decodePicture(Bytes{}, 8, 2).countInk(), 0);
    EXPECT_EQ(decodePicture(Bytes{1, 4, 0xC8}, 32, 50).countInk(), 0);
    // A picture wider than its rows: the dots the rows lack are blank (zero bits are ink).
    const Bitmap wide = decodePicture(Bytes{1, 1, 0x00, 0x00}, 20, 2);
    EXPECT_EQ(wide.countInk(), 16);
    EXPECT_EQ((std::array{wide.isInk(7, 0), wide.isInk(8, 0)}), (std::array{true, false}));
}

TEST(ImageIo, EveryFormatRefusesAnEmptyImageAndWritesNothing) {
    test::TempDir dir;
    const std::pair<int, int> sizes[] = {{0, 0}, {0, 12}, {12, 0}};
    for (const auto& [width, height] : sizes) {
        const Bitmap bits(width, height);
        const ScreenImage colour(width, height);
        const std::pair<Result, const char*> results[] = {
            {writePbm(dir / "a.pbm", bits), "a.pbm"},
            {writePng(dir / "b.png", bits), "b.png"},
            {writePpm(dir / "c.ppm", colour), "c.ppm"},
            {writePng(dir / "d.png", colour), "d.png"},
        };
        for (const auto& [result, name] : results) {
            EXPECT_EQ(result.kind(), FailureKind::Invalid) << name << " " << width << " x " << height;
            EXPECT_EQ(result.message(), "empty image") << name;
            EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
        }
    }
}

TEST(ImageIo, OneDotImagesStillWriteAndReadBack) {
    test::TempDir dir;
    Bitmap bits(1, 1);
    bits.setDot(0, 0, true);
    ASSERT_TRUE(writePbm(dir / "a.pbm", bits));
    Bitmap back;
    ASSERT_TRUE(readPbm(dir / "a.pbm", back));
    EXPECT_EQ(std::tuple(back.width(), back.height(), back.countInk()), std::tuple(1, 1, 1));
    ASSERT_TRUE(writePpm(dir / "b.ppm", ScreenImage(1, 1)));
    EXPECT_EQ(test::readText(dir / "b.ppm"), std::string("P6\n1 1\n255\n\xFF\xFF\xFF", 14));
}

// Keeping the old file whole is the safe file's; a failed write here names the file.
TEST(ImageIo, AFailedWriteNamesTheFile) {
    test::TempDir dir;
    const auto path = dir / "none" / "label.ppm";
    EXPECT_EQ(writePpm(path, ScreenImage(20, 20)).message(), "Can't write " + path.string() + ": No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));
}

}  // namespace
}  // namespace tavrin
