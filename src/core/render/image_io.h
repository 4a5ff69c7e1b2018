#pragma once
// Writing rendered labels as PNG (libpng) and the Netpbm formats, and reading them back
// (tests and tools compare images through these).
#include <filesystem>
#include <string>

#include "render/bitmap.h"
#include "render/screen_image.h"

namespace tavrin {

struct ImageIoResult {
    bool ok = true;
    std::string message;
};

// A one-bit image: PNG as 1-bit greyscale, PBM (P4) with its ink as 1 bits.
ImageIoResult writePng(const std::filesystem::path& path, const Bitmap& image);
ImageIoResult writePbm(const std::filesystem::path& path, const Bitmap& image);
// A colour image: PNG as 8-bit RGB, PPM (P6).
ImageIoResult writePng(const std::filesystem::path& path, const ScreenImage& image);
ImageIoResult writePpm(const std::filesystem::path& path, const ScreenImage& image);

// Any PNG, as RGB (greyscale and palettes expanded, alpha dropped).
ImageIoResult readPng(const std::filesystem::path& path, ScreenImage& image);
// A PBM, plain (P1) or raw (P4).
ImageIoResult readPbm(const std::filesystem::path& path, Bitmap& image);

// The screen image in one bit: a dot is ink when its colour is closer to black than to
// white (luminance below half), so red marks come out black and light ones blank.
Bitmap toOneBit(const ScreenImage& image);

}  // namespace tavrin
