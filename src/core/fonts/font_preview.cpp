#include "fonts/font_preview.h"

#include <algorithm>

namespace tavrin {
namespace {

constexpr int kMinMargin = 24;
constexpr int kRightReserve = 24;

// ORs a glyph's rows into the preview with its left edge at x (dots outside are dropped).
void blit(FontPreview& preview, const RasterGlyph& g, int lineHeight, int x, int y) {
    const int stride = g.bytesPerRow();
    for (int row = 0; row < lineHeight; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= preview.height) continue;
        const std::uint8_t* src = g.rows.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(stride);
        std::uint8_t* dst = preview.bits.data() + static_cast<std::size_t>(ty) * static_cast<std::size_t>(preview.stride);
        for (int k = 0; k < stride; ++k) {
            if (src[k] == 0) continue;
            for (int b = 0; b < 8; ++b) {
                if ((src[k] & (0x80 >> b)) == 0) continue;
                const int tx = x + k * 8 + b;
                if (tx >= 0 && tx < preview.width) dst[tx >> 3] = static_cast<std::uint8_t>(dst[tx >> 3] | (0x80 >> (tx & 7)));
            }
        }
    }
}

}  // namespace

bool FontPreview::inkAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    return (bits[static_cast<std::size_t>(y * stride + x / 8)] & (0x80 >> (x % 8))) != 0;
}

FontPreview drawFontPreview(const RasterFont& font, int width) {
    FontPreview preview;
    const int margin = std::max(font.size / 3, kMinMargin);
    preview.width = std::max(width, 2 * margin + kRightReserve + 1);
    const int limit = preview.width - margin - kRightReserve;

    // First the line each glyph goes on, then the image of the right height.
    struct Place {
        const RasterGlyph* glyph;
        int x, line;
    };
    std::vector<Place> places;
    int pen = margin, line = 0;
    for (const RasterGlyph& g : font.glyphs) {
        if (g.source == 0) continue;
        if (pen + g.advance > limit && pen > margin) {
            ++line;
            pen = margin;
        }
        places.push_back({&g, pen - font.leftShift, line});
        pen += g.advance + 2;
    }
    const int lines = places.empty() ? 0 : places.back().line + 1;
    preview.height = 2 * margin + lines * font.lineHeight;
    preview.stride = (preview.width + 7) / 8;
    preview.bits.assign(static_cast<std::size_t>(preview.stride) * static_cast<std::size_t>(preview.height), 0);
    for (int i = 0; i < lines; ++i) {
        const int top = margin + i * font.lineHeight;
        preview.guides.push_back({top + font.topRemove, top + font.lineHeight - font.bottomRemove});
    }
    for (const Place& p : places) blit(preview, *p.glyph, font.lineHeight, p.x, margin + p.line * font.lineHeight);
    return preview;
}

}  // namespace tavrin
