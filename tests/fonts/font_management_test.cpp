// Adding, replacing and removing the label's soft fonts, and what texts in them see.
#include "fonts/font_management.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

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
