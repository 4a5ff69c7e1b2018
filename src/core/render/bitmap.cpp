#include "render/bitmap.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tavrin {

namespace {

// Mask of the dots [from, to) that fall in byte b of a row (MSB leftmost).
inline std::uint8_t byteMask(int b, int from, int to) {
    const int lo = std::max(from - b * 8, 0);
    const int hi = std::min(to - b * 8, 8);
    if (lo >= hi) return 0;
    return static_cast<std::uint8_t>((0xFFu >> lo) & (0xFFu << (8 - hi)));
}

// Eight dots of a row starting at dot s (s may lie outside the row: such dots read blank).
inline std::uint8_t eightDots(const std::uint8_t* row, int rowBytes, int s) {
    const int index = s >> 3;  // floor division, also for negative s
    const int shift = s & 7;
    const auto at = [&](int i) -> unsigned { return (i >= 0 && i < rowBytes) ? row[i] : 0xFFu; };
    if (shift == 0) return static_cast<std::uint8_t>(at(index));
    return static_cast<std::uint8_t>((at(index) << shift) | (at(index + 1) >> (8 - shift)));
}

}  // namespace

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
    // Clip in 64 bits so that huge sizes cannot overflow.
    const long long right = static_cast<long long>(x) + width;
    const long long bottom = static_cast<long long>(y) + height;
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = static_cast<int>(std::min<long long>(right, width_));
    const int y1 = static_cast<int>(std::min<long long>(bottom, height_));
    if (x0 >= x1 || y0 >= y1) return;
    const int firstByte = x0 >> 3, lastByte = (x1 - 1) >> 3;
    const std::uint8_t firstMask = byteMask(firstByte, x0, x1);
    const std::uint8_t lastMask = byteMask(lastByte, x0, x1);
    const int innerFirst = firstByte + 1;
    const int innerCount = lastByte - firstByte - 1;  // whole bytes between the edges
    for (int yy = y0; yy < y1; ++yy) {
        std::uint8_t* r = row(yy);
        const auto apply = [&](int b, std::uint8_t mask) {
            switch (op) {
                case FillOp::Ink: r[b] = static_cast<std::uint8_t>(r[b] & ~mask); break;
                case FillOp::Blank: r[b] = static_cast<std::uint8_t>(r[b] | mask); break;
                case FillOp::Invert: r[b] = static_cast<std::uint8_t>(r[b] ^ mask); break;
            }
        };
        apply(firstByte, firstMask);
        if (lastByte == firstByte) continue;
        if (innerCount > 0) {
            std::uint8_t* inner = r + innerFirst;
            const auto n = static_cast<std::size_t>(innerCount);
            switch (op) {
                case FillOp::Ink: std::memset(inner, 0x00, n); break;
                case FillOp::Blank: std::memset(inner, 0xFF, n); break;
                case FillOp::Invert:
                    for (std::size_t i = 0; i < n; ++i) inner[i] = static_cast<std::uint8_t>(~inner[i]);
                    break;
            }
        }
        apply(lastByte, lastMask);
    }
}

void Bitmap::combine(const Bitmap& source, int x, int y, CombineOp op) {
    const int sx0 = std::max(0, -x), sy0 = std::max(0, -y);
    const int sx1 = std::min(source.width_, width_ - x), sy1 = std::min(source.height_, height_ - y);
    if (sx0 >= sx1 || sy0 >= sy1) return;
    // Work byte by byte of the destination: each destination byte takes the eight source
    // dots that land on it, shifted into place.
    const int dx0 = sx0 + x, dx1 = sx1 + x;
    const int firstByte = dx0 >> 3, lastByte = (dx1 - 1) >> 3;
    const int sourceBytes = static_cast<int>(source.stride_);
    for (int sy = sy0; sy < sy1; ++sy) {
        const std::uint8_t* s = source.row(sy);
        std::uint8_t* d = row(sy + y);
        for (int b = firstByte; b <= lastByte; ++b) {
            const std::uint8_t mask = (b == firstByte || b == lastByte) ? byteMask(b, dx0, dx1) : 0xFF;
            const std::uint8_t src = eightDots(s, sourceBytes, b * 8 - x);
            switch (op) {
                case CombineOp::And: d[b] = static_cast<std::uint8_t>(d[b] & (src | ~mask)); break;
                case CombineOp::Xor: d[b] = static_cast<std::uint8_t>(d[b] ^ (~src & mask)); break;
                case CombineOp::Copy:
                    d[b] = static_cast<std::uint8_t>((d[b] & ~mask) | (src & mask));
                    break;
            }
        }
    }
}

int Bitmap::countInk() const {
    if (width_ == 0) return 0;
    int n = 0;
    const int lastByte = (width_ - 1) >> 3;
    const std::uint8_t lastMask = byteMask(lastByte, 0, width_);
    for (int yy = 0; yy < height_; ++yy) {
        const std::uint8_t* r = row(yy);
        for (int b = 0; b < lastByte; ++b) n += std::popcount(static_cast<unsigned>(~r[b] & 0xFFu));
        n += std::popcount(static_cast<unsigned>(~r[lastByte] & lastMask));
    }
    return n;
}

bool Bitmap::operator==(const Bitmap& other) const {
    if (width_ != other.width_ || height_ != other.height_) return false;
    if (width_ == 0) return true;
    const int lastByte = (width_ - 1) >> 3;
    const std::uint8_t lastMask = byteMask(lastByte, 0, width_);
    for (int yy = 0; yy < height_; ++yy) {
        const std::uint8_t* a = row(yy);
        const std::uint8_t* b = other.row(yy);
        if (std::memcmp(a, b, static_cast<std::size_t>(lastByte)) != 0) return false;
        if (((a[lastByte] ^ b[lastByte]) & lastMask) != 0) return false;
    }
    return true;
}

}  // namespace tavrin
