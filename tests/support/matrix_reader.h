#pragma once
// ZXing's reading of a 2D symbol (QR Code, Data Matrix, PDF417) in a one-bit image, framed
// around the symbol's area with a white margin as a scanner would frame it: ZXing's Data
// Matrix detector looks for the symbol from the middle of the picture outwards. Nothing
// when nothing is read, or when the suite is built without ZXing.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "render/bitmap.h"

#ifdef TAVRIN_HAVE_ZXING
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#endif

namespace tavrin::test {

inline bool haveMatrixReader() {
#ifdef TAVRIN_HAVE_ZXING
    return true;
#else
    return false;
#endif
}

inline std::optional<std::string> readMatrixSymbol([[maybe_unused]] const Bitmap& image, [[maybe_unused]] int x,
                                                   [[maybe_unused]] int y, [[maybe_unused]] int width,
                                                   [[maybe_unused]] int height) {
#ifdef TAVRIN_HAVE_ZXING
    constexpr int kMargin = 20;
    const int w = width + 2 * kMargin, h = height + 2 * kMargin;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int row = 0; row < h; ++row)
        for (int column = 0; column < w; ++column)
            pixels[static_cast<std::size_t>(row * w + column)] =
                image.isInk(x + column - kMargin, y + row - kMargin) ? 0 : 255;
    const auto formats = ZXing::BarcodeFormat::QRCode | ZXing::BarcodeFormat::DataMatrix | ZXing::BarcodeFormat::PDF417;
    const auto result = ZXing::ReadBarcode({pixels.data(), w, h, ZXing::ImageFormat::Lum},
                                           ZXing::DecodeHints().setFormats(formats));
    if (!result.isValid()) return std::nullopt;
    return result.text();
#else
    return std::nullopt;
#endif
}

}  // namespace tavrin::test
