#include "render/bitmap.h"

#include <gtest/gtest.h>

#include <random>

namespace tavrin {
namespace {

// The word-wise fills and combines are checked against the plain dot-by-dot definition
// of each operation, on random images, sizes and positions including ones off the edges.
Bitmap randomBitmap(std::mt19937& random, int width, int height) {
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) b.setDot(x, y, (random() & 1) != 0);
    return b;
}

TEST(BitmapOpsTest, FillsAndCombinesMatchTheDotByDotDefinition) {
    std::mt19937 random(20260305);
    for (int round = 0; round < 300; ++round) {
        const int w = 1 + static_cast<int>(random() % 70), h = 1 + static_cast<int>(random() % 9);
        Bitmap target = randomBitmap(random, w, h);
        Bitmap expected = target;
        const int x = static_cast<int>(random() % 90) - 15, y = static_cast<int>(random() % 13) - 3;
        if (round % 2 == 0) {
            const int fw = static_cast<int>(random() % 80) - 5, fh = static_cast<int>(random() % 12);
            const auto op = static_cast<FillOp>(random() % 3);
            target.fillRect(x, y, fw, fh, op);
            for (int yy = y; yy < y + fh; ++yy)
                for (int xx = x; xx < x + fw; ++xx) {
                    if (!expected.contains(xx, yy)) continue;
                    const bool ink = expected.isInk(xx, yy);
                    expected.setDot(xx, yy, op == FillOp::Ink ? true : op == FillOp::Blank ? false : !ink);
                }
        } else {
            const Bitmap source = randomBitmap(random, 1 + static_cast<int>(random() % 40),
                                               1 + static_cast<int>(random() % 7));
            const auto op = static_cast<CombineOp>(random() % 3);
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

}  // namespace
}  // namespace tavrin
