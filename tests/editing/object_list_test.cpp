// The Object List's rows and its reordering, on a figure list with fonts among the figures.
#include <gtest/gtest.h>

#include "editing/object_list.h"

namespace tavrin {
namespace {

Figure& addFont(FigureList& figures, char letter) {
    FontRecord font;
    font.charCount = 1, font.height = 20, font.letter = letter;
    return figures.appendFigure(font.encode(), FigureKind::Font);
}

TEST(ObjectList, RowsDescribeEveryKindAndSkipFonts) {
    FigureList figures;
    addFont(figures, 'A');
    addFont(figures, 'Q');
    const TextRecord soft{.x = -5, .y = 9, .hMul = 2, .vMul = 3, .font = 7, .rotation = 2, .data = "Hi"};
    figures.appendFigure(soft.encode(), FigureKind::Text);
    figures.appendFigure(TextRecord{.font = 6, .data = ""}.encode(), FigureKind::Text);
    const BarcodeRecord barcode{.type = 8, .x = 3, .y = 4, .rotation = 3, .data = "123456789012"};
    figures.appendFigure(barcode.encode(), FigureKind::Barcode);
    figures.appendFigure(BoxRecord{50, 5, 10, 45, 1}.encode(), FigureKind::Box);
    PictureRecord picture{7, 8, 40, 20, 99, "LOGO"};
    figures.appendFigure(picture.encode(), FigureKind::Picture).flags = kFlagSelected;

    const std::vector<Figure*> listed = listedFigures(figures);
    ASSERT_EQ(listed.size(), 5u);
    using Cells = std::array<std::string, 7>;
    const Cells expected[] = {
        {" 1", "", "Text  (Loadable font Q, Multiplied 2x3)", "-5", "9", "180 deg", "Hi"},
        {" 2", "", "Text  (Loadable font A)", "0", "0", "None", ""},
        {" 3", "", "Barcode  EAN 13", "3", "4", "270 deg", "123456789012"},
        {" 4", "", "Box  (Size 40x40)", "10", "5", "", ""},
        {" 5", "#", "Picture  \"LOGO\"  (Size 40x20)", "7", "8", "", ""},
    };
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const ObjectListRow row = objectListRow(*listed[i], static_cast<int>(i) + 1, figures);
        EXPECT_EQ(row.cells, expected[i]) << "row " << i + 1;
        EXPECT_EQ(row.textData, i < 2);
    }
}

TEST(ObjectList, MovingExchangesWholeFiguresAndStopsAtTheEnds) {
    FigureList figures;
    figures.appendFigure(RectangleRecord{1, 1, 5, 5, kColourBlack}.encode(), FigureKind::Rectangle);
    addFont(figures, 'A');
    Figure& picture = figures.appendFigure(PictureRecord{2, 2, 8, 1, 4, "P"}.encode(), FigureKind::Picture);
    picture.picture = std::make_shared<PictureBlock>(PictureBlock{{1, 2, 0xC1, 0xFF}});
    picture.flags = kFlagSelected;

    EXPECT_FALSE(moveListedFigure(figures, 1, -1));
    EXPECT_FALSE(moveListedFigure(figures, 2, 1));
    EXPECT_FALSE(moveListedFigure(figures, 0, 1));
    // Rows 1 and 2 are the rectangle and the picture; the font between them stays put.
    ASSERT_TRUE(moveListedFigure(figures, 2, -1));
    const std::vector<Figure*> listed = listedFigures(figures);
    EXPECT_EQ(listed[0]->kind, FigureKind::Picture);
    EXPECT_TRUE(listed[0]->selected());
    ASSERT_NE(listed[0]->picture, nullptr) << "the picture's data goes with its record";
    EXPECT_EQ(listed[0]->picture->bytes.size(), 4u);
    EXPECT_EQ(listed[1]->kind, FigureKind::Rectangle);
    EXPECT_EQ(listed[1]->picture, nullptr);
    EXPECT_TRUE(std::next(figures.begin())->isFont());
}

}  // namespace
}  // namespace tavrin
