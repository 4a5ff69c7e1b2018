// Every symbology in four groups (limits, invalid input, check digits and text, bars against
// zint; what a scanner reads is the barcode check's test), the symbology table, and a Barcode figure drawn on the label. Types: 0, 1
// Code 39 (with check), 2 Code 93, 3 Code 128, 4 Codabar, 5..11 EAN-8/13 with add-ons, 12 EAN
// 128, 13 Leitcode/Identcode, 14..16 Interleaved 2 of 5 (with check), 17 Plessey, 18 Postnet,
// 19 SSCC-18, 20..25 UPC-A/E, 26 ITF-14.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

#include "barcode/zint_dump.h"
#include "document/figure_records.h"
#include "document/label_document.h"
#include "render/barcode/barcode.h"
#include "render/barcode_figure.h"
#include "render/resident_font.h"
#include "support/label_builders.h"
#include "support/test_support.h"

namespace tavrin::test {
namespace {

barcode::BarcodeResult encode(int type, std::string_view data, int narrow = 1, int wide = 3) {
    return barcode::encodeBarcode({type, data, narrow, wide});
}

// The symbol's columns as '0'/'1'; `narrow` > 1 keeps one column per module.
std::string modules(const barcode::BarRow& row, int narrow = 1) {
    std::string out;
    for (std::size_t i = 0; i < row.columns().size(); i += static_cast<std::size_t>(narrow))
        out += row.columns()[i] ? '1' : '0';
    return out;
}

// The rows of `zint --dump <arguments>` with the trailing spaces trimmed.
std::vector<std::string> zintRows(const std::string& arguments) {
    std::vector<std::string> rows;
    for (std::string row : zintDump(arguments)) {
        row.erase(row.find_last_not_of('0') + 1);
        if (!row.empty()) rows.push_back(row);
    }
    return rows;
}

// Runs as 'n' (the narrowest) or 'w' (any longer): the narrow/wide sequence, whatever the ratio.
std::string elementClasses(const std::string& bits) {
    std::vector<std::size_t> widths;
    for (std::size_t i = 0, j = 0; i < bits.size(); widths.push_back(j - i), i = j)
        while (j < bits.size() && bits[j] == bits[i]) ++j;
    std::string out;
    for (auto w : widths) out += w == *std::min_element(widths.begin(), widths.end()) ? 'n' : 'w';
    return out;
}

// Checks (type, data) against `zint --dump <zint>` (with -d 'data' unless given; add-on after a
// 9-module gap) at narrow 1 and 3, module for module (at wide = 3 x narrow) or as the sequence
// of narrow and wide elements.
enum class Compare { Modules, Elements };
void expectMatchesZint(int type, std::string_view data, std::string zint, Compare how) {
    if (zint.find(" -d ") == std::string::npos) zint += " -d '" + std::string(data) + "'";
    SCOPED_TRACE("zint --dump " + zint);
    const auto rows = zintRows("--addongap=9 " + zint);
    ASSERT_EQ(rows.size(), 1u) << "zint is needed (scripts/install-deps)";
    for (int n : {1, 3}) {
        const auto r = encode(type, data, n, 3 * n);
        std::string ours = modules(r.bars, how == Compare::Modules ? n : 1);
        if (r.addOnDigits > 0) ours += std::string(9, '0') + modules(r.addOnBars, n);
        if (how == Compare::Modules) EXPECT_EQ(ours, rows[0]) << "narrow " << n;
        else EXPECT_EQ(elementClasses(ours), elementClasses(rows[0])) << "narrow " << n;
    }
}

// What (type, data) gives; fields left out are unchecked; `barsOf` is data with the same bars.
struct Case {
    int type;
    std::string_view data;
    std::optional<std::string_view> text = {};
    std::optional<bool> invalid = {};
    std::optional<std::string_view> barsOf = {};
    int checkDigit = -1;  // EAN/UPC
};
void expectCases(std::initializer_list<Case> cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " data '" + std::string(c.data) + "'");
        const auto r = encode(c.type, c.data);
        if (c.text) { EXPECT_EQ(r.text, *c.text); }
        if (c.invalid) { EXPECT_EQ(r.invalid, *c.invalid); }
        if (c.barsOf) { EXPECT_EQ(r.bars, encode(c.type, *c.barsOf).bars); }
        if (c.checkDigit >= 0) { EXPECT_EQ(r.checkDigit, c.checkDigit); }
    }
}

using namespace std::string_view_literals;

TEST(Symbologies, LengthAndInputLimits) {
    // EAN/UPC: exactly so many digits.
    for (auto [type, digits] : {std::pair{5, std::size_t{7}}, {6, 9}, {7, 12}, {8, 12}, {9, 14}, {10, 17}, {11, 12},
                                {20, 11}, {21, 13}, {22, 16}, {23, 6}, {24, 8}, {25, 11}})
        for (std::size_t n : {digits - 1, digits, digits + 1})
            EXPECT_EQ(encode(type, std::string(n, '1')).invalid, n != digits) << type << " " << n;
    // 67 modules for EAN-8, 95 for EAN-13 and UPC-A, 51 for UPC-E.
    EXPECT_EQ((std::array{encode(5, "1234567", 2).barLength, encode(8, "123456789012", 3).barLength,
                          encode(23, "123456").barLength, encode(8, "123456789012").totalLength}),
              (std::array{134, 285, 51, 95}));
    // An add-on and its gap add 29 modules for 2 digits, 56 for 5.
    for (int n = 1; n <= 4; ++n) {
        const auto two = encode(9, "12345678901212", n), five = encode(10, "12345678901212345", n);
        EXPECT_EQ(two.totalLength - two.barLength, 29 * n);
        EXPECT_EQ(five.totalLength - five.barLength, 56 * n);
        EXPECT_EQ(two.addOnOffset, two.barLength + 9 * n);
    }
    // Code 93: start, 3 symbols, C, K, stop of 9 modules and the termination bar, whatever the wide.
    EXPECT_EQ(encode(2, "ABC", 2, 5).barLength, (7 * 9 + 1) * 2);
    EXPECT_EQ(encode(2, "ABC", 2, 5).bars, encode(2, "ABC", 2, 9).bars);
    EXPECT_EQ(encode(17, "1234", 2, 7).bars, encode(17, "1234", 2, 3).bars);  // Plessey too
    // Code 128: 63 letters at narrow 6 need 66 symbols of 66 dots: cut at 2048 columns, marked.
    EXPECT_TRUE(encode(3, std::string(63, 'x'), 6).invalid);
    EXPECT_EQ(encode(3, std::string(63, 'x'), 6).barLength, barcode::kMaxColumns);
    EXPECT_FALSE(encode(3, std::string(20, 'x'), 6).invalid);
    // EAN 128 takes 48 characters; Identcode 11 digits, Leitcode 13, ITF-14 13; Postnet 5, 6, 8, 9 or 11.
    expectCases({{12, "10" + std::string(46, 'A'), {}, false}, {13, "12345678901", {}, false},
                 {13, "1234567890123", {}, false}, {13, "123456789012", {}, true}, {26, "12345678901234", {}, true},
                 {18, "12345", {}, false}, {18, "123456", {}, false}, {18, "12345678", {}, false},
                 {18, "123456789", {}, false}, {18, "12345678901", {}, false}});
}

TEST(Symbologies, InvalidInputAndPlaceholders) {
    expectCases({
        // EAN/UPC: the wrong number of digits gives the zero symbol; other bytes are coded
        // modulo ten ('A' 65 -> 5, '!' 33 -> 3).
        {8, "12345678901", "0000000000000", true, "000000000000"}, {5, "12A4!67", {}, true, "1254367"},
        // Code 39: any length; a byte past 127 is drawn as "0". Code 93: no automatic full ASCII.
        {0, "", "000000", false}, {1, "A\xC8" "B", "A0B", true, "A0B"}, {2, "", "000000", false},
        {2, "Ab*", {}, true, "A00"},
        // Code 128: a byte it cannot code draws nothing, but is marked.
        {3, "AB\x1f", {}, true}, {3, "A\xaa", {}, true}, {3, "\x7f\x00"sv, {}, true}, {3, "\x20\xa9", {}, false},
        // Codabar: start and stop letters are required; without them it is drawn but crossed.
        {4, "", "A0000B", true}, {4, "1234", {}, true}, {4, "A1x3B", "A103B"}, {4, "C12-$:/.+D", {}, false},
        // Interleaved 2 of 5 and the postal codes.
        {14, "", "1234", false}, {14, "12A4", "1254", true}, {13, "123", "00.000 000.000 0", true},
        {26, "", "0 00 00000 00000 0", true},
        // Plessey ('B' 66 -> 6), Postnet (digit sum 12: check 8) and SSCC-18.
        {17, "", "0000", true}, {17, "1B3", {}, true, "163"}, {18, "1234", "000000", true},
        {18, "12a45", "120458", true}, {19, "1234", "(00)000000000000000000", true},
        {19, "1234567890123456A", {}, true}});
    EXPECT_EQ(encode(19, "1234567890123456A").text.substr(4, 17), "12345678901234565");  // 'A' 65 -> 5
    for (std::string_view nothing : {"AB\x1f"sv, "A\xaa"sv, "\x7f\x00"sv}) EXPECT_EQ(encode(3, nothing).barLength, 0);
    EXPECT_GT(encode(4, "1234").barLength, 0);
    // EAN 128: too long, a space, no data, a short or lettered fixed-length element, an empty
    // element or an unknown identifier give START C, FNC1, ten pairs of zeros, check, stop, bar.
    for (const std::string& bad : {"10" + std::string(47, 'A'), std::string("10AB CD"), std::string(),
                                   std::string("0112345"), std::string("0112345678901A31"),
                                   std::string("10AB\x1d\x1d" "10C"), std::string("3X")}) {
        expectCases({{12, bad, "(00)000000000000000000", true}});
        EXPECT_EQ(encode(12, bad).barLength, 14 * 11 + 2) << bad;
    }
}

TEST(Symbologies, CheckDigitsAndHumanReadableText) {
    expectCases({
        // EAN/UPC (type, data, text, invalid, bars of, check digit). UPC-E expands by its sixth
        // digit: 425261 -> 04210000526, 123453 -> 01230000045, 123454 -> 01234000005, 123457 ->
        // 01234500007. Price 14685 by the weighting tables: 5+(1)=5, 2-(4)=8, 5-(6)=7, 5+(8)=4,
        // 2-(5)=9; sum 33, 10 - 3 = 7 = 5-(6): digit 7 becomes 6; the check of 201234614685 is 2.
        {8, "123456789012", "1234567890128", false, {}, 8}, {5, "9638507", {}, {}, {}, 4},
        {20, "03600029145", {}, {}, {}, 2}, {23, "425261", "4252614"}, {23, "123453", {}, {}, {}, 1},
        {23, "123454", {}, {}, {}, 3}, {23, "123457", {}, {}, {}, 2}, {6, "123456712", "12345670"},
        {11, "201234014685", "2012346146852"},
        // Code 39: the check is not shown; the text is the data as typed.
        {1, "CODE39", "CODE39"}, {0, "ab", "ab"},
        // Code 128: controls show as blanks, specials (166 FNC1, 160 FNC3) not at all.
        {3, "A\x81" "B\xa6" "C\xa0", "A BC"},
        // EAN 128: each element string with its identifier.
        {12, "0112345678901231", "(01)12345678901231", false},
        {12, "10ABC123\x1d" "3102000123", "(10)ABC123(3102)000123", false},
        {12, "800512345681011234567890810212", "(8005)123456(8101)1234567890(8102)12", false},
        // SSCC-18: weights 3, 1, ... from the first digit: check 5; GS1's 00614141123456789 gives 0.
        {19, "12345678901234567", "(00)123456789012345675", false},
        {19, "00614141123456789", "(00)006141411234567890", false},
        // Interleaved 2 of 5: 123 is padded with a zero in the bars only. 123: 3x3 + 2 + 1x3 =
        // 14, check 6; encoded by both, shown only by type 16. Leitcode, Identcode: weights
        // 4, 9, 4 ... from the first digit: 284 and 314, check 6 for both.
        {14, "123", "123", false, "0123"}, {15, "123", "123", false}, {16, "123", "1236", false},
        {13, "12345678901", "12.345 678.901 6", false}, {13, "1234567890123", "12345.678.901.23 6", false},
        {26, "1234567890123", "1 23 45678 90123 1", false},
        // Postnet: digit sum 15, check 5.
        {18, "12345", "123455", false}});
    EXPECT_EQ(encode(6, "123456712").addOnText, "12");
    EXPECT_EQ(encode(11, "211111900000").text.substr(6, 1), "0");
}

TEST(EanUpc, CaptionGroupsFollowTheLayout) {
    const auto runs = [](const barcode::EanCaption& c, std::string out = {}) {
        for (const auto& r : c.runs) out += (out.empty() ? "" : "|") + r.text;
        return out;
    };
    // Font 3 below narrow 3, spacing 7n - 14; leading digit at -3n - 12; symbol moved 3n + 12.
    const auto ean13 = barcode::layoutEanCaption(encode(8, "123456789012", 2), 2, 80);
    ASSERT_EQ(runs(ean13), "1|234567|890128");
    EXPECT_EQ((std::array{ean13.font, ean13.spacing, ean13.symbolShift, ean13.runs[0].offset, ean13.runs[2].offset}),
              (std::array{3, 0, 18, -18, 98}));
    const auto upce = barcode::layoutEanCaption(encode(25, "42526112345", 3), 3, 80);
    ASSERT_EQ(runs(upce), "0|425261|4");
    EXPECT_EQ(upce.addOn.text, "12345");
    EXPECT_EQ((std::array{upce.font, upce.runs[2].offset, upce.addOn.offset, upce.addOnSpacing}),
              (std::array{4, 51 * 3 + 5 / 2, 153 + 42, 11}));
    const auto upca = barcode::layoutEanCaption(encode(20, "03600029145"), 1, 80);
    EXPECT_EQ(runs(upca), "036000|291452");
    EXPECT_EQ(upca.symbolShift, 0);
}

TEST(Symbologies, DataToExpectedBars) {
    // EAN/UPC guard rows from the standard guard patterns.
    const std::string s42(42, '0'), s28(28, '0');
    EXPECT_EQ(modules(encode(8, "123456789012").guardBars), "101" + s42 + "01010" + s42 + "101");
    EXPECT_EQ(modules(encode(5, "1234567").guardBars), "101" + s28 + "01010" + s28 + "101");
    EXPECT_EQ(modules(encode(23, "123456").guardBars), "101" + std::string(43, '0') + "10101");
    // Code 128: START B, A, CODE C, 12, 34, CODE B, 5, check, stop: four digits ahead switch
    // to set C at once (an optimiser would take A, 1, CODE C, 23, 45). A control character
    // anywhere starts in set A: a, b then need CODE B and CODE A back.
    EXPECT_EQ(encode(3, "A12345").barLength, 9 * 11 + 2);
    EXPECT_EQ(encode(3, "ab\x81").barLength, encode(3, "AB\x81").barLength + 22);
    // Postnet: 32 bars of 4 dots at a 10-dot pitch, whatever narrow and wide; tall bars take 24
    // dots, short ones the bottom 8.
    const auto postnet = encode(18, "12345", 5, 9);
    EXPECT_EQ((std::array{postnet.fixedHeight, postnet.shortBarHeight}), (std::array{24, 8}));
    std::string bars = "1111";
    for (int i = 1; i < 32; ++i) bars += "0000001111";
    EXPECT_EQ(modules(postnet.bars), bars);
    EXPECT_EQ(postnet.bars, encode(18, "12345", 1, 2).bars);
    // zint (-b 40) dumps two rows, the tall parts and then every bar, a bar every second module.
    for (const char* data : {"12345", "12345678901"}) {
        const auto rows = zintRows(std::string("-b 40 -d ") + data);
        ASSERT_EQ(rows.size(), 2u) << "zint is needed (scripts/install-deps)";
        std::string expected, ours;
        for (std::size_t i = 0; i < rows[1].size(); i += 2) expected += rows[0].substr(i, 1) == "1" ? 'T' : 'S';
        const auto r = encode(18, data);
        for (int column = 0; column < r.barLength; column += 10) ours += r.tallBars.at(column) ? 'T' : 'S';
        EXPECT_EQ(ours, expected) << data;
    }
}

// zint's symbol (`zint --dump -b N -d 'data'`, or the -d written out), module for module (M) or
// as narrow and wide elements (E) where zint's wide ones are two modules; same check characters.
TEST(Symbologies, BarsMatchZint) {
    constexpr auto M = Compare::Modules, E = Compare::Elements;
    const struct { int type; const char* data; const char* zint; Compare how; } vectors[] = {
        // EAN (-b 13) and UPC-A (-b 34), UPC-E (-b 37); zint takes the add-on after "+".
        {5, "9638507", "-b 13", M}, {6, "123456712", "-b 13 -d 1234567+12", M}, {8, "590123412345", "-b 13", M},
        {7, "123456798765", "-b 13 -d 1234567+98765", M}, {9, "12345678901242", "-b 13 -d 123456789012+42", M},
        {20, "03600029145", "-b 34", M},
        {21, "7234567890103", "-b 34 -d 72345678901+03", M}, {22, "0123456789012345", "-b 34 -d 01234567890+12345", M},
        {23, "425261", "-b 37", M}, {23, "123453", "-b 37", M}, {23, "123454", "-b 37", M}, {23, "987657", "-b 37", M},
        {24, "65432122", "-b 37 -d 654321+22", M}, {25, "11111954321", "-b 37 -d 111119+54321", M},
        // Code 39 (-b 8, --vers=1 adds the check) and full ASCII Code 39 (-b 9).
        {0, "CODE 39", "-b 8", E}, {0, "-.$/+%0129", "-b 8", E}, {1, "XYZ-123", "-b 8 --vers=1", E},
        {0, "ab", "-b 9", E}, {1, "a;b", "-b 9 --vers=1", E},
        // Code 93 (-b 25) with its C and K check characters.
        {2, "CODE93", "-b 25", M}, {2, "A-1.$/+%", "-b 25", M}, {2, "THE QUICK BROWN FOX", "-b 25", M},
        // Code 128 (-b 20) optimises its set choice; these data leave it no other choice than ours.
        {3, "1234AB", "-b 20", M}, {3, "AB1234", "-b 20", M}, {3, "A1234B", "-b 20", M}, {3, "123456789", "-b 20", M},
        {3, "Tavrin 1.12", "-b 20", M},
        // EAN 128 and SSCC-18 (-b 16).
        {12, "0112345678901231", "-b 16 -d '[01]12345678901231'", M},
        {19, "12345678901234567", "-b 16 -d '[00]123456789012345675'", M},
        // Codabar (-b 18).
        {4, "A1234B", "-b 18", E}, {4, "C-$:/.+D", "-b 18", E}, {4, "D0987654321A", "-b 18", E},
        // Interleaved 2 of 5 (-b 3, --vers=1 adds the check), Identcode -b 22, Leitcode -b 21, ITF-14 -b 89.
        {14, "123", "-b 3 -d 0123", M}, {14, "9876543210", "-b 3", M}, {15, "123", "-b 3 --vers=1", M},
        {16, "24680", "-b 3 --vers=1", M}, {13, "12345678901", "-b 22", M}, {13, "1234567890123", "-b 21", M},
        {26, "1234567890123", "-b 89", M},
        // MSI Plessey with the modulo 10 check (-b 47 --vers=1): same start, bits, Luhn check, stop.
        {17, "1234", "-b 47 --vers=1", E}, {17, "80523", "-b 47 --vers=1", E}, {17, "4012888888881", "-b 47 --vers=1", E}};
    for (const auto& v : vectors) expectMatchesZint(v.type, v.data, v.zint, v.how);
}

TEST(SymbologyTable, PrinterCodesAndUnknownTypes) {
    EXPECT_STREQ(barcode::symbology(11).printerCode, "A30");
    EXPECT_STREQ(barcode::symbology(19).printerCode, "0");
    for (auto [code, type] : {std::pair{"E30", 8}, {"3C", 1}, {"UE5", 25}, {"3", 0}, {"e30", -1}, {"", -1}})
        EXPECT_EQ(barcode::symbologyByPrinterCode(code), type) << code;
    std::set<std::string> all;
    for (int type = 0; type < barcode::kLinearSymbologyCount; ++type) all.insert(barcode::symbology(type).printerCode);
    EXPECT_EQ(all.size(), static_cast<std::size_t>(barcode::kLinearSymbologyCount));
    EXPECT_FALSE(all.count(""));
    for (int type : {-1, 30, 1000}) {  // unknown types are marked and draw nothing
        EXPECT_STREQ(barcode::symbology(type).name, "");
        EXPECT_TRUE(encode(type, "123").invalid);
        EXPECT_EQ(encode(type, "123").barLength, 0);
    }
}

// The longest data at the widest elements stays within the 2048-column row, or is marked.
TEST(SymbologyTable, NoEncoderWritesPastTheRow) {
    const std::string digits(63, '7');
    for (int type = 0; type < barcode::kLinearSymbologyCount; ++type) {
        const auto r = encode(type, digits, 6, 10);
        EXPECT_LE(r.bars.length(), barcode::kMaxColumns) << type;
        EXPECT_EQ(r.barLength, r.bars.length()) << type;
        EXPECT_TRUE(r.invalid || !r.bars.overflowed()) << type;
    }
    EXPECT_TRUE(encode(0, digits, 6, 10).invalid);
    EXPECT_FALSE(encode(0, "1234", 6, 10).invalid);
}

TEST(PlainCaption, FontByPitchAndPlacement) {
    using barcode::layoutPlainCaption;
    const auto all = [](barcode::PlainCaption c) { return std::array{c.font, c.vMul, c.start}; };
    // Pitch 13 with "Center": font 2, vMul 2; free 130 - 12 x 10 = 10, start 5. Pitch 14: 140 - 14 x 10.
    EXPECT_EQ(all(layoutPlainCaption(130, 10, 2)), (std::array{2, 2, 5}));
    EXPECT_EQ(all(layoutPlainCaption(140, 10, 3)), (std::array{3, 1, 0}));
    EXPECT_EQ(layoutPlainCaption(200, 10, 3).font, 4);
    EXPECT_EQ(layoutPlainCaption(200, 10, 3).start, 40);
    EXPECT_EQ(layoutPlainCaption(119, 10, 1).font, 1);
    EXPECT_EQ(layoutPlainCaption(200, 10, 1).start, 0);
    EXPECT_EQ(layoutPlainCaption(0, 0, 2).start, 0);  // no text, no division
}

class BarcodeFigureTest : public ::testing::Test, protected DrawnLabel {
protected:
    BarcodeFigureTest() : DrawnLabel(500, 500) {}
    Figure& figure(int type, const char* data, int rotation = 0, int humanReadable = 0) {
        return addBarcode(document, type, 250, 250, 40, 2, 5, humanReadable, data, rotation);
    }
    Bitmap draw(Figure& f) {
        Bitmap canvas(500, 500);
        lines.clear();
        DrawBarcodeFigure(canvas, context, f, lines);
        return canvas;
    }
    static std::string row(const Bitmap& b, int y) {
        std::string out;
        for (int x = 0; x < b.width(); ++x) out += b.isInk(x, y) ? '1' : '0';
        return out;
    }
    std::vector<ScreenLine> lines;  // what is drawn on the screen only
};

TEST_F(BarcodeFigureTest, LengthsAreWrittenBackAndTheReferencePointMoves) {
    document.setup.leftMargin = 7, document.setup.topMargin = 3;
    Figure& f = figure(9, "\"12345678901242\"");
    const Bitmap b = draw(f);
    const BarcodeRecord r = BarcodeRecord::decode(f.record);
    EXPECT_EQ((std::array{r.barLength, r.totalLength}), (std::array{190u, 190u + 58u}));
    // The start guard's first bar at (257, 253), full height without a human-readable line.
    EXPECT_EQ(inkString(b, {{257, 253}, {256, 253}, {257, 292}, {257, 293}}), "1010");
    EXPECT_TRUE(lines.empty());
}

TEST_F(BarcodeFigureTest, FourRotationsTurnAroundTheAnchor) {
    // Every glyph a solid block, so that the human-readable line turns with the bars.
    ResidentFonts fonts;
    fonts.loadFromBytes(std::vector<std::uint8_t>(ResidentFonts::kGlyphAreaSize, 0xFF));
    context.residentFonts = &fonts;
    Figure& f = figure(0, "\"AB-12\"", 0, 2);
    const Bitmap upright = draw(f);
    for (int rotation = 1; rotation < 4; ++rotation) {
        setRecord16(f.record, 14, rotation);
        const Bitmap turned = draw(f);
        EXPECT_EQ(turned.countInk(), upright.countInk());
        for (int y = 0; y < 500; ++y)
            for (int x = 0; x < 500; ++x) {
                const auto [px, py] = turnedPoint(rotation, 250, 250, x - 250, y - 250);  // along and across
                ASSERT_TRUE(!upright.isInk(x, y) || turned.isInk(px, py))
                    << rotation << ": " << x << "," << y;
            }
    }
}

TEST_F(BarcodeFigureTest, GuardBarsReachBelowTheOthersUnderAHumanReadableLine) {
    const Bitmap b = draw(figure(8, "\"123456789012\"", 0, 2));
    const int x = 250 + 18;  // EAN-13 moves 3n + 12 = 18 dots right for its leading digit
    EXPECT_EQ(row(b, 250).find('1'), static_cast<std::size_t>(x));
    // Bars stop 16 dots short; the guards (start, centre at module 46, end) go on.
    const std::string low = row(b, 250 + 30);
    for (int module : {0, 2, 46, 48, 92, 94}) EXPECT_EQ(low[static_cast<std::size_t>(x + 2 * module)], '1') << module;
    EXPECT_EQ(low[static_cast<std::size_t>(x + 2 * 3)], '0');
    EXPECT_EQ(inkString(b, {{x, 250 + 39}, {x, 250 + 40}}), "10");
}

TEST_F(BarcodeFigureTest, PostnetTallAndShortBars) {
    Figure& f = figure(18, "\"12345\"");
    // Frame bar: tall, 24 dots; digit 1 = 00011: its first bar short, only the bottom 8 dots.
    EXPECT_EQ(inkString(draw(f), {{250, 250}, {253, 273}, {250, 274}, {260, 265}, {260, 266}, {260, 273}, {264, 270}}),
              "1100110");
    EXPECT_EQ(BarcodeRecord::decode(f.record).barLength, 314u);
}

}  // namespace
}  // namespace tavrin::test
