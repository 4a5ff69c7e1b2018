// Code 39 (with and without check, full ASCII), Code 93 and Codabar.
#include <gtest/gtest.h>

#include "barcode/barcode_probe.h"
#include "render/barcode/barcode.h"

namespace tavrin {
namespace {

using barcode::BarcodeResult;
using test::columns;
using test::elementClasses;

BarcodeResult encode(int type, std::string_view data, int narrow = 1, int wide = 3) {
    return barcode::encodeBarcode({type, data, narrow, wide});
}

// --- Length and input limits ---

TEST(Code39Limits, SymbolWidthFollowsNarrowAndWide) {
    // Start, one symbol and stop: each 6 narrow and 3 wide elements, two gaps.
    for (int n = 1; n <= 3; ++n)
        for (int w = 2; w <= 6; ++w) EXPECT_EQ(encode(0, "A", n, w).barLength, 3 * (6 * n + 3 * w) + 2 * n);
}

TEST(Code93Limits, NineModulesPerSymbolWhateverTheWide) {
    // Start, 3 symbols, C, K, stop (9 modules each) and the termination bar.
    EXPECT_EQ(encode(2, "ABC", 2, 5).barLength, (7 * 9 + 1) * 2);
    EXPECT_EQ(encode(2, "ABC", 2, 5).bars.columns(), encode(2, "ABC", 2, 9).bars.columns());
}

// --- Invalid input and its placeholder ---

TEST(Code39Invalid, EmptyAndHighCodes) {
    const auto empty = encode(0, "");
    EXPECT_FALSE(empty.invalid);
    EXPECT_EQ(empty.text, "000000");
    EXPECT_EQ(empty.bars.columns(), encode(0, "000000").bars.columns());
    const auto high = encode(1, "A\xC8" "B");
    EXPECT_TRUE(high.invalid);
    EXPECT_EQ(high.text, "A0B");
    EXPECT_EQ(high.bars.columns(), encode(1, "A0B").bars.columns());
}

TEST(Code93Invalid, OutsideTheSetBecomesZero) {
    const auto empty = encode(2, "");
    EXPECT_FALSE(empty.invalid);
    EXPECT_EQ(empty.text, "000000");
    const auto lower = encode(2, "Ab*");
    EXPECT_TRUE(lower.invalid);
    EXPECT_EQ(lower.text, "A00");
    EXPECT_EQ(lower.bars.columns(), encode(2, "A00").bars.columns());
}

TEST(CodabarInvalid, PlaceholderAndMissingStartStop) {
    const auto empty = encode(4, "");
    EXPECT_TRUE(empty.invalid);
    EXPECT_EQ(empty.text, "A0000B");
    const auto bare = encode(4, "1234");  // drawn, but crossed out
    EXPECT_TRUE(bare.invalid);
    EXPECT_GT(bare.barLength, 0);
    const auto other = encode(4, "A1x3B");
    EXPECT_TRUE(other.invalid);
    EXPECT_EQ(other.text, "A103B");
    EXPECT_FALSE(encode(4, "C12-$:/.+D").invalid);
}

// --- Check digits and human-readable text ---

TEST(Code39Check, ModuloFortyThreeIncludesFullAsciiPairs) {
    // C12 O24 D13 E14 3 9: 75 mod 43 = 32, "W".  "a" is "+A": 41 + 10 = 51 mod 43 = 8.
    if (test::haveZXing()) {
        EXPECT_EQ(test::readWithZXing(columns(encode(1, "CODE39").bars), 0), "CODE39W");
        EXPECT_EQ(test::readWithZXing(columns(encode(1, "a").bars), 0), "+A8");
    }
    EXPECT_EQ(encode(1, "CODE39").text, "CODE39");  // the check is not shown
    EXPECT_EQ(encode(0, "ab").text, "ab");          // the text is the data as typed
}

// --- Data to expected bars ---

// Expected element sequences from `zint --dump -b <symbology> [--vers=1] -d <data>`; zint
// draws wide elements 2 modules wide, so narrow/wide classes are compared.
TEST(Code39Bars, MatchZintElements) {
    const struct { int type; const char* data; const char* zint; } cases[] = {
        {0, "CODE 39", "-b 8 -d 'CODE 39'"},
        {0, "-.$/+%0129", "-b 8 -d '-.$/+%0129'"},
        {1, "CODE39", "-b 8 --vers=1 -d CODE39"},
        {1, "XYZ-123", "-b 8 --vers=1 -d XYZ-123"},
        {0, "ab", "-b 9 -d ab"},
        {0, "Tavrin!#*", "-b 9 -d 'Tavrin!#*'"},
        {1, "a;b", "-b 9 --vers=1 -d 'a;b'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zint);
        const auto rows = test::zintRows(c.zint);
        ASSERT_EQ(rows.size(), 1u) << "zint is needed (scripts/install-deps)";
        EXPECT_EQ(elementClasses(columns(encode(c.type, c.data, 2, 5).bars)), elementClasses(rows[0]));
    }
}

TEST(Code39Bars, FullAsciiPairsAreDrawnAsTheirSymbols) {
    if (!test::haveZXing()) GTEST_SKIP() << "ZXing not available";
    EXPECT_EQ(test::readWithZXing(columns(encode(0, "ab").bars), 0), "+A+B");
    for (int n = 1; n <= 4; ++n)
        for (int rotation = 0; rotation < 4; ++rotation)
            EXPECT_EQ(test::readWithZXing(columns(encode(0, "LABEL-42", n, 3 * n).bars), rotation),
                      "LABEL-42");
}

// `zint --dump -b 25 -d <data>`: same module widths, same two check characters.
TEST(Code93Bars, MatchZint) {
    for (const char* data : {"CODE93", "TEST 93", "A-1.$/+%", "0", "THE QUICK BROWN FOX"}) {
        SCOPED_TRACE(data);
        const auto rows = test::zintRows(std::string("-b 25 -d '") + data + "'");
        ASSERT_EQ(rows.size(), 1u) << "zint is needed (scripts/install-deps)";
        EXPECT_EQ(test::modules(encode(2, data, 3).bars, 3), rows[0]);
    }
}

TEST(Code93Bars, ShiftSymbolsReadAsFullAscii) {
    if (!test::haveZXing()) GTEST_SKIP() << "ZXing not available";
    // (+)A is "a", (%)A is ESC... use (/)A = "!" and (+)B = "b", ($)A = code 1.
    EXPECT_EQ(test::readWithZXing(columns(encode(2, "X^A_B").bars), 0), "X!b");
    for (int rotation = 0; rotation < 4; ++rotation)
        EXPECT_EQ(test::readWithZXing(columns(encode(2, "PART 77", 2).bars), rotation), "PART 77");
}

// `zint --dump -b 18 -d <data>`, wide elements 2 modules: narrow/wide classes compared.
TEST(CodabarBars, MatchZintElements) {
    for (const char* data : {"A1234B", "C-$:/.+D", "D0987654321A", "B5C"}) {
        SCOPED_TRACE(data);
        const auto rows = test::zintRows(std::string("-b 18 -d '") + data + "'");
        ASSERT_EQ(rows.size(), 1u) << "zint is needed (scripts/install-deps)";
        EXPECT_EQ(elementClasses(columns(encode(4, data, 1, 3).bars)), elementClasses(rows[0]));
    }
}

TEST(CodabarBars, ZXingReads) {
    if (!test::haveZXing()) GTEST_SKIP() << "ZXing not available";
    for (int n = 1; n <= 4; ++n)
        for (int rotation = 0; rotation < 4; ++rotation)
            EXPECT_EQ(test::readWithZXing(columns(encode(4, "A40156B", n, 3 * n).bars), rotation),
                      "A40156B");
}

}  // namespace
}  // namespace tavrin
