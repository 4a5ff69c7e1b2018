// Code 39 (with and without check, full ASCII), Code 93 and Codabar.
#include <gtest/gtest.h>

#include "barcode/barcode_probe.h"

namespace tavrin {
namespace {

using barcode::BarcodeResult;
using test::Compare;

BarcodeResult encode(int type, std::string_view data, int narrow = 1, int wide = 3) {
    return barcode::encodeBarcode({type, data, narrow, wide});
}

TEST(Code39, InvalidInputAndPlaceholders) {
    const auto empty = encode(0, "");
    EXPECT_FALSE(empty.invalid);
    EXPECT_EQ(empty.text, "000000");
    const auto high = encode(1, "A\xC8" "B");
    EXPECT_TRUE(high.invalid);
    EXPECT_EQ(high.text, "A0B");
    EXPECT_EQ(high.bars, encode(1, "A0B").bars);
}

TEST(Code39, CheckCharacterAndText) {
    // C12 O24 D13 E14 3 9: 75 mod 43 = 32, "W".  "a" is "+A": 41 + 10 = 51 mod 43 = 8.
    test::expectReadsBack(1, "CODE39", "CODE39W");
    test::expectReadsBack(1, "a", "+A8");
    EXPECT_EQ(encode(1, "CODE39").text, "CODE39");  // the check is not shown
    EXPECT_EQ(encode(0, "ab").text, "ab");          // the text is the data as typed
}

// zint's Code 39 (-b 8, --vers=1 adds the check) and full ASCII Code 39 (-b 9).
TEST(Code39, MatchZintAndReadBack) {
    test::expectMatchesZint(0, "CODE 39", "-b 8 -d 'CODE 39'", Compare::Elements);
    test::expectMatchesZint(0, "-.$/+%0129", "-b 8 -d '-.$/+%0129'", Compare::Elements);
    test::expectMatchesZint(1, "XYZ-123", "-b 8 --vers=1 -d XYZ-123", Compare::Elements);
    test::expectMatchesZint(0, "ab", "-b 9 -d ab", Compare::Elements);
    test::expectMatchesZint(0, "Tavrin!#*", "-b 9 -d 'Tavrin!#*'", Compare::Elements);
    test::expectMatchesZint(1, "a;b", "-b 9 --vers=1 -d 'a;b'", Compare::Elements);
    test::expectReadsBack(0, "ab", "+A+B");  // full ASCII pairs, four symbols
    test::expectReadsBack(0, "LABEL-42", "LABEL-42");
}

TEST(Code93, InvalidInputAndWideIgnored) {
    EXPECT_EQ(encode(2, "").text, "000000");
    EXPECT_FALSE(encode(2, "").invalid);
    const auto lower = encode(2, "Ab*");  // no automatic full ASCII
    EXPECT_TRUE(lower.invalid);
    EXPECT_EQ(lower.bars, encode(2, "A00").bars);
    // Start, 3 symbols, C, K, stop of 9 modules and the termination bar, whatever the wide.
    EXPECT_EQ(encode(2, "ABC", 2, 5).barLength, (7 * 9 + 1) * 2);
    EXPECT_EQ(encode(2, "ABC", 2, 5).bars, encode(2, "ABC", 2, 9).bars);
}

// zint's Code 93 (-b 25) adds the same C and K check characters.
TEST(Code93, MatchZintAndReadBack) {
    for (const char* data : {"CODE93", "TEST 93", "A-1.$/+%", "0", "THE QUICK BROWN FOX"})
        test::expectMatchesZint(2, data, std::string("-b 25 -d '") + data + "'", Compare::Modules);
    test::expectReadsBack(2, "X^A_B", "X!b");  // (/)A is "!", (+)B is "b"
    test::expectReadsBack(2, "PART 77", "PART 77");
}

TEST(Codabar, InvalidInputAndPlaceholders) {
    const auto empty = encode(4, "");
    EXPECT_TRUE(empty.invalid);
    EXPECT_EQ(empty.text, "A0000B");
    const auto bare = encode(4, "1234");  // drawn, but crossed out
    EXPECT_TRUE(bare.invalid);
    EXPECT_GT(bare.barLength, 0);
    EXPECT_EQ(encode(4, "A1x3B").text, "A103B");
    EXPECT_FALSE(encode(4, "C12-$:/.+D").invalid);
}

// zint's Codabar (-b 18) draws wide elements two modules wide.
TEST(Codabar, MatchZintAndReadBack) {
    for (const char* data : {"A1234B", "C-$:/.+D", "D0987654321A", "B5C"})
        test::expectMatchesZint(4, data, std::string("-b 18 -d '") + data + "'", Compare::Elements);
    test::expectReadsBack(4, "A40156B", "A40156B");
}

}  // namespace
}  // namespace tavrin
