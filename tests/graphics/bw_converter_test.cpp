// The conversion's arithmetic on values worked out by hand.
#include <gtest/gtest.h>

#include "graphics/bw_converter.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

SourcePicture filled(int width, int height, std::uint32_t colour) {
    SourcePicture p;
    p.resize(width, height);
    std::fill(p.pixels.begin(), p.pixels.end(), colour);
    return p;
}

SourcePicture numbered(int width, int height) {
    SourcePicture p;
    p.resize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) p.row(y)[x] = static_cast<std::uint32_t>(16 * y + x);
    return p;
}

ConvertSettings sized(int width, int height) {
    ConvertSettings s;
    s.width = width;
    s.height = height;
    return s;
}

std::string dots(const Bitmap& image) {
    std::string out;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) out += image.isInk(x, y) ? 'B' : 'W';
        out += '\n';
    }
    return out;
}

TEST(GreyLevel, FormulaBrightnessAndContrastCurve) {
    const struct {
        std::uint32_t pixel;
        int brightness, contrast, grey;
    } cases[] = {
        {rgb(128, 128, 128), 0, 128, 128},  // the curve is 0 at the middle
        {rgb(255, 0, 0), 0, 0, 75},         // (19 x 255) div 64
        {rgb(0, 255, 0), 0, 0, 151},
        {rgb(0, 0, 255), 0, 0, 27},
        {rgb(50, 50, 50), 0, 250, 0},       // 250 x -26 / 100 = -65
        {rgb(50, 50, 50), 0, 125, 18},      // 125 x -26 / 100 = -32
        {rgb(200, 200, 200), 0, 125, 232},  // 125 x 26 / 100 = 32
        {rgb(30, 30, 30), 0, 1, 30},        // 1 x -21 / 100 truncates toward zero
        {rgb(250, 250, 250), 100, 0, 255},
        {rgb(100, 100, 100), 30, 0, 130},
    };
    for (const auto& c : cases)
        EXPECT_EQ(greyLevel(c.pixel, c.brightness, c.contrast), c.grey) << std::hex << c.pixel << std::dec << " b" << c.brightness << " c" << c.contrast;
}

TEST(ConvertToBW, ThresholdAt127AndNeighboursComputedAlone) {
    ConvertSettings s = sized(4, 4);
    s.threshold = true;
    s.contrast = 0;
    SourcePicture picture = filled(4, 4, rgb(127, 127, 127));
    picture.row(0)[0] = rgb(126, 126, 126);
    EXPECT_EQ(dots(ConvertToBW(picture, s)), "BWWW\nWWWW\nWWWW\nWWWW\n");
    // Contrast 250 takes grey 50 to 0; its neighbour of 200 goes its own way to 252.
    s.contrast = 250;
    picture = filled(4, 4, rgb(200, 200, 200));
    picture.row(0)[0] = rgb(50, 50, 50);
    EXPECT_EQ(dots(ConvertToBW(picture, s)), "BWWW\nWWWW\nWWWW\nWWWW\n");
    // Mid grey at the settings of a fresh load, dithered: its first cell is white.
    ConvertSettings fresh = sized(4, 4);
    const Bitmap grey = ConvertToBW(filled(4, 4, rgb(128, 128, 128)), fresh);
    EXPECT_FALSE(grey.isInk(0, 3));  // the bottom row is dithered first, from the left
}

TEST(ConvertToBW, SerpentineDiffusionMatchesTheHandWorkedGrid) {
    // Grey 100 everywhere, contrast 0. Worked on paper from the bottom row up, left to right
    // on odd grid rows and right to left on even ones, 7-5-1-3 sixteenths, 8-bit saturation.
    ConvertSettings s = sized(4, 4);
    s.contrast = 0;
    EXPECT_EQ(dots(ConvertToBW(filled(4, 4, rgb(100, 100, 100)), s)),
              "BWBW\n"
              "BWBB\n"
              "WBBW\n"
              "BWBB\n");
    // Black and white stay as they are; no error is handed on from them.
    EXPECT_EQ(dots(ConvertToBW(filled(4, 4, 0), s)), "BBBB\nBBBB\nBBBB\nBBBB\n");
    EXPECT_EQ(dots(ConvertToBW(filled(4, 4, 0xFFFFFF), s)), "WWWW\nWWWW\nWWWW\nWWWW\n");
}

TEST(RenderPreview, SizeWeightsAndNearestNeighbour) {
    const SourcePicture red = filled(8, 8, rgb(200, 100, 0));
    ConvertSettings s = sized(3, 2);
    s.red = 32;
    s.green = 8;
    const SourcePicture preview = RenderPreview(red, MakeRotatedSource(red), s);
    // Raised to at least 4, the field keeping 3; red 200 doubled saturates.
    EXPECT_EQ((std::array{preview.width, preview.height, s.width}), (std::array{4, 4, 3}));
    EXPECT_EQ(preview.at(0, 0), rgb(255, 50, 0));

    // Doubling: each source pixel covers two targets; halving takes every second one.
    const SourcePicture p = numbered(4, 4);
    const SourcePicture big = RenderPreview(p, MakeRotatedSource(p), sized(8, 8));
    EXPECT_EQ((std::array{big.at(0, 0), big.at(1, 1), big.at(2, 0), big.at(7, 7)}), (std::array{0u, 0u, 1u, 16u * 3 + 3}));
    const SourcePicture wide = numbered(8, 4);
    const SourcePicture half = RenderPreview(wide, MakeRotatedSource(wide), sized(4, 4));
    EXPECT_EQ((std::array{half.at(1, 2), half.at(3, 3)}), (std::array{16u * 2 + 2, 16u * 3 + 6}));
}

TEST(RenderPreview, SmoothShrinkingAveragesWhatEachDotCovers) {
    SourcePicture p = filled(8, 8, 0xFFFFFF);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; x += 2) p.row(y)[x] = 0;  // black and white stripes
    ConvertSettings s = sized(4, 4);
    EXPECT_EQ(RenderPreview(p, MakeRotatedSource(p), s).at(1, 1), 0u);  // nearest: a black column
    s.smooth = true;
    EXPECT_EQ(RenderPreview(p, MakeRotatedSource(p), s).at(1, 1), rgb(128, 128, 128));
    // Enlarging stays nearest neighbour even when smooth.
    s.width = 16;
    EXPECT_EQ(RenderPreview(p, MakeRotatedSource(p), s).at(3, 0), 0xFFFFFFu);
}

TEST(Rotation, FourTurnsAndTheSizeSwap) {
    const SourcePicture p = numbered(5, 4);
    const SourcePicture r = MakeRotatedSource(p);
    ASSERT_EQ(std::pair(r.width, r.height), std::pair(4, 5));
    EXPECT_EQ(r.at(0, 4), 16u * 3 + 4);    // bottom-right goes to the bottom-left
    const struct {
        int rotation, width, height;
        std::uint32_t topLeft, topRight;
    } turns[] = {
        {0, 5, 4, 0, 4},
        {1, 4, 5, 16 * 3, 0},
        {2, 5, 4, 16 * 3 + 4, 16 * 3},
        {3, 4, 5, 4, 16 * 3 + 4},
    };
    for (const auto& t : turns) {
        ConvertSettings s = sized(t.width, t.height);
        s.rotation = t.rotation;
        const SourcePicture preview = RenderPreview(p, r, s);
        EXPECT_EQ(std::pair(preview.at(0, 0), preview.at(t.width - 1, 0)), std::pair(t.topLeft, t.topRight)) << t.rotation;
    }
    ConvertSettings s = sized(300, 200);
    std::string sizes;
    for (int rotation : {1, 3, 2}) {  // odd to odd: no swap
        applyRotation(s, rotation);
        sizes += std::to_string(s.width) + "x" + std::to_string(s.height) + " ";
    }
    EXPECT_EQ(sizes, "200x300 200x300 300x200 ");
    // 5 x 4: 10 wide is 8 high, 3 wide 2 (truncated), 3 high 3 wide.
    EXPECT_EQ((std::array{heightForWidth(p, 10), heightForWidth(p, 3), widthForHeight(p, 3)}), (std::array{8, 2, 3}));
}

TEST(CutPicture, CornersInEitherOrderClampedAndAtLeastFour) {
    const SourcePicture p = numbered(10, 8);
    const auto a = CutPicture(p, 2, 1, 7, 6);
    const auto b = CutPicture(p, 7, 6, 2, 1);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(std::pair(a->width, a->at(0, 0)), std::pair(5, 16u + 2));
    EXPECT_EQ(a->pixels, b->pixels);
    const auto clamped = CutPicture(p, -5, -5, 50, 50);
    ASSERT_TRUE(clamped);
    EXPECT_EQ(std::pair(clamped->width, clamped->height), std::pair(10, 8));
    EXPECT_FALSE(CutPicture(p, 0, 0, 3, 8));
    EXPECT_FALSE(CutPicture(p, 8, 0, 12, 8));  // 2 wide once clamped
    EXPECT_TRUE(CutPicture(p, 0, 0, 4, 4));
}

TEST(MonochromeBmp, BlackThenWhitePaletteBottomUpRowsAndAtomicSave) {
    Bitmap image(9, 2);
    image.setDot(0, 0, true);
    image.setDot(8, 1, true);
    const std::vector<std::uint8_t> bmp = encodeMonochromeBmp(image);
    ASSERT_EQ(bmp.size(), 62u + 8);
    EXPECT_EQ(std::tuple(bmp[0], bmp[28]), std::tuple('B', 1));  // 1 bit per pixel
    EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin() + 54, bmp.begin() + 62),
              (std::vector<std::uint8_t>{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0}));
    // Bottom row first: dot 8 is the first bit of its second byte.
    EXPECT_EQ((std::array{bmp[62], static_cast<std::uint8_t>(bmp[63] & 0x80), bmp[66]}),
              (std::array<std::uint8_t, 3>{0xFF, 0, 0x7F}));

    test::TempDir dir;
    ASSERT_TRUE(saveMonochromeBmp(dir / "out.bmp", image));
    EXPECT_EQ(test::readFile(dir / "out.bmp"), bmp);
    // A folder that does not exist: nothing written, no half file left anywhere.
    EXPECT_FALSE(saveMonochromeBmp(dir / "none" / "out.bmp", image));
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));
}

}  // namespace
}  // namespace tavrin
