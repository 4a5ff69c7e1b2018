// Windows bitmaps of every common depth into a SourcePicture. Everything the header claims
// is checked against the file before the pixels are allocated or read.
#include <algorithm>
#include <array>
#include <bit>

#include "graphics/source_picture.h"

namespace tavrin {
namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

std::uint32_t le(std::span<const std::uint8_t> b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | (at + i < b.size() ? b[at + i] : 0);
    return v;
}

// One channel of a bit-field pixel scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(std::uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        bits = std::popcount(m);
    }
    unsigned operator()(std::uint32_t pixel) const {
        if (bits == 0) return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return v >> (bits - 8);
        const std::uint32_t top = (1u << bits) - 1;
        return (v * 255 + top / 2) / top;
    }
};

// Run-length coded 4- and 8-bit rows into palette indexes (bottom-up rows as stored).
bool decodeRle(std::span<const std::uint8_t> data, bool four, int width, int height, std::vector<std::uint8_t>& out) {
    out.assign(static_cast<std::size_t>(width) * height, 0);
    std::size_t at = 0;
    int x = 0, y = 0;  // y counts stored rows
    // Pixels past the end of a row are dropped; x stops there, so no stream can run it away.
    const auto put = [&](std::uint8_t index) {
        if (x < width && y < height) out[static_cast<std::size_t>(y) * width + x] = index;
        x = std::min(x + 1, width);
    };
    while (at + 1 < data.size()) {
        const std::uint8_t count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(four ? (i % 2 ? value & 0x0F : value >> 4) : value);
        } else if (value == 0) {
            x = 0, ++y;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (at + 1 >= data.size()) return false;
            x = std::min(x + data[at], width), y += data[at + 1];
            at += 2;
        } else {
            const std::size_t bytes = four ? (value + 1u) / 2 : value;
            if (at + bytes > data.size()) return false;
            for (int i = 0; i < value; ++i)
                put(four ? (i % 2 ? data[at + i / 2] & 0x0F : data[at + i / 2] >> 4) : data[at + i]);
            at += (bytes + 1) & ~std::size_t{1};
        }
        if (y >= height) return true;
    }
    return true;  // a stream without its end marker keeps what it drew
}

}  // namespace

bool pictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           static_cast<std::uint64_t>(width * height) <= kMaxPicturePixels;
}

Result readBmpPicture(std::span<const std::uint8_t> file, SourcePicture& picture) {
    picture = {};
    if (file.size() < 26 || file[0] != 'B' || file[1] != 'M') return unreadablePicture();
    const std::uint32_t headerSize = le(file, 14, 4);
    const bool core = headerSize == 12;
    if (!core && (headerSize < 40 || headerSize > 124)) return unreadablePicture();
    if (14 + static_cast<std::size_t>(headerSize) > file.size()) return unreadablePicture();

    std::int64_t width = 0, height = 0;
    unsigned bits = 0;
    std::uint32_t compression = kRgb, colours = 0;
    if (core) {
        width = le(file, 18, 2);
        height = le(file, 20, 2);
        bits = le(file, 24, 2);
    } else {
        width = static_cast<std::int32_t>(le(file, 18, 4));
        height = static_cast<std::int32_t>(le(file, 22, 4));
        bits = le(file, 28, 2);
        compression = le(file, 30, 4);
        colours = le(file, 46, 4);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width == 0 || height == 0) return unreadablePicture();
    if (!pictureSizeAllowed(width, height)) return unreadablePicture();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return unreadablePicture();
    const bool rle = compression == kRle8 || compression == kRle4;
    if (compression == kRle8 && bits != 8) return unreadablePicture();
    if (compression == kRle4 && bits != 4) return unreadablePicture();
    if ((compression == kBitFields || compression == kAlphaBitFields) && bits != 16 && bits != 32) return unreadablePicture();
    if (compression != kRgb && !rle && compression != kBitFields && compression != kAlphaBitFields) return unreadablePicture();
    if (rle && topDown) return unreadablePicture();

    // Bit fields: in the header from version 4 on, else the three masks after it.
    std::size_t after = 14 + headerSize;
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (compression == kBitFields || compression == kAlphaBitFields) {
        const std::size_t maskAt = headerSize >= 52 ? 54 : after;
        if (maskAt + 12 > file.size()) return unreadablePicture();
        for (int i = 0; i < 3; ++i) masks[i] = le(file, maskAt + 4 * i, 4);
        if (headerSize < 52) after += compression == kAlphaBitFields ? 16 : 12;
    }

    // The palette: as many entries as the header says (all of them when it says 0), and
    // each must be in the file. An index beyond it reads as black.
    std::vector<std::uint32_t> palette;
    if (bits <= 8) {
        const std::uint32_t most = 1u << bits;
        const std::uint32_t count = colours == 0 ? most : colours;
        if (count > most) return unreadablePicture();
        const std::size_t entry = core ? 3 : 4;
        if (after + count * entry > file.size()) return unreadablePicture();
        palette.resize(most, 0);
        for (std::uint32_t i = 0; i < count; ++i) palette[i] = le(file, after + i * entry, 3);
    }

    const std::size_t dataAt = le(file, 10, 4);
    if (dataAt >= file.size()) return unreadablePicture();
    const auto w = static_cast<int>(width), h = static_cast<int>(height);
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    if (!rle && stride * static_cast<std::size_t>(height) > file.size() - dataAt) return unreadablePicture();

    std::vector<std::uint8_t> indexes;
    if (rle && !decodeRle(file.subspan(dataAt), compression == kRle4, w, h, indexes)) return unreadablePicture();

    picture.resize(w, h);
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int y = 0; y < h; ++y) {
        const int stored = topDown ? y : h - 1 - y;
        std::uint32_t* out = picture.row(y);
        if (rle) {
            const std::uint8_t* in = indexes.data() + static_cast<std::size_t>(stored) * w;
            for (int x = 0; x < w; ++x) out[x] = palette[in[x]];
            continue;
        }
        const std::uint8_t* in = file.data() + dataAt + static_cast<std::size_t>(stored) * stride;
        switch (bits) {
            case 1:
                for (int x = 0; x < w; ++x) out[x] = palette[in[x >> 3] >> (7 - (x & 7)) & 1];
                break;
            case 4:
                for (int x = 0; x < w; ++x) out[x] = palette[x & 1 ? in[x >> 1] & 0x0F : in[x >> 1] >> 4];
                break;
            case 8:
                for (int x = 0; x < w; ++x) out[x] = palette[in[x]];
                break;
            case 16:
                for (int x = 0; x < w; ++x) {
                    const std::uint32_t p = static_cast<std::uint32_t>(in[2 * x] | in[2 * x + 1] << 8);
                    out[x] = rgb(red(p), green(p), blue(p));
                }
                break;
            case 24:
                for (int x = 0; x < w; ++x) out[x] = rgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
                break;
            default:
                for (int x = 0; x < w; ++x) {
                    const std::uint32_t p = static_cast<std::uint32_t>(in[4 * x]) | in[4 * x + 1] << 8 |
                                            in[4 * x + 2] << 16 | static_cast<std::uint32_t>(in[4 * x + 3]) << 24;
                    out[x] = rgb(red(p), green(p), blue(p));
                }
                break;
        }
    }
    return Result::success();
}

}  // namespace tavrin
