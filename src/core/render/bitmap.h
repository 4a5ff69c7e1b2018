#pragma once
// A one-bit image with direct row access: rows top to bottom, the most significant bit of a
// byte the leftmost dot. As in the printer's own images, a 1 bit is blank (white) and a
// 0 bit is ink (black), so drawing ink is an AND and a white image is all ones.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrin {

enum class FillOp { Ink, Blank, Invert };
enum class CombineOp {
    And,   // destination AND source: the source's ink is added, its blank leaves the destination
    Xor,   // destination XOR NOT source: the source's ink inverts the destination
    Copy,  // the source replaces the destination
};

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height);  // all blank

    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t stride() const { return stride_; }  // bytes per row, a multiple of 4
    std::uint8_t* row(int y) { return bits_.data() + static_cast<std::size_t>(y) * stride_; }
    const std::uint8_t* row(int y) const { return bits_.data() + static_cast<std::size_t>(y) * stride_; }
    const std::vector<std::uint8_t>& bits() const { return bits_; }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // Outside the image: blank.
    bool isInk(int x, int y) const;
    void setDot(int x, int y, bool ink);  // ignored outside the image

    void clear();  // all blank
    // Applies op to the dots of the rectangle that lie inside the image.
    void fillRect(int x, int y, int width, int height, FillOp op);
    // Combines source with its top-left dot at (x, y); clipped to this image.
    void combine(const Bitmap& source, int x, int y, CombineOp op);

    int countInk() const;
    bool operator==(const Bitmap& other) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;
    std::vector<std::uint8_t> bits_;
};

}  // namespace tavrin
