// Builds ZREDIT.FNT, the printer's five resident fonts, from the bitmap strikes embedded in
// Terminus TTF (SIL Open Font License 1.1, Debian package fonts-terminus).
//
//   make-resident-font OUTPUT [--font FILE.ttf] [--sample FILE.pbm]
//
// The strikes are stored bitmaps, so the output does not depend on the rasteriser: the same
// font file always gives the same bytes.
//
// Fonts 1..4 take the 12, 16, 20 and 24 pixel strikes, one blank column to their left;
// font 5 takes the 32 pixel strike (16 x 32) scaled by 2 across and 1.5 down. Fonts 1..4
// share map tables 0..3, so one glyph number means the same character in all four; font 5
// has its own tables 4..7. Characters whose glyphs are equal (Latin A and Cyrillic A) share
// one glyph number. Glyph 0 is blank; glyph 1 is the "unknown" glyph (a filled box with a
// hollow question mark) shown for control bytes and for characters the font lacks or that
// did not fit.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct FontLayout {
    int width, height, offset, capacity;
    int strikePixels;  // Terminus strike used
    bool scaled;       // 16 x 32 strike stretched to 32 x 48
};

constexpr std::array<FontLayout, 5> kFonts{{
    {8, 12, 0, 244, 12, false},
    {10, 16, 2928, 244, 16, false},
    {12, 20, 10736, 244, 20, false},
    {14, 24, 20496, 255, 24, false},
    {32, 48, 32768, 160, 32, true},
}};
constexpr std::size_t kGlyphAreaSize = 63488;
constexpr std::size_t kFileSize = kGlyphAreaSize + 8 * 256;
constexpr int kSharedCapacity = 244;  // fonts 1..4 share tables, so the smallest room counts
constexpr int kUnknownGlyph = 1;

// Upper halves (0x80..0xFF) of the code pages: English CP850, Bulgarian MIK, Russian CP866.
const char* const kCp850 =
    "ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜø£Ø×ƒáíóúñÑªº¿®¬½¼¡«»░▒▓│┤ÁÂÀ©╣║╗╝¢¥┐"
    "└┴┬├─┼ãÃ╚╔╩╦╠═╬¤ðÐÊËÈıÍÎÏ┘┌█▄¦Ì▀ÓßÔÒõÕµþÞÚÛÙýÝ¯´\u00AD±‗¾¶§÷¸°¨·¹³²■\u00A0";
const char* const kMik =
    "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя"
    "└┴┬├─┼╣║╚╔╩╦╠═╬┐░▒▓│┤№§╗╝┘┌█▄▌▐▀αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00A0";
const char* const kCp866 =
    "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмноп░▒▓│┤╡╢╖╕╣║╗╝╜╛┐"
    "└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀рстуфхцчшщъыьэюяЁёЄєЇїЎў°∙·√№¤■\u00A0";
// Table order per language: English, Bulgarian, Russian, and the fourth value as English.
const std::array<const char*, 4> kLanguagePages{kCp850, kMik, kCp866, kCp850};
// Signs and accented letters labels need most; they go first so that font 5's small room
// takes them.
const char* const kNeededFirst = "°№ÄÖÜäöüßÉéèêàâçÇñÑ±µ§£ÈÊëÀÂáíóúÁÍÓÚôûîïùå";

std::vector<char32_t> decodeUtf8(std::string_view s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t cp = n == 1 ? b : b & (0x7F >> n);
        for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += static_cast<std::size_t>(n);
    }
    return out;
}

std::array<char32_t, 256> codePage(const char* upperHalf) {
    std::array<char32_t, 256> page{};  // 0 = no character (control bytes)
    for (char32_t c = 0x20; c < 0x7F; ++c) page[c] = c;
    auto upper = decodeUtf8(upperHalf);
    if (upper.size() != 128) throw std::runtime_error("code page table is not 128 characters");
    std::copy(upper.begin(), upper.end(), page.begin() + 128);
    return page;
}

// Which characters give way when the room runs out: letters and common signs stay, then
// Greek letters and mathematical signs, then box drawing.
int dropRank(char32_t c) {
    if (c >= 0x2500 && c <= 0x259F) return 2;
    if ((c >= 0x370 && c < 0x400) || (c >= 0x2200 && c < 0x2400) || c == 0x207F) return 1;
    return 0;
}

// A glyph as a grid of dots, true = ink.
struct Grid {
    int width = 0, height = 0;
    std::vector<bool> dots;
    Grid(int w, int h) : width(w), height(h), dots(static_cast<std::size_t>(w * h)) {}
    std::vector<bool>::reference at(int x, int y) { return dots[static_cast<std::size_t>(y * width + x)]; }
    bool at(int x, int y) const { return dots[static_cast<std::size_t>(y * width + x)]; }
};

class Strike {
public:
    Strike(FT_Face face, int pixels) : face_(face), pixels_(pixels) {
        select();
        width_ = static_cast<int>(face_->size->metrics.max_advance >> 6);
        // The full block fills the whole cell: its top is the cell's top.
        FT_Load_Char(face_, 0x2588, FT_LOAD_DEFAULT);
        if (face_->glyph->format != FT_GLYPH_FORMAT_BITMAP)
            throw std::runtime_error("the font has no " + std::to_string(pixels) + " pixel bitmap strike");
        cellTop_ = face_->glyph->bitmap_top;
    }
    int width() const { return width_; }

    std::optional<Grid> render(char32_t c) const {
        select();
        if (FT_Get_Char_Index(face_, c) == 0 || FT_Load_Char(face_, c, FT_LOAD_DEFAULT) != 0) return std::nullopt;
        const FT_GlyphSlot slot = face_->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        if (slot->format != FT_GLYPH_FORMAT_BITMAP || bm.pixel_mode != FT_PIXEL_MODE_MONO) return std::nullopt;
        Grid grid(width_, pixels_);
        for (int r = 0; r < static_cast<int>(bm.rows); ++r) {
            for (int col = 0; col < static_cast<int>(bm.width); ++col) {
                const int x = slot->bitmap_left + col, y = cellTop_ - slot->bitmap_top + r;
                const std::uint8_t byte = bm.buffer[r * bm.pitch + col / 8];
                if (x >= 0 && x < width_ && y >= 0 && y < pixels_ && (byte & (0x80 >> (col % 8))))
                    grid.at(x, y) = true;
            }
        }
        return grid;
    }

private:
    void select() const { FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels_)); }
    FT_Face face_;
    int pixels_, width_ = 0, cellTop_ = 0;
};

// Places a strike glyph into the font's cell and packs it in the file's layout.
Bytes pack(const FontLayout& font, const Grid& src) {
    Grid cell(font.width, font.height);
    for (int y = 0; y < font.height; ++y) {
        for (int x = 0; x < font.width; ++x) {
            // Scaled: 2 across, 1.5 down (even source rows twice, odd rows once).
            const int sx = font.scaled ? x / 2 : x - (font.width - src.width) / 2;
            const int sy = font.scaled ? y * 2 / 3 : y;
            if (sx >= 0 && sx < src.width && sy < src.height) cell.at(x, y) = src.at(sx, sy);
        }
    }
    const int bytesPerRow = (font.width + 7) / 8;
    Bytes out(static_cast<std::size_t>(bytesPerRow * font.height));
    for (int y = 0; y < font.height; ++y)
        for (int x = 0; x < font.width; ++x)
            if (cell.at(x, y)) out[static_cast<std::size_t>(y * bytesPerRow + x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    return out;
}

// A filled box the size of a capital letter with a question mark cut out of it.
Grid unknownGlyph(const Strike& strike) {
    Grid box = *strike.render('H');
    const Grid mark = *strike.render('?');
    int x0 = box.width, x1 = -1, y0 = box.height, y1 = -1;
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x)
            if (box.at(x, y)) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    for (int y = std::max(0, y0 - 1); y <= std::min(box.height - 1, y1 + 1); ++y)
        for (int x = std::max(0, x0 - 1); x <= std::min(box.width - 1, x1 + 1); ++x)
            box.at(x, y) = !mark.at(x, y);
    return box;
}

// A set of fonts sharing map tables: glyph numbers are given out in order of first use.
struct GlyphGroup {
    std::vector<int> fonts;  // indices into kFonts
    int capacity;
    std::map<Bytes, int> numberOfShape;  // all the group's fonts' bitmaps of a glyph, joined
    std::vector<std::vector<Bytes>> glyphs;  // per glyph number, per font
    std::map<char32_t, int> numberOfChar;

    int add(const std::vector<Bytes>& perFont) {
        Bytes key;
        for (const auto& b : perFont) key.insert(key.end(), b.begin(), b.end());
        if (auto it = numberOfShape.find(key); it != numberOfShape.end()) return it->second;
        if (static_cast<int>(glyphs.size()) >= capacity) return kUnknownGlyph;
        glyphs.push_back(perFont);
        return numberOfShape[key] = static_cast<int>(glyphs.size()) - 1;
    }
};

std::filesystem::path findFont() {
    const std::filesystem::path debian = "/usr/share/fonts/truetype/terminus/TerminusTTF-4.46.0.ttf";
    if (std::filesystem::exists(debian)) return debian;
    std::filesystem::path found;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Terminus (TTF):fontformat=TrueType"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* file = nullptr;
        FcChar8* family = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
            FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
            std::string_view(reinterpret_cast<const char*>(family)).starts_with("Terminus"))
            found = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return found;
}

// All fonts, every table's 256 bytes in rows of 32, English then Russian then Bulgarian.
void writeSample(const std::filesystem::path& path, const Bytes& file) {
    const int columns = 32, imageWidth = columns * 34;
    std::vector<std::vector<bool>> rows;
    for (int f = 0; f < 5; ++f) {
        const FontLayout& font = kFonts[static_cast<std::size_t>(f)];
        const int bytesPerRow = (font.width + 7) / 8, bytesPerGlyph = bytesPerRow * font.height;
        for (int language : {0, 2, 1}) {
            const int table = (f == 4 ? 4 : 0) + language;
            for (int line = 0; line < 256 / columns; ++line) {
                std::vector<std::vector<bool>> band(static_cast<std::size_t>(font.height + 2), std::vector<bool>(imageWidth));
                for (int i = 0; i < columns; ++i) {
                    const int glyph = file[kGlyphAreaSize + static_cast<std::size_t>(table * 256 + line * columns + i)];
                    const std::size_t base = static_cast<std::size_t>(font.offset + glyph * bytesPerGlyph);
                    for (int y = 0; y < font.height; ++y)
                        for (int x = 0; x < font.width; ++x)
                            band[static_cast<std::size_t>(y + 1)][static_cast<std::size_t>(i * (font.width + 2) + x + 1)] =
                                base + static_cast<std::size_t>(bytesPerGlyph) <= kGlyphAreaSize &&
                                (file[base + static_cast<std::size_t>(y * bytesPerRow + x / 8)] & (0x80 >> (x % 8)));
                }
                rows.insert(rows.end(), band.begin(), band.end());
            }
            rows.insert(rows.end(), 4, std::vector<bool>(imageWidth));
        }
    }
    std::ofstream out(path, std::ios::binary);
    out << "P4\n" << imageWidth << ' ' << rows.size() << '\n';
    for (const auto& row : rows) {
        std::string packed(static_cast<std::size_t>((imageWidth + 7) / 8), '\0');
        for (int x = 0; x < imageWidth; ++x)
            if (row[static_cast<std::size_t>(x)]) packed[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        out << packed;
    }
}

int run(int argc, char** argv) {
    std::filesystem::path output, fontPath, samplePath;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--font" && i + 1 < argc) fontPath = argv[++i];
        else if (arg == "--sample" && i + 1 < argc) samplePath = argv[++i];
        else if (output.empty() && !arg.starts_with("--")) output = arg;
        else output.clear(), i = argc;
    }
    if (output.empty()) {
        std::fprintf(stderr, "usage: make-resident-font OUTPUT [--font FILE.ttf] [--sample FILE.pbm]\n");
        return 2;
    }
    if (fontPath.empty()) fontPath = findFont();
    FT_Library library;
    FT_Face face;
    if (fontPath.empty() || FT_Init_FreeType(&library) != 0 || FT_New_Face(library, fontPath.c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "make-resident-font: cannot open the Terminus TTF font (package fonts-terminus)\n");
        return 1;
    }
    std::vector<Strike> strikes;
    for (const FontLayout& font : kFonts) strikes.emplace_back(face, font.strikePixels);

    // Characters in the order they get glyph numbers: what every label needs first.
    std::vector<char32_t> order;
    auto want = [&](char32_t c) {
        if (c != 0 && std::find(order.begin(), order.end(), c) == order.end()) order.push_back(c);
    };
    for (char32_t c = 0x20; c < 0x7F; ++c) want(c);
    for (char32_t c = 0x410; c < 0x450; ++c) want(c);
    want(0x401), want(0x451);
    for (char32_t c : decodeUtf8(kNeededFirst)) want(c);
    std::array<std::array<char32_t, 256>, 4> pages;
    for (std::size_t l = 0; l < 4; ++l) pages[l] = codePage(kLanguagePages[l]);
    for (int rank = 0; rank < 3; ++rank)
        for (const auto& page : pages)
            for (char32_t c : page)
                if (dropRank(c) == rank) want(c);

    std::array<GlyphGroup, 2> groups{{{{0, 1, 2, 3}, kSharedCapacity, {}, {}, {}}, {{4}, 160, {}, {}, {}}}};
    for (GlyphGroup& group : groups) {
        std::vector<Bytes> blank, unknown;
        for (int f : group.fonts) {
            const auto& font = kFonts[static_cast<std::size_t>(f)];
            blank.emplace_back(static_cast<std::size_t>((font.width + 7) / 8 * font.height));
            unknown.push_back(pack(font, unknownGlyph(strikes[static_cast<std::size_t>(f)])));
        }
        group.add(blank);
        group.add(unknown);
        for (char32_t c : order) {
            std::vector<Bytes> perFont;
            for (int f : group.fonts) {
                auto grid = strikes[static_cast<std::size_t>(f)].render(c);
                if (!grid) break;
                perFont.push_back(pack(kFonts[static_cast<std::size_t>(f)], *grid));
            }
            group.numberOfChar[c] = perFont.size() == group.fonts.size() ? group.add(perFont) : kUnknownGlyph;
        }
    }

    Bytes file(kFileSize, 0);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const GlyphGroup& group = groups[g];
        for (std::size_t n = 0; n < group.glyphs.size(); ++n) {
            for (std::size_t i = 0; i < group.fonts.size(); ++i) {
                const Bytes& bits = group.glyphs[n][i];
                std::copy(bits.begin(), bits.end(),
                          file.begin() + kFonts[static_cast<std::size_t>(group.fonts[i])].offset + static_cast<long>(n * bits.size()));
            }
        }
        for (std::size_t language = 0; language < 4; ++language) {
            for (std::size_t byte = 0; byte < 256; ++byte) {
                const char32_t c = pages[language][byte];
                file[kGlyphAreaSize + (g * 4 + language) * 256 + byte] =
                    static_cast<std::uint8_t>(c == 0 ? kUnknownGlyph : group.numberOfChar.at(c));
            }
        }
        const auto missing = std::count_if(group.numberOfChar.begin(), group.numberOfChar.end(),
                                           [](const auto& entry) { return entry.second == kUnknownGlyph; });
        std::fprintf(stderr, "fonts %s: %zu of %d glyphs used, %td characters shown as unknown\n",
                     g == 0 ? "1-4" : "5", group.glyphs.size(), group.capacity, missing);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "make-resident-font: cannot write %s\n", output.c_str());
        return 1;
    }
    if (!samplePath.empty()) writeSample(samplePath, file);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-resident-font: %s\n", e.what());
        return 1;
    }
}
