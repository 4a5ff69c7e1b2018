#include "fonts/font_rasteriser.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include "document/safe_file.h"

namespace tavrin {
namespace {

// The slant of a synthetic italic, as FreeType's own oblique uses it.
constexpr FT_Fixed kSyntheticSlant = 0x0366A;

int roundPixels(FT_Pos value) { return static_cast<int>((value + 32) >> 6); }
int ceilPixels(FT_Pos value) { return static_cast<int>((value + 63) >> 6); }

// Ascent and descent of the character cell: the font's Windows metrics when it has them,
// else its horizontal header, both in whole dots.
void cellMetrics(FT_Face face, int& ascent, int& descent) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = ceilPixels(FT_MulFix(os2->usWinAscent, face->size->metrics.y_scale));
        descent = ceilPixels(FT_MulFix(os2->usWinDescent, face->size->metrics.y_scale));
    } else {
        ascent = ceilPixels(face->size->metrics.ascender);
        descent = ceilPixels(-face->size->metrics.descender);
    }
    ascent = std::max(ascent, 1);
    descent = std::max(descent, 0);
}

// ORs the FreeType monochrome bitmap into rows (stride bytes, `height` rows) at (x, y),
// clipped to the rows and to width dots.
void placeBitmap(const FT_Bitmap& bitmap, std::vector<std::uint8_t>& rows, int stride, int width, int height, int x,
                 int y) {
    const int pitch = bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch;
    for (int r = 0; r < static_cast<int>(bitmap.rows); ++r) {
        const int ty = y + r;
        if (ty < 0 || ty >= height) continue;
        const int sourceRow = bitmap.pitch < 0 ? static_cast<int>(bitmap.rows) - 1 - r : r;
        const std::uint8_t* src = bitmap.buffer + static_cast<std::ptrdiff_t>(sourceRow) * pitch;
        std::uint8_t* dst = rows.data() + static_cast<std::size_t>(ty) * static_cast<std::size_t>(stride);
        for (int c = 0; c < static_cast<int>(bitmap.width); c += 8) {
            unsigned bits = src[c >> 3];
            const int left = static_cast<int>(bitmap.width) - c;
            if (left < 8) bits &= 0xFFu << (8 - left);
            if (bits == 0) continue;
            const int tx = x + c;
            // The eight dots land in at most two bytes; dots past the width are dropped.
            for (int b = 0; b < 8; ++b) {
                if ((bits & (0x80u >> b)) == 0) continue;
                const int dot = tx + b;
                if (dot < 0 || dot >= width) continue;
                dst[dot >> 3] = static_cast<std::uint8_t>(dst[dot >> 3] | (0x80u >> (dot & 7)));
            }
        }
    }
}

// Blank glyphs may still come with a one-dot box.
bool hasInk(const FT_Bitmap& bitmap) {
    const int pitch = bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch;
    const int bytes = (static_cast<int>(bitmap.width) + 7) / 8;
    for (int r = 0; r < static_cast<int>(bitmap.rows); ++r)
        for (int k = 0; k < bytes; ++k)
            if (bitmap.buffer[static_cast<std::ptrdiff_t>(r) * pitch + k] != 0) return true;
    return false;
}

struct Loaded {
    bool ok = false;
    FT_Pos advance = 0;
};

// Loads, transforms and renders one glyph into the face's slot.
Loaded renderGlyph(const GlyphSource& font, unsigned glyph) {
    FT_Face face = font.face();
    Loaded result;
    if (FT_Load_Glyph(face, glyph, kLabelGlyphLoadFlags) != 0) return result;
    FT_GlyphSlot slot = face->glyph;
    result.advance = slot->advance.x;
    if (font.syntheticBold() && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        const FT_Pos strength = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24;
        FT_Outline_Embolden(&slot->outline, strength);
        result.advance += strength;
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return result;
    result.ok = slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    return result;
}

}  // namespace

int clampFontSize(int points) { return std::clamp(points, kMinFontSize, kMaxFontSize); }

double widthCorrectionAt(int position) {
    const int p = std::clamp(position, 0, 20);
    return p > 10 ? p * 0.1 : p * 0.05 + 0.5;
}

FT_Matrix labelGlyphMatrix(double widthCorrection, bool slant) {
    FT_Matrix m;
    m.xx = static_cast<FT_Fixed>(std::lround(widthCorrection * 65536.0));
    m.xy = slant ? kSyntheticSlant : 0;
    m.yx = 0;
    m.yy = 0x10000;
    return m;
}

int maxTrim(int lineHeight, int other) { return std::max(lineHeight - other - 1, 0); }

RasterFont rasteriseFont(const GlyphSource& font, const CharacterTable::Cells& cells, const RasterSettings& settings) {
    RasterFont out;
    out.size = clampFontSize(settings.size);
    out.space = std::clamp(settings.space, kMinSpace, kMaxSpace);
    FT_Face face = font.face();
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(out.size) * 64, kScreenDpi, kScreenDpi);
    FT_Matrix matrix = labelGlyphMatrix(std::clamp(settings.widthCorrection, 0.5, 2.0), font.syntheticItalic());
    FT_Set_Transform(face, &matrix, nullptr);
    cellMetrics(face, out.ascent, out.descent);
    out.lineHeight = out.ascent + out.descent;

    // First pass: metrics, and the glyphs' bitmaps kept for placing once the shift is known.
    struct Pending {
        std::vector<std::uint8_t> bits;
        int pitch = 0;
        unsigned width = 0, rows = 0;
    };
    std::vector<Pending> bitmaps;
    int smallestOrigin = 0;
    int topFree = std::numeric_limits<int>::max(), bottomFree = std::numeric_limits<int>::max();
    bool anyInk = false;
    for (int i = 0; i < kTableCells; ++i) {
        const std::uint8_t source = cells[static_cast<std::size_t>(i)];
        if (source == 0) continue;
        RasterGlyph g;
        g.code = kTableFirstCode + i;
        Pending pending;
        const unsigned index = font.glyphIndex(source);
        const Loaded loaded = index != 0 ? renderGlyph(font, index) : Loaded{};
        if (loaded.ok) {
            const FT_GlyphSlot slot = face->glyph;
            g.source = source;
            g.originX = slot->bitmap_left;
            g.originY = slot->bitmap_top;
            g.boxWidth = static_cast<int>(slot->bitmap.width);
            g.boxHeight = static_cast<int>(slot->bitmap.rows);
            g.ink = hasInk(slot->bitmap);
            g.bitmapWidth = std::max(g.boxWidth + g.originX, 1);
            g.advance = std::max(roundPixels(loaded.advance) + out.space, 2);
            smallestOrigin = std::min(smallestOrigin, g.originX);
            if (g.ink) {
                anyInk = true;
                const int top = out.lineHeight - out.descent - g.originY;
                const int bottom = out.descent + g.originY - g.boxHeight;
                // A glyph that reaches past the cell's top or bottom leaves no blank rows
                // there; ignoring it would let "Auto" cut the ink it has inside the cell.
                topFree = std::min(topFree, std::max(top, 0));
                bottomFree = std::min(bottomFree, std::max(bottom, 0));
                const int pitch = slot->bitmap.pitch < 0 ? -slot->bitmap.pitch : slot->bitmap.pitch;
                pending.bits.assign(slot->bitmap.buffer, slot->bitmap.buffer + static_cast<std::size_t>(pitch) * slot->bitmap.rows);
                pending.pitch = slot->bitmap.pitch;
                pending.width = slot->bitmap.width;
                pending.rows = slot->bitmap.rows;
            }
        }
        out.glyphs.push_back(std::move(g));
        bitmaps.push_back(std::move(pending));
    }
    FT_Set_Transform(face, nullptr, nullptr);

    if (!anyInk) {
        topFree = std::max(out.lineHeight / 2 - 2, 0);
        bottomFree = std::max(out.lineHeight / 2 - 1, 0);
    } else {
        if (topFree == std::numeric_limits<int>::max()) topFree = 0;
        if (bottomFree == std::numeric_limits<int>::max()) bottomFree = 0;
    }
    out.topFree = topFree;
    out.bottomFree = bottomFree;
    out.leftShift = -smallestOrigin;
    const int top = settings.autoTrim ? topFree : settings.topRemove;
    const int bottom = settings.autoTrim ? bottomFree : settings.bottomRemove;
    out.topRemove = std::clamp(top, 0, maxTrim(out.lineHeight, 0));
    out.bottomRemove = std::clamp(bottom, 0, maxTrim(out.lineHeight, out.topRemove));
    out.height = out.lineHeight - out.topRemove - out.bottomRemove;

    long long widthSum = 0;
    for (std::size_t k = 0; k < out.glyphs.size(); ++k) {
        RasterGlyph& g = out.glyphs[k];
        if (g.source == 0) continue;
        g.bitmapWidth += out.leftShift;
        const int stride = g.bytesPerRow();
        g.rows.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(out.lineHeight), 0);
        if (g.ink) {
            FT_Bitmap view{};
            view.rows = bitmaps[k].rows;
            view.width = bitmaps[k].width;
            view.pitch = bitmaps[k].pitch;
            view.buffer = bitmaps[k].bits.data();
            view.pixel_mode = FT_PIXEL_MODE_MONO;
            placeBitmap(view, g.rows, stride, g.bitmapWidth, out.lineHeight, out.leftShift + g.originX,
                        out.ascent - g.originY);
        }
        ++out.characters;
        out.bytes += static_cast<std::size_t>(stride) * static_cast<std::size_t>(out.height) + 3;
        const int width = g.bitmapWidth + out.space + 2;
        widthSum += width;
        out.largestWidth = std::max(out.largestWidth, width);
    }
    out.meanWidth = out.characters > 0 ? static_cast<double>(widthSum) / out.characters : 0.0;
    return out;
}

std::string checkFontLimits(const RasterFont& font) {
    if (font.bytes >= kMaxFontFileBytes) return "File too big";
    if (font.height > kMaxLabelFontDots) return "Font height more than 248 pixels";
    bool wide = font.largestWidth > kMaxLabelFontDots;
    // An advance beyond one byte could not be stored in its record.
    for (const RasterGlyph& g : font.glyphs) wide = wide || (g.source != 0 && g.advance > 255);
    if (wide) return "There are symbols wider than 248 pixels";
    return {};
}

std::vector<std::uint8_t> encodeLabelFont(const RasterFont& font) {
    std::vector<std::uint8_t> out;
    out.reserve(font.bytes);
    out.push_back(static_cast<std::uint8_t>(font.characters));
    out.push_back(0);
    out.push_back(static_cast<std::uint8_t>(font.height));
    for (const RasterGlyph& g : font.glyphs) {
        if (g.source == 0) continue;
        const int stride = g.bytesPerRow();
        out.push_back(static_cast<std::uint8_t>(g.code));
        out.push_back(static_cast<std::uint8_t>(g.advance));
        out.push_back(static_cast<std::uint8_t>(stride));
        const auto first = g.rows.begin() + static_cast<std::ptrdiff_t>(font.topRemove) * stride;
        out.insert(out.end(), first, first + static_cast<std::ptrdiff_t>(font.height) * stride);
    }
    return out;
}

std::string saveLabelFont(const std::filesystem::path& path, const RasterFont& font) {
    std::string problem = checkFontLimits(font);
    if (!problem.empty()) return problem;
    const auto bytes = encodeLabelFont(font);
    if (!replaceFileContents(path, bytes)) return "Can't open output file";
    return {};
}

}  // namespace tavrin
