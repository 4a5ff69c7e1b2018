// Form files on disk: the save's all-or-nothing replacement and reading one back.
#include <gtest/gtest.h>

#include "printer/form_file.h"
#include "printer_fixtures.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

std::string fileText(const std::filesystem::path& path) {
    const auto bytes = test::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(SaveAsForm, EmptyLabelSavesNothing) {
    test::TempDir dir;
    LabelDocument d;
    const auto result = saveAsForm(dir / "a.ejf", d);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Nothing to save");
    EXPECT_FALSE(std::filesystem::exists(dir / "a.ejf"));
}

TEST(SaveAsForm, ReplacesALongerFileWholeAndLeavesNoTemporaryFiles) {
    test::TempDir dir;
    test::writeFile(dir / "a.ejf", std::string(5000, 'z'));
    LabelDocument d;
    test::addBox(d, 1, 2, 3, 4, 5);
    ASSERT_TRUE(saveAsForm(dir / "a.ejf", d).ok);
    EXPECT_EQ(fileText(dir / "a.ejf"),
              "; Saved by TAVRIN Label Editor\r\nD8\r\nS4\r\nI0\r\nZT\r\nTDDD-MN-Y4\r\nTTH:M:S\r\n"
              "Q200,24+8\r\nq384\r\nR0,0\r\nX1,2,5,3,4\r\n\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(SaveAsForm, UnwritablePlaceFailsAndKeepsTheOldFile) {
    test::TempDir dir;
    LabelDocument d;
    test::addBox(d, 1, 2, 3, 4, 5);
    const auto missingFolder = saveAsForm(dir / "no" / "such" / "a.ejf", d);
    EXPECT_FALSE(missingFolder.ok);
    EXPECT_EQ(missingFolder.message, "Can't open output file");
    // A folder in the way of the name: the save fails and the folder is untouched.
    std::filesystem::create_directory(dir / "taken.ejf");
    EXPECT_FALSE(saveAsForm(dir / "taken.ejf", d).ok);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.ejf"));
}

TEST(FormLines, SplitLikeThePrinterLinkReadsReplies) {
    const std::string text = std::string("A1\r\n\r\nB\x01\x02" "2\nlast\x7f\xe9\r") + '\0' + "after";
    const auto lines = splitFormLines(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    EXPECT_EQ(lines, (std::vector<std::string>{"A1", "", "B2", "last\x7f\xe9"}));
    const std::string noEnd = "q100";
    EXPECT_EQ(splitFormLines(std::span(reinterpret_cast<const std::uint8_t*>(noEnd.data()), noEnd.size())),
              std::vector<std::string>{"q100"});
}

TEST(ImportForm, ReplacesFiguresAndSlotsKeepsUnsetSetup) {
    test::TempDir dir;
    test::writeFile(dir / "f.ejf",
                    "; Saved by TAVRIN Label Editor\r\nV01,05,L,\"Name\"\r\nD3\r\nS2\r\nI1\r\nZB\r\n"
                    "Q300,B20-4\r\nq500\r\nR10,10\r\nLO1,2,3,4\r\nGG5,5,\"LOGO\"\r\nXX\r\n\r\n");
    LabelDocument d;
    test::addBox(d, 9, 9, 9, 9, 9);
    d.variables[5] = test::makeSlot(3, 0, ' ', "old");
    d.setup.leftMargin = 33;
    const FormImport imported = importFormFile(dir / "f.ejf", d);
    ASSERT_TRUE(imported.result.ok);
    EXPECT_EQ(imported.linesRead, 7);  // V, D, S, ZB, Q, q, LO
    EXPECT_EQ(imported.linesSkipped, 4);  // R, I, GG without picture data, XX
    ASSERT_EQ(d.figures.size(), 1u);
    EXPECT_EQ(d.figures.front().kind, FigureKind::Rectangle);
    EXPECT_FALSE(d.variables[5].isDefined());
    EXPECT_EQ(d.variables[1].promptText(), "Name");
    EXPECT_EQ(d.setup.length, 300);
    EXPECT_EQ(d.setup.offset, -4);
    EXPECT_EQ(d.setup.width, 500);
    EXPECT_EQ(d.setup.orientation, 1);
    EXPECT_EQ(d.setup.leftMargin, 33);

    const FormImport missing = importFormFile(dir / "none.ejf", d);
    EXPECT_FALSE(missing.result.ok);
    EXPECT_EQ(missing.result.message, "Can't open input file");
    EXPECT_EQ(d.figures.size(), 1u);
}

}  // namespace
}  // namespace tavrin
