// Code 128 with its fixed set choice, EAN 128 and SSCC-18.
#include <gtest/gtest.h>

#include "barcode/barcode_probe.h"
#include "render/barcode/barcode.h"

namespace tavrin {
namespace {

using barcode::BarcodeResult;
using test::columns;

BarcodeResult encode(int type, std::string_view data, int narrow = 1) {
    return barcode::encodeBarcode({type, data, narrow, 3});
}

// Symbols as module strings, written from the standard Code 128 width table.
std::string symbolModules(const char* widths) {
    std::string out;
    bool bar = true;
    for (const char* w = widths; *w; ++w, bar = !bar) out.append(static_cast<std::size_t>(*w - '0'), bar ? '1' : '0');
    return out;
}

// --- Length and input limits ---

TEST(Code128Limits, BytesOutsideTheRangeDrawNothing) {
    for (const char* data : {"AB\x1f", "A\xaa", "\x7f\x00"}) {
        const auto r = encode(3, std::string_view(data, 3));
        EXPECT_TRUE(r.invalid);
        EXPECT_EQ(r.barLength, 0);
    }
    EXPECT_FALSE(encode(3, "\x20\xa9").invalid);
}

TEST(Code128Limits, OverflowingDataIsCutAndMarked) {
    // 63 letters at narrow 6: 66 symbols of 66 dots, far beyond the 2048-column row.
    const auto r = encode(3, std::string(63, 'x'), 6);
    EXPECT_TRUE(r.invalid);
    EXPECT_EQ(r.barLength, barcode::kMaxColumns);
    EXPECT_EQ(r.bars.length(), barcode::kMaxColumns);
    EXPECT_FALSE(encode(3, std::string(20, 'x'), 6).invalid);  // 23 symbols + 2: 1530 dots
}

// --- Check digits and human-readable text ---

TEST(Code128Check, TextShowsControlsAsBlanksAndDropsSpecials) {
    // 129 is control code 1, 166 FNC1, 160 FNC3.
    EXPECT_EQ(encode(3, "A\x81" "B\xa6" "C\xa0").text, "A BC");
}

TEST(Code128Check, SetChoiceAndCheckForOneTwoThreeFourAB) {
    // START C, 12, 34, CODE B, A, B; check (105 + 12 + 34x2 + 100x3 + 33x4 + 34x5) mod 103
    // = 787 mod 103 = 66; stop with its termination bar.
    const std::string expected = symbolModules("211232") + symbolModules("112232") +
                                 symbolModules("131123") + symbolModules("114131") +
                                 symbolModules("111323") + symbolModules("131123") +
                                 symbolModules("121421") + symbolModules("2331112");
    EXPECT_EQ(test::modules(encode(3, "1234AB", 2).bars, 2), expected);
}

TEST(Code128Check, FourDigitsSwitchToSetCWithoutLookingFurther) {
    // START B, A, CODE C, 12, 34, CODE B, 5, check, stop: 9 symbols and the 2-module bar.
    // (An optimiser would take A, 1, CODE C, 23, 45: one symbol less.)
    EXPECT_EQ(encode(3, "A12345").barLength, 9 * 11 + 2);
    // A control character anywhere starts in set A.
    EXPECT_EQ(encode(3, "ab\x81").barLength, encode(3, "AB\x81").barLength + 22);
}

// --- Data to expected bars ---

// Where the set choice agrees with zint's: `zint --dump -b 20 -d <data>`.
TEST(Code128Bars, MatchZintWhereTheChoiceAgrees) {
    for (const char* data : {"1234AB", "AB1234", "A1234B", "12345", "abc", "123456789", "Tavrin 1.12"}) {
        SCOPED_TRACE(data);
        const auto rows = test::zintRows(std::string("-b 20 -d '") + data + "'");
        ASSERT_EQ(rows.size(), 1u) << "zint is needed (scripts/install-deps)";
        EXPECT_EQ(test::modules(encode(3, data, 3).bars, 3), rows[0]);
    }
}

TEST(Code128Bars, ZXingReadsAllSets) {
    if (!test::haveZXing()) GTEST_SKIP() << "ZXing not available";
    const struct { const char* data; const char* read; } cases[] = {
        {"1234AB", "1234AB"},
        {"A12345", "A12345"},
        {"\x81" "a12", "\x01" "a12"},        // set A, CODE B
        {"ab\x9f" "c", "ab\x1f" "c"},        // set A from the start, CODE B, back to A
        {"12345678\x82", "12345678\x02"},    // set C, then CODE A
        {"Hello, World! {~}", "Hello, World! {~}"},
    };
    for (const auto& c : cases) {
        for (int n = 1; n <= 4; ++n) {
            for (int rotation = 0; rotation < 4; ++rotation) {
                SCOPED_TRACE(c.read);
                EXPECT_EQ(test::readWithZXing(columns(encode(3, c.data, n).bars), rotation), c.read);
            }
        }
    }
}

// --- EAN 128 ---

TEST(Ean128Limits, LengthAndCharacters) {
    const std::string ok = "10" + std::string(46, 'A');
    EXPECT_FALSE(encode(12, ok).invalid);
    EXPECT_TRUE(encode(12, ok + "A").invalid);  // 49 characters
    EXPECT_TRUE(encode(12, "10AB CD").invalid);  // blank
    EXPECT_TRUE(encode(12, "").invalid);
}

TEST(Ean128Invalid, ElementStringsThatDoNotParseGiveThePlaceholder) {
    const auto placeholder = encode(12, "0112345");  // 14 digits required
    EXPECT_TRUE(placeholder.invalid);
    EXPECT_EQ(placeholder.text, "(00)000000000000000000");
    // START C, FNC1, ten pairs of zeros: 13 symbols with check and stop, plus the bar.
    EXPECT_EQ(placeholder.barLength, 14 * 11 + 2);
    EXPECT_TRUE(encode(12, "0112345678901A31").invalid);  // a letter in a digit field
    EXPECT_TRUE(encode(12, "10AB\x1d\x1d" "10C").invalid);  // nothing between separators
    EXPECT_TRUE(encode(12, "3X").invalid);                  // no identifier digits
}

TEST(Ean128Check, TextShowsEachElementStringWithItsIdentifier) {
    const struct { const char* data; const char* text; } cases[] = {
        {"0112345678901231", "(01)12345678901231"},
        {"00123456789012345675", "(00)123456789012345675"},
        {"10ABC123\x1d" "3102000123", "(10)ABC123(3102)000123"},
        {"17991231" "2012", "(17)991231(20)12"},
        {"2401ABC\x1d" "42512", "(240)1ABC(425)12"},
        {"4101234567890123", "(410)1234567890123"},
        {"8005123456" "8101" "1234567890" "81021" "2", "(8005)123456(8101)1234567890(8102)12"},
        {"800312AB", "(8003)12AB"},
        {"23212345", "(232)12345"},
        {"99", "(99)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const auto r = encode(12, c.data);
        EXPECT_FALSE(r.invalid);
        EXPECT_EQ(r.text, c.text);
    }
}

TEST(Ean128Bars, ZXingReadsTheGs1Data) {
    if (!test::haveZXing()) GTEST_SKIP() << "ZXing not available";
    for (const char* data : {"0112345678901231", "10ABC123\x1d" "3102000123", "2401ABC\x1d" "42512"}) {
        SCOPED_TRACE(data);
        for (int rotation = 0; rotation < 4; ++rotation)
            EXPECT_EQ(test::readWithZXing(columns(encode(12, data, 2).bars), rotation), data);
    }
}

// `zint --dump -b 16 -d '[01]12345678901231'`: all digits, so the same set C encoding.
TEST(Ean128Bars, MatchZintForDigitData) {
    const auto rows = test::zintRows("-b 16 -d '[01]12345678901231'");
    ASSERT_EQ(rows.size(), 1u) << "zint is needed (scripts/install-deps)";
    EXPECT_EQ(test::modules(encode(12, "0112345678901231").bars, 1), rows[0]);
}

// --- SSCC-18 ---

TEST(Sscc18, LengthCheckDigitTextAndBars) {
    // 12345678901234567: weights 3, 1, ... from the first digit: check 5.
    const auto r = encode(19, "12345678901234567");
    EXPECT_FALSE(r.invalid);
    EXPECT_EQ(r.text, "(00)123456789012345675");
    // `zint --dump -b 16 -d '[00]123456789012345675'` and the GS1 example 006141411234567890.
    const auto rows = test::zintRows("-b 16 -d '[00]123456789012345675'");
    ASSERT_EQ(rows.size(), 1u) << "zint is needed (scripts/install-deps)";
    EXPECT_EQ(test::modules(r.bars, 1), rows[0]);
    EXPECT_EQ(encode(19, "00614141123456789").text, "(00)006141411234567890");

    const auto shortData = encode(19, "1234");
    EXPECT_TRUE(shortData.invalid);
    EXPECT_EQ(shortData.text, "(00)000000000000000000");
    const auto letter = encode(19, "1234567890123456A");  // 'A' 65 -> 5
    EXPECT_TRUE(letter.invalid);
    EXPECT_EQ(letter.text.substr(4, 17), "12345678901234565");
}

}  // namespace
}  // namespace tavrin
