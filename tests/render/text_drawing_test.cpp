// Text data expanded into characters (variables, counters, modifiers, date and time) and
// drawn in the resident and the label's own fonts.
#include "render/text_drawing.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "document/label_document.h"
#include "render/resident_font.h"
#include "render/text_data.h"
#include "support/label_builders.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using Dots = std::vector<std::pair<int, int>>;  // (row, column) of ink in a glyph
using Bytes = std::vector<std::uint8_t>;

Dots block(int row0, int row1, int col0, int col1) {  // rows and columns inclusive
    Dots d;
    for (int r = row0; r <= row1; ++r)
        for (int c = col0; c <= col1; ++c) d.emplace_back(r, c);
    return d;
}

// Hand-made glyphs of the test font file.
const Dots kCorners = {{0, 0}, {0, 1}, {11, 7}};  // font 1 glyph 1: "A" and "B" in English
const Dots kBar = block(0, 11, 3, 3);             // font 1 glyph 2: "I" and "@"
const Dots kRow5 = block(5, 5, 0, 7);             // font 1 glyph 3: "A" in Russian
const Dots kFont3Corners = {{0, 0}, {19, 11}};    // font 3 glyph 1
const Dots kFont3Col7 = block(0, 19, 7, 7);       // font 3 glyph 2: the last bit of byte 0

Bytes makeFontFile() {
    Bytes bytes(ResidentFonts::kFileSize, 0);
    auto put = [&](int offset, int bytesPerRow, int bytesPerGlyph, int glyph, const Dots& dots) {
        for (auto [r, c] : dots)
            bytes[static_cast<std::size_t>(offset + glyph * bytesPerGlyph + r * bytesPerRow + c / 8)] |=
                static_cast<std::uint8_t>(0x80 >> (c % 8));
    };
    put(0, 1, 12, 1, kCorners), put(0, 1, 12, 2, kBar), put(0, 1, 12, 3, kRow5);
    put(10736, 2, 40, 1, kFont3Corners), put(10736, 2, 40, 2, kFont3Col7);
    for (auto [table, c, glyph] : {std::tuple{0, 'A', 1}, {0, 'B', 1}, {0, 'I', 2}, {0, '@', 2}, {2, 'A', 3}})
        bytes[ResidentFonts::kGlyphAreaSize + static_cast<std::size_t>(table * 256 + c)] =
            static_cast<std::uint8_t>(glyph);
    return bytes;
}

// Where one glyph's ink must appear, derived geometrically: each dot is a hMul x vMul block
// one margin unit inside the upright cell; the cell is then turned clockwise about the anchor
// (x, y), with `pen` the pen's distance along the text from the anchor.
void addGlyph(Bitmap& expected, const Dots& dots, int rotation, int hMul, int vMul, int x, int y, int pen) {
    for (auto [r, c] : dots)
        for (int du = 0; du < hMul; ++du)
            for (int dv = 0; dv < vMul; ++dv) {
                const auto [px, py] = test::turnedPoint(rotation, x, y, pen + hMul * (c + 1) + du, vMul * (r + 1) + dv);
                expected.setDot(px, py, true);
            }
}

class TextDrawingTest : public ::testing::Test, protected test::DrawnLabel {
protected:
    TextDrawingTest() : DrawnLabel(200, 160), canvas(200, 160), expected(200, 160) {
        fonts.loadFromBytes(makeFontFile());
        context.residentFonts = &fonts;
    }
    void addSoftFont(char letter, Bytes data) { test::addFont(document, letter, std::move(data)); }
    int draw(int x, int y, int rotation, int font, int hMul, int vMul, int style, std::string_view data) {
        canvas.clear();
        expected.clear();
        return DrawLabelText(canvas, context, x, y, rotation, font, hMul, vMul, style, data);
    }
    // An upright 1 x 1 glyph at (along, y).
    void glyph(const Dots& dots, int along, int y) { addGlyph(expected, dots, 0, 1, 1, along, y, 0); }
    void expectCanvas() {  // lists the first differing dots, + extra, - missing
        std::string differences;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                if (canvas.isInk(x, y) != expected.isInk(x, y) && differences.size() < 200)
                    differences += std::to_string(x) + "," + std::to_string(y) + (canvas.isInk(x, y) ? "+ " : "- ");
        EXPECT_TRUE(canvas == expected) << differences;
    }

    ResidentFonts fonts;
    Bitmap canvas, expected;
};

// Upright 1 x 1 texts at (5, 5): their extent and the glyphs at their pen positions.
TEST_F(TextDrawingTest, AdvanceBoldLanguageAndMalformedData) {
    const struct {
        int normalText, language, font, style;
        const char* data;
        int extent;
        std::vector<std::pair<Dots, int>> glyphs;  // glyph and pen position
    } cases[] = {
        // Normal: cells of 8 + 2 margin dots, each glyph one margin dot in; condensed: 8 apart.
        {1, 0, 1, 0, R"("AB")", 20, {{kCorners, 5}, {kCorners, 15}}},
        {0, 0, 1, 0, R"("AB")", 16, {{kCorners, 5}, {kCorners, 13}}},
        // Bold is one dot wider inside the cell; in a two-byte row the extra dot carries over.
        {1, 0, 1, kStyleBold, R"("I")", 10, {{block(0, 11, 3, 4), 5}}},
        {1, 0, 3, kStyleBold, R"("@")", 14, {{block(0, 19, 7, 8), 5}}},
        // The language chooses the map table: "A" in Russian (in English above).
        {1, 2, 1, 0, R"("A")", 10, {{kRow5, 5}}},
        // A malformed field draws the four-character marker "@@@@".
        {1, 0, 1, 0, "abc", 40, {{kBar, 5}, {kBar, 15}, {kBar, 25}, {kBar, 35}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.data) + " language " + std::to_string(c.language));
        document.setup.normalText = c.normalText, document.setup.language = c.language;
        EXPECT_EQ(draw(5, 5, 0, c.font, 1, 1, c.style, c.data), c.extent);
        for (const auto& [dots, along] : c.glyphs) glyph(dots, along, 5);
        expectCanvas();
    }
    EXPECT_EQ(draw(5, 5, 0, 1, 1, 1, kStyleInverse, ""), 10);  // an empty field is one blank cell
    expected.fillRect(5, 5, 10, 14, FillOp::Ink);
    expectCanvas();
}

TEST_F(TextDrawingTest, InverseShowsTheMultipliedCell) {
    // The whole cell, margins included: (12 + 2) x 2 = 28 wide, (20 + 2) x 3 = 66 high;
    // ink already under a stroke stays, as cells are ANDed on.
    canvas.setDot(12, 14, true);
    EXPECT_EQ(DrawLabelText(canvas, context, 10, 10, 0, 3, 2, 3, kStyleInverse, R"("A")"), 28);
    expected.fillRect(10, 10, 28, 66, FillOp::Ink);
    expected.fillRect(12, 13, 2, 3, FillOp::Blank);  // glyph dot (0, 0)
    expected.fillRect(34, 70, 2, 3, FillOp::Blank);  // glyph dot (19, 11)
    expected.setDot(12, 14, true);
    expectCanvas();
}

TEST_F(TextDrawingTest, RotationsTurnAroundTheAnchor) {
    for (int rotation = 0; rotation < 4; ++rotation) {
        SCOPED_TRACE(rotation);
        const int x = 100, y = 80, hMul = 2, vMul = 3, advance = (8 + 2) * hMul;
        EXPECT_EQ(draw(x, y, rotation, 1, hMul, vMul, 0, R"("AI")"), 2 * advance);
        addGlyph(expected, kCorners, rotation, hMul, vMul, x, y, 0);
        addGlyph(expected, kBar, rotation, hMul, vMul, x, y, advance);
        expectCanvas();
    }
}

TEST_F(TextDrawingTest, SoftFontClosesUpMissingCharacters) {
    // Label font data: count, 0, height, then records of code, width, bytes per row and rows.
    addSoftFont('S', {3, 0, 3, 'a', 3, 1, 0x80, 0x40, 0x20, 'c', 9, 2, 0x80, 0x80, 0x00, 0x00, 0xFF, 0xFF,
                      'a', 4, 1, 0xFF, 0xFF, 0xFF});  // a later duplicate "a": unused
    addSoftFont('T', {1, 0, 2, 'a', 1, 1, 0x80, 0x80});
    // Font 6 is the first Font entry; style is ignored for soft fonts. "b" is missing.
    EXPECT_EQ(draw(10, 20, 0, 6, 2, 1, kStyleInverse, R"("abc")"), (3 + 2) * 2 + (9 + 2) * 2);
    addGlyph(expected, {{0, 0}, {1, 1}, {2, 2}}, 0, 2, 1, 10, 20, 0);
    Dots c = block(2, 2, 0, 15);  // the whole stored row, beyond the width
    c.insert(c.end(), {{0, 0}, {0, 8}});
    addGlyph(expected, c, 0, 2, 1, 10, 20, 10);
    expectCanvas();
    // Font 7 is the second entry, found by its letter.
    EXPECT_EQ(draw(10, 20, 1, 7, 1, 1, 0, R"("a")"), 3);
    addGlyph(expected, {{0, 0}, {1, 0}}, 1, 1, 1, 10, 20, 0);
    expectCanvas();
    // No such Font entry: nothing drawn.
    EXPECT_EQ(draw(10, 20, 0, 8, 1, 1, 0, R"("a")"), 0);
    EXPECT_EQ(canvas.countInk(), 0);
}

TEST_F(TextDrawingTest, DamagedSoftFontNeverReadsPastItsData) {
    // The second record claims more rows than remain; the count claims five records.
    addSoftFont('D', {5, 0, 2, 'a', 2, 1, 0xC0, 0xC0, 'b', 8, 40, 0x00});
    EXPECT_EQ(draw(10, 20, 0, 6, 1, 1, 0, R"("ab")"), 4);
    glyph(block(0, 1, 0, 1), 10, 20);
    expectCanvas();
    // A record too wide for the glyph buffer (1600 dots > 508) moves the pen but is not drawn;
    // a zero height font draws nothing at all.
    Bytes wide = {2, 0, 1, 'w', 250, 200};
    wide.resize(wide.size() + 200, 0xFF);
    wide.insert(wide.end(), {'a', 2, 1, 0xC0});
    addSoftFont('W', wide);
    addSoftFont('Z', {1, 0, 0, 'a', 5, 1});
    EXPECT_EQ(draw(0, 100, 0, 7, 1, 1, 0, R"("wa")"), 252 + 4);
    glyph({{0, 0}, {0, 1}}, 252, 100);  // off the canvas: clipped
    expectCanvas();
    EXPECT_EQ(DrawLabelText(canvas, context, 0, 100, 0, 8, 9, 9, 0, R"("aaa")"), 3 * 7 * 9);
    expectCanvas();
}

TEST_F(TextDrawingTest, CaptionSpacingIgnoresTheTextType) {
    document.setup.normalText = 0;
    DrawCaptionText(canvas, context, 10, 30, 0, 3, 3, "AA");
    glyph(kFont3Corners, 10, 30), glyph(kFont3Corners, 10 + 17, 30);
    expectCanvas();
    canvas.clear();  // anything but 3 selects font 4, whose "A" is blank in this font file
    DrawCaptionText(canvas, context, 10, 30, 0, 1, 0, "AA");
    EXPECT_EQ(canvas.countInk(), 0);
}

TEST_F(TextDrawingTest, PrinterOutputHandsOverEachGlyph) {
    addSoftFont('S', {2, 0, 2, 'a', 8, 1, 0x81, 0x00, 'b', 3, 1, 0x00, 0xE0});
    std::vector<GlyphRaster> rasters;
    std::vector<Bytes> rows;
    const auto collect = [&](const GlyphRaster& g) {
        rasters.push_back(g);
        rows.emplace_back(g.data.begin(), g.data.end());
    };
    const auto shape = [](const GlyphRaster& g) {
        return std::array{g.x, g.y, g.bytesPerRow, g.rows, g.verticalRepeat};
    };
    EXPECT_EQ(DrawLabelTextToPrinter(context, 20, 30, 0, 6, 2, 3, 0, R"("ab")", collect), 20 + 10);
    ASSERT_EQ(rasters.size(), 2u);
    // Two blank margin dots, then 16 glyph dots: 18 dots in 3 bytes, 0 bits print.
    EXPECT_EQ(shape(rasters[0]), (std::array{20, 30, 3, 2, 3}));
    EXPECT_EQ(rows[0], (Bytes{0xCF, 0xFF, 0x3F, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(rasters[1].x, 40);
    EXPECT_EQ(rows[1], (Bytes{0xFF, 0xFF, 0xFF, 0xC0, 0xFF, 0xFF}));
    // Rotated a quarter turn the rows are the glyph's columns, repeated by hMul, each listed
    // from the bottom glyph row up: row 1 of "b" has ink in columns 0..2.
    rasters.clear(), rows.clear();
    DrawLabelTextToPrinter(context, 100, 30, 1, 6, 2, 1, 0, R"("b")", collect);
    ASSERT_EQ(rasters.size(), 1u);
    EXPECT_EQ(shape(rasters[0]), (std::array{100 - 4 + 1, 30, 1, 8, 2}));
    EXPECT_EQ(rows[0], (Bytes{0xBF, 0xBF, 0xBF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    // A text off the label is culled as when drawing; nothing reaches the printer.
    rasters.clear();
    DrawLabelTextToPrinter(context, 20, 161, 0, 6, 1, 1, 0, R"("ab")", collect);
    DrawLabelTextToPrinter(context, 201, 30, 0, 6, 1, 1, 0, R"("ab")", collect);
    EXPECT_TRUE(rasters.empty());
}

// The resident font file: its map tables by language, and short or missing files.
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

TEST_F(ShippedFontFile, TheLanguageSwitchChangesTheGlyph) {
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
    // The letter "Be" has no Latin twin and a glyph of its own.
    EXPECT_NE(fonts.glyphNumber(3, 2, 0x81), fonts.glyphNumber(3, 0, 'B'));
}


class TextDataTest : public ::testing::Test {
protected:
    TextDataTest() {
        context.document = &document;
        context.now = [] {  // Wednesday 5 March 2003, 14:07:09
            std::tm t{};
            t.tm_year = 103, t.tm_mon = 2, t.tm_mday = 5, t.tm_hour = 14, t.tm_min = 7, t.tm_sec = 9;
            return t;
        };
        // Variable slots: value, length, justification and pad character.
        const struct { int n; std::string_view value; int length, justify = kJustifyNone; char pad = ' '; } slots[] = {
            {0, "42", 5, kJustifyRight, '0'}, {1, "ab", 6, kJustifyCentre, '*'}, {2, "ab", 5, kJustifyCentre, '*'},
            {3, "ab", 4, kJustifyLeft, '-'}, {4, "abcdef", 4, kJustifyNone, '-'}, {5, "ab", 4, kJustifyNone, '-'},
            {6, "ab", 4, kJustifyNone, '-'}, {7, "7", 3, kJustifyRight, '\0'}, {8, "ABCDEF", 6}, {9, "AAB", 3},
            {10, "xx12xx", 6}, {11, "  12  ", 6}, {12, "000120", 6}, {13, "000", 3}, {14, "00.50", 5}, {15, "30", 2},
            {16, "ABC", 3}, {17, "3601", 4}};
        for (const auto& s : slots)
            document.variables[static_cast<std::size_t>(s.n)] =
                test::makeSlot(s.length, s.justify, s.pad, "", std::string(s.value));
        document.variables[6].defined = 0;  // a slot not marked defined is still read
        document.counters[3] = test::makeSlot(4, kJustifyRight, '0', "", "0009");
    }

    void expectExpansions(std::initializer_list<std::pair<std::string_view, std::string_view>> cases) {
        for (auto [data, expected] : cases) {
            std::string out = "stale";
            EXPECT_TRUE(ExpandTextData(data, context, out)) << data;
            EXPECT_EQ(out, expected) << data;
        }
    }

    LabelDocument document;
    RenderContext context;
};

TEST_F(TextDataTest, QuotedPartsVariablesCountersModifiersDateAndTime) {
    expectExpansions({
        {R"("Text")", "Text"}, {R"("a\"b\\c""d")", "a\"b\\cd"}, {"", ""},
        // Variables, justified and padded to their length; centred (5 - 2) / 2 rounded down;
        // without justification cut to the length but not padded; a zero pad byte pads blanks.
        {R"("Lot "V0)", "Lot 00042"}, {"V1", "**ab**"}, {"V2", "*ab**"}, {"V3", "ab--"}, {"V4", "abcd"}, {"V5", "ab"},
        {"V6", "ab"}, {"V7", "  7"},
        // Counters with offsets, cut to the field length (10009 -> 1000).
        {"C3", "0009"}, {"C3+1", "0010"}, {"C3-10", "00-1"}, {"C3+10000", "1000"},
        // Modifiers, applied in the order written.
        {"V8M2.3", "BCD"}, {"V8R2", "EF"}, {"V8L2", "AB"}, {"V8L9R9", "ABCDEF"}, {"V8M6.4", "F"}, {"V8M7.1", ""},
        {"V8M0.0", "A"}, {"V8L4R2", "CD"}, {"V9XA-", "--B"}, {"V10>x<x", "12"}, {"V11<", "  12"}, {"V11>", "12  "},
        {"V12#", "120"}, {"V13#", "0"}, {"V14#", "0.50"},
        // Date and time, with day offsets across the month and the year.
        {"TD", "05-03-2003"}, {"Td+1", "06-03-2003"}, {"TD+27", "01-04-2003"}, {"TD-5", "28-02-2003"},
        {"TD-64", "31-12-2002"}, {"TD+3600", "11-01-2013"}, {"TT", "14:07:09"}, {"Tt", "14:07:09"},
        {"TD+V15", "04-04-2003"}, {"TD-V15", "03-02-2003"},
        // Limits themselves are accepted.
        {"V31C7", ""}});
    document.setup.dateFormat = "Y2/ME/DD";
    expectExpansions({{"TD", "03/MAR/05"}});
    document.setup.dateFormat = "MN";
    document.setup.timeFormat = "H.M";
    expectExpansions({{"TD", "03"}, {"TT", "14.07"}, {"TTR2", "07"}, {R"("at "TT" on "TDL2)", "at 14.07 on 03"}});
}

TEST_F(TextDataTest, MalformedFieldsShowTheMarker) {
    for (std::string_view data :
         {"abc", "v0", "V0 V0", R"("abc" "d")", "V32", "C8", "V16+10001", "V16+99999", "TD+4000", "TD+3601", "TD+V17",
          "TD+V32", R"("open)", R"("ends in escape\)", "V16M2", "V16X", "V16XA", "TX", "T", "V16Q", R"("a"L2)", "#"}) {
        std::string out = "stale";
        EXPECT_FALSE(ExpandTextData(data, context, out)) << data;
        EXPECT_EQ(out, "@@@@") << data;
        // The dialogs' check reads no slot values: only TD+V17 fails by the value it finds.
        EXPECT_EQ(textDataProblem(data).has_value(), data != "TD+V17") << data;
    }
}

TEST_F(TextDataTest, ProblemsAreNamedBeforeTheLabelShowsThem) {
    const std::pair<std::string_view, std::optional<std::string>> cases[] = {
        {R"("Hello"V01TD+3TT)", std::nullopt},
        {"", std::nullopt},
        {R"("open)", "The closing quote is missing"},
        {R"("ends in escape\)", "The closing quote is missing"},
        {R"("ab"V01 x)", "Not readable from character 8"},
        {R"("ab"L2)", "Not readable from character 5"},
        {"V32", "Not readable from character 1"},
    };
    for (const auto& [data, problem] : cases) EXPECT_EQ(textDataProblem(data), problem) << data;
}

TEST_F(TextDataTest, LongExpansionIsCutAtTheBufferSize) {
    Variable& v = document.variables[0];
    v.setValue(std::string(63, 'x'));
    v.length = 200, v.justification = kJustifyLeft, v.padChar = '.';
    std::string out;
    EXPECT_TRUE(ExpandTextData("V0V0", context, out));
    EXPECT_EQ(out, std::string(63, 'x') + std::string(111 - 63, '.'));  // cut at 111 characters
}

}  // namespace
}  // namespace tavrin
