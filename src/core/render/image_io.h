#pragma once
// Writing rendered labels as PNG (libpng) and the Netpbm formats, and reading them back
// (tests and tools compare images through these).
#include <filesystem>
#include <string>

#include "common/result.h"
#include "render/bitmap.h"
#include "render/screen_image.h"

namespace tavrin {

// A one-bit image: PNG as 1-bit greyscale, PBM (P4) with its ink as 1 bits.
Result writePng(const std::filesystem::path& path, const Bitmap& image);
Result writePbm(const std::filesystem::path& path, const Bitmap& image);
// A colour image: PNG as 8-bit RGB, PPM (P6).
Result writePng(const std::filesystem::path& path, const ScreenImage& image);
Result writePpm(const std::filesystem::path& path, const ScreenImage& image);

// Any PNG, as RGB (greyscale and palettes expanded, alpha dropped).
Result readPng(const std::filesystem::path& path, ScreenImage& image);
// A PBM, plain (P1) or raw (P4).
Result readPbm(const std::filesystem::path& path, Bitmap& image);

// The screen image in one bit: a dot is ink when its colour is closer to black than to
// white (luminance below half), so red marks come out black and light ones blank.
Bitmap toOneBit(const ScreenImage& image);

}  // namespace tavrin
