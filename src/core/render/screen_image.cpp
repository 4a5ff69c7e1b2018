#include "render/screen_image.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace tavrin {

ScreenImage::ScreenImage(int width, int height, std::uint32_t colour)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), colour) {}

std::uint32_t ScreenImage::pixel(int x, int y) const {
    if (!contains(x, y)) return kPaperWhite;
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
}

void ScreenImage::setPixel(int x, int y, std::uint32_t colour) {
    if (!contains(x, y)) return;
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = colour;
}

void ScreenImage::notXorPixel(int x, int y, std::uint32_t pen) {
    if (!contains(x, y)) return;
    auto& p = pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    p = ~(pen ^ p) & 0xFFFFFFu;
}

namespace {
// Eight screen pixels for every byte value of the one-bit image.
using EightPixels = std::array<std::uint32_t, 8>;
const std::array<EightPixels, 256>& byteToPixels() {
    static const auto table = [] {
        std::array<EightPixels, 256> t{};
        for (unsigned v = 0; v < 256; ++v)
            for (unsigned bit = 0; bit < 8; ++bit)
                t[v][bit] = (v & (0x80u >> bit)) ? kPaperWhite : kInkBlack;
        return t;
    }();
    return table;
}
}  // namespace

void ScreenImage::copyFrom(const Bitmap& bitmap) {
    if (width_ != bitmap.width() || height_ != bitmap.height()) {
        width_ = bitmap.width();
        height_ = bitmap.height();
        pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kPaperWhite);
    }
    const auto& table = byteToPixels();
    const int wholeBytes = width_ / 8;
    const int rest = width_ % 8;
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* source = bitmap.row(y);
        std::uint32_t* target = pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
        for (int b = 0; b < wholeBytes; ++b, target += 8) {
            const auto& eight = table[source[b]];
            std::copy(eight.begin(), eight.end(), target);
        }
        if (rest) {
            const auto& eight = table[source[wholeBytes]];
            std::copy_n(eight.begin(), rest, target);
        }
    }
}

template <typename Plot>
void ScreenImage::line(int x1, int y1, int x2, int y2, Plot plot) {
    // Bresenham, both ends included, every dot visited once.
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        plot(x1, y1);
        if (x1 == x2 && y1 == y2) break;
        const int twice = 2 * error;
        if (twice >= dy) { error += dy; x1 += sx; }
        if (twice <= dx) { error += dx; y1 += sy; }
    }
}

void ScreenImage::drawLine(int x1, int y1, int x2, int y2, std::uint32_t colour) {
    line(x1, y1, x2, y2, [&](int x, int y) { setPixel(x, y, colour); });
}

void ScreenImage::notXorLine(int x1, int y1, int x2, int y2, std::uint32_t pen) {
    line(x1, y1, x2, y2, [&](int x, int y) { notXorPixel(x, y, pen); });
}

void ScreenImage::notXorRectangle(int left, int top, int right, int bottom, std::uint32_t pen) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (left == right || top == bottom) return;
    const int lastX = right - 1, lastY = bottom - 1;
    for (int x = left; x <= lastX; ++x) notXorPixel(x, top, pen);
    if (lastY != top)
        for (int x = left; x <= lastX; ++x) notXorPixel(x, lastY, pen);
    for (int y = top + 1; y < lastY; ++y) {
        notXorPixel(left, y, pen);
        if (lastX != left) notXorPixel(lastX, y, pen);
    }
}

void drawGrid(ScreenImage& image, int leftMargin, int topMargin, int step) {
    if (step <= 0) return;
    const auto start = [step](int margin) { return ((margin % step) + step) % step; };
    for (int y = start(topMargin); y < image.height(); y += step)
        for (int x = start(leftMargin); x < image.width(); x += step) image.setPixel(x, y, kGridRed);
}

void drawMargins(ScreenImage& image, int leftMargin, int topMargin) {
    if (topMargin > 0 && topMargin < image.height())
        for (int x = std::max(leftMargin, 0); x < image.width(); ++x) image.setPixel(x, topMargin, kMarginGreen);
    if (leftMargin > 0 && leftMargin < image.width())
        for (int y = std::max(topMargin, 0); y < image.height(); ++y) image.setPixel(leftMargin, y, kMarginGreen);
}

}  // namespace tavrin
