#include "render/picture_decode.h"

#include <algorithm>
#include <vector>

namespace tavrin {

PictureRowDecoder::PictureRowDecoder(std::span<const std::uint8_t> block)
    : block_(block), bytesPerRow_(block.size() > 1 ? block[1] : 0) {}

void PictureRowDecoder::nextRow(std::span<std::uint8_t> out) {
    const auto wanted = static_cast<std::size_t>(bytesPerRow_);
    std::size_t produced = 0;
    const auto put = [&](std::uint8_t value, std::size_t count) {
        const std::size_t n = std::min(count, wanted - produced);
        for (std::size_t i = 0; i < n; ++i) {
            if (produced + i < out.size()) out[produced + i] = value;
        }
        produced += n;
    };
    while (produced < wanted && position_ < block_.size()) {
        const std::uint8_t byte = block_[position_++];
        if (byte >= 0xC0) {
            // A count with nothing after it ends the stream.
            if (position_ >= block_.size()) break;
            put(block_[position_++], byte & 0x3Fu);
        } else {
            put(byte, 1);
        }
    }
    for (std::size_t i = produced; i < std::min(wanted, out.size()); ++i) out[i] = 0xFF;
}

Bitmap decodePicture(std::span<const std::uint8_t> block, int width, int height) {
    Bitmap picture(width, height);
    PictureRowDecoder decoder(block);
    const auto rowBytes = static_cast<std::size_t>(decoder.bytesPerRow());
    const int usefulWidth = std::min(picture.width(), decoder.bytesPerRow() * 8);
    if (usefulWidth <= 0) return picture;
    std::vector<std::uint8_t> row(rowBytes);
    const std::size_t copyBytes = std::min(rowBytes, picture.stride());
    for (int y = 0; y < picture.height() && !decoder.exhausted(); ++y) {
        decoder.nextRow(row);
        std::uint8_t* target = picture.row(y);
        std::copy_n(row.begin(), copyBytes, target);
        // Dots the rows do not carry (bytesPerRow x 8 narrower than the width) stay blank.
        picture.fillRect(usefulWidth, y, picture.width() - usefulWidth, 1, FillOp::Blank);
    }
    return picture;
}

void andPicture(Bitmap& canvas, std::span<const std::uint8_t> block, int x, int y, int width, int height) {
    PictureRowDecoder decoder(block);
    const int usefulWidth = std::min(width, decoder.bytesPerRow() * 8);
    if (usefulWidth <= 0 || height <= 0) return;
    // Columns of the picture that land on the canvas.
    const int firstColumn = std::max(0, -x);
    const int endColumn = std::min(usefulWidth, canvas.width() - x);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(decoder.bytesPerRow()));
    for (int r = 0; r < height && !decoder.exhausted(); ++r) {
        decoder.nextRow(row);
        const int cy = y + r;
        if (cy < 0) continue;
        if (cy >= canvas.height()) break;
        if (firstColumn >= endColumn) continue;
        std::uint8_t* target = canvas.row(cy);
        // Destination byte by destination byte: take the eight picture dots that land on it.
        const int dx0 = x + firstColumn, dx1 = x + endColumn;
        for (int b = dx0 >> 3; b <= (dx1 - 1) >> 3; ++b) {
            const int lo = std::max(dx0 - b * 8, 0), hi = std::min(dx1 - b * 8, 8);
            const auto mask = static_cast<std::uint8_t>((0xFFu >> lo) & (0xFFu << (8 - hi)));
            const int s = b * 8 - x;  // picture dot under the byte's first dot
            const int index = s >> 3, shift = s & 7;
            const auto at = [&](int i) -> unsigned {
                return (i >= 0 && i < static_cast<int>(row.size())) ? row[static_cast<std::size_t>(i)] : 0xFFu;
            };
            const auto dots = static_cast<std::uint8_t>(
                shift == 0 ? at(index) : (at(index) << shift) | (at(index + 1) >> (8 - shift)));
            target[b] = static_cast<std::uint8_t>(target[b] & (dots | ~mask));
        }
    }
}

}  // namespace tavrin
