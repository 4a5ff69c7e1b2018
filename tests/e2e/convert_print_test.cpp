// tavrin-label convert-picture --print: the simulated printer, on its terminal or over the
// network, prints the converted dots.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "graphics/source_picture.h"

namespace tavrin {
namespace {

class ConvertPictureEndToEnd : public testing::TestWithParam<test::Over> {};

TEST_P(ConvertPictureEndToEnd, TestPrintComesOutAsTheSavedPicture) {
    test::TempDir dir;
    const test::Simulator sim(GetParam(), dir / "out");
    const std::string picture = (test::kFixtures / "jpeg_baseline.jpg").string();
    // 45 dots wide: the rows sent carry padding past the picture.
    const auto r = test::runLabel({"convert-picture", picture, "-o", (dir / "bw.bmp").string(), "--width", "45",
                                   "--print", "--port", sim.port});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(e2e::runPrinterCommand(sim.port, {"list", "forms"}).exitCode, 0);  // answered once printed

    SourcePicture saved;
    ASSERT_TRUE(loadSourcePicture(dir / "bw.bmp", saved));
    const Bitmap dots = e2e::readOneBitPng(sim.label(1));
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
}

INSTANTIATE_TEST_SUITE_P(Over, ConvertPictureEndToEnd, testing::Values(test::Over::Terminal, test::Over::Network),
                         test::overName);

}  // namespace
}  // namespace tavrin
