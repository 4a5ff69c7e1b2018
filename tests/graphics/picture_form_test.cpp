// What the Picture dialog's OK does: the name rules in their order and the hand-over of a
// loaded block, new and edit.
#include <gtest/gtest.h>

#include <memory>

#include "graphics/picture_form.h"

namespace tavrin {
namespace {

LoadedBlock someBlock(int width, int height) {
    LoadedBlock loaded;
    loaded.block = std::make_shared<PictureBlock>(PictureBlock{{1, 2, 0xC1, 0xFF, 0xC1, 0x00}});
    loaded.width = width, loaded.height = height, loaded.dataLength = 6;
    return loaded;
}

Figure& addPicture(FigureList& figures, const std::string& name, const PictureBlockRef& block) {
    Figure& f = figures.appendFigure(PictureRecord{0, 0, 8, 2, 6, name}.encode(), FigureKind::Picture);
    f.picture = block;
    return f;
}

TEST(ConfirmPicture, RefusalsComeInTheirOrderAndChangeNothing) {
    FigureList figures;
    addPicture(figures, "LOGO", someBlock(8, 2).block);
    struct Case {
        const char* name;
        bool loaded;
        const char* message;
    };
    const Case cases[] = {
        {"   ", true, "No picture name"},        {"LO GO", true, "Invalid picture name"},
        {"Löwe", true, "Invalid picture name"},  {"FRESH", false, "No picture loaded"},
        {"logo", true, "Picture name already exists"},
    };
    for (const Case& c : cases) {
        PictureDialogState state;
        if (c.loaded) state.loaded = someBlock(8, 2);
        PictureFormResult picture;
        const auto problem = confirmPicture(figures, state, c.name, 1, 2, picture);
        EXPECT_EQ(problem, (UserMessage{"Error", c.message})) << c.name;
        EXPECT_EQ(state.loaded.empty(), !c.loaded) << "the block stays for another try";
        EXPECT_EQ(picture.record.name, "");
    }
}

TEST(ConfirmPicture, NewPictureTakesTheBlockAndJoinsAsItsOnlyUser) {
    FigureList figures;
    PictureDialogState state;
    state.loaded = someBlock(16, 1);
    PictureFormResult picture;
    ASSERT_FALSE(confirmPicture(figures, state, " Fresh1 ", 5, -7, picture));
    EXPECT_TRUE(state.loaded.empty());
    EXPECT_EQ(std::tuple(picture.record.name, picture.record.x, picture.record.y, picture.record.width),
              std::tuple("Fresh1", 5, -7, 16));
    ASSERT_TRUE(appendPicture(figures, picture));
    EXPECT_EQ(figures.front().picture, picture.block);
    EXPECT_EQ(picture.block->bytes[0], 1);
    EXPECT_FALSE(appendPicture(figures, PictureFormResult{}));
}

TEST(ConfirmPicture, EditingKeepsItsOwnNameAndAPictureWithoutDataGetsTheLoadedOne) {
    FigureList figures;
    Figure& bare = addPicture(figures, "Bare", nullptr);
    PictureDialogState state = PictureDialogState::forEdit(bare);
    PictureFormResult picture{PictureRecord::decode(bare.record), bare.picture};
    ASSERT_FALSE(confirmPicture(figures, state, "BARE", 0, 0, picture)) << "its own name in other letters";
    EXPECT_EQ(PictureRecord::decode(bare.record).name, "BARE");

    state = PictureDialogState::forEdit(bare);
    state.loaded = someBlock(24, 3);
    ASSERT_FALSE(confirmPicture(figures, state, "BARE", 0, 0, picture));
    ASSERT_NE(picture.block, nullptr);
    EXPECT_EQ(picture.block->bytes[0], 1);
    EXPECT_EQ(picture.record.width, 24);
}

}  // namespace
}  // namespace tavrin
