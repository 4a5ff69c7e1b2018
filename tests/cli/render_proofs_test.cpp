// tavrin-label render for a whole data run in one process: PDF pages, sheets, SVG and
// numbered images, each compared with what the single-row render gives for that row.
#include <gtest/gtest.h>

#include "document/label_file.h"
#include "support/label_builders.h"
#include "support/pdf_pages.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

class RenderProofs : public ::testing::Test {
protected:
    RenderProofs() {
        LabelDocument document;
        document.setup = {.width = 320, .length = 200, .leftMargin = 8, .topMargin = 8};
        document.variables[0] = test::makeSlot(16, kJustifyLeft, ' ', "Name");
        document.variables[1] = test::makeSlot(12, kJustifyLeft, ' ', "Code");
        test::addText(document, 0, 0, 3, 0, "V00");
        test::addBarcode(document, 3, 8, 60, 80, 2, 4, 2, "V01");
        EXPECT_TRUE(saveLabelFile(dir / "label.qlb", document));
        test::writeFile(dir / "rows.csv", "Name,Code\nAnna,A-1\nBoris,B-2\nClara,C-3\nDmitri,D-4\n");
    }
    test::CommandResult render(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"render", label});
        return test::runLabel(arguments);
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    Bitmap rowImage(int row) {
        const std::string name = path("row-" + std::to_string(row) + ".pbm");
        const auto r = render({"--print", "--data", rows, "--row", std::to_string(row), "-o", name});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        Bitmap image;
        EXPECT_TRUE(readPbm(name, image));
        return image;
    }

    test::TempDir dir;
    const std::string label = path("label.qlb"), rows = path("rows.csv");
};

// The proof's own pages, sheets and SVG are checked against the print image in the proof
// suite; here the command's rows, outputs and paper.
TEST_F(RenderProofs, OneProcessGivesEveryChosenRowAsTheSingleRowRenderDoes) {
    TAVRIN_NEED_POPPLER();
    auto r = render({"--data", rows, "-o", path("all.pdf")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const test::PdfInfo all = test::pdfInfo(path("all.pdf"));
    EXPECT_EQ(std::tuple(all.pages, all.size, all.title), std::tuple(4, "113.386 x 70.8661", "label.qlb"));
    r = render({"--data", rows, "--rows", "2-3", "--print", "-o", path("label-%02d.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const int row : {2, 3}) {
        const Bitmap expected = rowImage(row);
        EXPECT_TRUE(test::rasterisePage(path("all.pdf"), row) == expected) << "page of row " << row;
        ScreenImage png;
        ASSERT_TRUE(readPng(path("label-0" + std::to_string(row) + ".png"), png));
        EXPECT_TRUE(toOneBit(png) == expected) << "image of row " << row;
    }
    EXPECT_FALSE(std::filesystem::exists(path("label-01.png")) || std::filesystem::exists(path("label-04.png")));
    // The label alone: on a Letter sheet, and as the first of numbered images.
    ASSERT_EQ(render({"-o", path("sheet.pdf"), "--sheet", "letter"}).exitCode, 0);
    EXPECT_EQ(test::pdfInfo(path("sheet.pdf")).size, "612 x 792");
    ASSERT_EQ(render({"--print", "-o", path("one-%d.pbm")}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(path("one-1.pbm")));
}

TEST_F(RenderProofs, RefusesWhatCannotHoldTheRunAndWritesNothing) {
    test::writeFile(dir / "short.csv", "Name,Code\nAnna\nBoris,B-2\n");
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--data", rows, "-o", path("x.png")}, "one image file holds one label, and 4 are chosen"},
        {{"--data", rows, "-o", path("x.svg")}, "one SVG file holds one label"},
        {{"--data", rows, "-o", path("x-%d-%d.png")}, "more than one number"},
        {{"--data", rows, "-o", path("x-%s.png")}, "must be written like %d or %04d"},
        {{"--data", rows, "-o", path("x-%d.pdf")}, "numbered files must end in"},
        {{"-o", path("x.pdf"), "--sheet", "a3"}, "--sheet wants a4 or letter"},
        {{"-o", path("x.png"), "--sheet", "a4"}, "--sheet lays labels out on the pages of a PDF"},
        {{"--rows", "2", "-o", path("x.pdf")}, "--rows needs --data"},
        {{"--data", rows, "--rows", "9-", "-o", path("x.pdf")}, "the data file has 4 rows"},
        {{"--data", path("short.csv"), "-o", path("x.pdf")}, "nothing rendered"},
        {{"--data", rows, "-o", path("no-such-folder/x.pdf")}, "Can't write"},
        {{"--data", rows, "-o", path("no-such-folder/x-%d.png")}, "x-1.png: No such file or directory"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto r = render(arguments);
        EXPECT_NE(r.exitCode, 0) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_NE(entry.path().stem().string().substr(0, 1), "x") << entry.path();
    // Rows with problems are shown as they are when asked.
    EXPECT_EQ(render({"--data", path("short.csv"), "--print-anyway", "-o", path("anyway.pdf")}).exitCode, 0);
}

}  // namespace
}  // namespace tavrin
