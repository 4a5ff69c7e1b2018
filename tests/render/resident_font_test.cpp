#include "render/resident_font.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_support.h"

namespace tavrin {
namespace {

using test::Bytes;
constexpr std::size_t kMaps = 63488;  // where the map tables start

Bytes bytes(std::span<const std::uint8_t> g) { return Bytes(g.begin(), g.end()); }

// A hand-made file: byte 'A' is glyph 3 in English and glyph 5 in Russian, for fonts 1..4;
// font 5 has its own tables.
class HandMadeFontFile : public ::testing::Test {
protected:
    void SetUp() override {
        const struct { int table; char c; std::uint8_t glyph; } maps[] = {
            {0, 'A', 3}, {2, 'A', 5}, {3, 'A', 7}, {4, 'A', 1},
            {6, 'A', 159},  // font 5's last glyph
            {4, 'B', 160},  // one past font 5's room: beyond the file's glyphs
            {3, 'B', 255}};  // font 4's glyph 255 still lies inside the area
        for (auto m : maps) file[kMaps + static_cast<std::size_t>(m.table * 256 + m.c)] = m.glyph;
        for (std::size_t i = 0; i < 32; ++i) file[2928 + 3 * 32 + i] = static_cast<std::uint8_t>(0xA0 + i);
        file[2928 + 5 * 32] = 0x55;
        file[20496 + 255 * 48] = 0x77;
        file[32768 + 192] = 0x0F;
        file[63488 - 192] = 0xF0;
        fonts.loadFromBytes(file);
    }
    Bytes file = Bytes(65536, 0);
    ResidentFonts fonts;
};

TEST_F(HandMadeFontFile, LanguageChoosesTheTableAndGlyphsPastTheAreaStaySafe) {
    ASSERT_TRUE(fonts.loaded());
    // (font, language) -> glyph of 'A'; language values the setup does not offer read as
    // English, never as font 5's tables.
    for (auto [font, language, glyph] : {std::array{2, 0, 3}, {2, 2, 5}, {1, 1, 0}, {5, 0, 1}, {5, 2, 159}, {2, 4, 3},
                                         {2, -1, 3}, {5, 200, 1}})
        EXPECT_EQ(fonts.glyphNumber(font, language, 'A'), glyph) << font << " " << language;
    const auto english = fonts.glyph(2, 0, 'A');
    ASSERT_EQ(english.size(), 32u);
    EXPECT_EQ((std::array{english[0], english[31], fonts.glyph(2, 2, 'A')[0]}),
              (std::array<std::uint8_t, 3>{0xA0, 0xBF, 0x55}));
    EXPECT_EQ(fonts.glyph(5, 0, 'A').size(), 192u);
    EXPECT_EQ((std::array{fonts.glyph(5, 0, 'A')[0], fonts.glyph(5, 2, 'A')[0], fonts.glyph(4, 3, 'B')[0]}),
              (std::array<std::uint8_t, 3>{0x0F, 0xF0, 0x77}));
    // A glyph number past the area reads blank.
    EXPECT_EQ(bytes(fonts.glyph(5, 0, 'B')), Bytes(192, 0));
    // Font numbers outside 1..5 use font 3's geometry and the first table group.
    EXPECT_EQ(fonts.glyph(9, 0, 'A').size(), 40u);
    EXPECT_EQ(ResidentFonts().glyph(1, 0, 'A').size(), 12u) << "nothing loaded: blank glyph";
}

TEST_F(HandMadeFontFile, LoadUsesWhatAShortFileHasAndKeepsTheFontsWhenItCannotOpen) {
    test::TempDir dir;
    const auto load = [&](const char* name, const Bytes& content) {
        test::writeFile(dir / name, content);
        return fonts.load(dir / name);
    };
    // Cut inside the map area: the tables read so far are used, the rest map to glyph 0.
    ASSERT_EQ(load("cut-maps.fnt", Bytes(file.begin(), file.begin() + 63488 + 256 * 2 + 'A' + 1)), 0);
    EXPECT_EQ((std::array{fonts.glyphNumber(2, 0, 'A'), fonts.glyphNumber(2, 2, 'A'), fonts.glyphNumber(2, 3, 'A')}),
              (std::array{3, 5, 0}));
    // Cut inside the glyph area: no tables at all, glyphs up to the cut.
    ASSERT_EQ(load("cut-glyphs.fnt", Bytes(file.begin(), file.begin() + 3040)), 0);
    ASSERT_EQ(std::tuple(fonts.glyphArea().size(), fonts.mapArea().size()), std::tuple(63488u, 2048u));
    EXPECT_EQ((std::array{fonts.glyphArea()[3024], fonts.glyphArea()[3039], fonts.glyphArea()[3040]}),
              (std::array<std::uint8_t, 3>{0xA0, 0xA0 + 15, 0x00}));
    EXPECT_EQ(fonts.glyphNumber(2, 0, 'A'), 0);
    EXPECT_EQ(load("empty.fnt", Bytes{}), 0);
    EXPECT_EQ(bytes(fonts.glyph(3, 0, 'A')), Bytes(40, 0));
    // Files that cannot be opened leave the fonts as they were.
    fonts.loadFromBytes(file);
    EXPECT_EQ((std::array{fonts.load(dir / "missing.fnt"), fonts.load(dir.path()), fonts.glyphNumber(2, 0, 'A')}),
              (std::array{1, 1, 3}));
    ResidentFonts none;
    EXPECT_EQ(none.load(dir / "missing.fnt"), 1);
    EXPECT_FALSE(none.loaded());
}

// The file shipped with the program: code pages CP850 (English), MIK (Bulgarian) and
// CP866 (Russian); the expected dots are those of the Terminus strikes it is made from.
class ShippedFontFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(fonts.load(std::filesystem::path(TAVRIN_SOURCE_DATA_DIR) / "ZREDIT.FNT"), 0); }
    ResidentFonts fonts;
};

TEST_F(ShippedFontFile, EveryByteMapsInsideItsFontAndTheLanguageSwitchChangesTheGlyph) {
    ASSERT_EQ(std::filesystem::file_size(std::filesystem::path(TAVRIN_SOURCE_DATA_DIR) / "ZREDIT.FNT"), 65536u);
    for (int table = 0; table < 8; ++table)
        for (int c = 0; c < 256; ++c)
            ASSERT_LT(fonts.mapArea()[static_cast<std::size_t>(table * 256 + c)], table < 4 ? 244 : 160)
                << "table " << table << " byte " << c;
    for (int font = 1; font <= 5; ++font) {
        // The space is blank in every font; the fourth language reads like English.
        const auto space = bytes(fonts.glyph(font, 0, ' '));
        EXPECT_EQ(space, Bytes(space.size(), 0)) << "font " << font;
        for (int c = 0; c < 256; ++c)
            ASSERT_EQ(fonts.glyphNumber(font, 3, static_cast<std::uint8_t>(c)),
                      fonts.glyphNumber(font, 0, static_cast<std::uint8_t>(c)));
        // 0x80 is C-cedilla in CP850 and Cyrillic A in CP866 and MIK; Cyrillic A looks like
        // Latin A, so it shares that glyph. Small "er" lies at 0xE0 in CP866 but at 0xB0 in
        // MIK; ASCII is the same in every language.
        EXPECT_NE(bytes(fonts.glyph(font, 0, 0x80)), bytes(fonts.glyph(font, 2, 0x80))) << font;
        EXPECT_EQ(fonts.glyphNumber(font, 2, 0x80), fonts.glyphNumber(font, 0, 'A')) << font;
        EXPECT_EQ(fonts.glyphNumber(font, 1, 0x80), fonts.glyphNumber(font, 0, 'A')) << font;
        EXPECT_EQ(fonts.glyphNumber(font, 2, 0xE0), fonts.glyphNumber(font, 1, 0xB0)) << font;
        EXPECT_EQ(fonts.glyphNumber(font, 1, 'z'), fonts.glyphNumber(font, 0, 'z')) << font;
    }
    // The letter "Be" has no Latin twin and a glyph of its own. "H" in font 1 is the 6 x 12
    // strike one dot in from the left.
    EXPECT_NE(fonts.glyphNumber(3, 2, 0x81), fonts.glyphNumber(3, 0, 'B'));
    EXPECT_EQ(bytes(fonts.glyph(1, 0, 'H')), (Bytes{0, 0, 0x44, 0x44, 0x44, 0x7C, 0x44, 0x44, 0x44, 0x44, 0, 0}));
}

}  // namespace
}  // namespace tavrin
