#pragma once
// A colour picture as the converter works on it: 32 bits per pixel, blue in the low byte,
// then green and red; the top byte is ignored. Rows run from the top down.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "common/result.h"
#include "document/figure_list.h"

namespace tavrin {

struct SourcePicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width x height

    bool empty() const { return width <= 0 || height <= 0; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
    const std::uint32_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
    void resize(int w, int h) {
        width = w, height = h;
        pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0xFFFFFF);
    }
};

inline constexpr std::uint32_t rgb(unsigned red, unsigned green, unsigned blue) {
    return (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
}
inline constexpr unsigned redOf(std::uint32_t p) { return p >> 16 & 0xFF; }
inline constexpr unsigned greenOf(std::uint32_t p) { return p >> 8 & 0xFF; }
inline constexpr unsigned blueOf(std::uint32_t p) { return p & 0xFF; }

// Pictures larger than this are refused before their pixels are allocated (a hostile header
// can claim any size); a 24-megapixel photo is well within it.
inline constexpr int kMaxPictureSide = 32767;
inline constexpr std::uint64_t kMaxPicturePixels = 100'000'000;
bool pictureSizeAllowed(std::int64_t width, std::int64_t height);

// Failures are shown under the title "Error". A file of a kind no reader takes fails as
// Invalid, as opposed to a picture that could not be read (Damaged) or opened (CannotOpen):
// a window drops the picture it shows for the one, and keeps it for the other.

// "Can't read graphics file": the one failure of a picture whose bytes do not decode.
inline Result unreadablePicture() { return Result::failure(FailureKind::Damaged, "Can't read graphics file"); }

// Each reader takes the whole file; on failure the picture is left empty.
Result readBmpPicture(std::span<const std::uint8_t> file, SourcePicture& picture);
// scaleDenominator 1, 2, 4 or 8 decodes at that fraction of the size (quick previews).
Result readJpegPicture(std::span<const std::uint8_t> file, SourcePicture& picture,
                                  int scaleDenominator = 1);
// Transparent pixels are laid onto white.
Result readPngPicture(std::span<const std::uint8_t> file, SourcePicture& picture);

// By the file's extension, without regard to case: .BMP, .JPG, .JPEG, .PNG.
// "Unknown file extension" for another one, "Can't read graphics file" for a picture that
// cannot be read or has no pixels.
Result loadSourcePicture(const std::filesystem::path& path, SourcePicture& picture);

// The upper-cased extension with its dot (".JPEG").
std::string upperExtension(const std::filesystem::path& path);

}  // namespace tavrin
