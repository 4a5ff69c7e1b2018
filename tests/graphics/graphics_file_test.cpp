// Picture files into the graphics buffer. The fixtures were made by netpbm and ImageMagick
// (fixtures/MAKE.sh); each loaded picture is compared dot for dot with its PBM source.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "graphics/graphics_file.h"
#include "graphics/picture_data.h"
#include "graphics/picture_form.h"
#include "render/image_io.h"
#include "render/picture_decode.h"
#include "support/label_builders.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using test::Bytes;
using test::kFixtures;

std::unique_ptr<GraphicsBuffer> freshBuffer() { return std::make_unique<GraphicsBuffer>(); }

// Every row of the block's stream must code exactly bytesPerRow bytes: no run crosses a row.
void expectRowsEndOnRunBoundaries(const PictureBlock& block, int height) {
    std::size_t at = 2;
    for (int y = 0; y < height; ++y) {
        unsigned produced = 0;
        while (produced < block.bytesPerRow()) {
            ASSERT_LT(at, block.bytes.size()) << "row " << y;
            const std::uint8_t b = block.bytes[at++];
            if (b >= 0xC0) {
                ASSERT_LT(at, block.bytes.size());
                ++at;
                produced += b & 0x3F;
            } else {
                ++produced;
            }
        }
        ASSERT_EQ(produced, block.bytesPerRow()) << "a run crosses the end of row " << y;
    }
    EXPECT_EQ(at, block.bytes.size());
}

TEST(LoadGraphicsFile, FixturesLoadDotForDotAsTheirSources) {
    const struct {
        const char* file;
        const char* source;
        GraphicsKind kind;
    } cases[] = {
        // One per width class (one dot, a byte, past two bytes, the widest), palette order,
        // row order and header size; w8h3 and w1h1 are small but complete: 74 and 66 bytes.
        {"w8h3.bmp", "w8h3.pbm", GraphicsKind::ConvertedBmp},
        {"w1h1.bmp", "w1h1.pbm", GraphicsKind::ConvertedBmp},
        {"w17h30.bmp", "w17h30.pbm", GraphicsKind::ConvertedBmp},
        {"w17h30_whitefirst.bmp", "w17h30.pbm", GraphicsKind::ConvertedBmp},
        {"w17h30_topdown.bmp", "w17h30.pbm", GraphicsKind::ConvertedBmp},
        {"w17h30_v5.bmp", "w17h30.pbm", GraphicsKind::ConvertedBmp},  // palette after a 124-byte header
        {"w1007h24.bmp", "w1007h24.pbm", GraphicsKind::ConvertedBmp},
        {"w17h1600.bmp", "w17h1600.pbm", GraphicsKind::ConvertedBmp},
        {"w1h1.pcx", "w1h1.pbm", GraphicsKind::Pcx},  // 129 bytes
        {"w17h30.pcx", "w17h30.pbm", GraphicsKind::Pcx},
        {"w1007h24.pcx", "w1007h24.pbm", GraphicsKind::Pcx},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        auto buffer = freshBuffer();
        const GraphicsLoadResult result = LoadGraphicsFile(kFixtures / c.file, *buffer);
        ASSERT_EQ(result.kind, c.kind) << result.message.text;
        if (c.kind == GraphicsKind::Pcx) {
            // Taken byte for byte: the printer receives the file unchanged.
            const Bytes file = test::readFile(kFixtures / c.file);
            EXPECT_TRUE(std::equal(file.begin(), file.end(), buffer->pcx().begin(), buffer->pcx().end()));
        }
        Bitmap source;
        ASSERT_TRUE(readPbm(kFixtures / c.source, source));
        LoadedBlock loaded;
        ASSERT_TRUE(MakePictureData((kFixtures / c.file).string(), true, *buffer, loaded).ok);
        EXPECT_EQ(std::tuple(loaded.dataLength, loaded.block->bytes[0]), std::tuple(loaded.block->bytes.size(), 1));
        EXPECT_EQ(loaded.dataLength, buffer->count - 126);
        if (c.kind == GraphicsKind::ConvertedBmp) {
            EXPECT_EQ(loaded.block->bytesPerRow(), static_cast<unsigned>((source.width() + 15) / 16 * 2));
            expectRowsEndOnRunBoundaries(*loaded.block, loaded.height);
            // The header the converter writes.
            EXPECT_EQ(std::tuple(buffer->headerWord(12), buffer->bytes[16]), std::tuple(120u, 15));
        }
        EXPECT_TRUE(decodePicture(loaded.block->bytes, loaded.width, loaded.height) == source);  // its size too
    }
}

TEST(LoadGraphicsFile, RefusedFilesGiveTheirMessage) {
    test::TempDir dir;
    test::writeFile(dir / "text.pcx", std::string_view("Hello, this is not a picture at all"));
    test::writeFile(dir / "empty.bmp", std::string_view(""));
    const struct {
        std::filesystem::path file;
        const char* message;
    } cases[] = {
        {dir.path(), "Can't open input file"},
        {dir / "text.pcx", "Invalid graphics format"},
        {dir / "empty.bmp", "Invalid graphics format"},
    };
    for (const auto& c : cases) {
        auto buffer = freshBuffer();
        const GraphicsLoadResult result = LoadGraphicsFile(c.file, *buffer);
        EXPECT_FALSE(result) << c.file;
        EXPECT_EQ(result.message.text, c.message) << c.file;
    }
}

// A PCX header for the limit checks: encoding 1, one plane of one bit, the given lines and rows.
Bytes pcx(std::size_t size, unsigned bytesPerLine, unsigned ymin, unsigned ymax, std::uint8_t encoding = 1,
          std::uint8_t planes = 1, std::uint8_t bits = 1) {
    test::ByteBuilder b;
    b.u8(0x0A).u8(5).u8(encoding).u8(bits).le16(0).le16(static_cast<int>(ymin)).le16(7).le16(static_cast<int>(ymax));
    b.zeros(65 - b.size()).u8(planes).le16(static_cast<int>(bytesPerLine)).zeros(128 - 68);
    Bytes bytes = b.get();
    bytes.resize(size, 0xFF);
    return bytes;
}

// 40 rows of 2 bytes, each coded as one run (0xC2 v): row n ends at byte 128 + 2n.
Bytes runRows(std::size_t size) {
    Bytes b = pcx(128, 2, 0, 39);
    for (int row = 0; row < 40; ++row) b.insert(b.end(), {0xC2, static_cast<std::uint8_t>(row)});
    b.resize(size);
    return b;
}

// A one-bit BMP with a 40-byte header and the given palette; rows all `fill`.
Bytes bmp(int width, int height, std::uint32_t first = 0, std::uint32_t second = 0xFFFFFF, std::uint8_t fill = 0,
          int bits = 1, std::size_t cutTo = 0) {
    // Rows for sane sizes only: the hostile ones are refused on their header.
    const std::int64_t w = std::abs(static_cast<std::int64_t>(width)), h = std::abs(static_cast<std::int64_t>(height));
    const std::int64_t wanted = w <= 2000 && h <= 2000 ? (w + 31) / 32 * 4 * h : 0;
    const std::size_t rows = wanted <= 63488 - 62 ? static_cast<std::size_t>(wanted) : 0;
    Bytes bytes = test::ByteBuilder().bytes(test::bmpHeader(width, height, bits, 0, 0, 62)).le32(first).le32(second).get();
    bytes.resize(bytes.size() + rows, fill);
    if (cutTo != 0) bytes.resize(cutTo);
    return bytes;
}

TEST(LoadGraphicsBytes, LimitsAndDamageAtTheirEdges) {
    const auto patched = [](std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
        Bytes b = bmp(32, 10);
        for (auto [at, value] : bytes) b[at] = value;
        return b;
    };
    const struct {
        Bytes file;
        const char* message;
    } cases[] = {
        {pcx(49280, 1, 0, 0), ""},
        {pcx(49281, 1, 0, 0), "File too big"},
        {pcx(130, 1, 0, 0), ""},
        {pcx(127, 1, 0, 0), "File too small: the PCX header is incomplete"},
        {pcx(129, 1, 0, 0), "Picture data ends at row 1 of 1"},  // a count byte without its value
        {pcx(132, 2, 0, 1), ""},  // 0xFF 0xFF: a run of 63 cut at the end of each row
        {pcx(131, 2, 0, 1), "Picture data ends at row 2 of 2"},
        {runRows(208), ""},
        {runRows(136), "Picture data ends at row 5 of 40"},
        {runRows(137), "Picture data ends at row 5 of 40"},
        {runRows(206), "Picture data ends at row 40 of 40"},
        {pcx(132, 126, 0, 0), ""},  // 1008 dots in 126 bytes per line: the widest
        {pcx(130, 127, 0, 0), "Horizontal size too big"},
        {pcx(130, 1, 0, 1600), "Vertical size too big"},
        {pcx(130, 1, 5, 3), "Vertical size too big"},         // Ymin above Ymax: no sign, so huge
        {pcx(130, 200, 0, 5000), "Horizontal size too big"},  // the later check wins
        {pcx(130, 1, 0, 0, 0), "Use Color to Black & White converter"},
        {pcx(130, 1, 0, 0, 1, 1, 8), ""},  // 8 bits in one plane: only the encoding and the planes are examined
        {pcx(130, 1, 0, 0, 1, 3), "Use Color to Black & White converter"},
        {pcx(130, 1, 0, 5000, 1, 3), "Use Color to Black & White converter"},  // planes after height
        {bmp(1007, 1), ""},
        {bmp(1008, 1), "Horizontal size too big"},
        {bmp(0, 10), "Horizontal size too big"},
        {bmp(16, 1600), ""},
        {bmp(16, -1600), ""},  // top-down
        {bmp(16, 1601), "Vertical size too big"},
        {bmp(16, 0), "Vertical size too big"},
        {bmp(2000, 2000), "Vertical size too big"},  // both wrong: the height wins
        {bmp(0x7FFFFFFF, static_cast<int>(0x80000000u)), "Vertical size too big"},
        {bmp(16, 10, 0, 0xFFFFFF, 0, 4), "Use Color to Black & White converter"},
        // Rows of 16 bytes from offset 62, of which the converter takes 14: 15 rows fit in 300.
        {bmp(100, 100, 0, 0xFFFFFF, 0, 1, 300), "Picture data ends at row 16 of 100"},
        {bmp(16, 10, 0, 0xFFFFFF, 0, 1, 62 + 9 * 4 + 2), ""},  // the last row without its padding
        {bmp(16, 10, 0, 0xFFFFFF, 0, 1, 62 + 9 * 4 + 1), "Picture data ends at row 10 of 10"},
        {bmp(16, 10, 0, 0xFFFFFF, 0, 1, 60), "File too small: the colour table is incomplete"},
        {bmp(16, 10, 0, 0xFFFFFF, 0, 1, 40), "File too small: the BMP header is incomplete"},
        {Bytes{'B', 'M', 0}, "File too small: the BMP header is incomplete"},
        {bmp(32, 10, 0, 0xFFFFFF, 0, 1, 63489), "File too big"},
        {bmp(32, 10, 0, 0xFFFFFF, 0, 1, 63488), ""},
        {patched({{14, 200}}), "Can't read graphics file"},  // information header of 200 bytes
        {patched({{10, 0xF0}, {11, 0xFF}}), "Picture data ends at row 1 of 10"},  // rows beyond the file
        {patched({{30, 1}}), "Can't read graphics file"},  // compressed
        // 252 coded bytes per row: past the buffer's use limit long before the last row.
        {bmp(1007, 495, 0, 0xFFFFFF, 0x00), ""},
    };
    for (const auto& c : cases) {
        auto buffer = freshBuffer();
        const GraphicsLoadResult result = LoadGraphicsBytes(c.file, *buffer);
        EXPECT_EQ(result.message.text, c.message) << c.file.size() << " bytes";
        EXPECT_EQ(static_cast<bool>(result), *c.message == '\0');
        if (result && c.file[0] == 0x0A) {  // a PCX file is taken as it stands
            EXPECT_EQ(result.kind, GraphicsKind::Pcx);
            EXPECT_EQ(buffer->count, c.file.size());
        }
    }
    // Alternating bytes that each need a count byte overflow the buffer.
    Bytes busy = bmp(1007, 495);
    for (std::size_t i = 62; i < busy.size(); ++i) busy[i] = i % 2 ? 0xFE : 0xFF;
    auto buffer = freshBuffer();
    EXPECT_EQ(LoadGraphicsBytes(busy, *buffer).message.text, "File too big");
}

TEST(EncodePcxRow, RunsAndLiteralsByPosition) {
    const auto encode = [](const Bytes& row) {
        Bytes out(400);
        const std::size_t end = EncodePcxRow(row, out, 0);
        out.resize(end);
        return out;
    };
    EXPECT_EQ(encode(Bytes(130, 0x55)), (Bytes{0xFF, 0x55, 0xFF, 0x55, 0xC4, 0x55}));
    // Mid-row literals below 0x64, at the end of the row below 0x40.
    EXPECT_EQ(encode({0x63, 0x00}), (Bytes{0x63, 0x00}));
    EXPECT_EQ(encode({0x64, 0x00}), (Bytes{0xC1, 0x64, 0x00}));
    EXPECT_EQ(encode({0x00, 0x3F}), (Bytes{0x00, 0x3F}));
    EXPECT_EQ(encode({0x00, 0x40}), (Bytes{0x00, 0xC1, 0x40}));
    EXPECT_EQ(encode({0xFF, 0xFF, 0x12}), (Bytes{0xC2, 0xFF, 0x12}));
    EXPECT_EQ(encode(Bytes(63, 0)), (Bytes{0xFF, 0x00}));
    EXPECT_EQ(encode(Bytes(64, 0)), (Bytes{0xFF, 0x00, 0x00}));
    // No room: nothing claimed written.
    Bytes small(3);
    EXPECT_EQ(EncodePcxRow(Bytes{0xC0, 0xC1}, small, 0), 0u);
}

// Picture data blocks from the buffer, the figure list operations that keep shared blocks
// and picture names consistent, and what the Picture dialog's OK does: the name rules in
// their order and the hand-over of a loaded block, new and edit.
Figure& addPicture(LabelDocument& label, const std::string& name, PictureBlockRef block) {
    return test::addPicture(label, 0, 0, name, std::move(block), 8, 2);
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

TEST(PictureNames, FreeAndRename) {
    LabelDocument label;
    FigureList& list = label.figures;
    EXPECT_TRUE(IsPictureNameFree(list, "LOGO", ""));
    addPicture(label, "Logo", block({1, 2, 0xC4, 0}));
    addPicture(label, "MARK", nullptr);
    list.appendFigure(TextRecord{}.encode(), FigureKind::Text);
    EXPECT_FALSE(IsPictureNameFree(list, "LOGO", ""));
    EXPECT_TRUE(IsPictureNameFree(list, "LOGO", "logo"));  // keeping one's own name
    EXPECT_FALSE(IsPictureNameFree(list, "mark", "LOGO"));
    EXPECT_TRUE(IsPictureNameFree(list, "SEAL", "LOGO"));
    RenamePictures(list, "LOGO", "SEAL");
    EXPECT_EQ(nameOf(list.front()), "SEAL");
    EXPECT_EQ(nameOf(*std::next(list.begin())), "MARK");
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
    LabelDocument label;
    FigureList& figures = label.figures;
    addPicture(label, "LOGO", someBlock(8, 2).block);
    struct Case {
        const char* name;
        bool loaded;
        const char* message;
    };
    const Case cases[] = {
        {"   ", true, "No picture name"},        {"LO GO", true, "Invalid picture name"},
        {"Löwe", true, "Invalid picture name"},  {"A-B", true, "Invalid picture name"},
        {"FRESH", false, "No picture loaded"},
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
    LabelDocument label;
    FigureList& figures = label.figures;
    Figure& bare = addPicture(label, "Bare", nullptr);
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
