// Every reader against damaged copies of the fixtures: bytes overwritten and files cut at
// random (a fixed seed, so a failure repeats). Each load either succeeds within its limits or
// fails with a message; under the sanitizers any read or write outside a buffer shows here.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "graphics/graphics_file.h"
#include "graphics/picture_data.h"
#include "graphics/source_picture.h"
#include "render/picture_decode.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

const std::filesystem::path kFixtures = std::filesystem::path(TAVRIN_SOURCE_DIR) / "tests/graphics/fixtures";
using test::Bytes;

std::vector<Bytes> damagedCopies(const Bytes& original, int count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<Bytes> copies;
    for (int i = 0; i < count; ++i) {
        Bytes copy = original;
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int c = 0; c < changes; ++c) {
            // Mostly in the headers, where the sizes and counts are.
            const std::size_t limit = random() % 2 ? std::min<std::size_t>(copy.size(), 160) : copy.size();
            copy[random() % limit] = static_cast<std::uint8_t>(random());
        }
        if (random() % 3 == 0) copy.resize(random() % copy.size());
        copies.push_back(std::move(copy));
    }
    return copies;
}

TEST(DamagedFiles, MonochromeLoaderStaysWithinItsBuffers) {
    auto buffer = std::make_unique<GraphicsBuffer>();
    for (const char* name : {"w17h30.bmp", "w1007h24.bmp", "w17h30.pcx", "logo.pcx", "w8h30_topdown.bmp"}) {
        for (const Bytes& copy : damagedCopies(test::readFile(kFixtures / name), 300, 17)) {
            const GraphicsLoadResult result = LoadGraphicsBytes(copy, *buffer);
            if (!result) {
                EXPECT_FALSE(result.message.text.empty()) << name;
                continue;
            }
            ASSERT_LE(buffer->count, GraphicsBuffer::kCapacity);
            if (const auto loaded = PictureDataFromBuffer(*buffer)) {
                // The canvas decodes whatever the block holds, damaged or not.
                const Bitmap picture = decodePicture(loaded->block->bytes, std::min(loaded->width, 2000),
                                                     std::min(loaded->height, 1600));
                EXPECT_LE(picture.width(), 2000);
            }
        }
    }
}

TEST(DamagedFiles, ColourReadersRefuseOrReadWithinLimits) {
    const struct {
        const char* name;
        PictureReadResult (*read)(std::span<const std::uint8_t>, SourcePicture&);
    } readers[] = {
        {"bmp1.bmp", readBmpPicture},       {"bmp4.bmp", readBmpPicture},
        {"bmp8_rle.bmp", readBmpPicture},   {"bmp16_565.bmp", readBmpPicture},
        {"bmp24_core.bmp", readBmpPicture}, {"bmp32.bmp", readBmpPicture},
        {"png_alpha.png", readPngPicture},  {"png_palette_trns.png", readPngPicture},
        {"jpeg_baseline.jpg", [](std::span<const std::uint8_t> b, SourcePicture& p) { return readJpegPicture(b, p); }},
        {"jpeg_progressive.jpg", [](std::span<const std::uint8_t> b, SourcePicture& p) { return readJpegPicture(b, p); }},
        {"jpeg_cmyk.jpg", [](std::span<const std::uint8_t> b, SourcePicture& p) { return readJpegPicture(b, p); }},
    };
    for (const auto& reader : readers) {
        int failures = 0;
        for (const Bytes& copy : damagedCopies(test::readFile(kFixtures / reader.name), 150, 29)) {
            SourcePicture picture;
            const PictureReadResult result = reader.read(copy, picture);
            if (!result.ok) {
                ++failures;
                EXPECT_EQ(result.message.text, "Can't read graphics file") << reader.name;
                EXPECT_TRUE(picture.empty());
                continue;
            }
            ASSERT_TRUE(pictureSizeAllowed(picture.width, picture.height)) << reader.name;
            ASSERT_EQ(picture.pixels.size(), static_cast<std::size_t>(picture.width) * picture.height);
        }
        EXPECT_GT(failures, 0) << reader.name;  // the damage does reach the checks
    }
}

}  // namespace
}  // namespace tavrin
