#include "render/bitmap.h"

#include <algorithm>
#include <bit>

namespace tavrin {

Bitmap::Bitmap(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      stride_(static_cast<std::size_t>((width_ + 31) / 32) * 4),
      bits_(stride_ * static_cast<std::size_t>(height_), 0xFF) {}

bool Bitmap::isInk(int x, int y) const {
    if (!contains(x, y)) return false;
    return (row(y)[x >> 3] & (0x80 >> (x & 7))) == 0;
}

void Bitmap::setDot(int x, int y, bool ink) {
    if (!contains(x, y)) return;
    std::uint8_t& byte = row(y)[x >> 3];
    const auto mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
    byte = ink ? static_cast<std::uint8_t>(byte & ~mask) : static_cast<std::uint8_t>(byte | mask);
}

void Bitmap::clear() { std::fill(bits_.begin(), bits_.end(), 0xFF); }

void Bitmap::fillRect(int x, int y, int width, int height, FillOp op) {
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + width, width_), y1 = std::min(y + height, height_);
    if (x0 >= x1 || y0 >= y1) return;
    const int firstByte = x0 >> 3, lastByte = (x1 - 1) >> 3;
    for (int yy = y0; yy < y1; ++yy) {
        std::uint8_t* r = row(yy);
        for (int b = firstByte; b <= lastByte; ++b) {
            std::uint8_t mask = 0xFF;
            if (b == firstByte) mask &= static_cast<std::uint8_t>(0xFF >> (x0 & 7));
            if (b == lastByte) mask &= static_cast<std::uint8_t>(0xFF << (7 - ((x1 - 1) & 7)));
            switch (op) {
                case FillOp::Ink: r[b] = static_cast<std::uint8_t>(r[b] & ~mask); break;
                case FillOp::Blank: r[b] = static_cast<std::uint8_t>(r[b] | mask); break;
                case FillOp::Invert: r[b] = static_cast<std::uint8_t>(r[b] ^ mask); break;
            }
        }
    }
}

void Bitmap::combine(const Bitmap& source, int x, int y, CombineOp op) {
    const int sx0 = std::max(0, -x), sy0 = std::max(0, -y);
    const int sx1 = std::min(source.width_, width_ - x), sy1 = std::min(source.height_, height_ - y);
    if (sx0 >= sx1 || sy0 >= sy1) return;
    for (int sy = sy0; sy < sy1; ++sy) {
        const std::uint8_t* s = source.row(sy);
        std::uint8_t* d = row(sy + y);
        for (int sx = sx0; sx < sx1; ++sx) {
            const bool srcBlank = (s[sx >> 3] & (0x80 >> (sx & 7))) != 0;
            const int dx = sx + x;
            std::uint8_t& byte = d[dx >> 3];
            const auto mask = static_cast<std::uint8_t>(0x80 >> (dx & 7));
            switch (op) {
                case CombineOp::And:
                    if (!srcBlank) byte = static_cast<std::uint8_t>(byte & ~mask);
                    break;
                case CombineOp::Xor:
                    if (!srcBlank) byte = static_cast<std::uint8_t>(byte ^ mask);
                    break;
                case CombineOp::Copy:
                    byte = srcBlank ? static_cast<std::uint8_t>(byte | mask)
                                    : static_cast<std::uint8_t>(byte & ~mask);
                    break;
            }
        }
    }
}

int Bitmap::countInk() const {
    int n = 0;
    for (int yy = 0; yy < height_; ++yy)
        for (int xx = 0; xx < width_; ++xx) n += isInk(xx, yy) ? 1 : 0;
    return n;
}

bool Bitmap::operator==(const Bitmap& other) const {
    if (width_ != other.width_ || height_ != other.height_) return false;
    for (int yy = 0; yy < height_; ++yy)
        for (int xx = 0; xx < width_; ++xx)
            if (isInk(xx, yy) != other.isInk(xx, yy)) return false;
    return true;
}

}  // namespace tavrin
