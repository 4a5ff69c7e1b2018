// Writing rendered images: every format refuses an image with no dots instead of writing
// a 0 x 0 file the caller takes for a render, and a failed write says which file.
#include <gtest/gtest.h>

#include "render/image_io.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

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
