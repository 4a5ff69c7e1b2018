// Form lines read back into a label: accepted shapes, limits, and lines that add nothing.
#include <gtest/gtest.h>

#include "printer/form_reader.h"
#include "printer/line_scanner.h"

namespace tavrin {
namespace {

class FormReaderTest : public ::testing::Test {
protected:
    bool read(std::string_view line) { return reader.readFormLine(line); }
    const Figure& last() { return document.figures.back(); }
    std::size_t count() const { return document.figures.size(); }

    LabelDocument document;
    FormReader reader{document, FormReader::nameListResolver({"  LOGO ", "PICT0001", "A\"B"})};
};

TEST(LineScanner, NumbersClampAndStopAtNonDigits) {
    LineScanner a("123,");
    EXPECT_EQ(a.scanUnsigned(), 123u);
    EXPECT_EQ(a.peek(), ',');
    LineScanner none(",5");
    EXPECT_EQ(none.scanUnsigned(), 0u);
    EXPECT_EQ(none.peek(), ',');
    LineScanner big("99999999999999999999999x");
    EXPECT_EQ(big.scanUnsigned(), 65535u);
    EXPECT_EQ(big.peek(), 'x');
    EXPECT_EQ(LineScanner("65535").scanUnsigned(), 65535u);
    EXPECT_EQ(LineScanner("65536").scanUnsigned(), 65535u);
    EXPECT_EQ(LineScanner("-5").scanUnsigned(), 0u);

    EXPECT_EQ(LineScanner("-8").scanSigned(), -8);
    EXPECT_EQ(LineScanner("+8").scanSigned(), 8);
    EXPECT_EQ(LineScanner("32767").scanSigned(), 32767);
    EXPECT_EQ(LineScanner("40000").scanSigned(), 32767);
    EXPECT_EQ(LineScanner("-999999999999").scanSigned(), -32767);
    EXPECT_EQ(LineScanner("-").scanSigned(), 0);
    LineScanner twoSigns("+-3");
    EXPECT_EQ(twoSigns.scanSigned(), 0);
    EXPECT_EQ(twoSigns.peek(), '-');
}

TEST_F(FormReaderTest, TextLines) {
    ASSERT_TRUE(read("A40,40,0,3,1,1,N,\"Text\""));
    TextRecord t = TextRecord::decode(last().record);
    EXPECT_EQ(last().kind, FigureKind::Text);
    EXPECT_EQ(t.x, 40);
    EXPECT_EQ(t.font, 3);
    EXPECT_EQ(t.style, 0);
    EXPECT_EQ(t.data, "\"Text\"");

    ASSERT_TRUE(read("A-2047,2047,3,b,8,8,W,V00,\"x\""));
    t = TextRecord::decode(last().record);
    EXPECT_EQ(t.x, -2047);
    EXPECT_EQ(t.y, 2047);
    EXPECT_EQ(t.rotation, 3);
    EXPECT_EQ(t.font, 'B');  // the letter's upper-case code until fonts are fetched
    EXPECT_EQ(t.hMul, 8);
    EXPECT_EQ(t.vMul, 8);
    EXPECT_EQ(t.style, 3);
    EXPECT_EQ(t.data, "V00,\"x\"");

    ASSERT_TRUE(read("A1,1,0,1,1,1,R,"));  // empty data
    EXPECT_EQ(TextRecord::decode(last().record).data, "");
    // Data keeps 67 characters.
    ASSERT_TRUE(read("A1,1,0,1,1,1,B," + std::string(100, 'x')));
    EXPECT_EQ(TextRecord::decode(last().record).data, std::string(67, 'x'));

    const std::size_t before = count();
    for (const char* bad : {"A40,40,0,3,1,9,N,\"T\"", "A40,40,0,3,0,1,N,x", "A40,40,0,6,1,1,N,x",
                            "A40,40,0,0,1,1,N,x", "A40,40,4,3,1,1,N,x", "A-2048,40,0,3,1,1,N,x",
                            "A40,2048,0,3,1,1,N,x", "A40,40,0,3,1,1,X,x", "A40,40,0,3,1,1,N",
                            "A40,40,0,33,1,1,N,x", "A40;40,0,3,1,1,N,x", "A", "A40,40,0,,1,1,N,x"})
        EXPECT_FALSE(read(bad)) << bad;
    EXPECT_EQ(count(), before);
}

TEST_F(FormReaderTest, BarcodeLines) {
    ASSERT_TRUE(read("B40,40,0,E30,2,3,80,BC,V01"));
    BarcodeRecord b = BarcodeRecord::decode(last().record);
    EXPECT_EQ(b.type, 8);
    EXPECT_EQ(b.humanReadable, 2);
    EXPECT_EQ(b.height, 80);
    EXPECT_EQ(b.data, "V01");
    struct Case {
        const char* line;
        int type, readable;
    };
    for (const Case c : {Case{"B0,0,1,3,1,2,10,N,x", 0, 0}, Case{"B0,0,1,2U,1,2,10,B,x", 26, 1},
                         Case{"B0,0,1,0,1,2,10,BL,x", 19, 1}, Case{"B0,0,1,UE5,1,2,10,BR,x", 25, 3},
                         Case{"B0,0,1,1E,8,8,255,BC,", 12, 2}}) {
        ASSERT_TRUE(read(c.line)) << c.line;
        b = BarcodeRecord::decode(last().record);
        EXPECT_EQ(b.type, c.type) << c.line;
        EXPECT_EQ(b.humanReadable, c.readable) << c.line;
    }
    ASSERT_TRUE(read("B1,1,0,3,1,2,10,N," + std::string(80, '7')));
    EXPECT_EQ(BarcodeRecord::decode(last().record).data, std::string(63, '7'));

    const std::size_t before = count();
    for (const char* bad : {"B40,40,0,E31,2,3,80,BC,x", "B40,40,0,e30,2,3,80,BC,x", "B40,40,0,E300,2,3,80,BC,x",
                            "B40,40,0,E30,2,3,256,BC,x", "B40,40,0,E30,9,3,80,BC,x", "B40,40,0,E30,2,0,80,BC,x",
                            "B40,40,0,E30,2,3,80,BX,x", "B40,40,0,E30,2,3,80,X,x", "B40,40,0,E30,2,3,80,BC",
                            "B40,40,0,E30", "B40,40,0,,2,3,80,N,x", "B40,40,0,E30,2,3,80,NN,x"})
        EXPECT_FALSE(read(bad)) << bad;
    EXPECT_EQ(count(), before);
}

TEST_F(FormReaderTest, RectanglesLinesAndBoxes) {
    ASSERT_TRUE(read("LE-2046,2047,2047,0"));
    RectangleRecord r = RectangleRecord::decode(last().record);
    EXPECT_EQ(r.x, -2046);
    EXPECT_EQ(r.width, 2047);
    EXPECT_EQ(r.colour, 1);
    ASSERT_TRUE(read("LW1,2,3,4"));
    EXPECT_EQ(RectangleRecord::decode(last().record).colour, 2);

    ASSERT_TRUE(read("LS10,10,4E,100,100"));
    LineRecord l = LineRecord::decode(last().record);
    EXPECT_EQ(l.thickness, 4);
    EXPECT_EQ(l.colour, 1);
    EXPECT_EQ(l.x2, 100);
    ASSERT_TRUE(read("LS10,10,4,100,100"));
    EXPECT_EQ(LineRecord::decode(last().record).colour, 0);
    ASSERT_TRUE(read("LS-1,-2,80W,-3,-4"));
    l = LineRecord::decode(last().record);
    EXPECT_EQ(l.colour, 2);
    EXPECT_EQ(l.y2, -4);

    ASSERT_TRUE(read("X40,40,4,140,90"));
    const BoxRecord x = BoxRecord::decode(last().record);
    EXPECT_EQ(x.x1, 40);
    EXPECT_EQ(x.thickness, 4);
    EXPECT_EQ(x.y2, 90);

    const std::size_t before = count();
    for (const char* bad : {"LO-2047,0,1,1", "LO0,0,2048,1", "LO0,0,1,2048", "LO0,0,1,1,", "LX0,0,1,1", "L",
                            "LS10,10,81,100,100", "LS10,10,4X,100,100", "LS10,10,4E,100", "LS10,10,4E,100,100x",
                            "X40,40,81,140,90", "X40,40,4,140", "X40,40,4,140,2048", "X-2047,40,4,140,90"})
        EXPECT_FALSE(read(bad)) << bad;
    EXPECT_EQ(count(), before);
}

TEST_F(FormReaderTest, PicturesOnlyWhenTheNameIsKnown) {
    ASSERT_TRUE(read("GG10,-20,\"LOGO\""));  // list entry "  LOGO " matches once trimmed
    PictureRecord p = PictureRecord::decode(last().record);
    EXPECT_EQ(p.name, "LOGO");
    EXPECT_EQ(p.y, -20);
    EXPECT_EQ(p.dataLength, 0u);
    EXPECT_EQ(last().picture, nullptr);
    ASSERT_TRUE(read("GG0,0,\"A\\\"B\""));  // a backslash takes the quote literally
    EXPECT_EQ(PictureRecord::decode(last().record).name, "A\"B");

    const std::size_t before = count();
    for (const char* bad : {"GG0,0,\"logo\"", "GG0,0,\"LOGO", "GG0,0,\"LOGO\"x", "GG0,0,LOGO", "GX0,0,\"LOGO\"",
                            "GG0,0,\"LOGO\\\"", "GG-2047,0,\"LOGO\"", "GG0,0,\"OTHER\"", "GG0,0,\"\""})
        EXPECT_FALSE(read(bad)) << bad;
    EXPECT_EQ(count(), before);
}

TEST(FormReaderPictures, ResolverCanSupplyTheData) {
    LabelDocument d;
    auto block = std::make_shared<PictureBlock>();
    block->bytes = {1, 1, 0x00, 0x00};
    FormReader reader(d, [&](const std::string& name) -> std::optional<ResolvedPicture> {
        if (name != "SIXTEENCHARNAME1") return std::nullopt;
        return ResolvedPicture{block, 8, 2};
    });
    ASSERT_TRUE(reader.readFormLine("GG1,2,\"SIXTEENCHARNAME1\""));
    const PictureRecord p = PictureRecord::decode(d.figures.back().record);
    EXPECT_EQ(p.name, "SIXTEENCHARNAME");  // 15 characters kept
    EXPECT_EQ(p.width, 8);
    EXPECT_EQ(p.height, 2);
    EXPECT_EQ(p.dataLength, 4u);
    EXPECT_EQ(d.figures.back().picture, block);
    FormReader blind(d);  // no resolver: no picture can be placed
    EXPECT_FALSE(blind.readFormLine("GG1,2,\"SIXTEENCHARNAME1\""));
}

TEST_F(FormReaderTest, SetupLines) {
    LabelSetup& s = document.setup;
    s.offset = 5;
    ASSERT_TRUE(read("Q200,B24-8"));
    EXPECT_EQ(s.length, 200);
    EXPECT_EQ(s.labelGap, 24);
    EXPECT_EQ(s.offset, -8);
    EXPECT_EQ(s.paperType, 1);
    ASSERT_TRUE(read("Q300,24"));
    EXPECT_EQ(s.offset, 0);
    EXPECT_EQ(s.paperType, 0);
    ASSERT_TRUE(read("Q1650,120+80"));
    EXPECT_EQ(s.offset, 80);
    EXPECT_FALSE(read("Q2000,24"));
    EXPECT_FALSE(read("Q200,121"));
    EXPECT_FALSE(read("Q200,24+81"));
    EXPECT_FALSE(read("Q200,24-8x"));
    EXPECT_FALSE(read("Q200"));
    EXPECT_EQ(s.length, 1650);

    EXPECT_FALSE(read("S7"));
    ASSERT_TRUE(read("S6"));
    EXPECT_EQ(s.speed, 6);
    EXPECT_FALSE(read("S6 "));
    ASSERT_TRUE(read("D15"));
    EXPECT_EQ(s.darkness, 15);
    EXPECT_FALSE(read("D16"));
    EXPECT_FALSE(read("q609"));
    ASSERT_TRUE(read("q608"));
    EXPECT_EQ(s.width, 608);
    ASSERT_TRUE(read("ZB"));
    EXPECT_EQ(s.orientation, 1);
    EXPECT_FALSE(read("ZBX"));
    EXPECT_FALSE(read("Z"));
    ASSERT_TRUE(read("ZT"));
    EXPECT_EQ(s.orientation, 0);
    ASSERT_TRUE(read("j1"));
    EXPECT_EQ(s.normalText, 0);
    ASSERT_TRUE(read("j0"));
    EXPECT_EQ(s.normalText, 1);
    EXPECT_FALSE(read("j2"));
    ASSERT_TRUE(read("TDY2.MN.DD"));
    EXPECT_EQ(s.dateFormat, "Y2.MN.DD");
    ASSERT_TRUE(read("TT" + std::string(30, 'H')));
    EXPECT_EQ(s.timeFormat, std::string(15, 'H'));
    EXPECT_FALSE(read("TX1"));

    // Lines the reader does not restore leave everything as it was.
    const LabelSetup before = s;
    for (const char* ignored : {"; Saved by TAVRIN Label Editor", " Q200,24", "R10,10", "I2", "P1", "N", "FE",
                                "rQ200,24", "", "~", "\x7f"})
        EXPECT_FALSE(read(ignored)) << ignored;
    EXPECT_EQ(s, before);
    EXPECT_EQ(count(), 0u);
}

TEST_F(FormReaderTest, VariableAndCounterDefinitions) {
    ASSERT_TRUE(read("V03,05,R0,\"Price\""));
    const Variable& v = document.variables[3];
    EXPECT_TRUE(v.isDefined());
    EXPECT_EQ(v.length, 5);
    EXPECT_EQ(v.justification, kJustifyRight);
    EXPECT_EQ(v.padChar, '0');
    EXPECT_EQ(v.promptText(), "Price");
    ASSERT_TRUE(read("V31,32,L,\"\""));
    EXPECT_EQ(document.variables[31].padChar, ' ');
    EXPECT_EQ(document.variables[31].promptText(), "");
    ASSERT_TRUE(read("V00,04,R,,\"say \"hi\"\""));  // a comma as pad, quotes inside the prompt
    EXPECT_EQ(document.variables[0].padChar, ',');
    EXPECT_EQ(document.variables[0].promptText(), "say \"hi\"");

    document.counters[2].setValue("0009");
    ASSERT_TRUE(read("C02,04,R0,-1,\"Count\""));
    const Counter& c = document.counters[2];
    EXPECT_TRUE(c.isDefined());
    EXPECT_EQ(c.counterStep(), -1);
    EXPECT_EQ(c.padChar, '0');
    EXPECT_EQ(c.valueText(), "0009");  // the value stays
    ASSERT_TRUE(read("C07,04,N,+127,\"x\""));
    EXPECT_EQ(document.counters[7].counterStep(), 127);
    EXPECT_EQ(document.counters[7].padChar, ' ');

    for (const char* bad : {"V32,05,R0,\"P\"", "V03,33,R0,\"P\"", "V03,05,X0,\"P\"", "V03,05,R0,\"P",
                            "V03,05,R0,P", "V03,05,R0,\"P\"x", "V03,05,R0,\"123456789012345678901234567\"",
                            "V03", "C08,04,R0,+1,\"P\"", "C00,04,R0,+128,\"P\"", "C00,04,R0,\"P\"", "C00,04,R0,+1"})
        EXPECT_FALSE(read(bad)) << bad;
    EXPECT_FALSE(document.counters[0].isDefined());
}

}  // namespace
}  // namespace tavrin
