// Label font files written by hand from the byte layout: plain and behind download commands,
// and every way a file can fail to be a font; adding, replacing and removing the label's soft
// fonts, and what texts in them see.
#include "fonts/font_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fonts/font_catalogue.h"
#include "fonts/font_management.h"
#include "fonts/font_preview.h"
#include "fonts/font_rasteriser.h"
#include "support/label_builders.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using test::Bytes;
using test::ByteBuilder;

// charCount, 0, height, then the records (code, width, bytesPerRow, bitmap).
Bytes threeRecordFont() {
    ByteBuilder b;
    b.u8(3).u8(0).u8(16);
    for (const unsigned code : {'A', 'B', 'C'}) {
        b.u8(code).u8(9).u8(2);
        for (int row = 0; row < 16; ++row) b.u8(0xFF).u8(0x80);
    }
    return b.get();
}

TEST(FontFile, PlainFileLoadsAsItStandsMissingAndOversizedOnesDoNot) {
    test::TempDir dir;
    test::writeFile(dir / "plain.qft", threeRecordFont());
    Bytes font;
    ASSERT_TRUE(readFontFile(dir / "plain.qft", font));
    EXPECT_EQ(font, threeRecordFont());
    EXPECT_TRUE(checkFontData(font));
    EXPECT_EQ(readFontFile(dir.path(), font).message(), "Can't open input file");
    test::writeFile(dir / "big.qft", Bytes(200000, 0));
    EXPECT_EQ(readFontFile(dir / "big.qft", font).message(), "Invalid font file");
}

TEST(FontFile, DownloadCommandsAreSkipped) {
    Bytes font;
    ASSERT_TRUE(decodeFontFile(ByteBuilder().text("EK\"A\"\r\nES\"A\"").bytes(threeRecordFont()).get(), font));
    EXPECT_EQ(font, threeRecordFont());
    // Only ES without EK is not a command stream: the bytes are read as they stand.
    EXPECT_FALSE(decodeFontFile(ByteBuilder().text("ES\"A\"").bytes(threeRecordFont()).get(), font));
}

TEST(FontFile, DamagedOrHostileDataIsRefused) {
    const Bytes good = threeRecordFont();
    const auto patched = [&](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"two bytes", {0, 0}},
        {"second byte", patched(1, 1)},
        {"cut", Bytes(good.begin(), good.end() - 1)},  // last bitmap one byte short
        {"count", patched(0, 4)},                       // a fourth record that is not there
        {"bytes per row", patched(3 + 2, 200)},         // bytesPerRow x height beyond the file
        {"height", patched(2, 255)},
        {"header cut", {3, 0, 16, 'A', 9}},             // a record header cut in two
        {"too long", Bytes(kFontDataLimit, 0)},         // one byte over the limit
        {"commands cut", ByteBuilder().text("EK\"A\"\r\nES\"A").get()}};  // no closing quote, no data
    for (const auto& [what, bytes] : cases) {
        Bytes font = {7};
        const Result r = decodeFontFile(bytes, font);
        EXPECT_EQ(r.kind(), FailureKind::Damaged) << what;
        EXPECT_EQ(r.message(), "Invalid font file") << what;
        EXPECT_EQ(font, Bytes{7}) << what;  // untouched
    }
    // The largest sound size, and bytes after the last record, are accepted.
    Bytes font;
    EXPECT_TRUE(decodeFontFile(Bytes(kFontDataLimit - 1, 0), font));
    Bytes trailing = good;
    trailing.push_back('\r');
    EXPECT_TRUE(decodeFontFile(trailing, font));
}

std::vector<std::uint8_t> font(std::uint8_t count, std::uint8_t height) { return {count, 0, height}; }

Figure& addText(LabelDocument& label, int fontNumber) { return test::addText(label, 0, 0, fontNumber, 0, "\"x\""); }

int fontOf(const Figure& figure) { return TextRecord::decode(figure.record).font; }

TEST(FontManagement, SameLetterReplacesTheDataAndTextsNamingTheLetterTakeTheFont) {
    LabelDocument label;
    FigureList& figures = label.figures;
    Figure& namingA = addText(label, 'A');  // read from a form before the label had the font
    Figure& namingC = addText(label, 'C');
    addNewFont(figures, 'B', font(5, 24));
    addNewFont(figures, 'A', font(3, 16));
    EXPECT_EQ(fontOf(namingA), 7);
    Figure& laterA = addText(label, 'A');
    addNewFont(figures, 'a', font(7, 30));
    EXPECT_EQ(fontListEntries(figures), (std::vector<std::string>{"B  Height=24 Chars=5", "A  Height=30 Chars=7"}));
    EXPECT_EQ(figures.fontByLetter('A')->fontData, font(7, 30));
    EXPECT_EQ(FontRecord::decode(figures.fontByLetter('A')->record).dataLength, 3u);
    EXPECT_EQ(fontOf(laterA), 7) << "a replaced font keeps its number";
    EXPECT_EQ(fontOf(namingA), 7);
    EXPECT_EQ(fontOf(namingC), 'C');
}

TEST(FontManagement, RemovingRenumbersLaterFontsTexts) {
    LabelDocument label;
    FigureList& figures = label.figures;
    addNewFont(figures, 'A', font(1, 10));
    addNewFont(figures, 'B', font(1, 10));
    addNewFont(figures, 'C', font(1, 10));
    Figure& resident = addText(label, 3);
    Figure& inB = addText(label, 7);
    Figure& inC = addText(label, 8);
    Figure& namingD = addText(label, 'D');  // from a form, its font not in the label yet
    EXPECT_EQ(removeFont(figures, 'A'), std::nullopt);
    EXPECT_EQ(fontOf(resident), 3);
    EXPECT_EQ(fontOf(inB), 6);
    EXPECT_EQ(fontOf(inC), 7);
    EXPECT_EQ(fontOf(namingD), 'D') << "a letter code is no position to shift";
    EXPECT_EQ(fontListEntries(figures).size(), 2u);
    EXPECT_EQ(figures.fontByLetter('A'), nullptr);
}

TEST(FontManagement, FontsInUseAndEmptyListsAreNotRemoved) {
    LabelDocument label;
    FigureList& figures = label.figures;
    addNewFont(figures, 'A', font(1, 10));
    addNewFont(figures, 'B', font(1, 10));
    addText(label, 7);
    addText(label, 7);
    EXPECT_EQ(removeFont(figures, 'b'), (UserMessage{"Error", "Font (B) used in 2 strings. Can't remove"}));
    EXPECT_EQ(removeFont(figures, 'Q'), std::nullopt);
    EXPECT_EQ(figures.fonts().size(), 2u);
}

// The font converter without its window: the scripts of installed fonts and the code pages
// behind them (the Debian DejaVu fonts, fonts-dejavu-core, cover Western, Cyrillic and Greek);
// the rasteriser against FreeType itself (the same glyph rendered directly here must land in
// our cell bit for bit), its trimming, statistics, limits and the file's bytes; and what the
// converter window's tests do not reach of the target table (clearing, copying everything,
// the 20-step undo).
constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::optional<GlyphSource> openFont(const char* familyOrPath, const char* script) {
    std::string error;
    return GlyphSource::open(familyOrPath, 0, *scriptByName(script), error);
}

// DejaVu (fonts-dejavu-core) in the given script; every test here skips without it.
class FontRasteriser : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kDejaVu)) GTEST_SKIP() << "DejaVu Sans is not installed";
    }
    static GlyphSource dejaVu(const char* script) { return *openFont(kDejaVu, script); }
};

CharacterTable::Cells cellsWith(std::initializer_list<std::pair<int, int>> codeAndSource) {
    CharacterTable::Cells cells{};
    for (auto [code, source] : codeAndSource) cells[static_cast<std::size_t>(code - kTableFirstCode)] = static_cast<std::uint8_t>(source);
    return cells;
}

bool inkAt(const RasterGlyph& g, int row, int column) {
    if (row < 0 || column < 0 || column >= g.bitmapWidth) return false;
    const std::size_t at = static_cast<std::size_t>(row * g.bytesPerRow() + column / 8);
    return at < g.rows.size() && (g.rows[at] & (0x80 >> (column % 8))) != 0;
}

TEST_F(FontRasteriser, CellsEqualFreeTypesOwnGlyphs) {
    const struct {
        const char* script;
        int source;  // code in the script
        char32_t unicode;
        int size;
        double width;
    } cases[] = {
        {"Western", 'A', U'A', 20, 1.0},        {"Western", 'g', U'g', 33, 0.5},
        {"Cyrillic", 0xC6, U'\u0416', 20, 1.5}, {"Greek", 0xD9, U'\u03A9', 48, 2.0},
        {"Greek", 0xE2, U'\u03B2', 12, 1.0},
    };
    for (const auto& c : cases) {
        auto font = openFont(kDejaVu, c.script);
        RasterSettings settings;
        settings.size = c.size;
        settings.widthCorrection = c.width;
        const RasterFont r = rasteriseFont(*font, cellsWith({{0x41, c.source}}), settings);
        ASSERT_EQ(r.glyphs.size(), 1u);
        const RasterGlyph& g = r.glyphs[0];

        FT_Face face = font->face();
        FT_Set_Char_Size(face, 0, c.size * 64, 96, 96);
        FT_Matrix matrix{static_cast<FT_Fixed>(c.width * 65536), 0, 0, 0x10000};
        FT_Set_Transform(face, &matrix, nullptr);
        ASSERT_EQ(FT_Load_Char(face, c.unicode, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP | FT_LOAD_RENDER |
                                                     FT_LOAD_MONOCHROME), 0);
        FT_Set_Transform(face, nullptr, nullptr);
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        const int x0 = r.leftShift + face->glyph->bitmap_left, y0 = r.ascent - face->glyph->bitmap_top;
        int ours = 0, theirs = 0, differ = 0;
        for (int row = 0; row < r.lineHeight; ++row)
            for (int column = 0; column < g.bitmapWidth; ++column) ours += inkAt(g, row, column);
        for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
            for (int column = 0; column < static_cast<int>(bitmap.width); ++column) {
                const bool ink = (bitmap.buffer[row * bitmap.pitch + column / 8] & (0x80 >> (column % 8))) != 0;
                theirs += ink;
                differ += ink != inkAt(g, y0 + row, x0 + column);
            }
        }
        EXPECT_GT(theirs, 0) << c.script << " " << c.source;
        EXPECT_EQ(differ, 0) << c.script << " " << c.source;
        EXPECT_EQ(ours, theirs) << c.script << " " << c.source;
        EXPECT_EQ(g.advance, static_cast<int>((face->glyph->advance.x + 32) >> 6));
        EXPECT_EQ(g.bitmapWidth, static_cast<int>(bitmap.width) + face->glyph->bitmap_left + r.leftShift);
    }
}

TEST_F(FontRasteriser, GlyphsLeftOfTheirOriginShiftEveryCell) {
    const auto italic = openFont("/usr/share/fonts/truetype/dejavu/DejaVuSerif-Italic.ttf", "Western");
    if (!italic) GTEST_SKIP() << "DejaVu Serif Italic is not installed";
    const RasterFont r = rasteriseFont(*italic, cellsWith({{'j', 'j'}, {'l', 'l'}}), {});
    const RasterGlyph& j = r.glyphs[0];
    ASSERT_LT(j.originX, 0);
    EXPECT_EQ(r.leftShift, -std::min(j.originX, r.glyphs[1].originX));
    for (const RasterGlyph& g : r.glyphs) {
        EXPECT_EQ(g.bitmapWidth, g.boxWidth + g.originX + r.leftShift);
        int leftmost = g.bitmapWidth;
        for (int row = 0; row < r.lineHeight; ++row)
            for (int column = 0; column < g.bitmapWidth; ++column)
                if (inkAt(g, row, column)) leftmost = std::min(leftmost, column);
        EXPECT_EQ(leftmost, r.leftShift + g.originX);
    }
}

// The width slider's two slopes meet at 10; the trim limits and the smallest size are the
// converter window's test.
TEST(RasterSettings, WidthSliderAndLargestSize) {
    for (auto [position, width] : {std::pair{0, 0.5}, {10, 1.0}, {20, 2.0}})
        EXPECT_DOUBLE_EQ(widthCorrectionAt(position), width) << position;
    EXPECT_EQ(clampFontSize(300), 240);
}

TEST_F(FontRasteriser, AutoTrimAndStatisticsMatchTheFile) {
    const GlyphSource font = dejaVu("Western");
    CharacterTable table;
    for (int code = 32; code < 127; ++code) table.copyFromSource({code / 32 - 1, code % 32});
    RasterSettings settings;
    settings.autoTrim = true;
    settings.space = 3;
    const RasterFont r = rasteriseFont(font, table.cells(), settings);
    EXPECT_EQ(r.characters, 95);
    EXPECT_EQ(r.topRemove, r.topFree);
    EXPECT_EQ(r.bottomRemove, r.bottomFree);
    EXPECT_EQ(r.height, r.lineHeight - r.topFree - r.bottomFree);
    EXPECT_GT(r.topFree, 0);  // accents stand above the letters, but not up to the cell's top

    const auto bytes = encodeLabelFont(r);
    EXPECT_EQ(bytes.size(), r.bytes);
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 3)),
              (std::vector<std::uint8_t>{95, 0, static_cast<std::uint8_t>(r.height)}));
    EXPECT_TRUE(checkFontData(bytes));
    EXPECT_EQ(bytes[3], ' ');
    EXPECT_EQ(bytes[4], r.glyphs[0].advance);
    EXPECT_GE(r.glyphs[0].advance, 3 + 2);

    test::TempDir dir;
    ASSERT_EQ(saveLabelFont(dir / "out.qft", r), "");
    std::vector<std::uint8_t> read;
    ASSERT_TRUE(readFontFile(dir / "out.qft", read));
    EXPECT_EQ(read, bytes);
}

// Hinting can lift a capital's accent a row above the cell (DejaVu Serif's Cyrillic Short I
// at 48 pt); the automatic trim must still keep every row that has ink.
TEST_F(FontRasteriser, AutoTrimNeverCutsInk) {
    for (const char* family : {"DejaVu Serif", "DejaVu Sans"}) {
        auto font = openFont(family, "Cyrillic");
        if (!font) GTEST_SKIP() << family << " is not installed";
        CharacterTable table;
        table.copyAll();
        for (int size : {20, 48, 72}) {
            RasterSettings settings;
            settings.size = size;
            settings.autoTrim = true;
            const RasterFont r = rasteriseFont(*font, table.cells(), settings);
            for (const RasterGlyph& g : r.glyphs) {
                if (g.source == 0) continue;
                for (int row = 0; row < r.lineHeight; ++row) {
                    if (row >= r.topRemove && row < r.lineHeight - r.bottomRemove) continue;
                    for (int column = 0; column < g.bitmapWidth; ++column)
                        ASSERT_FALSE(inkAt(g, row, column)) << family << " " << size << " pt, code " << g.code << " row " << row;
                }
            }
        }
    }
}

// Blank characters trim to about half the line; a manual trim keeps a row; missing glyphs are
// left out; the limits refuse in their order.
TEST_F(FontRasteriser, TrimsAndLimits) {
    RasterSettings settings;
    settings.autoTrim = true;
    const RasterFont blank = rasteriseFont(dejaVu("Western"), cellsWith({{32, ' '}, {0xA0, 0xA0}}), settings);
    EXPECT_EQ(std::tuple(blank.topRemove, blank.bottomRemove), std::tuple(blank.lineHeight / 2 - 2, blank.lineHeight / 2 - 1));
    EXPECT_GE(blank.height, 1);

    settings = {};
    settings.topRemove = 500;
    settings.bottomRemove = 500;
    const RasterFont greek = rasteriseFont(dejaVu("Greek"), cellsWith({{0x41, 0xD9}, {0x42, 0xAA}}), settings);
    // 0xAA has no character in the Greek page.
    EXPECT_EQ(std::tuple(greek.height, greek.characters, encodeLabelFont(greek)[0]), std::tuple(1, 1, 1));

    const GlyphSource font = dejaVu("Western");
    settings = {};
    settings.size = 240;
    settings.topRemove = 150;
    const RasterFont wide = rasteriseFont(font, cellsWith({{'W', 'W'}}), settings);
    EXPECT_EQ(checkFontLimits(wide), "There are symbols wider than 248 pixels");
    CharacterTable all;
    all.copyAll();
    const RasterFont big = rasteriseFont(font, all.cells(), settings);
    EXPECT_EQ(checkFontLimits(big), "File too big");
    test::TempDir dir;
    EXPECT_EQ(saveLabelFont(dir / "big.qft", big), "File too big");
    EXPECT_FALSE(std::filesystem::exists(dir / "big.qft"));
    EXPECT_EQ(saveLabelFont(dir / "no" / "such" / "dir.qft", rasteriseFont(font, cellsWith({{'i', 'i'}}), {})),
              "Can't open output file");
}

TEST_F(FontRasteriser, PreviewWrapsLinesAndShowsEveryGlyphWhole) {
    CharacterTable table;
    table.copyAll();
    RasterSettings settings;
    settings.topRemove = 4;
    const RasterFont r = rasteriseFont(dejaVu("Cyrillic"), table.cells(), settings);
    const FontPreview preview = drawFontPreview(r, 400);
    ASSERT_GT(preview.guides.size(), 3u);
    EXPECT_EQ(preview.guides[1].keptTop - preview.guides[0].keptTop, r.lineHeight);
    EXPECT_EQ(preview.guides[0].keptTop, 24 + 4);
    int cellInk = 0, previewInk = 0;
    for (const RasterGlyph& g : r.glyphs)
        for (int row = 0; row < r.lineHeight; ++row)
            for (int column = 0; column < g.bitmapWidth; ++column) cellInk += inkAt(g, row, column);
    for (int y = 0; y < preview.height; ++y)
        for (int x = 0; x < preview.width; ++x) previewInk += preview.inkAt(x, y);
    EXPECT_EQ(previewInk, cellInk);  // nothing clipped, nothing overlapping
    for (int y = 0; y < preview.height; ++y) EXPECT_FALSE(preview.inkAt(preview.width - 24, y));
}

TEST(CharacterTable, ClearAndCopyAll) {
    CharacterTable table;
    table.copyAll();
    EXPECT_EQ(table.filledCount(), kTableCells);
    table.clear();
    EXPECT_EQ(table.filledCount(), 0);
}

TEST(CharacterTable, AtMostNineteenStepsCanBeUndone) {
    CharacterTable table;
    for (int i = 0; i < 30; ++i) table.copyFromSource({i / kTableColumns, i % kTableColumns});
    int steps = 0;
    while (table.undo()) ++steps;
    EXPECT_EQ(steps, kUndoDepth - 1);
    EXPECT_EQ(table.filledCount(), 30 - 19);  // the oldest states were dropped
}

std::vector<std::string> names(const std::vector<const ScriptInfo*>& scripts) {
    std::vector<std::string> out;
    for (const ScriptInfo* s : scripts) out.emplace_back(s->name);
    return out;
}

// The mappings themselves are iconv's, used end to end by the rasteriser's tests; ours are
// the bytes left out: controls, and those a page does not define.
TEST(FontCatalogue, CodePagesLeaveOutControlsAndUndefinedBytes) {
    const struct {
        const char* codePage;
        int byte;
        char32_t unicode;
    } cases[] = {{"CP1253", 0xAA, 0}, {"CP1252", 0x1F, 0}, {"CP1252", 0x20, U' '}};
    for (const auto& c : cases) {
        const auto table = codePageToUnicode(c.codePage);
        ASSERT_TRUE(table) << c.codePage;
        EXPECT_EQ((*table)[static_cast<std::size_t>(c.byte)], c.unicode) << c.codePage << " " << c.byte;
    }
    EXPECT_FALSE(codePageToUnicode("NO-SUCH-PAGE"));
}

TEST(FontCatalogue, ScriptsOfAFamilyInListOrder) {
    const auto families = scalableFontFamilies();
    if (std::find(families.begin(), families.end(), "DejaVu Sans") == families.end())
        GTEST_SKIP() << "DejaVu Sans is not installed";
    EXPECT_TRUE(std::is_sorted(families.begin(), families.end()));
    // The scripts come in the list's order; which ones DejaVu covers is its own business.
    const auto scripts = names(familyScripts("DejaVu Sans"));
    ASSERT_GE(scripts.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(scripts.begin(), scripts.begin() + 2),
              (std::vector<std::string>{"Western", "Cyrillic"}));
    EXPECT_EQ(names(fontFileScripts(kDejaVu)), scripts);
    EXPECT_TRUE(familyScripts("No Such Family At All").empty());
    // A script the font lacks, and a file that is not there, open nothing; the glyphs a
    // source finds are compared with FreeType's own in the rasteriser's tests.
    std::string error;
    EXPECT_FALSE(GlyphSource::open("DejaVu Sans", 0, *scriptByName("Symbol"), error));
    EXPECT_FALSE(GlyphSource::open("/no/such/font.ttf", 0, *scriptByName("Western"), error));
}

}  // namespace
}  // namespace tavrin
