#pragma once
// Rasterising the character table in a TrueType font into a label font: FreeType's
// monochrome glyphs at the chosen size and width correction, the blank rows that can be
// cut, the statistics and limits, and the .qft bytes.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fonts/character_table.h"
#include "fonts/glyph_source.h"

namespace tavrin {

inline constexpr int kMinFontSize = 6;
inline constexpr int kMaxFontSize = 240;
inline constexpr int kMinSpace = -16;
inline constexpr int kMaxSpace = 16;
inline constexpr int kScreenDpi = 96;           // points become dots as on the screen
inline constexpr int kMaxLabelFontDots = 248;   // height and width limit of the printer
inline constexpr std::size_t kMaxFontFileBytes = 49152;
// FreeType's loading for label glyphs: hinted for one bit, outlines only.
inline constexpr FT_Int32 kLabelGlyphLoadFlags = FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP;

int clampFontSize(int points);
// The width correction of a track bar position 0..20: 0.5..1.0 in twentieths, 1.1..2.0 in tenths.
double widthCorrectionAt(int position);

struct RasterSettings {
    int size = 20;                 // points
    double widthCorrection = 1.0;  // horizontal scale
    int space = 0;                 // dots added to every advance
    bool autoTrim = false;         // remove the blank rows every glyph leaves
    int topRemove = 0;             // rows cut at the top (when not automatic)
    int bottomRemove = 0;          // rows cut at the bottom
};

// The transform FreeType gets: x scaled by the width correction, slanted for a synthetic italic.
FT_Matrix labelGlyphMatrix(double widthCorrection, bool slant);

struct RasterGlyph {
    int code = 0;        // the label font code
    int source = 0;      // the script's code drawn there; 0 when the font has no glyph for it
    int originX = 0, originY = 0;     // the black box's top left from the pen (y up)
    int boxWidth = 0, boxHeight = 0;  // the black box
    int bitmapWidth = 1;              // stored dots per row, the left shift included
    int advance = 2;                  // the record's width: cell increment + space
    bool ink = false;
    // lineHeight rows of bytesPerRow() bytes, 1 = ink, MSB leftmost; the glyph sits at
    // (leftShift + originX, ascent - originY).
    std::vector<std::uint8_t> rows;
    int bytesPerRow() const { return (bitmapWidth + 7) / 8; }
};

struct RasterFont {
    int size = 20;
    int space = 0;
    int ascent = 0, descent = 0, lineHeight = 0;
    int leftShift = 0;
    int topFree = 0, bottomFree = 0;        // blank rows every glyph leaves
    int topRemove = 0, bottomRemove = 0;    // what is cut (automatic or as asked, kept below lineHeight)
    std::vector<RasterGlyph> glyphs;        // every filled cell in code order
    // Statistics over the glyphs the font has.
    int characters = 0;
    int height = 0;
    std::size_t bytes = 3;
    double meanWidth = 0;
    int largestWidth = 0;
};

// Rasterises every filled cell of the table (the glyphs are drawn from the cells' contents).
RasterFont rasteriseFont(const GlyphSource& font, const CharacterTable::Cells& cells, const RasterSettings& settings);

// The largest top or bottom removal that leaves at least one row beside the other one.
int maxTrim(int lineHeight, int other);

// "File too big", "Font height more than 248 pixels" or "There are symbols wider than 248
// pixels" (title "Error"), in that order; empty when the font can be saved.
std::string checkFontLimits(const RasterFont& font);
// The .qft bytes: charCount, 0, height and one record per glyph the font has.
std::vector<std::uint8_t> encodeLabelFont(const RasterFont& font);
// Checks the limits and replaces the file only once the new one is complete; the message
// ("Can't open output file" or a limit's) is empty on success.
std::string saveLabelFont(const std::filesystem::path& path, const RasterFont& font);

}  // namespace tavrin
