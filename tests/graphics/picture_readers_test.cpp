// BMP, JPEG and PNG pictures into the converter's 32-bit picture, compared with
// ImageMagick's reading of the same files (fixtures/MAKE.sh), and hostile files refused. The
// JPEG and PNG fixtures are those that reach our own code (colour spaces, transparency over
// white); what libjpeg and libpng decode alone is theirs to test.
#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/picture_facts.h"
#include "graphics/source_picture.h"
#include "render/image_io.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using test::Bytes;
using test::kFixtures;
using test::bmpHeader;

TEST(LoadSourcePicture, EveryDepthAndKindReadsAsImageMagickReadsIt) {
    const struct {
        const char* file;
        const char* truth;
        int tolerance;  // per channel: 5- and 16-bit channels and colour conversions may round apart
    } cases[] = {
        {"bmp1.bmp", "bmp1.bmp.truth.png", 0},
        {"bmp4.bmp", "bmp4.bmp.truth.png", 0},
        {"bmp8.bmp", "bmp8.bmp.truth.png", 0},
        {"bmp8_rle.bmp", "bmp8_rle.bmp.truth.png", 0},
        {"bmp16_555.bmp", "bmp16_555.bmp.truth.png", 1},
        {"bmp16_565.bmp", "bmp16_565.bmp.truth.png", 1},
        {"bmp24.bmp", "bmp24.bmp.truth.png", 0},
        {"bmp24_topdown.bmp", "bmp24.bmp.truth.png", 0},
        {"bmp24_core.bmp", "bmp24_core.bmp.truth.png", 0},
        {"bmp32.bmp", "bmp32.bmp.truth.png", 0},
        {"jpeg_baseline.jpg", "jpeg_baseline.jpg.truth.png", 1},
        {"jpeg_grey.jpg", "jpeg_grey.jpg.truth.png", 1},
        {"jpeg_cmyk.jpg", "jpeg_cmyk.jpg.truth.png", 1},
        {"png_alpha.png", "png_alpha.png.truth.png", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        SourcePicture picture;
        const Result result = loadSourcePicture(kFixtures / c.file, picture);
        ASSERT_TRUE(result) << result.message();
        ScreenImage truth;
        ASSERT_TRUE(readPng(kFixtures / c.truth, truth));
        ASSERT_EQ(picture.width, truth.width());
        ASSERT_EQ(picture.height, truth.height());
        int worst = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                const std::uint32_t ours = picture.at(x, y), theirs = truth.pixel(x, y);
                for (const int shift : {0, 8, 16})
                    worst = std::max(worst, std::abs(static_cast<int>(ours >> shift & 0xFF) -
                                                     static_cast<int>(theirs >> shift & 0xFF)));
            }
        EXPECT_LE(worst, c.tolerance);
    }
}

TEST(LoadSourcePicture, HostileAndDamagedFilesAreRefusedWithAMessage) {
    test::TempDir dir;
    const Bytes jpeg = test::readFile(kFixtures / "jpeg_baseline.jpg");
    const Bytes png = test::readFile(kFixtures / "png_alpha.png");
    Bytes hugeJpeg = jpeg;
    // The frame header's height and width fields: 60000 x 60000.
    for (std::size_t i = 2; i + 8 < hugeJpeg.size(); ++i)
        if (hugeJpeg[i] == 0xFF && hugeJpeg[i + 1] == 0xC0) {
            hugeJpeg[i + 5] = hugeJpeg[i + 7] = 0xEA;
            hugeJpeg[i + 6] = hugeJpeg[i + 8] = 0x60;
            break;
        }
    Bytes withPixels = bmpHeader(4, 4, 24);
    withPixels.resize(54 + 48, 0x80);
    const struct {
        const char* name;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"huge.bmp", [] { Bytes b = bmpHeader(30000, 30000, 24); b.resize(200); return b; }(), "Can't read graphics file"},
        {"beyond.bmp", [] { Bytes b = bmpHeader(100, 100, 24); b.resize(300); return b; }(), "Can't read graphics file"},
        {"zero.bmp", [] { Bytes b = bmpHeader(0, 4, 24); b.resize(200); return b; }(), "Can't read graphics file"},
        {"bits7.bmp", [] { Bytes b = bmpHeader(4, 4, 7); b.resize(200); return b; }(), "Can't read graphics file"},
        {"palette300.bmp", [] { Bytes b = bmpHeader(4, 4, 8, 300); b.resize(2000); return b; }(), "Can't read graphics file"},
        {"palette_cut.bmp", [] { Bytes b = bmpHeader(4, 4, 8, 256); b.resize(200); return b; }(), "Can't read graphics file"},
        {"data_beyond.bmp", [&] { Bytes b = withPixels; b[10] = 0xFF, b[11] = 0xFF; return b; }(), "Can't read graphics file"},
        {"rle_on_24.bmp", [&] { Bytes b = withPixels; b[30] = 1; return b; }(), "Can't read graphics file"},
        {"header.bmp", [&] { Bytes b = withPixels; b[14] = 7; return b; }(), "Can't read graphics file"},
        {"short.bmp", Bytes{'B', 'M', 0}, "Can't read graphics file"},
        {"cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2)), "Can't read graphics file"},
        {"header_only.jpg", Bytes(jpeg.begin(), jpeg.begin() + 200), "Can't read graphics file"},
        {"huge.jpg", hugeJpeg, "Can't read graphics file"},
        {"garbage.jpg", Bytes{0xFF, 0xD8, 0xFF, 0x00, 0x12, 0x34}, "Can't read graphics file"},
        {"cut.png", Bytes(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2)), "Can't read graphics file"},
        {"picture.gif", jpeg, "Unknown file extension"},
        {"picture", jpeg, "Unknown file extension"},
    };
    for (const auto& c : cases) {
        test::writeFile(dir / c.name, c.bytes);
        SourcePicture picture;
        const Result result = loadSourcePicture(dir / c.name, picture);
        EXPECT_FALSE(result) << c.name;
        EXPECT_EQ(result.message(), c.message) << c.name;
        EXPECT_EQ(result.kind() == FailureKind::Invalid, c.message == std::string("Unknown file extension")) << c.name;
        EXPECT_TRUE(picture.empty()) << c.name;
    }
    // The same bytes under an upper-case name load.
    test::writeFile(dir / "GOOD.JPEG", jpeg);
    test::writeFile(dir / "good.Bmp", withPixels);
    SourcePicture picture;
    EXPECT_TRUE(loadSourcePicture(dir / "GOOD.JPEG", picture));
    EXPECT_TRUE(loadSourcePicture(dir / "good.Bmp", picture));
    EXPECT_EQ(picture.at(3, 3), 0x808080u);
    EXPECT_EQ(loadSourcePicture(dir / "none.png", picture).message(), "Can't open input file");
    // A device that never ends is not read.
    std::filesystem::create_symlink("/dev/zero", dir / "endless.bmp");
    EXPECT_EQ(loadSourcePicture(dir / "endless.bmp", picture).message(), "Can't read graphics file");
}

TEST(PictureFacts, ReadFromTheHeadersAlone) {
    const struct {
        const char* file;
        const char* type;
        int bits, width, height;
    } cases[] = {
        {"jpeg_baseline.jpg", "JPEG file (Color)", 24, 64, 40},
        {"jpeg_grey.jpg", "JPEG file (Greyscale)", 8, 64, 40},
        {"jpeg_cmyk.jpg", "JPEG file (Color)", 32, 64, 40},
        {"bmp1.bmp", "Bitmap (Monochrome)", 1, 21, 13},
        {"bmp4.bmp", "Bitmap (16 Colors)", 4, 21, 13},
        {"bmp8.bmp", "Bitmap (256 Colors)", 8, 21, 13},
        {"bmp24_topdown.bmp", "Bitmap (True Color)", 24, 21, 13},
        {"png_alpha.png", "PNG file (Color)", 32, 12, 8},
        {"png_grey16.png", "PNG file (Greyscale)", 16, 21, 13},
    };
    for (const auto& c : cases) {
        const PictureFacts facts = readPictureFacts(kFixtures / c.file);
        EXPECT_EQ(std::tuple(facts.valid, facts.type, facts.bits, facts.width, facts.height, facts.size),
                  std::tuple(true, c.type, c.bits, c.width, c.height, std::filesystem::file_size(kFixtures / c.file)))
            << c.file;
        EXPECT_GT(facts.modified, 0);
    }
    const struct {
        int w, h, left, top, width, height;
    } places[] = {
        {4000, 3000, 0, 0, 200, 150},   // the longer side fills the area
        {50, 40, 75, 55, 50, 40},       // smaller: own size, centred
        {100, 400, 81, 0, 37, 150},
        {300, 290, 0, -21, 200, 193},   // only the one side is fitted
        {-2147483647 - 1, 14, 100, 68, 0, 14},  // a damaged header's side is no picture
    };
    for (const auto& p : places) {
        const PreviewPlacement got = placePreview(p.w, p.h, 200, 150);
        EXPECT_EQ((std::array{got.left, got.top, got.width, got.height}), (std::array{p.left, p.top, p.width, p.height}))
            << p.w << " x " << p.h;
    }
    EXPECT_EQ(previewScaleDenominator(4000, 200), 8);
    EXPECT_EQ(previewScaleDenominator(1600, 200), 4);
    EXPECT_EQ(previewScaleDenominator(400, 200), 1);

    // Segments before the frame: 99 are skipped, a 100th makes the file invalid.
    test::TempDir dir;
    const auto withSegments = [](int count, Bytes frameAndRest) {
        Bytes b{0xFF, 0xD8};
        for (int i = 0; i < count; ++i) b.insert(b.end(), {0xFF, 0xE1, 0x00, 0x04, 0xAB, 0xCD});
        b.insert(b.end(), frameAndRest.begin(), frameAndRest.end());
        return b;
    };
    const Bytes frame{0xFF, 0xFF, 0xC2, 0x00, 0x11, 0x08, 0x0B, 0xB8, 0x0F, 0xA0, 0x03};  // fill byte, 4000 x 3000
    const struct {
        const char* name;
        Bytes bytes;
        bool valid;
    } jpegs[] = {
        {"ok.jpg", withSegments(99, frame), true},
        {"late.jpg", withSegments(100, frame), false},
        {"short_length.jpg", withSegments(0, {0xFF, 0xE0, 0x00, 0x01, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0, 1, 0, 1, 3}), false},
        {"scan_first.jpg", withSegments(1, {0xFF, 0xDA, 0x00, 0x08, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0, 1, 0, 1, 3}), false},
    };
    for (const auto& j : jpegs) {
        test::writeFile(dir / j.name, j.bytes);
        const PictureFacts facts = readJpegFacts(dir / j.name);
        EXPECT_EQ(facts.valid, j.valid) << j.name;
        if (j.valid) {
            EXPECT_EQ((std::array{facts.width, facts.height, facts.largerSide}), (std::array{4000, 3000, 4000}));
        }
    }
    test::writeFile(dir / "zero_bits.bmp", bmpHeader(4, 4, 0));
    EXPECT_FALSE(readPictureFacts(dir / "zero_bits.bmp").valid);
    EXPECT_FALSE(readPictureFacts(dir / "missing.bmp").valid);
}

}  // namespace
}  // namespace tavrin
