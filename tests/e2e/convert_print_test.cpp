// tavrin-label convert-picture --print: the simulated printer, on its terminal or over the
// network, prints the converted dots.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "graphics/source_picture.h"
#include "render/image_io.h"

namespace tavrin {
namespace {

class ConvertPictureEndToEnd : public testing::TestWithParam<e2e::Over> {};

TEST_P(ConvertPictureEndToEnd, TestPrintComesOutAsTheSavedPicture) {
    test::TempDir dir;
    const e2e::Simulator sim(GetParam(), dir / "out");
    const std::string picture = std::string(TAVRIN_SOURCE_DIR) + "/tests/graphics/fixtures/jpeg_baseline.jpg";
    // 45 dots wide: the rows sent carry padding past the picture.
    auto r = test::runProgram(TAVRIN_LABEL_EXE, {"convert-picture", picture, "-o", (dir / "bw.bmp").string(),
                                                 "--width", "45", "--print", "--port", sim.port});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(e2e::runPrinterCommand(sim.port, {"list", "forms"}).exitCode, 0);  // answered once printed

    SourcePicture saved;
    ASSERT_TRUE(loadSourcePicture(dir / "bw.bmp", saved));
    ScreenImage printed;
    ASSERT_TRUE(readPng(sim.label(1), printed));
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

    // No printer at the port: the link's message, as every command gives it.
    r = test::runProgram(TAVRIN_LABEL_EXE, {"convert-picture", picture, "--print", "--port", (dir / "nothing").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Can't open communication port " + (dir / "nothing").string()), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Over, ConvertPictureEndToEnd, testing::Values(e2e::Over::Terminal, e2e::Over::Network),
                         e2e::overName);

}  // namespace
}  // namespace tavrin
