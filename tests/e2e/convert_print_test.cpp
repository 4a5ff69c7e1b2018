// tavrin-label convert-picture --print: the simulated printer prints the converted dots.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "graphics/source_picture.h"
#include "render/image_io.h"

namespace tavrin {
namespace {

TEST(ConvertPictureEndToEnd, TestPrintComesOutAsTheSavedPicture) {
    test::TempDir dir;
    const auto sim = test::startSimulator(dir / "out");
    const std::string picture = std::string(TAVRIN_SOURCE_DIR) + "/tests/graphics/fixtures/jpeg_baseline.jpg";
    // 45 dots wide: the rows sent carry padding past the picture.
    auto r = test::runProgram(TAVRIN_LABEL_EXE, {"convert-picture", picture, "-o", (dir / "bw.bmp").string(),
                                                 "--width", "45", "--print", "--port", sim.device()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(e2e::runPrinterCommand(sim.device(), {"list", "forms"}).exitCode, 0);  // answered once printed

    SourcePicture saved;
    ASSERT_TRUE(loadSourcePicture(dir / "bw.bmp", saved).ok);
    ScreenImage printed;
    ASSERT_TRUE(readPng(sim.label(1), printed).ok);
    const Bitmap dots = toOneBit(printed);
    ASSERT_EQ(dots.width(), 45);
    ASSERT_EQ(dots.height(), saved.height);
    int black = 0;
    for (int y = 0; y < saved.height; ++y)
        for (int x = 0; x < saved.width; ++x) {
            const bool ink = saved.at(x, y) == 0;
            black += ink;
            ASSERT_EQ(dots.isInk(x, y), ink) << x << "," << y;
        }
    EXPECT_GT(black, 0);

    // No printer at the port: the link's message, and no output left half written.
    r = test::runProgram(TAVRIN_LABEL_EXE, {"convert-picture", picture, "--print", "--port", (dir / "nothing").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_FALSE(r.err.empty());
}

}  // namespace
}  // namespace tavrin
