// Writing rendered images: every format refuses an image with no dots instead of writing
// a 0 x 0 file the caller takes for a render, and a failed write leaves the old file whole.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <iterator>

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
        const std::pair<ImageIoResult, const char*> results[] = {
            {writePbm(dir / "a.pbm", bits), "a.pbm"},
            {writePng(dir / "b.png", bits), "b.png"},
            {writePpm(dir / "c.ppm", colour), "c.ppm"},
            {writePng(dir / "d.png", colour), "d.png"},
        };
        for (const auto& [result, name] : results) {
            EXPECT_FALSE(result.ok) << name << " " << width << " x " << height;
            EXPECT_EQ(result.message, "empty image") << name;
            EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
        }
    }
}

TEST(ImageIo, OneDotImagesStillWriteAndReadBack) {
    test::TempDir dir;
    Bitmap bits(1, 1);
    bits.setDot(0, 0, true);
    ASSERT_TRUE(writePbm(dir / "a.pbm", bits).ok);
    Bitmap back;
    ASSERT_TRUE(readPbm(dir / "a.pbm", back).ok);
    EXPECT_EQ(std::tuple(back.width(), back.height(), back.countInk()), std::tuple(1, 1, 1));
    ASSERT_TRUE(writePpm(dir / "b.ppm", ScreenImage(1, 1)).ok);
    EXPECT_EQ(test::readText(dir / "b.ppm"), std::string("P6\n1 1\n255\n\xFF\xFF\xFF", 14));
}

TEST(ImageIo, AWriteThatFailsKeepsTheOldFile) {
    test::TempDir dir;
    const auto path = dir / "label.ppm";
    test::writeFile(path, "old");
    // A file size limit below the image makes the write fail part way.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit small{64, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ImageIoResult result = writePpm(path, ScreenImage(20, 20));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result.message, "cannot write " + path.string());
    EXPECT_EQ(test::readText(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left
}

}  // namespace
}  // namespace tavrin
