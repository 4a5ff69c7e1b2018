#pragma once
// Unpacking a picture data block: shareCount, bytesPerRow, then the rows as one run-length
// stream. A byte of 0xC0 or more repeats the next byte (its low six bits) times; any other
// byte stands for itself. Every row starts a fresh run count: what is left of a run at the
// end of a row is dropped and the next row begins with the next byte of the stream.
//
// Blocks come from files and from the printer, so a damaged one must never make us read
// past its end: rows the stream does not fill are blank.
#include <cstdint>
#include <span>

#include "render/bitmap.h"

namespace tavrin {

class PictureRowDecoder {
public:
    // The whole block, including its two leading bytes.
    explicit PictureRowDecoder(std::span<const std::uint8_t> block);

    int bytesPerRow() const { return bytesPerRow_; }
    // True once the stream has no more bytes: every later row is blank.
    bool exhausted() const { return position_ >= block_.size(); }
    // Decodes the next row into out[0 .. bytesPerRow); bytes the stream lacks are 0xFF
    // (blank). Writes at most out.size() bytes, but always consumes a whole row.
    void nextRow(std::span<std::uint8_t> out);

private:
    std::span<const std::uint8_t> block_;
    std::size_t position_ = 2;
    int bytesPerRow_ = 0;
};

// The picture as a one-bit bitmap of width x height (0 = printed dot), dots beyond
// bytesPerRow x 8 blank.
Bitmap decodePicture(std::span<const std::uint8_t> block, int width, int height);

// ANDs the picture into canvas with its top-left dot at (x, y), without building the whole
// picture first; only the rows that can still carry data are decoded. Dots beyond width
// (row padding) are never drawn.
void andPicture(Bitmap& canvas, std::span<const std::uint8_t> block, int x, int y, int width, int height);

}  // namespace tavrin
