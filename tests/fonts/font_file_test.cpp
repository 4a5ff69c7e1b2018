// Label font files written by hand from the byte layout: plain and behind download commands,
// and every way a file can fail to be a font; adding, replacing and removing the label's soft
// fonts, and what texts in them see.
#include "fonts/font_file.h"

#include <gtest/gtest.h>

#include "fonts/font_management.h"
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

Figure& addText(FigureList& figures, int fontNumber) {
    TextRecord text;
    text.font = fontNumber;
    text.data = "\"x\"";
    return figures.appendFigure(text.encode(), FigureKind::Text);
}

int fontOf(const Figure& figure) { return TextRecord::decode(figure.record).font; }

TEST(FontManagement, ChooserTakesOnlyLetters) {
    const std::pair<const char*, std::optional<char>> cases[] = {
        {"b", 'B'}, {"Z", 'Z'}, {"7", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt}};
    for (const auto& [field, letter] : cases) EXPECT_EQ(chosenNewFontLetter(field), letter) << field;
    EXPECT_EQ(chosenListedFontLetter("C  Height=20 Chars=95"), 'C');
}

TEST(FontManagement, SameLetterReplacesTheDataAndTextsNamingTheLetterTakeTheFont) {
    FigureList figures;
    Figure& namingA = addText(figures, 'A');  // read from a form before the label had the font
    Figure& namingC = addText(figures, 'C');
    addNewFont(figures, 'B', font(5, 24));
    addNewFont(figures, 'A', font(3, 16));
    EXPECT_EQ(fontOf(namingA), 7);
    Figure& laterA = addText(figures, 'A');
    addNewFont(figures, 'a', font(7, 30));
    EXPECT_EQ(fontListEntries(figures), (std::vector<std::string>{"B  Height=24 Chars=5", "A  Height=30 Chars=7"}));
    EXPECT_EQ(figures.fontByLetter('A')->fontData, font(7, 30));
    EXPECT_EQ(FontRecord::decode(figures.fontByLetter('A')->record).dataLength, 3u);
    EXPECT_EQ(fontOf(laterA), 7) << "a replaced font keeps its number";
    EXPECT_EQ(fontOf(namingA), 7);
    EXPECT_EQ(fontOf(namingC), 'C');
}

TEST(FontManagement, RemovingRenumbersLaterFontsTexts) {
    FigureList figures;
    addNewFont(figures, 'A', font(1, 10));
    addNewFont(figures, 'B', font(1, 10));
    addNewFont(figures, 'C', font(1, 10));
    Figure& resident = addText(figures, 3);
    Figure& inB = addText(figures, 7);
    Figure& inC = addText(figures, 8);
    Figure& namingD = addText(figures, 'D');  // from a form, its font not in the label yet
    EXPECT_EQ(removeFont(figures, 'A'), std::nullopt);
    EXPECT_EQ(fontOf(resident), 3);
    EXPECT_EQ(fontOf(inB), 6);
    EXPECT_EQ(fontOf(inC), 7);
    EXPECT_EQ(fontOf(namingD), 'D') << "a letter code is no position to shift";
    EXPECT_EQ(fontListEntries(figures).size(), 2u);
    EXPECT_EQ(figures.fontByLetter('A'), nullptr);
}

TEST(FontManagement, FontsInUseAndEmptyListsAreNotRemoved) {
    FigureList figures;
    addNewFont(figures, 'A', font(1, 10));
    addNewFont(figures, 'B', font(1, 10));
    addText(figures, 7);
    addText(figures, 7);
    EXPECT_EQ(removeFont(figures, 'b'), (UserMessage{"Error", "Font (B) used in 2 strings. Can't remove"}));
    EXPECT_EQ(removeFont(figures, 'Q'), std::nullopt);
    EXPECT_EQ(figures.fonts().size(), 2u);
}

}  // namespace
}  // namespace tavrin
