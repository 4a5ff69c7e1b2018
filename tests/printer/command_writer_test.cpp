// Single command lines, compared with the printer's line grammar written out by hand.
#include <gtest/gtest.h>

#include "printer/command_writer.h"
#include "printer_fixtures.h"

namespace tavrin {
namespace {

using test::addBarcode;
using test::addBox;
using test::addFont;
using test::addLine;
using test::addPicture;
using test::addRectangle;
using test::addText;
using test::makeSlot;

std::string lineOf(const LabelDocument& d, const Figure& f, PictureLineEnd end = PictureLineEnd::CrLf) {
    return figureLine(f, d.figures, end).value_or("<none>");
}

TEST(CommandLines, LengthLineCarriesGapFormAndSignedOffset) {
    LabelSetup s;  // length 200, gap 24, offset 8, width 384
    EXPECT_EQ(lengthAndWidthLines(s), "Q200,24+8\r\nq384\r\n");
    s.offset = -8;
    EXPECT_EQ(lengthAndWidthLines(s), "Q200,24-8\r\nq384\r\n");
    s.offset = 0;
    EXPECT_EQ(lengthAndWidthLines(s), "Q200,24\r\nq384\r\n");
    s.paperType = 1;
    EXPECT_EQ(lengthAndWidthLines(s), "Q200,B24\r\nq384\r\n");
    s.paperType = 2;  // black line: no B
    s.offset = 80;
    s.width = 608;
    EXPECT_EQ(lengthAndWidthLines(s), "Q200,24+80\r\nq608\r\n");
}

TEST(CommandLines, HeaderPieces) {
    LabelSetup s;
    s.darkness = 15;
    s.language = 2;
    EXPECT_EQ(numberLines(s, 6), "D15\r\nS6\r\nI2\r\n");
    EXPECT_EQ(directionLine(s), "ZT\r\n");
    s.orientation = 1;
    EXPECT_EQ(directionLine(s), "ZB\r\n");
    s.dateFormat = "Y4/MN/DD";
    s.timeFormat = "H:M";
    EXPECT_EQ(formatLines(s), "TDY4/MN/DD\r\nTTH:M\r\n");
    s.leftMargin = -5;
    s.topMargin = 12;
    EXPECT_EQ(referencePointLine(s), "R-5,12\r\n");
}

TEST(CommandLines, VariableDefinitions) {
    EXPECT_EQ(variableDefinitionLine(3, makeSlot(5, kJustifyRight, '0', "Price")), "V03,05,R0,\"Price\"\r\n");
    // A blank pad and any pad under N are not written.
    EXPECT_EQ(variableDefinitionLine(0, makeSlot(10, kJustifyLeft, ' ', "Name")), "V00,10,L,\"Name\"\r\n");
    EXPECT_EQ(variableDefinitionLine(31, makeSlot(32, kJustifyNone, '*', "P")), "V31,32,N,\"P\"\r\n");
    EXPECT_EQ(variableDefinitionLine(7, makeSlot(8, kJustifyCentre, '*', "")), "V07,08,C*,\"\"\r\n");
}

TEST(CommandLines, CounterDefinitionsAlwaysSignTheStep) {
    EXPECT_EQ(counterDefinitionLine(0, makeSlot(4, kJustifyRight, '0', "Count", "", 1)),
              "C00,04,R0,+1,\"Count\"\r\n");
    EXPECT_EQ(counterDefinitionLine(7, makeSlot(4, kJustifyNone, '0', "Down", "", -1)),
              "C07,04,N,-1,\"Down\"\r\n");
    EXPECT_EQ(counterDefinitionLine(2, makeSlot(12, kJustifyLeft, ' ', "", "", 0)), "C02,12,L,+0,\"\"\r\n");
    EXPECT_EQ(counterDefinitionLine(1, makeSlot(3, kJustifyLeft, 'x', "a", "", -128)), "C01,03,Lx,-128,\"a\"\r\n");
}

TEST(CommandLines, TextInResidentAndSoftFonts) {
    LabelDocument d;
    addFont(d, 'A', {1, 0, 16});
    addFont(d, 'B', {1, 0, 20});
    const Figure& resident = addText(d, 40, 40, 3, 1, "\"Text\"");
    const Figure& bold = addText(d, -3, 7, 5, 3, "TD", 2, 8, 9);
    const Figure& soft = addText(d, 10, 20, 7, 1, "V00", 1, 2, 2);  // font 7: second Font entry
    EXPECT_EQ(lineOf(d, resident), "A40,40,0,3,1,1,R,\"Text\"\r\n");
    EXPECT_EQ(lineOf(d, bold), "A-3,7,2,5,8,9,W,TD\r\n");
    // A soft font always writes N, whatever the style.
    EXPECT_EQ(lineOf(d, soft), "A10,20,1,B,2,2,N,V00\r\n");
}

TEST(CommandLines, TextWhoseFontIsLetterOrMissing) {
    LabelDocument d;
    const Figure& byLetter = addText(d, 1, 2, 'K', 0, "\"x\"");  // read back without its font
    const Figure& missing = addText(d, 1, 2, 9, 0, "\"x\"");     // no fourth Font entry
    const Figure& zero = addText(d, 1, 2, 0, 0, "\"x\"");
    EXPECT_EQ(lineOf(d, byLetter), "A1,2,0,K,1,1,N,\"x\"\r\n");
    EXPECT_EQ(lineOf(d, missing), "<none>");
    EXPECT_EQ(lineOf(d, zero), "<none>");
}

TEST(CommandLines, BarcodeCodesAndReadableText) {
    LabelDocument d;
    EXPECT_EQ(lineOf(d, addBarcode(d, 8, 40, 40, 80, 2, 3, 2, "V01")), "B40,40,0,E30,2,3,80,BC,V01\r\n");
    EXPECT_EQ(lineOf(d, addBarcode(d, 0, 0, -4, 50, 1, 2, 0, "\"A\"", 3)), "B0,-4,3,3,1,2,50,N,\"A\"\r\n");
    EXPECT_EQ(lineOf(d, addBarcode(d, 26, 1, 1, 9, 3, 6, 1, "C00")), "B1,1,0,2U,3,6,9,B,C00\r\n");
    EXPECT_EQ(lineOf(d, addBarcode(d, 22, 1, 1, 9, 3, 6, 3, "x")), "B1,1,0,UA5,3,6,9,BR,x\r\n");
    EXPECT_EQ(lineOf(d, addBarcode(d, 12, 1, 1, 9, 3, 6, 2, "x")), "B1,1,0,1E,3,6,9,BC,x\r\n");
    EXPECT_EQ(lineOf(d, addBarcode(d, 27, 1, 1, 9, 3, 6, 2, "x")), "<none>");
    EXPECT_EQ(lineOf(d, addBarcode(d, -1, 1, 1, 9, 3, 6, 2, "x")), "<none>");
}

TEST(CommandLines, RectangleLineBoxAndPicture) {
    LabelDocument d;
    EXPECT_EQ(lineOf(d, addRectangle(d, 40, 40, 100, 20, 0)), "LO40,40,100,20\r\n");
    EXPECT_EQ(lineOf(d, addRectangle(d, -1, 2, 3, 4, 1)), "LE-1,2,3,4\r\n");
    EXPECT_EQ(lineOf(d, addRectangle(d, 1, 2, 3, 4, 2)), "LW1,2,3,4\r\n");
    EXPECT_EQ(lineOf(d, addLine(d, 40, 40, 140, 90, 4, 1)), "LS40,40,4E,140,90\r\n");
    EXPECT_EQ(lineOf(d, addLine(d, 40, 40, 140, 90, 4, 0)), "LS40,40,4,140,90\r\n");
    EXPECT_EQ(lineOf(d, addLine(d, 0, 0, -10, 5, 80, 2)), "LS0,0,80W,-10,5\r\n");
    EXPECT_EQ(lineOf(d, addBox(d, 40, 40, 140, 90, 4)), "X40,40,4,140,90\r\n");
    const Figure& picture = addPicture(d, 5, -6, "PICT0001", nullptr, 0, 0);
    EXPECT_EQ(lineOf(d, picture), "GG5,-6,\"PICT0001\"\r\n");
    EXPECT_EQ(lineOf(d, picture, PictureLineEnd::Lf), "GG5,-6,\"PICT0001\"\n");
    EXPECT_EQ(lineOf(d, addFont(d, 'A', {})), "<none>");
}

TEST(CommandLines, PcxHeaderForDownload) {
    const auto header = pcxHeaderForPicture(10, 2, 2);
    std::array<std::uint8_t, 128> expected{};
    const std::uint8_t start[] = {10, 5, 1, 1, 0, 0, 0, 0, 9, 0, 1, 0, 150, 0, 150, 0, 0, 0, 0, 255, 255, 255};
    std::copy(std::begin(start), std::end(start), expected.begin());
    expected[65] = 1;
    expected[66] = 2;
    expected[68] = 1;
    EXPECT_EQ(header, expected);
    const auto wide = pcxHeaderForPicture(608, 300, 76);
    EXPECT_EQ(wide[8], 0x5F);  // 607
    EXPECT_EQ(wide[9], 0x02);
    EXPECT_EQ(wide[10], 0x2B);  // 299
    EXPECT_EQ(wide[11], 0x01);
    EXPECT_EQ(wide[66], 76);
}

}  // namespace
}  // namespace tavrin
