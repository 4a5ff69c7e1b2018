#pragma once
// The printer's five built-in bitmap fonts, read once from ZREDIT.FNT: a glyph area of
// 63,488 bytes (each font a dense array of glyphs at a fixed offset), then eight
// 256-byte tables mapping a character byte to a glyph number per language.
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace tavrin {

struct ResidentFontInfo {
    int cellWidth;      // w, dots
    int cellHeight;     // h, dots
    int bytesPerRow;    // (w + 7) / 8
    int bytesPerGlyph;  // bytesPerRow * h
    int offset;         // of the font's first glyph in the glyph area
    int glyphCapacity;  // glyphs the area has room for
    int firstTable;     // map tables firstTable + language
};

inline constexpr int kResidentFontCount = 5;
// font 1..5; anything else gives font 3's geometry.
const ResidentFontInfo& residentFontInfo(int font);

class ResidentFonts {
public:
    static constexpr std::size_t kGlyphAreaSize = 63488;
    static constexpr std::size_t kMapAreaSize = 2048;
    static constexpr std::size_t kFileSize = kGlyphAreaSize + kMapAreaSize;

    // 0 loaded, 1 the file cannot be opened, 2 memory cannot be had. A short file is
    // used as far as it goes (the rest stays zero).
    int load(const std::filesystem::path& path);
    // The same from bytes in memory (tests, generated fonts).
    void loadFromBytes(std::span<const std::uint8_t> bytes);
    bool loaded() const { return !glyphs_.empty(); }

    // Glyph number of character c in font 1..5 for language 0..3 (any other language value
    // reads as 0, English, so that a stray value never reaches the other font group's tables).
    int glyphNumber(int font, int language, std::uint8_t c) const;
    // The glyph's h rows of bytesPerRow bytes (1 bits are ink). A glyph number that would
    // reach beyond the glyph area (a damaged file) gives a blank glyph, never stray memory.
    std::span<const std::uint8_t> glyph(int font, int language, std::uint8_t c) const;

    std::span<const std::uint8_t> glyphArea() const { return glyphs_; }
    std::span<const std::uint8_t> mapArea() const { return maps_; }

private:
    std::vector<std::uint8_t> glyphs_;
    std::vector<std::uint8_t> maps_;
    std::array<std::uint8_t, 192> blank_{};
};

}  // namespace tavrin
