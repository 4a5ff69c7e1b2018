#pragma once
// Pictures of a TrueType font's characters for the converter's grids and its enlarged view,
// drawn in grey by FreeType from the very face the label font is made from, so a symbol
// font shows its own glyphs and a synthetic bold or italic looks as it will be rasterised.
#include <QImage>
#include <QSize>
#include <cstdint>

#include "fonts/glyph_source.h"

namespace tavrin {

// The character at this code of the font's script, black on transparent in a box of the
// given size: centred by its advance, on a baseline that is the same for every code of the
// font at that size. A null image when the script or the font has no character there.
QImage glyphImage(const GlyphSource& font, std::uint8_t code, QSize box);

}  // namespace tavrin
