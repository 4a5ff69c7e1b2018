// Form lines read back into a label: accepted shapes, limits, lines that add nothing, and
// written labels read back as they were.
#include <gtest/gtest.h>

#include <random>

#include "printer/form_reader.h"
#include "printer/form_writer.h"
#include "printer/line_scanner.h"
#include "support/label_builders.h"

namespace tavrin {
namespace {

using namespace test;

TEST(LineScanner, NumbersClampAndStopAtNonDigits) {
    struct Case {
        bool isSigned;
        const char* text;
        long long value;
        char next;  // 0: not looked at
    };
    const Case cases[] = {{false, "123,", 123, ','},       {false, ",5", 0, ','},      {false, "65535", 65535, 0},
                          {false, "65536", 65535, 0},      {false, "-5", 0, 0},        {true, "-8", -8, 0},
                          {false, "99999999999999999999999x", 65535, 'x'},             {true, "+8", 8, 0},
                          {true, "32767", 32767, 0},       {true, "40000", 32767, 0},  {true, "-", 0, 0},
                          {true, "-999999999999", -32767, 0}, {true, "+-3", 0, '-'}};
    for (const Case& c : cases) {
        LineScanner s(c.text);
        EXPECT_EQ(c.isSigned ? s.scanSigned() : static_cast<long long>(s.scanUnsigned()), c.value) << c.text;
        EXPECT_TRUE(!c.next || s.peek() == c.next) << c.text;
    }
}

class FormReaderTest : public ::testing::Test {
protected:
    bool read(std::string_view line) { return reader.readFormLine(line); }
    LabelDocument document;
    FormReader reader{document, FormReader::nameListResolver({"  LOGO ", "PICT0001", "A\"B"})};
};

// Lines the round trip below never writes: clamps, a lower-case font letter, a second
// spelling of the readable line, list names with blanks or quotes.
TEST_F(FormReaderTest, FigureLinesBecomeTheirRecords) {
    using T = TextRecord;
    using B = BarcodeRecord;
    using K = FigureKind;
    struct Case {
        std::string line;
        FigureKind kind;
        Record record;
    };
    const std::vector<Case> cases = {
        {"A-2047,2047,3,b,8,8,W,V00,\"x\"", K::Text,  // a letter's upper-case code until fonts are fetched
         T{.x = -2047, .y = 2047, .hMul = 8, .vMul = 8, .font = 'B', .style = 3, .rotation = 3, .data = "V00,\"x\""}
             .encode()},
        {"A1,1,0,1,1,1,B," + std::string(100, 'x'), K::Text,
         T{.x = 1, .y = 1, .font = 1, .style = 2, .data = std::string(67, 'x')}.encode()},
        {"B0,0,1,0,1,2,10,BL,x", K::Barcode,
         B{.type = 19, .height = 10, .narrow = 1, .wide = 2, .humanReadable = 1, .rotation = 1, .data = "x"}.encode()},
        {"B1,1,0,3,1,2,10,N," + std::string(80, '7'), K::Barcode,
         B{.type = 0, .x = 1, .y = 1, .height = 10, .narrow = 1, .wide = 2, .humanReadable = 0,
           .data = std::string(63, '7')}.encode()},
        // The list entry "  LOGO " matches once trimmed; a backslash takes the quote literally.
        {"GG10,-20,\"LOGO\"", K::Picture, PictureRecord{.x = 10, .y = -20, .name = "LOGO"}.encode()},
        {"GG0,0,\"A\\\"B\"", K::Picture, PictureRecord{.name = "A\"B"}.encode()},
    };
    for (const auto& [line, kind, record] : cases) {
        ASSERT_TRUE(read(line)) << line;
        EXPECT_EQ(document.figures.back().kind, kind) << line;
        EXPECT_EQ(document.figures.back().record, record) << line;
        EXPECT_EQ(document.figures.back().picture, nullptr) << line;
    }
}

// Edge values, clamps, the j lines the generator leaves alone, and a value kept.
TEST_F(FormReaderTest, SetupAndDefinitionLines) {
    using S = LabelSetup;
    const std::vector<std::pair<std::string, std::function<void(S&)>>> steps = {
        {"Q1650,120+80", [](S& s) { s.length = 1650, s.labelGap = 120, s.offset = 80; }},
        {"q608", [](S& s) { s.width = 608; }},
        {"j1", [](S& s) { s.normalText = 0; }},
        {"j0", [](S& s) { s.normalText = 1; }},
        {"TT" + std::string(30, 'H'), [](S& s) { s.timeFormat = std::string(15, 'H'); }},
    };
    S expected = document.setup;
    for (const auto& [line, change] : steps) {
        ASSERT_TRUE(read(line)) << line;
        change(expected);
        EXPECT_EQ(document.setup, expected) << line;
    }
    document.counters[2].setValue("0009");  // the value stays
    struct Definition {
        const char* line;
        const Variable& slot;
        Variable expected;
    };
    const Definition definitions[] = {
        {"V00,04,R,,\"say \"hi\"\"",  // a comma as pad, quotes inside the prompt
         document.variables[0], makeSlot(4, kJustifyRight, ',', "say \"hi\"")},
        {"C02,04,R0,-1,\"Count\"", document.counters[2], makeSlot(4, kJustifyRight, '0', "Count", "0009", -1)},
        {"C07,04,N,+127,\"x\"", document.counters[7], makeSlot(4, kJustifyNone, ' ', "x", "", 127)},
    };
    for (const Definition& d : definitions) {
        ASSERT_TRUE(read(d.line)) << d.line;
        EXPECT_EQ(d.slot, d.expected) << d.line;
    }
}

TEST_F(FormReaderTest, LinesOutsideTheLimitsOrNotRestoredChangeNothing) {
    document.variables[3] = makeSlot(1, kJustifyLeft, ' ', "Old");
    const LabelDocument before = document;
    // Text with vMul 9, barcode E31, line colour X, length 2000, speed 7, width 609, ZBX,
    // comments and lines starting with a blank among them.
    for (const char* bad :
         {"A40,40,0,3,1,9,N,\"T\"", "A40,40,0,3,0,1,N,x", "A40,40,0,6,1,1,N,x", "A40,40,0,0,1,1,N,x",
          "A40,40,4,3,1,1,N,x", "A-2048,40,0,3,1,1,N,x", "A40,2048,0,3,1,1,N,x", "A40,40,0,3,1,1,X,x", "A",
          "A40,40,0,3,1,1,N", "A40,40,0,33,1,1,N,x", "A40;40,0,3,1,1,N,x", "A40,40,0,,1,1,N,x",
          "B40,40,0,E31,2,3,80,BC,x", "B40,40,0,e30,2,3,80,BC,x", "B40,40,0,E300,2,3,80,BC,x", "B40,40,0,E30",
          "B40,40,0,E30,2,3,256,BC,x", "B40,40,0,E30,9,3,80,BC,x", "B40,40,0,E30,2,0,80,BC,x",
          "B40,40,0,E30,2,3,80,BX,x", "B40,40,0,E30,2,3,80,X,x", "B40,40,0,E30,2,3,80,BC", "B40,40,0,,2,3,80,N,x",
          "B40,40,0,E30,2,3,80,NN,x", "LO-2047,0,1,1", "LO0,0,2048,1", "LO0,0,1,2048", "LO0,0,1,1,", "LX0,0,1,1",
          "L", "LS10,10,81,100,100", "LS10,10,4X,100,100", "LS10,10,4E,100", "LS10,10,4E,100,100x",
          "X40,40,81,140,90", "X40,40,4,140", "X40,40,4,140,2048", "X-2047,40,4,140,90", "GG0,0,\"logo\"",
          "GG0,0,\"LOGO", "GG0,0,\"LOGO\"x", "GG0,0,LOGO", "GX0,0,\"LOGO\"", "GG0,0,\"LOGO\\\"", "GG0,0,\"\"",
          "GG-2047,0,\"LOGO\"", "GG0,0,\"OTHER\"", "Q2000,24", "Q200,121", "Q200,24+81", "Q200,24-8x", "Q200",
          "S7", "S6 ", "D16", "q609", "ZBX", "Z", "j2", "TX1", "V32,05,R0,\"P\"", "V03,33,R0,\"P\"",
          "V03,05,X0,\"P\"", "V03,05,R0,\"P", "V03,05,R0,P", "V03,05,R0,\"P\"x", "V03", "C08,04,R0,+1,\"P\"",
          "V03,05,R0,\"123456789012345678901234567\"", "C00,04,R0,+128,\"P\"", "C00,04,R0,\"P\"",
          "C00,04,R0,+1", "; Saved by TAVRIN Label Editor", " Q200,24", "R10,10", "I2", "P1", "N", "FE",
          "rQ200,24", "", "~", "\x7f"})
        EXPECT_FALSE(read(bad)) << bad;
    EXPECT_EQ(document.figures.size(), 0u);
    EXPECT_EQ(document.setup, before.setup);
    EXPECT_EQ(document.variables, before.variables);
    EXPECT_EQ(document.counters, before.counters);
}

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool chance(int percent) { return between(1, 100) <= percent; }
    // Printable bytes, including some of the printer's upper half; never a line end.
    std::string text(int maxLength) {
        std::string out(static_cast<std::size_t>(between(0, maxLength)), ' ');
        for (char& c : out) c = static_cast<char>(chance(90) ? between(0x20, 0x7E) : between(0xA0, 0xFF));
        return out;
    }
    std::string name() {
        std::string out(static_cast<std::size_t>(between(1, 15)), 'A');
        for (char& c : out) c = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_"[between(0, 36)];
        return out;
    }
    int position(int low = -2046) { return chance(10) ? (chance(50) ? low : 2047) : between(-100, 700); }
    Variable slot(int step) {
        return makeSlot(between(0, 32), between(0, 3), static_cast<char>(between(0x20, 0x7E)), text(26),
                        step ? "1" : text(63), step);
    }

private:
    std::mt19937 rng_;
};

LabelDocument randomLabel(Generator& g, std::vector<std::string>& pictureNames) {
    LabelDocument d;
    d.setup = LabelSetup{.width = g.between(0, 608), .length = g.between(0, 1650), .offset = g.between(-80, 80),
                         .orientation = g.between(0, 1), .darkness = g.between(0, 15), .speed = g.between(0, 6),
                         .labelGap = g.between(0, 120), .paperType = g.between(0, 2), .dateFormat = g.text(15),
                         .timeFormat = g.text(15)};
    for (Variable& v : d.variables)
        if (g.chance(15)) v = g.slot(0);
    for (Counter& c : d.counters)
        if (g.chance(20)) c = g.slot(g.between(-128, 127));
    for (int i = g.between(1, 25), fonts = 0; i > 0; --i) {
        const int kind = g.between(0, 6), low = kind < 2 ? -2047 : -2046, x = g.position(low), y = g.position(low);
        if (kind == 0)
            addText(d, x, y, fonts > 0 && g.chance(40) ? 5 + g.between(1, fonts) : g.between(1, 5), g.between(0, 3),
                    g.text(67), g.between(0, 3), g.between(1, 8), g.between(1, 8));
        else if (kind == 1)
            addBarcode(d, g.between(0, 26), x, y, g.between(0, 255), g.between(1, 8), g.between(1, 8),
                       g.between(0, 3), g.text(63), g.between(0, 3));
        else if (kind == 2)
            addRectangle(d, x, y, g.between(0, 2047), g.between(0, 2047), g.between(0, 2));
        else if (kind == 3)
            addLine(d, x, y, g.position(), g.position(), g.between(0, 80), g.between(0, 2));
        else if (kind == 4)
            addBox(d, x, y, g.position(), g.position(), g.between(0, 80));
        else if (kind == 5)
            addPicture(d, x, y, pictureNames.emplace_back(g.name()), nullptr, 0, 0);
        else if (const char letter = static_cast<char>('A' + g.between(0, 25)); !d.figures.fontByLetter(letter)) {
            addFont(d, letter, {1, 0, 16});
            ++fonts;
        }
    }
    return d;
}

// What a form carries of a figure: a soft font's text names the font by its letter.
Record expectedRecord(const Figure& f, const FigureList& figures) {
    if (f.kind != FigureKind::Text) return f.record;
    TextRecord t = TextRecord::decode(f.record);
    if (const Figure* font = figures.softFontByNumber(t.font)) {
        t.font = FontRecord::decode(font->record).letter;
        t.style = 0;
    }
    t.drawnWidth = 0;
    return t.encode();
}

TEST(FormRoundTrip, GeneratedLabelsReadBackAsWritten) {
    Generator g(20261206);
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> names;
        const LabelDocument original = randomLabel(g, names);
        BufferSink sink;
        writeFormFile(original, sink);
        const std::string text = sink.text();
        LabelDocument copy;
        copy.setup.leftMargin = 77;  // not carried by the form: must stay
        FormReader reader(copy, FormReader::nameListResolver(names));
        for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            reader.readFormLine(std::string_view(text).substr(start, end - start - (text[end - 1] == '\r')));
        std::vector<Record> expected, actual;
        for (const Figure& f : original.figures)
            if (!f.isFont()) expected.push_back(expectedRecord(f, original.figures));
        for (const Figure& f : copy.figures) actual.push_back(f.record);
        ASSERT_EQ(actual, expected) << "round " << round << "\n" << text;
        LabelSetup setup = original.setup;
        setup.paperType = setup.paperType == 1 ? 1 : 0;  // continuous and black line both write no B
        setup.leftMargin = 77;
        EXPECT_EQ(copy.setup, setup) << "round " << round;
        for (std::size_t i = 0; i < kVariableCount + kCounterCount; ++i) {
            const bool counter = i >= kVariableCount;
            Variable want = counter ? original.counters[i - kVariableCount] : original.variables[i];
            const Variable& got = counter ? copy.counters[i - kVariableCount] : copy.variables[i];
            if (want.isDefined()) {
                want.setValue("");  // values are not part of a form
                if (want.justification == kJustifyNone) want.padChar = ' ';
            }
            ASSERT_EQ(got, want) << "round " << round << " slot " << i << "\n" << text;
        }
    }
}

}  // namespace
}  // namespace tavrin
