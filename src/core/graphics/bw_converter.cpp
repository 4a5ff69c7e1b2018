#include "graphics/bw_converter.h"

#include <algorithm>
#include <optional>

#include "document/safe_file.h"

namespace tavrin {

// Grey levels 0..255, sixteen to a line.
const std::array<std::int8_t, 256> kContrastCurve = {
    0, 0, -1, -2, -3, -4, -5, -6, -7, -8, -9, -9, -10, -11, -12, -12,
    -13, -14, -14, -15, -16, -16, -17, -17, -18, -19, -19, -20, -20, -20, -21, -21,
    -22, -22, -23, -23, -23, -24, -24, -24, -24, -25, -25, -25, -25, -25, -26, -26,
    -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, -26, -26,
    -26, -26, -26, -26, -25, -25, -25, -25, -25, -24, -24, -24, -24, -23, -23, -23,
    -23, -22, -22, -22, -21, -21, -21, -20, -20, -19, -19, -19, -18, -18, -17, -17,
    -16, -16, -16, -15, -15, -14, -14, -13, -13, -12, -12, -11, -11, -10, -10, -9,
    -8, -8, -7, -7, -6, -6, -5, -5, -4, -3, -3, -2, -2, -1, -1, 0,
    0, 0, 1, 1, 2, 2, 3, 3, 4, 5, 5, 6, 6, 7, 7, 8,
    8, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14, 15, 15, 16, 16,
    16, 17, 17, 18, 18, 19, 19, 19, 20, 20, 21, 21, 21, 22, 22, 22,
    23, 23, 23, 23, 24, 24, 24, 24, 25, 25, 25, 25, 25, 26, 26, 26,
    26, 26, 26, 26, 26, 26, 26, 26, 26, 26, 26, 26, 26, 26, 26, 26,
    26, 26, 26, 25, 25, 25, 25, 25, 24, 24, 24, 24, 23, 23, 23, 22,
    22, 21, 21, 20, 20, 20, 19, 19, 18, 17, 17, 16, 16, 15, 14, 14,
    13, 12, 12, 11, 10, 9, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0,
};

int renderWidth(const ConvertSettings& s) { return std::max(s.width, kMinRenderSide); }
int renderHeight(const ConvertSettings& s) { return std::max(s.height, kMinRenderSide); }
bool isLargePicture(const ConvertSettings& s) {
    return static_cast<long>(renderWidth(s)) * renderHeight(s) >= kLargePicturePixels;
}

SourcePicture MakeRotatedSource(const SourcePicture& source) {
    SourcePicture rotated;
    rotated.resize(source.height, source.width);
    for (int y = 0; y < source.height; ++y) {
        const std::uint32_t* in = source.row(y);
        const int column = source.height - 1 - y;
        for (int x = 0; x < source.width; ++x) rotated.row(x)[column] = in[x];
    }
    return rotated;
}

namespace {

// Which source columns (or rows) each target column covers: nearest neighbour takes one,
// smooth shrinking takes every one whose start falls in the target's share. In mirrored
// order when the picture is turned half round.
struct Span {
    int first = 0;
    int count = 1;
};
std::vector<Span> spans(int sourceSize, int targetSize, bool mirror, bool smooth) {
    std::vector<Span> out(static_cast<std::size_t>(targetSize));
    const bool average = smooth && targetSize < sourceSize;
    for (int t = 0; t < targetSize; ++t) {
        const auto begin = static_cast<int>(static_cast<std::int64_t>(t) * sourceSize / targetSize);
        int end = begin + 1;
        if (average) end = std::max(end, static_cast<int>(static_cast<std::int64_t>(t + 1) * sourceSize / targetSize));
        // Mirrored: the picture's column i is the source's column size - 1 - i.
        out[static_cast<std::size_t>(t)] = mirror ? Span{sourceSize - end, end - begin} : Span{begin, end - begin};
    }
    return out;
}

std::uint8_t weighted(unsigned channel, int weight) {
    return static_cast<std::uint8_t>(std::min(255u, channel * static_cast<unsigned>(weight) / 16));
}

// The shares a cell of value v hands on (positive) or takes away (negative), by v.
struct Shares {
    std::array<std::int16_t, 256> next{}, below{}, ahead{}, behind{};
    Shares() {
        for (int v = 0; v < 256; ++v) {
            const bool white = v >= 128;
            const int e = white ? 255 - v : v;
            const int sign = white ? -1 : 1;
            const auto i = static_cast<std::size_t>(v);
            next[i] = static_cast<std::int16_t>(sign * (7 * e / 16));
            below[i] = static_cast<std::int16_t>(sign * (5 * e / 16));
            ahead[i] = static_cast<std::int16_t>(sign * (e / 16));
            behind[i] = static_cast<std::int16_t>(sign * (3 * e / 16));
        }
    }
};
const Shares kShares;

// One grid row of error diffusion, from cell `first` over `count` cells in direction Step.
// A cell of 128 or more becomes white and takes its shortfall e = 255 - v away from its
// neighbours; a darker one becomes black and hands its value e = v on; every neighbour
// saturates at 0 and 255 as each share arrives. The cells still being changed are kept in
// registers (the next cell and the three below) in the order the shares arrive, and the
// shares come from tables rather than branches, which no predictor could guess in a photo.
template <int Step>
void diffuseRow(std::uint8_t* cur, std::uint8_t* next, int first, int count) {
    const auto add = [](int cell, int amount) { return std::clamp(cell + amount, 0, 255); };
    int c = first;
    int value = cur[c];
    int behind = next[c - Step], below = next[c];
    for (int i = 0; i < count; ++i, c += Step) {
        const auto v = static_cast<std::size_t>(value);
        cur[c] = static_cast<std::uint8_t>(value >= 128 ? 255 : 0);
        behind = add(behind, kShares.behind[v]);
        next[c - Step] = static_cast<std::uint8_t>(behind);
        below = add(below, kShares.below[v]);
        const int ahead = add(next[c + Step], kShares.ahead[v]);
        value = add(cur[c + Step], kShares.next[v]);
        behind = below;
        below = ahead;
    }
    // What the border cells beyond the row received.
    cur[c] = static_cast<std::uint8_t>(value);
    next[c - Step] = static_cast<std::uint8_t>(behind);
    next[c] = static_cast<std::uint8_t>(below);
}

}  // namespace

SourcePicture RenderPreview(const SourcePicture& source, const SourcePicture& rotated, const ConvertSettings& s) {
    const int w = renderWidth(s), h = renderHeight(s);
    SourcePicture preview;
    preview.resize(w, h);
    const SourcePicture& picture = s.rotation % 2 ? rotated : source;
    if (picture.empty()) return preview;
    const bool mirror = s.rotation >= 2;
    const std::vector<Span> columns = spans(picture.width, w, mirror, s.smooth);
    const std::vector<Span> rows = spans(picture.height, h, mirror, s.smooth);
    for (int y = 0; y < h; ++y) {
        const Span& rowSpan = rows[static_cast<std::size_t>(y)];
        std::uint32_t* out = preview.row(y);
        if (rowSpan.count == 1) {
            const std::uint32_t* in = picture.row(rowSpan.first);
            for (int x = 0; x < w; ++x) {
                const Span& c = columns[static_cast<std::size_t>(x)];
                if (c.count == 1) {
                    out[x] = in[c.first];
                    continue;
                }
                unsigned r = 0, g = 0, b = 0;
                for (int i = 0; i < c.count; ++i) r += redOf(in[c.first + i]), g += greenOf(in[c.first + i]), b += blueOf(in[c.first + i]);
                const unsigned n = static_cast<unsigned>(c.count);
                out[x] = rgb((r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n);
            }
            continue;
        }
        for (int x = 0; x < w; ++x) {
            const Span& c = columns[static_cast<std::size_t>(x)];
            std::uint64_t r = 0, g = 0, b = 0;
            for (int yy = rowSpan.first; yy < rowSpan.first + rowSpan.count; ++yy) {
                const std::uint32_t* in = picture.row(yy);
                for (int i = 0; i < c.count; ++i) r += redOf(in[c.first + i]), g += greenOf(in[c.first + i]), b += blueOf(in[c.first + i]);
            }
            const std::uint64_t n = static_cast<std::uint64_t>(c.count) * static_cast<std::uint64_t>(rowSpan.count);
            out[x] = rgb(static_cast<unsigned>((r + n / 2) / n), static_cast<unsigned>((g + n / 2) / n),
                         static_cast<unsigned>((b + n / 2) / n));
        }
    }
    if (s.red != 16 || s.green != 16 || s.blue != 16) {
        std::array<std::uint32_t, 256> red{}, green{}, blue{};
        for (unsigned c = 0; c < 256; ++c) {
            red[c] = static_cast<std::uint32_t>(weighted(c, s.red)) << 16;
            green[c] = static_cast<std::uint32_t>(weighted(c, s.green)) << 8;
            blue[c] = weighted(c, s.blue);
        }
        for (std::uint32_t& p : preview.pixels) p = red[redOf(p)] | green[greenOf(p)] | blue[blueOf(p)];
    }
    return preview;
}

int greyLevel(std::uint32_t pixel, int brightness, int contrast) {
    int g = static_cast<int>(7 * blueOf(pixel) + 38 * greenOf(pixel) + 19 * redOf(pixel)) / 64;
    g = std::clamp(g + brightness, 0, 255);
    const int a = contrast * kContrastCurve[static_cast<std::size_t>(g)] / 100;  // truncated toward zero
    return std::clamp(g + a, 0, 255);
}

Bitmap ConvertToBW(const SourcePicture& preview, const ConvertSettings& s) {
    const int w = preview.width, h = preview.height;
    Bitmap out(std::max(w, 0), std::max(h, 0));
    if (w <= 0 || h <= 0) return out;
    // Brightness and contrast depend only on the weighted grey, so they go in one table.
    std::array<std::uint8_t, 256> level{};
    for (int g = 0; g < 256; ++g)
        level[static_cast<std::size_t>(g)] = static_cast<std::uint8_t>(greyLevel(rgb(g, g, g), s.brightness, s.contrast));

    // The work grid has a border cell all round; grid row 1 is the picture's bottom row.
    const std::size_t stride = static_cast<std::size_t>(w) + 2;
    std::vector<std::uint8_t> grid(stride * (static_cast<std::size_t>(h) + 2), 0);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* in = preview.row(y);
        std::uint8_t* cell = grid.data() + static_cast<std::size_t>(h - y) * stride + 1;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = in[x];
            cell[x] = level[(7 * blueOf(p) + 38 * greenOf(p) + 19 * redOf(p)) / 64];
        }
    }

    if (!s.threshold) {
        for (int r = 1; r <= h; ++r) {
            std::uint8_t* cur = grid.data() + static_cast<std::size_t>(r) * stride;
            // Serpentine: odd grid rows left to right, even ones right to left.
            if (r % 2) diffuseRow<1>(cur, cur + stride, 1, w);
            else diffuseRow<-1>(cur, cur + stride, w, w);
        }
    }

    for (int y = 0; y < h; ++y) {
        const std::uint8_t* cell = grid.data() + static_cast<std::size_t>(h - y) * stride + 1;
        std::uint8_t* row = out.row(y);
        // Eight cells to a byte, a 1 bit (blank) for every cell of 127 or more; the dots past
        // the width stay blank.
        for (int x = 0; x < w; x += 8) {
            unsigned bits = 0;
            const int count = std::min(8, w - x);
            for (int k = 0; k < count; ++k) bits = bits << 1 | static_cast<unsigned>(cell[x + k] >= 127);
            bits = bits << (8 - count) | (0xFFu >> count);
            row[x >> 3] = static_cast<std::uint8_t>(bits);
        }
    }
    return out;
}

std::optional<SourcePicture> CutPicture(const SourcePicture& preview, int x0, int y0, int x1, int y1) {
    const int left = std::max(std::min(x0, x1), 0), right = std::min(std::max(x0, x1), preview.width);
    const int top = std::max(std::min(y0, y1), 0), bottom = std::min(std::max(y0, y1), preview.height);
    if (right - left < 4 || bottom - top < 4) return std::nullopt;
    SourcePicture cut;
    cut.resize(right - left, bottom - top);
    for (int y = top; y < bottom; ++y) std::copy_n(preview.row(y) + left, cut.width, cut.row(y - top));
    return cut;
}

void applyRotation(ConvertSettings& s, int rotation) {
    if (s.rotation % 2 != rotation % 2) std::swap(s.width, s.height);
    s.rotation = rotation;
}

int heightForWidth(const SourcePicture& picture, int width) {
    if (picture.width <= 0) return 0;
    return static_cast<int>(static_cast<std::int64_t>(picture.height) * width / picture.width);
}
int widthForHeight(const SourcePicture& picture, int height) {
    if (picture.height <= 0) return 0;
    return static_cast<int>(static_cast<std::int64_t>(picture.width) * height / picture.height);
}

std::vector<std::uint8_t> encodeMonochromeBmp(const Bitmap& image) {
    const std::size_t stride = static_cast<std::size_t>(image.width() + 31) / 32 * 4;
    const std::size_t dataSize = stride * static_cast<std::size_t>(image.height());
    std::vector<std::uint8_t> bytes;
    bytes.reserve(62 + dataSize);
    const auto u16 = [&bytes](unsigned v) {
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8 & 0xFF));
    };
    const auto u32 = [&u16](std::size_t v) {
        u16(static_cast<unsigned>(v & 0xFFFF));
        u16(static_cast<unsigned>(v >> 16 & 0xFFFF));
    };
    bytes.push_back('B');
    bytes.push_back('M');
    u32(62 + dataSize);
    u32(0);
    u32(62);
    u32(40);
    u32(static_cast<std::size_t>(image.width()));
    u32(static_cast<std::size_t>(image.height()));  // positive: rows stored bottom-up
    u16(1);
    u16(1);
    u32(0);
    u32(dataSize);
    u32(0);
    u32(0);
    u32(2);
    u32(0);
    u32(0x000000);  // index 0 (the ink bits): black
    u32(0xFFFFFF);  // index 1: white
    for (int y = image.height() - 1; y >= 0; --y) {
        const std::uint8_t* row = image.row(y);
        bytes.insert(bytes.end(), row, row + std::min(stride, image.stride()));
        for (std::size_t i = image.stride(); i < stride; ++i) bytes.push_back(0xFF);
    }
    return bytes;
}

Result saveMonochromeBmp(const std::filesystem::path& path, const Bitmap& image) {
    return replaceFileContents(path, encodeMonochromeBmp(image));
}

}  // namespace tavrin
