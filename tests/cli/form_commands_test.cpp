// tavrin-label export-form, import-form and commands, run as a user would run them.
#include <gtest/gtest.h>

#include "document/label_file.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

class FormCommands : public ::testing::Test {
protected:
    FormCommands() {
        Variable& v = document.variables[2];
        v = Variable{.defined = 1, .length = 6, .justification = kJustifyRight, .padChar = '0'};
        v.setPrompt("Lot");
        v.setValue("42");
        document.setup.offset = -8;
        document.figures.appendFigure(BarcodeRecord{8, 40, 40, 80, 2, 3, 2, 0, 0, 0, "V02"}.encode(), FigureKind::Barcode);
        document.figures.appendFigure(LineRecord{40, 40, 140, 90, 4, 1}.encode(), FigureKind::DiagonalLine);
        EXPECT_TRUE(saveLabelFile(label, document));
    }
    test::TempDir dir;
    std::filesystem::path label = dir / "label.qlb";
    LabelDocument document;
};

// The bytes of forms and print streams are the printer suite's; here each command reaches its
// writer or reader with the options it was given. Argument mistakes are the conventions test's.
TEST_F(FormCommands, ExportAndImportWriteTheirFiles) {
    auto r = test::runLabel({"export-form", label.string(), "-o", (dir / "out.ejf").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(test::readText(dir / "out.ejf").find("\r\nB40,40,0,E30,2,3,80,BC,V02\r\n"), std::string::npos);

    test::writeFile(dir / "in.ejf", "V02,06,R0,\"Lot\"\r\nS5\r\nQ300,B24\r\nA10,20,1,3,2,2,B,\"Hi\"\r\nWHAT\r\n");
    r = test::runLabel({"import-form", (dir / "in.ejf").string(), "-o", (dir / "new.qlb").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("1 line(s) not understood"), std::string::npos) << r.err;
    LabelDocument back;
    ASSERT_TRUE(loadLabelFile(dir / "new.qlb", back));
    EXPECT_EQ(back.figures.size(), 1u);
    // A form with no figures gives nothing a label file can hold.
    test::writeFile(dir / "empty.ejf", "Q300,24\r\n");
    const auto empty = test::runLabel({"import-form", (dir / "empty.ejf").string(), "-o", (dir / "e.qlb").string()});
    EXPECT_NE(empty.exitCode, 0);
    EXPECT_NE(empty.err.find("Nothing to save"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "e.qlb"));
}

// Pictures go as rasters with direct graphics; a QR Code fed by a variable always does, and
// cannot become a stored form.
TEST_F(FormCommands, PrintAndStoreStreamsAndAVariable2DSymbolRefusedForAStore) {
    auto r = test::runLabel({"commands", label.string(), "--store", "SHELF", "-o", (dir / "store.bin").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(test::readText(dir / "store.bin").ends_with("FE\r\n\r\nFR\"SHELF\"\r\n"));

    Figure& picture = document.figures.appendFigure(PictureRecord{3, 4, 8, 1, 3, "DOT"}.encode(), FigureKind::Picture);
    picture.picture = std::make_shared<PictureBlock>(PictureBlock{{1, 1, 0x0F}});
    document.figures.appendFigure(BarcodeRecord{27, 9, 8, 24, 2, 0, 0, 0, 0, 0, "V02"}.encode(), FigureKind::Barcode);
    ASSERT_TRUE(saveLabelFile(label, document));
    r = test::runLabel({"commands", label.string(), "--print", "--direct-graphics", "--copies", "12"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("LS40,40,4E,140,90\r\nGW3,4,1,1,\x0F\r\nGW9,8,"), std::string::npos) << r.out;
    EXPECT_TRUE(r.out.ends_with("\r\nP12\r\n")) << r.out;
    std::filesystem::remove(dir / "store.bin");
    r = test::runLabel({"commands", label.string(), "--store", "SHELF", "-o", (dir / "store.bin").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("QR Code at 9,8 takes variables"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "store.bin"));
}

}  // namespace
}  // namespace tavrin
