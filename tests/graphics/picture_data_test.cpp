// Picture data blocks from the buffer, the figure list operations that keep shared blocks
// and picture names consistent, and what the Picture dialog's OK does: the name rules in
// their order and the hand-over of a loaded block, new and edit.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "graphics/graphics_file.h"
#include "graphics/picture_data.h"
#include "graphics/picture_form.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

const std::filesystem::path kFixtures = std::filesystem::path(TAVRIN_SOURCE_DIR) / "tests/graphics/fixtures";

Figure& addPicture(FigureList& list, const std::string& name, const PictureBlockRef& block) {
    PictureRecord p;
    p.name = name;
    p.width = 8, p.height = 2;
    p.dataLength = block ? static_cast<unsigned>(block->bytes.size()) : 0;
    Figure& f = list.appendFigure(p.encode(), FigureKind::Picture);
    f.picture = block;
    return f;
}

PictureBlockRef block(std::initializer_list<std::uint8_t> bytes) {
    auto b = std::make_shared<PictureBlock>();
    b->bytes = bytes;
    return b;
}

std::string nameOf(const Figure& f) { return PictureRecord::decode(f.record).name; }

LoadedBlock someBlock(int width, int height) {
    LoadedBlock loaded;
    loaded.block = std::make_shared<PictureBlock>(PictureBlock{{1, 2, 0xC1, 0xFF, 0xC1, 0x00}});
    loaded.width = width, loaded.height = height, loaded.dataLength = 6;
    return loaded;
}

TEST(PictureNames, FreeRenameAndCheck) {
    FigureList list;
    EXPECT_TRUE(IsPictureNameFree(list, "LOGO", ""));
    addPicture(list, "Logo", block({1, 2, 0xC4, 0}));
    addPicture(list, "MARK", nullptr);
    list.appendFigure(TextRecord{}.encode(), FigureKind::Text);
    EXPECT_FALSE(IsPictureNameFree(list, "LOGO", ""));
    EXPECT_TRUE(IsPictureNameFree(list, "LOGO", "logo"));  // keeping one's own name
    EXPECT_FALSE(IsPictureNameFree(list, "mark", "LOGO"));
    EXPECT_TRUE(IsPictureNameFree(list, "SEAL", "LOGO"));
    RenamePictures(list, "LOGO", "SEAL");
    EXPECT_EQ(nameOf(list.front()), "SEAL");
    EXPECT_EQ(nameOf(*std::next(list.begin())), "MARK");

    for (const auto& [typed, kept, message] : {std::tuple{"  PICT0001 ", "PICT0001", ""},
                                               std::tuple{"   ", "", "No picture name"},
                                               std::tuple{"A-B", "A-B", "Invalid picture name"}}) {
        std::string name = typed;
        const auto problem = checkPictureName(name);
        EXPECT_EQ(name, kept);
        EXPECT_EQ(problem ? problem->text : "", message) << typed;
    }
}

TEST(MakePictureData, NewBlockReplacesTheLoadedOneAndFailuresChangeNothing) {
    auto buffer = std::make_unique<GraphicsBuffer>();
    LoadedBlock loaded;
    ASSERT_TRUE(MakePictureData((kFixtures / "w17h30.bmp").string(), true, *buffer, loaded).ok);
    std::weak_ptr<PictureBlock> first = loaded.block;

    const MakePictureResult missing = MakePictureData("/nonexistent/x.pcx", true, *buffer, loaded);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.message->text, "Can't open input file");
    EXPECT_EQ(loaded.block, first.lock());

    const MakePictureResult silent =
        MakePictureData("LOGO", false, *buffer, loaded, [](const std::string&, GraphicsBuffer&) { return false; });
    EXPECT_EQ(silent.message->text, "Can't extract from printer");
    EXPECT_EQ(loaded.block, first.lock());

    // From the printer: whatever the fetch put in the buffer.
    const auto fetch = [](const std::string& name, GraphicsBuffer& into) {
        return name == "LOGO" && LoadGraphicsFile(kFixtures / "w8h3.pcx", into);
    };
    ASSERT_TRUE(MakePictureData("LOGO", false, *buffer, loaded, fetch).ok);
    EXPECT_EQ(std::pair(loaded.width, loaded.dataLength), std::pair(8, 132u - 126u));
    EXPECT_TRUE(first.expired());  // the block no figure took is gone

    // A header with Xmin beyond Xmax describes no picture.
    buffer->bytes[4] = 50;
    EXPECT_FALSE(PictureDataFromBuffer(*buffer));
    buffer->count = 100;
    EXPECT_FALSE(PictureDataFromBuffer(*buffer));
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
