// tavrin-label add-picture, then render --print: the printed dots are the source picture's.
#include <gtest/gtest.h>

#include "document/label_file.h"
#include "render/image_io.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using test::kFixtures;

// A label 400 x 1700 dots without margins or figures.
void writeEmptyLabel(const std::filesystem::path& path) {
    test::ByteBuilder b;
    b.field("ZR5500 FILE", 12).be16(400).be16(1700).be16(0).be16(0).be16(0);
    b.u8(0).u8(8).u8(4).u8(0).u8(24).u8(0).zeros(4).field("DD-MN-Y4", 16).field("H:M:S", 16);
    test::writeFile(path, b.get());
}

TEST(AddPictureCommand, PrintedDotsAreTheSourcesDots) {
    test::TempDir dir;
    writeEmptyLabel(dir / "empty.qlb");
    // Each kind of file once; every variant of them is the loader's test.
    const std::pair<const char*, const char*> pictures[] = {{"logo.pcx", "logo.pbm"}, {"w17h1600.bmp", "w17h1600.pbm"}};
    for (const auto& [picture, sourceFile] : pictures) {
        SCOPED_TRACE(picture);
        const int x = 13, y = 7;
        auto r = test::runLabel({"add-picture", (dir / "empty.qlb").string(), (kFixtures / picture).string(), "--at",
                                 "13,7", "-o", (dir / "out.qlb").string()});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find("PICT0001"), std::string::npos);
        r = test::runLabel({"render", (dir / "out.qlb").string(), "--print", "-o", (dir / "out.pbm").string()});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        Bitmap printed, source;
        ASSERT_TRUE(readPbm(dir / "out.pbm", printed));
        ASSERT_TRUE(readPbm(kFixtures / sourceFile, source));
        int differences = 0;
        for (int row = 0; row < source.height(); ++row)
            for (int col = 0; col < source.width(); ++col)
                differences += printed.isInk(x + col, y + row) != source.isInk(col, row);
        EXPECT_EQ(differences, 0);
        EXPECT_EQ(printed.countInk(), source.countInk());  // nothing printed elsewhere
    }
}

TEST(AddPictureCommand, NamesArePickedAndChecked) {
    test::TempDir dir;
    writeEmptyLabel(dir / "empty.qlb");
    const std::string label = (dir / "empty.qlb").string(), out = (dir / "out.qlb").string();
    const std::string logo = (kFixtures / "logo.bmp").string();
    ASSERT_EQ(test::runLabel({"add-picture", label, logo, "--at", "0,0", "--name", " Logo ", "-o", out}).exitCode, 0);
    ASSERT_EQ(test::runLabel({"add-picture", out, logo, "--at", "5,5", "-o", out}).exitCode, 0);
    LabelDocument document;
    ASSERT_TRUE(loadLabelFile(out, document));
    std::vector<std::string> names;
    for (const Figure& f : document.figures) names.push_back(PictureRecord::decode(f.record).name);
    EXPECT_EQ(names, (std::vector<std::string>{"Logo", "PICT0001"}));

    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } refusals[] = {
        {{"add-picture", out, logo, "--at", "0,0", "--name", "LOGO", "-o", out}, "Picture name already exists"},
        {{"add-picture", out, logo, "--at", "0,0", "--name", "NINECHARS", "-o", out}, "Invalid picture name"},
        {{"add-picture", out, logo, "--at", "608,0", "-o", out}, "position out of range"},
        {{"add-picture", out, logo, "-o", out}, "--at"},
        {{"add-picture", out, (kFixtures / "im_24bit.pcx").string(), "--at", "0,0", "-o", out},
         "Not monochrome graphics: Use Color to Black & White converter"},
    };
    const test::Bytes before = test::readFile(out);
    for (const auto& refusal : refusals) {
        const auto r = test::runLabel(refusal.arguments);
        EXPECT_NE(r.exitCode, 0) << refusal.message;
        EXPECT_NE(r.err.find(refusal.message), std::string::npos) << r.err;
    }
    EXPECT_EQ(test::readFile(out), before);  // a refused picture leaves the label alone
}

}  // namespace
}  // namespace tavrin
