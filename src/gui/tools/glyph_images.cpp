#include "tools/glyph_images.h"

#include <algorithm>

#include FT_OUTLINE_H

#include "fonts/font_rasteriser.h"

namespace tavrin {
namespace {

// FreeType's transform stays on the face; nothing else that uses the face expects one.
struct TransformReset {
    FT_Face face;
    ~TransformReset() { FT_Set_Transform(face, nullptr, nullptr); }
};

}  // namespace

QImage glyphImage(const GlyphSource& font, std::uint8_t code, QSize box) {
    const unsigned index = font.glyphIndex(code);
    if (index == 0 || box.isEmpty()) return {};
    FT_Face face = font.face();
    // Room for the ascender and descender with a dot or two to spare.
    const int pixels = std::max(box.height() * 2 / 3, 4);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0) return {};
    FT_Matrix matrix = labelGlyphMatrix(1.0, font.syntheticItalic());
    FT_Set_Transform(face, &matrix, nullptr);
    const TransformReset reset{face};
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return {};
    FT_GlyphSlot slot = face->glyph;
    FT_Pos advance = slot->advance.x;
    if (font.syntheticBold() && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        const FT_Pos strength = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24;
        FT_Outline_Embolden(&slot->outline, strength);
        advance += strength;
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0 || slot->bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return {};

    QImage image(box, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const int ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    const int descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    const int baseline = (box.height() - ascent - descent) / 2 + ascent;
    const int left = (box.width() - static_cast<int>((advance + 32) >> 6)) / 2 + slot->bitmap_left;
    const int top = baseline - slot->bitmap_top;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int pitch = bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch;
    for (int r = 0; r < static_cast<int>(bitmap.rows); ++r) {
        const int y = top + r;
        if (y < 0 || y >= box.height()) continue;
        const int sourceRow = bitmap.pitch < 0 ? static_cast<int>(bitmap.rows) - 1 - r : r;
        const unsigned char* src = bitmap.buffer + static_cast<std::ptrdiff_t>(sourceRow) * pitch;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int c = 0; c < static_cast<int>(bitmap.width); ++c) {
            const int x = left + c;
            if (x < 0 || x >= box.width() || src[c] == 0) continue;
            dst[x] = qRgba(0, 0, 0, src[c]);  // black, so premultiplied is the same
        }
    }
    return image;
}

}  // namespace tavrin
