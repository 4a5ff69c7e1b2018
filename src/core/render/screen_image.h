#pragma once
// The visible label image: 0xRRGGBB pixels, one per printer dot. It is the back image
// (figures) plus what only the screen shows: grid dots, margin lines, selection marks and
// the crosses over barcodes whose data could not be encoded.
#include <cstdint>
#include <vector>

#include "render/bitmap.h"

namespace tavrin {

inline constexpr std::uint32_t kPaperWhite = 0xFFFFFF;
inline constexpr std::uint32_t kInkBlack = 0x000000;
inline constexpr std::uint32_t kGridRed = 0xFF0000;
inline constexpr std::uint32_t kMarginGreen = 0x008000;
inline constexpr std::uint32_t kSelectionRed = 0xFF0000;
inline constexpr std::uint32_t kCrossRed = 0xFF0000;

class ScreenImage {
public:
    ScreenImage() = default;
    ScreenImage(int width, int height, std::uint32_t colour = kPaperWhite);

    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // Outside the image: white.
    std::uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t colour);  // ignored outside the image
    // The not-xor pen: the pixel becomes NOT (pen XOR pixel), so doing it twice restores it.
    void notXorPixel(int x, int y, std::uint32_t pen);

    // Becomes a copy of the one-bit image (ink black, blank white), taking its size.
    void copyFrom(const Bitmap& bitmap);

    // Lines with both end points drawn, every dot once (so the not-xor pen stays exact).
    void drawLine(int x1, int y1, int x2, int y2, std::uint32_t colour);
    void notXorLine(int x1, int y1, int x2, int y2, std::uint32_t pen);
    // The outline of the dots [left, right) x [top, bottom), each dot once, in not-xor.
    void notXorRectangle(int left, int top, int right, int bottom, std::uint32_t pen);

    bool operator==(const ScreenImage&) const = default;

private:
    template <typename Plot>
    static void line(int x1, int y1, int x2, int y2, Plot plot);

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// Grid dots at every step from the reference point, in both directions, so that the grid
// lines pass through it: x = leftMargin mod step, + step, ... below the width.
void drawGrid(ScreenImage& image, int leftMargin, int topMargin, int step);
// Green margin lines from the reference point to the right and bottom edges, each only
// when its margin is not zero.
void drawMargins(ScreenImage& image, int leftMargin, int topMargin);

}  // namespace tavrin
