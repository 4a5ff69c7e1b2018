// Labels written as form files and read back line by line keep every figure and every
// setup field the form carries; hostile lines never break the reader.
#include <gtest/gtest.h>

#include <random>

#include "printer/form_reader.h"
#include "printer/form_writer.h"
#include "printer_fixtures.h"

namespace tavrin {
namespace {

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool chance(int percent) { return between(1, 100) <= percent; }
    // Printable bytes, including some of the printer's upper half; never a line end.
    std::string text(int maxLength) {
        std::string out(static_cast<std::size_t>(between(0, maxLength)), ' ');
        for (char& c : out) c = chance(90) ? static_cast<char>(between(0x20, 0x7E)) : static_cast<char>(between(0xA0, 0xFF));
        return out;
    }
    std::string name() {
        static constexpr std::string_view kChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
        std::string out(static_cast<std::size_t>(between(1, 15)), 'A');
        for (char& c : out) c = kChars[static_cast<std::size_t>(between(0, static_cast<int>(kChars.size()) - 1))];
        return out;
    }
    int position(int low = -2046) { return chance(10) ? (chance(50) ? low : 2047) : between(-100, 700); }

private:
    std::mt19937 rng_;
};

LabelDocument randomLabel(Generator& g, std::vector<std::string>& pictureNames) {
    LabelDocument d;
    LabelSetup& s = d.setup;
    s.length = g.between(0, 1650);
    s.labelGap = g.between(0, 120);
    s.offset = g.between(-80, 80);
    s.paperType = g.between(0, 2);
    s.orientation = g.between(0, 1);
    s.darkness = g.between(0, 15);
    s.speed = g.between(0, 6);
    s.width = g.between(0, 608);
    s.dateFormat = g.text(15);
    s.timeFormat = g.text(15);
    for (int i = 0; i < kVariableCount; ++i)
        if (g.chance(15))
            d.variables[static_cast<std::size_t>(i)] = test::makeSlot(
                g.between(0, 32), g.between(0, 3), static_cast<char>(g.between(0x20, 0x7E)), g.text(26), g.text(63));
    for (int i = 0; i < kCounterCount; ++i)
        if (g.chance(20))
            d.counters[static_cast<std::size_t>(i)] =
                test::makeSlot(g.between(0, 32), g.between(0, 3), static_cast<char>(g.between(0x20, 0x7E)),
                               g.text(26), "1", g.between(-128, 127));
    std::vector<char> fontLetters;
    const int figureCount = g.between(1, 25);
    for (int i = 0; i < figureCount; ++i) {
        switch (g.between(0, 6)) {
            case 0: {
                int font = g.between(1, 5);
                if (!fontLetters.empty() && g.chance(40)) font = 5 + g.between(1, static_cast<int>(fontLetters.size()));
                test::addText(d, g.position(-2047), g.position(-2047), font, g.between(0, 3), g.text(67), g.between(0, 3),
                              g.between(1, 8), g.between(1, 8));
                break;
            }
            case 1:
                test::addBarcode(d, g.between(0, 26), g.position(-2047), g.position(-2047), g.between(0, 255),
                                 g.between(1, 8), g.between(1, 8), g.between(0, 3), g.text(63), g.between(0, 3));
                break;
            case 2:
                test::addRectangle(d, g.position(), g.position(), g.between(0, 2047), g.between(0, 2047), g.between(0, 2));
                break;
            case 3:
                test::addLine(d, g.position(), g.position(), g.position(), g.position(), g.between(0, 80), g.between(0, 2));
                break;
            case 4: test::addBox(d, g.position(), g.position(), g.position(), g.position(), g.between(0, 80)); break;
            case 5: {
                const std::string name = g.name();
                pictureNames.push_back(name);
                test::addPicture(d, g.position(), g.position(), name, nullptr, 0, 0);
                break;
            }
            case 6: {
                const char letter = static_cast<char>('A' + g.between(0, 25));
                if (d.figures.fontByLetter(letter)) break;
                fontLetters.push_back(letter);
                test::addFont(d, letter, {1, 0, 16});
                break;
            }
        }
    }
    return d;
}

// What a form carries of a figure, as the reader would build it.
Record expectedRecord(const Figure& f, const FigureList& figures) {
    if (f.kind == FigureKind::Text) {
        TextRecord t = TextRecord::decode(f.record);
        if (const Figure* font = figures.softFontByNumber(t.font)) {
            t.font = FontRecord::decode(font->record).letter;
            t.style = 0;
        }
        t.drawnWidth = 0;
        return t.encode();
    }
    return f.record;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

TEST(FormRoundTrip, GeneratedLabelsReadBackAsWritten) {
    Generator g(20261206);
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> names;
        const LabelDocument original = randomLabel(g, names);
        BufferSink sink;
        writeFormFile(original, sink);

        LabelDocument copy;
        copy.setup.leftMargin = 77;  // not carried by the reader: must stay
        FormReader reader(copy, FormReader::nameListResolver(names));
        for (const std::string& line : splitLines(sink.text())) reader.readFormLine(line);

        std::vector<Record> expected;
        for (const Figure& f : original.figures)
            if (!f.isFont()) expected.push_back(expectedRecord(f, original.figures));
        std::vector<Record> actual;
        for (const Figure& f : copy.figures) actual.push_back(f.record);
        ASSERT_EQ(actual, expected) << "round " << round << "\n" << sink.text();

        const LabelSetup& a = original.setup;
        const LabelSetup& b = copy.setup;
        EXPECT_EQ(b.length, a.length);
        EXPECT_EQ(b.labelGap, a.labelGap);
        EXPECT_EQ(b.offset, a.offset);
        EXPECT_EQ(b.paperType, a.paperType == 1 ? 1 : 0);
        EXPECT_EQ(b.orientation, a.orientation);
        EXPECT_EQ(b.darkness, a.darkness);
        EXPECT_EQ(b.speed, a.speed);
        EXPECT_EQ(b.width, a.width);
        EXPECT_EQ(b.dateFormat, a.dateFormat);
        EXPECT_EQ(b.timeFormat, a.timeFormat);
        EXPECT_EQ(b.leftMargin, 77);

        for (int i = 0; i < kVariableCount + kCounterCount; ++i) {
            const bool counter = i >= kVariableCount;
            const auto slot = static_cast<std::size_t>(counter ? i - kVariableCount : i);
            const Variable& want = counter ? original.counters[slot] : original.variables[slot];
            const Variable& got = counter ? copy.counters[slot] : copy.variables[slot];
            ASSERT_EQ(got.isDefined(), want.isDefined()) << "round " << round << " slot " << i;
            if (!want.isDefined()) continue;
            EXPECT_EQ(got.length, want.length);
            EXPECT_EQ(got.justification, want.justification);
            EXPECT_EQ(got.padChar, want.justification == kJustifyNone ? ' ' : want.padChar);
            EXPECT_EQ(got.counterStep(), counter ? want.counterStep() : 0);
            EXPECT_EQ(got.promptText(), want.promptText()) << sink.text();
        }
    }
}

TEST(FormRoundTrip, HostileLinesNeverBreakTheReader) {
    Generator g(7);
    LabelDocument d;
    FormReader reader(d, [](const std::string&) { return std::optional<ResolvedPicture>(ResolvedPicture{}); });
    const std::vector<std::string> seeds = {
        "A40,40,0,3,1,1,N,\"Text\"", "B40,40,0,E30,2,3,80,BC,V01", "LS40,40,4E,140,90", "X40,40,4,140,90",
        "LO40,40,100,20", "GG40,40,\"PICT0001\"", "Q200,B24-8", "V03,05,R0,\"Price\"", "C00,04,R0,+1,\"Count\"",
        "TDDD-MN-Y4", "q608", "S6", "D8", "ZT", "j1"};
    for (int i = 0; i < 20000; ++i) {
        std::string line = seeds[static_cast<std::size_t>(g.between(0, static_cast<int>(seeds.size()) - 1))];
        switch (g.between(0, 4)) {
            case 0:  // random bytes, any value
                line.assign(static_cast<std::size_t>(g.between(0, 300)), '\0');
                for (char& c : line) c = static_cast<char>(g.between(0, 255));
                if (!line.empty()) line[0] = "ABCDGLQSTVXZjq"[g.between(0, 13)];
                break;
            case 1:  // huge numbers and long fields
                line.insert(static_cast<std::size_t>(g.between(1, static_cast<int>(line.size()))),
                            std::string(static_cast<std::size_t>(g.between(1, 400)), static_cast<char>(g.chance(50) ? '9' : 'x')));
                break;
            case 2:  // a quote or a backslash dropped or added at the end
                if (g.chance(50) && !line.empty()) line.pop_back();
                else line.push_back(g.chance(50) ? '\\' : '"');
                break;
            case 3:  // cut anywhere
                line.resize(static_cast<std::size_t>(g.between(0, static_cast<int>(line.size()))));
                break;
            default:  // a byte changed
                line[static_cast<std::size_t>(g.between(0, static_cast<int>(line.size()) - 1))] =
                    static_cast<char>(g.between(0, 255));
        }
        reader.readFormLine(line);
    }
    // Whatever got in respects the record limits.
    for (const Figure& f : d.figures) {
        if (f.kind == FigureKind::Text) {
            const TextRecord t = TextRecord::decode(f.record);
            EXPECT_LE(t.data.size(), 67u);
            EXPECT_TRUE(t.hMul >= 1 && t.hMul <= 8 && t.vMul >= 1 && t.vMul <= 8);
        }
        if (f.kind == FigureKind::Barcode) {
            const BarcodeRecord b = BarcodeRecord::decode(f.record);
            EXPECT_LE(b.data.size(), 63u);
            EXPECT_TRUE(b.type >= 0 && b.type <= 26);
        }
        if (f.kind == FigureKind::Picture) {
            EXPECT_LE(PictureRecord::decode(f.record).name.size(), 15u);
        }
    }
    EXPECT_LE(d.setup.dateFormat.size(), 15u);
    EXPECT_LE(d.setup.width, 608);
    EXPECT_LE(d.setup.length, 1650);
    for (const Variable& v : d.variables) {
        EXPECT_LE(v.promptText().size(), 26u);
    }
}

}  // namespace
}  // namespace tavrin
