#pragma once
// A TrueType font opened for one script: which glyph each of the script's 256 codes draws.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "fonts/font_catalogue.h"
#include "fonts/truetype_face.h"

namespace tavrin {

class GlyphSource {
public:
    // A family and style (bit 0 italic, bit 1 bold) found by fontconfig, or a font file named
    // by path (then the style only adds synthetic bold and slant). Nothing, with the reason
    // in error, when the font cannot be found or opened.
    static std::optional<GlyphSource> open(std::string_view familyOrPath, int style, const ScriptInfo& script,
                                           std::string& error);
    static std::optional<GlyphSource> open(const FontFileChoice& file, const ScriptInfo& script, std::string& error);

    FT_Face face() const { return face_.face(); }
    const ScriptInfo& script() const { return *script_; }
    bool syntheticBold() const { return syntheticBold_; }
    bool syntheticItalic() const { return syntheticItalic_; }
    // The glyph of a code of the script; 0 when the page or the font has no character there.
    unsigned glyphIndex(std::uint8_t code) const { return glyphs_[code]; }
    // The character a code stands for: Unicode, or the symbol map's own code for Symbol.
    char32_t character(std::uint8_t code) const { return characters_[code]; }

private:
    TrueTypeFace face_;
    const ScriptInfo* script_ = nullptr;
    bool syntheticBold_ = false;
    bool syntheticItalic_ = false;
    std::array<unsigned, 256> glyphs_{};
    std::array<char32_t, 256> characters_{};
};

}  // namespace tavrin
