#include "fonts/glyph_source.h"

#include <system_error>

namespace tavrin {

std::optional<GlyphSource> GlyphSource::open(std::string_view familyOrPath, int style, const ScriptInfo& script,
                                             std::string& error) {
    const std::filesystem::path asPath(familyOrPath);
    std::error_code ignored;
    if (familyOrPath.find('/') != std::string_view::npos || std::filesystem::is_regular_file(asPath, ignored)) {
        FontFileChoice file;
        file.path = asPath;
        file.syntheticBold = (style & kStyleBoldBit) != 0;
        file.syntheticItalic = (style & kStyleItalicBit) != 0;
        return open(file, script, error);
    }
    const auto file = findFontFile(familyOrPath, style);
    if (!file) {
        error = "No scalable font of the family \"" + std::string(familyOrPath) + "\"";
        return std::nullopt;
    }
    return open(*file, script, error);
}

std::optional<GlyphSource> GlyphSource::open(const FontFileChoice& file, const ScriptInfo& script, std::string& error) {
    auto face = TrueTypeFace::open(file.path, file.faceIndex, error);
    if (!face) return std::nullopt;
    GlyphSource source;
    source.face_ = std::move(*face);
    source.script_ = &script;
    source.syntheticBold_ = file.syntheticBold;
    source.syntheticItalic_ = file.syntheticItalic;
    if (isSymbolScript(script)) {
        if (!source.face_.selectSymbolMap()) {
            error = "The font has no symbol character map";
            return std::nullopt;
        }
        // Symbol maps keep their characters either at 0xF020..0xF0FF or at the bytes themselves.
        for (int code = 32; code < 256; ++code) {
            for (const char32_t c : {static_cast<char32_t>(0xF000 + code), static_cast<char32_t>(code)}) {
                const unsigned glyph = FT_Get_Char_Index(source.face(), c);
                if (glyph == 0) continue;
                source.glyphs_[static_cast<std::size_t>(code)] = glyph;
                source.characters_[static_cast<std::size_t>(code)] = c;
                break;
            }
        }
        return source;
    }
    const auto table = codePageToUnicode(script.codePage);
    if (!table) {
        error = std::string("The code page ") + script.codePage + " is not known";
        return std::nullopt;
    }
    if (!source.face_.selectUnicodeMap()) {
        error = "The font has no Unicode character map";
        return std::nullopt;
    }
    for (int code = 32; code < 256; ++code) {
        const char32_t u = (*table)[static_cast<std::size_t>(code)];
        source.characters_[static_cast<std::size_t>(code)] = u;
        if (u != 0) source.glyphs_[static_cast<std::size_t>(code)] = FT_Get_Char_Index(source.face(), u);
    }
    return source;
}

}  // namespace tavrin
