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

TEST(FontManagement, SameLetterReplacesTheData) {
    FigureList figures;
    addNewFont(figures, 'A', font(3, 16));
    addNewFont(figures, 'B', font(5, 24));
    addNewFont(figures, 'a', font(7, 30));
    EXPECT_EQ(fontListEntries(figures), (std::vector<std::string>{"A  Height=30 Chars=7", "B  Height=24 Chars=5"}));
    EXPECT_EQ(figures.fontByLetter('A')->fontData, font(7, 30));
    EXPECT_EQ(FontRecord::decode(figures.fontByLetter('A')->record).dataLength, 3u);
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

TEST(FontManagement, TextsNamingTheLetterTakeTheAddedFont) {
    FigureList figures;
    addNewFont(figures, 'A', font(1, 10));
    Figure& namingB = addText(figures, 'B');
    Figure& namingC = addText(figures, 'C');
    Figure& inA = addText(figures, 6);
    addNewFont(figures, 'b', font(1, 12));
    EXPECT_EQ(fontOf(namingB), 7);
    EXPECT_EQ(fontOf(namingC), 'C');
    EXPECT_EQ(fontOf(inA), 6);
    // Replacing a font keeps its number, and still resolves texts that name it.
    Figure& laterB = addText(figures, 'B');
    addNewFont(figures, 'B', font(2, 14));
    EXPECT_EQ(fontOf(laterB), 7);
    EXPECT_EQ(fontOf(namingB), 7);
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
