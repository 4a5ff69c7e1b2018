#pragma once
// The converter's preview: every glyph of a rasterised font, one dot per pixel, in lines
// across an area of a given width, with the rows that will be cut marked on each line.
#include <cstdint>
#include <vector>

#include "fonts/font_rasteriser.h"

namespace tavrin {

struct FontPreview {
    int width = 0, height = 0;
    int stride = 0;                  // bytes per row
    std::vector<std::uint8_t> bits;  // 1 = ink, MSB leftmost
    // Per line of glyphs: the first row kept and the first row cut at the bottom.
    struct Guides {
        int keptTop = 0, cutBottom = 0;
    };
    std::vector<Guides> guides;
    bool inkAt(int x, int y) const;
};

// Lays the glyphs out from a margin of size / 3 (at least 24 dots), wrapping before a glyph
// would pass the width less the margin and 24 dots; each glyph moves the pen by its advance
// and 2. Glyphs the font lacks are left out.
FontPreview drawFontPreview(const RasterFont& font, int width);

}  // namespace tavrin
