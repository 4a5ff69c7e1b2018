#include "render/resident_font.h"

#include <algorithm>
#include <fstream>
#include <new>
#include <system_error>

namespace tavrin {

namespace {

constexpr std::array<ResidentFontInfo, kResidentFontCount> kResidentFonts{{
    {8, 12, 1, 12, 0, 244, 0},
    {10, 16, 2, 32, 2928, 244, 0},
    {12, 20, 2, 40, 10736, 244, 0},
    {14, 24, 2, 48, 20496, 255, 0},
    {32, 48, 4, 192, 32768, 160, 4},
}};

constexpr int kLanguageCount = 4;

}  // namespace

const ResidentFontInfo& residentFontInfo(int font) {
    if (font < 1 || font > kResidentFontCount) return kResidentFonts[2];
    return kResidentFonts[static_cast<std::size_t>(font - 1)];
}

int ResidentFonts::load(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return 1;
    std::ifstream in(path, std::ios::binary);
    if (!in) return 1;

    std::vector<std::uint8_t> glyphs, maps;
    try {
        glyphs.resize(kGlyphAreaSize);
        maps.resize(kMapAreaSize);
    } catch (const std::bad_alloc&) {
        return 2;
    }
    // A short file leaves the rest zero: blank glyphs, every byte mapped to glyph 0.
    in.read(reinterpret_cast<char*>(glyphs.data()), static_cast<std::streamsize>(glyphs.size()));
    if (in) in.read(reinterpret_cast<char*>(maps.data()), static_cast<std::streamsize>(maps.size()));

    glyphs_ = std::move(glyphs);
    maps_ = std::move(maps);
    return 0;
}

void ResidentFonts::loadFromBytes(std::span<const std::uint8_t> bytes) {
    glyphs_.assign(kGlyphAreaSize, 0);
    maps_.assign(kMapAreaSize, 0);
    const auto glyphPart = bytes.first(std::min(bytes.size(), kGlyphAreaSize));
    std::copy(glyphPart.begin(), glyphPart.end(), glyphs_.begin());
    if (bytes.size() > kGlyphAreaSize) {
        const auto mapPart = bytes.subspan(kGlyphAreaSize, std::min(bytes.size() - kGlyphAreaSize, kMapAreaSize));
        std::copy(mapPart.begin(), mapPart.end(), maps_.begin());
    }
}

int ResidentFonts::glyphNumber(int font, int language, std::uint8_t c) const {
    if (maps_.empty()) return 0;
    // A language value from a damaged label must not pick a table of the other group.
    if (language < 0 || language >= kLanguageCount) language = 0;
    const int table = residentFontInfo(font).firstTable + language;
    return maps_[static_cast<std::size_t>(table) * 256 + c];
}

std::span<const std::uint8_t> ResidentFonts::glyph(int font, int language, std::uint8_t c) const {
    const ResidentFontInfo& info = residentFontInfo(font);
    const auto size = static_cast<std::size_t>(info.bytesPerGlyph);
    const auto start = static_cast<std::size_t>(info.offset) +
                       static_cast<std::size_t>(glyphNumber(font, language, c)) * size;
    if (glyphs_.empty() || start + size > glyphs_.size()) return std::span(blank_).first(size);
    return std::span(glyphs_).subspan(start, size);
}

}  // namespace tavrin
