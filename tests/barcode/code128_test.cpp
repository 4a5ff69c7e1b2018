// Code 128 with its fixed set choice, EAN 128 and SSCC-18.
#include <gtest/gtest.h>

#include "barcode/barcode_probe.h"

namespace tavrin {
namespace {

using barcode::BarcodeResult;
using test::Compare;

BarcodeResult encode(int type, std::string_view data, int narrow = 1) {
    return barcode::encodeBarcode({type, data, narrow, 3});
}

// A symbol's modules from its widths in the standard Code 128 table.
std::string symbol(const char* widths) {
    std::string out;
    bool bar = true;
    for (const char* w = widths; *w; ++w, bar = !bar) out.append(static_cast<std::size_t>(*w - '0'), bar ? '1' : '0');
    return out;
}

TEST(Code128, LimitsAndOverflow) {
    for (std::string_view data : {std::string_view("AB\x1f", 3), std::string_view("A\xaa", 2),
                                  std::string_view("\x7f\x00", 2)}) {
        const auto r = encode(3, data);  // nothing drawn, but marked
        EXPECT_TRUE(r.invalid);
        EXPECT_EQ(r.barLength, 0);
    }
    EXPECT_FALSE(encode(3, "\x20\xa9").invalid);
    // 63 letters at narrow 6 need 66 symbols of 66 dots: cut at the row's end and marked.
    const auto longest = encode(3, std::string(63, 'x'), 6);
    EXPECT_TRUE(longest.invalid);
    EXPECT_EQ(longest.barLength, barcode::kMaxColumns);
    EXPECT_FALSE(encode(3, std::string(20, 'x'), 6).invalid);
}

TEST(Code128, SetChoiceCheckAndText) {
    // START C, 12, 34, CODE B, A, B; check (105 + 12 + 34x2 + 100x3 + 33x4 + 34x5) mod 103 = 66.
    EXPECT_EQ(test::modules(encode(3, "1234AB", 2).bars, 2),
              symbol("211232") + symbol("112232") + symbol("131123") + symbol("114131") + symbol("111323") +
                  symbol("131123") + symbol("121421") + symbol("2331112"));
    // START B, A, CODE C, 12, 34, CODE B, 5, check, stop: four digits ahead switch to set C
    // at once (an optimiser would take A, 1, CODE C, 23, 45).
    EXPECT_EQ(encode(3, "A12345").barLength, 9 * 11 + 2);
    // A control character anywhere starts in set A: a, b then need CODE B and CODE A back.
    EXPECT_EQ(encode(3, "ab\x81").barLength, encode(3, "AB\x81").barLength + 22);
    // Controls show as blanks, specials (166 FNC1, 160 FNC3) not at all.
    EXPECT_EQ(encode(3, "A\x81" "B\xa6" "C\xa0").text, "A BC");
}

// zint (-b 20) optimises its set choice; these data leave it no other choice than ours.
TEST(Code128, MatchZintAndReadBack) {
    for (const char* data : {"1234AB", "AB1234", "A1234B", "12345", "abc", "123456789", "Tavrin 1.12"})
        test::expectMatchesZint(3, data, std::string("-b 20 -d '") + data + "'", Compare::Modules);
    test::expectReadsBack(3, "A12345", "A12345");
    test::expectReadsBack(3, "\x81" "a12", "\x01" "a12");           // set A, CODE B
    test::expectReadsBack(3, "ab\x9f" "c", "ab\x1f" "c");           // A, CODE B, CODE A, CODE B
    test::expectReadsBack(3, "12345678\x82", "12345678\x02");       // set C, then CODE A
    test::expectReadsBack(3, "Hello, World! {~}", "Hello, World! {~}");
}

TEST(Ean128, LimitsAndPlaceholder) {
    const std::string longest = "10" + std::string(46, 'A');
    EXPECT_FALSE(encode(12, longest).invalid);
    for (const std::string& bad : {longest + "A", std::string("10AB CD"), std::string(), std::string("0112345"),
                                   std::string("0112345678901A31"), std::string("10AB\x1d\x1d" "10C"),
                                   std::string("3X")}) {
        const auto r = encode(12, bad);
        EXPECT_TRUE(r.invalid) << bad;
        EXPECT_EQ(r.text, "(00)000000000000000000");
        // START C, FNC1, ten pairs of zeros, check, stop and bar.
        EXPECT_EQ(r.barLength, 14 * 11 + 2);
    }
}

TEST(Ean128, TextShowsEachElementStringWithItsIdentifier) {
    const struct { const char* data; const char* text; } cases[] = {
        {"0112345678901231", "(01)12345678901231"},
        {"10ABC123\x1d" "3102000123", "(10)ABC123(3102)000123"},
        {"179912312012", "(17)991231(20)12"},
        {"2401ABC\x1d" "42512", "(240)1ABC(425)12"},
        {"4101234567890123", "(410)1234567890123"},
        {"800512345681011234567890810212", "(8005)123456(8101)1234567890(8102)12"},
        {"800312AB", "(8003)12AB"},
        {"23212345", "(232)12345"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(encode(12, c.data).invalid) << c.data;
        EXPECT_EQ(encode(12, c.data).text, c.text);
    }
}

TEST(Ean128, MatchZintAndReadBack) {
    test::expectMatchesZint(12, "0112345678901231", "-b 16 -d '[01]12345678901231'", Compare::Modules);
    test::expectReadsBack(12, "0112345678901231", "0112345678901231");
    test::expectReadsBack(12, "10ABC123\x1d" "3102000123", "10ABC123\x1d" "3102000123");
}

TEST(Sscc18, LengthCheckDigitTextAndBars) {
    // Weights 3, 1, ... from the first digit: check 5; GS1's example 00614141123456789 gives 0.
    EXPECT_EQ(encode(19, "12345678901234567").text, "(00)123456789012345675");
    EXPECT_EQ(encode(19, "00614141123456789").text, "(00)006141411234567890");
    test::expectMatchesZint(19, "12345678901234567", "-b 16 -d '[00]123456789012345675'", Compare::Modules);
    EXPECT_TRUE(encode(19, "1234").invalid);
    EXPECT_EQ(encode(19, "1234").text, "(00)000000000000000000");
    const auto letter = encode(19, "1234567890123456A");  // 'A' 65 -> 5
    EXPECT_TRUE(letter.invalid);
    EXPECT_EQ(letter.text.substr(4, 17), "12345678901234565");
}

}  // namespace
}  // namespace tavrin
