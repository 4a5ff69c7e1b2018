// tavrin-label convert-picture: the same dots as the converter's core for the same settings,
// and a result the picture loader takes.
#include <gtest/gtest.h>

#include "graphics/bw_converter.h"
#include "graphics/graphics_file.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using test::kFixtures;

TEST(ConvertPictureCommand, SameBitsAsTheCoreForTheSameSettings) {
    test::TempDir dir;
    SourcePicture photo;
    ASSERT_TRUE(loadSourcePicture(kFixtures / "jpeg_baseline.jpg", photo));  // 64 x 40
    const struct {
        std::vector<std::string> options;
        ConvertSettings settings;  // as the window would hold them
        std::optional<std::array<int, 4>> cut;
    } cases[] = {
        {{}, {.width = 64, .height = 40}, {}},
        {{"--width", "100"}, {.width = 100, .height = 62}, {}},
        {{"--height", "20", "--rotate", "90"}, {.width = 12, .height = 20, .rotation = 1}, {}},
        {{"--rotate", "270"}, {.width = 40, .height = 64, .rotation = 3}, {}},
        {{"--rotate", "180", "--width", "30", "--height", "50"}, {.width = 30, .height = 50, .rotation = 2}, {}},
        {{"--brightness", "-40", "--contrast", "250", "--red", "32", "--green", "0", "--blue", "5"},
         {.width = 64, .height = 40, .brightness = -40, .contrast = 250, .red = 32, .green = 0, .blue = 5}, {}},
        {{"--threshold", "--width", "3"}, {.width = 3, .height = 1, .threshold = true}, {}},
        {{"--smooth", "--width", "20"}, {.width = 20, .height = 12, .smooth = true}, {}},
        {{"--cut", "60,30,-20,-10", "--width", "40"}, {.width = 40, .height = 20}, std::array<int, 4>{40, 20, 60, 30}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"convert-picture", (kFixtures / "jpeg_baseline.jpg").string(), "-o",
                                           (dir / "out.bmp").string()};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const auto r = test::runLabel(arguments);
        ASSERT_EQ(r.exitCode, 0) << r.err;

        SourcePicture source = photo;
        if (c.cut) source = *CutPicture(photo, (*c.cut)[0], (*c.cut)[1], (*c.cut)[2], (*c.cut)[3]);
        const Bitmap expected = ConvertToBW(RenderPreview(source, MakeRotatedSource(source), c.settings), c.settings);
        EXPECT_EQ(test::readFile(dir / "out.bmp"), encodeMonochromeBmp(expected)) << arguments.back();
    }
    // The result is a picture the Picture dialog takes.
    auto buffer = std::make_unique<GraphicsBuffer>();
    EXPECT_EQ(LoadGraphicsFile(dir / "out.bmp", *buffer).kind, GraphicsKind::ConvertedBmp);
}

// Refusals that name no output to keep are the conventions test's.
TEST(ConvertPictureCommand, RefusalsKeepTheOldOutput) {
    test::TempDir dir;
    test::writeFile(dir / "old.bmp", std::string_view("old"));
    test::writeFile(dir / "broken.jpg", std::string_view("\xFF\xD8\xFF\xC0 broken"));
    const std::string out = (dir / "old.bmp").string(), jpeg = (kFixtures / "jpeg_baseline.jpg").string();
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"convert-picture", (dir / "broken.jpg").string(), "-o", out}, "Can't read graphics file"},
        {{"convert-picture", jpeg, "-o", out, "--cut", "10,10,3,20"}, "Too small selected area"},
        {{"convert-picture", jpeg, "-o", out, "--cut", "2000000000,0,2000000000,10"}, "Too small selected area"},
        {{"convert-picture", jpeg, "-o", out, "--rotate", "45"}, "--rotate"},
        {{"convert-picture", jpeg, "-o", out, "--contrast", "251"}, "--contrast"},
    };
    for (const auto& c : cases) {
        const auto r = test::runLabel(c.arguments);
        EXPECT_NE(r.exitCode, 0) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_EQ(test::readText(dir / "old.bmp"), "old");
    // A size above the fields' four digits becomes 9999.
    const auto r = test::runLabel({"convert-picture", jpeg, "-o", out, "--width", "12000", "--height", "5"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("9999 x 5"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace tavrin
