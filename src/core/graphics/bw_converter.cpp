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
        for (std::uint32_t& p : preview.pixels)
            p = rgb(weighted(redOf(p), s.red), weighted(greenOf(p), s.green), weighted(blueOf(p), s.blue));
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
        const auto takeAway = [](std::uint8_t& cell, unsigned amount) {
            cell = static_cast<std::uint8_t>(cell > amount ? cell - amount : 0);
        };
        const auto handOn = [](std::uint8_t& cell, unsigned amount) {
            cell = static_cast<std::uint8_t>(std::min(255u, cell + amount));
        };
        for (int r = 1; r <= h; ++r) {
            std::uint8_t* cur = grid.data() + static_cast<std::size_t>(r) * stride;
            std::uint8_t* next = cur + stride;
            const int step = r % 2 ? 1 : -1;  // serpentine: odd grid rows left to right
            for (int i = 0, c = step > 0 ? 1 : w; i < w; ++i, c += step) {
                const unsigned v = cur[c];
                if (v >= 128) {
                    cur[c] = 255;
                    const unsigned e = 255 - v;
                    takeAway(cur[c + step], 7 * e / 16);
                    takeAway(next[c], 5 * e / 16);
                    takeAway(next[c + step], e / 16);
                    takeAway(next[c - step], 3 * e / 16);
                } else {
                    cur[c] = 0;
                    const unsigned e = v;
                    handOn(cur[c + step], 7 * e / 16);
                    handOn(next[c], 5 * e / 16);
                    handOn(next[c + step], e / 16);
                    handOn(next[c - step], 3 * e / 16);
                }
            }
        }
    }

    for (int y = 0; y < h; ++y) {
        const std::uint8_t* cell = grid.data() + static_cast<std::size_t>(h - y) * stride + 1;
        std::uint8_t* row = out.row(y);
        for (int x = 0; x < w; ++x)
            if (cell[x] < 127) row[x >> 3] = static_cast<std::uint8_t>(row[x >> 3] & ~(0x80u >> (x & 7)));
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

bool saveMonochromeBmp(const std::filesystem::path& path, const Bitmap& image) {
    return replaceFileContents(path, encodeMonochromeBmp(image));
}

}  // namespace tavrin
