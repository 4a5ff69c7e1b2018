// tavrin-label export-form, import-form and commands, run as a user would run them.
#include <gtest/gtest.h>

#include "document/label_file.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

test::CommandResult run(const std::vector<std::string>& arguments) {
    return test::runProgram(TAVRIN_LABEL_EXE, arguments);
}

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

TEST_F(FormCommands, ExportWritesTheFormFile) {
    const auto r = run({"export-form", label.string(), "-o", (dir / "out.ejf").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::readText(dir / "out.ejf"),
              "; Saved by TAVRIN Label Editor\r\nV02,06,R0,\"Lot\"\r\nD8\r\nS4\r\nI0\r\nZT\r\n"
              "TDDD-MN-Y4\r\nTTH:M:S\r\nQ200,24-8\r\nq384\r\nR0,0\r\n"
              "B40,40,0,E30,2,3,80,BC,V02\r\nLS40,40,4E,140,90\r\n\r\n");
}

TEST_F(FormCommands, ImportBuildsALabelFile) {
    test::writeFile(dir / "in.ejf", "V02,06,R0,\"Lot\"\r\nS5\r\nQ300,B24\r\nA10,20,1,3,2,2,B,\"Hi\"\r\nWHAT\r\n");
    const auto r = run({"import-form", (dir / "in.ejf").string(), "-o", (dir / "new.qlb").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("1 line(s) not understood"), std::string::npos) << r.err;
    LabelDocument back;
    ASSERT_TRUE(loadLabelFile(dir / "new.qlb", back));
    EXPECT_EQ((std::array{back.setup.speed, back.setup.length, back.setup.paperType, int{back.variables[2].length}}),
              (std::array{5, 300, 1, 6}));
    ASSERT_EQ(back.figures.size(), 1u);
    const TextRecord t = TextRecord::decode(back.figures.front().record);
    EXPECT_EQ(std::tuple(t.style, t.data), std::tuple(2, "\"Hi\""));
    // A form with no figures gives nothing a label file can hold.
    test::writeFile(dir / "empty.ejf", "Q300,24\r\n");
    const auto empty = run({"import-form", (dir / "empty.ejf").string(), "-o", (dir / "e.qlb").string()});
    EXPECT_NE(empty.exitCode, 0);
    EXPECT_NE(empty.err.find("Nothing to save"), std::string::npos);
}

TEST_F(FormCommands, PrintAndStoreStreams) {
    auto r = run({"commands", label.string(), "--print", "--copies", "12"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "\r\nN\r\nVC\r\nV02,06,R0,\"Lot\"\r\n?\r\n42\r\nD8\r\nS6\r\nI0\r\nZT\r\nQ200,24-8\r\nq384\r\nR0,0\r\n"
              "TDDD-MN-Y4\r\nTTH:M:S\r\nB40,40,0,E30,2,3,80,BC,V02\r\nLS40,40,4E,140,90\r\nP12\r\n");
    r = run({"commands", label.string(), "--store", "SHELF", "-o", (dir / "store.bin").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string stored = test::readText(dir / "store.bin");
    EXPECT_EQ(stored.substr(0, 31), "\r\nN\r\nFK\"SHELF\"\r\nFS\"SHELF\"\r\nV02,");
    EXPECT_EQ(stored.substr(stored.size() - 17), "FE\r\n\r\nFR\"SHELF\"\r\n");
}

// Pictures go as rasters with direct graphics; a QR Code fed by a variable always does, and
// cannot become a stored form.
TEST_F(FormCommands, RastersInThePrintStreamAndAVariable2DSymbolRefusedForAStore) {
    Figure& picture = document.figures.appendFigure(PictureRecord{3, 4, 8, 1, 3, "DOT"}.encode(), FigureKind::Picture);
    picture.picture = std::make_shared<PictureBlock>(PictureBlock{{1, 1, 0x0F}});
    document.figures.appendFigure(BarcodeRecord{27, 9, 8, 24, 2, 0, 0, 0, 0, 0, "V02"}.encode(), FigureKind::Barcode);
    ASSERT_TRUE(saveLabelFile(label, document));
    auto r = run({"commands", label.string(), "--print", "--direct-graphics"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("LS40,40,4E,140,90\r\nGW3,4,1,1,\x0F\r\nGW9,8,"), std::string::npos) << r.out;
    r = run({"commands", label.string(), "--store", "SHELF", "-o", (dir / "store.bin").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("QR Code at 9,8 takes variables"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "store.bin"));
}

TEST_F(FormCommands, CommandsWantsEitherAPrintOrAStore) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"commands", label.string()}, {"commands", label.string(), "--print", "--store", "X"},
          {"commands", label.string(), "--store", ""}, {"commands", label.string(), "--print", "--copies", "0"}}) {
        const auto r = run(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments.back();
        EXPECT_TRUE(r.out.empty()) << arguments.back();
    }
}

}  // namespace
}  // namespace tavrin
