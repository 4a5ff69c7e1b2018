// PNG pictures through libpng's simplified reader, transparency laid onto white.
#include <png.h>

#include "graphics/source_picture.h"

namespace tavrin {

Result readPngPicture(std::span<const std::uint8_t> file, SourcePicture& picture) {
    picture = {};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return unreadablePicture();
    if (!pictureSizeAllowed(image.width, image.height)) {
        png_image_free(&image);
        return unreadablePicture();
    }
    image.format = PNG_FORMAT_BGRA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return unreadablePicture();
    }
    picture.resize(static_cast<int>(image.width), static_cast<int>(image.height));
    const std::uint8_t* in = pixels.data();
    for (std::uint32_t& out : picture.pixels) {
        const unsigned alpha = in[3];
        // Over white: c * a + 255 * (255 - a), in 8-bit steps, rounded.
        const auto over = [alpha](unsigned c) { return (c * alpha + 255 * (255 - alpha) + 127) / 255; };
        out = rgb(over(in[2]), over(in[1]), over(in[0]));
        in += 4;
    }
    return Result::success();
}

}  // namespace tavrin
