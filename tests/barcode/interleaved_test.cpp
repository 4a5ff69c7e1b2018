// Interleaved 2 of 5, ITF with check digits, the German postal codes and UPC Interleaved 2 of 5.
#include <gtest/gtest.h>

#include "barcode/barcode_probe.h"

namespace tavrin {
namespace {

using barcode::BarcodeResult;
using test::Compare;

BarcodeResult encode(int type, std::string_view data) { return barcode::encodeBarcode({type, data, 1, 3}); }

TEST(Interleaved, LengthLimitsAndPadding) {
    const auto odd = encode(14, "123");  // a leading zero in the bars only
    EXPECT_EQ(odd.text, "123");
    EXPECT_EQ(odd.bars, encode(14, "0123").bars);
    EXPECT_FALSE(encode(13, "12345678901").invalid);
    EXPECT_FALSE(encode(13, "1234567890123").invalid);
    EXPECT_TRUE(encode(13, "123456789012").invalid);
    EXPECT_TRUE(encode(26, "12345678901234").invalid);
}

TEST(Interleaved, InvalidInputAndPlaceholders) {
    EXPECT_EQ(encode(14, "").text, "1234");
    EXPECT_FALSE(encode(14, "").invalid);
    EXPECT_EQ(encode(14, "12A4").text, "1254");  // 'A' 65 -> 5
    EXPECT_TRUE(encode(14, "12A4").invalid);
    EXPECT_EQ(encode(13, "123").text, "00.000 000.000 0");
    EXPECT_EQ(encode(26, "").text, "0 00 00000 00000 0");
    EXPECT_TRUE(encode(26, "").invalid);
}

TEST(Interleaved, CheckDigitsAndTexts) {
    // 123: 3x3 + 2 + 1x3 = 14, check 6; encoded by both, shown only by type 16.
    EXPECT_EQ(encode(15, "123").text, "123");
    EXPECT_EQ(encode(16, "123").text, "1236");
    EXPECT_EQ(encode(15, "123").bars, encode(14, "1236").bars);
    // Weights 4, 9, 4 ... from the first digit: 284 and 314, check 6 for both.
    EXPECT_EQ(encode(13, "12345678901").text, "12.345 678.901 6");
    EXPECT_EQ(encode(13, "1234567890123").text, "12345.678.901.23 6");
    EXPECT_EQ(encode(26, "1234567890123").text, "1 23 45678 90123 1");
}

// zint: -b 3 Interleaved 2 of 5 (--vers=1 adds the check digit), -b 22 Identcode (11 digits),
// -b 21 Leitcode (13 digits), -b 89 ITF-14.
TEST(Interleaved, MatchZintAndReadBack) {
    test::expectMatchesZint(14, "123", "-b 3 -d 0123", Compare::Modules);
    test::expectMatchesZint(14, "9876543210", "-b 3 -d 9876543210", Compare::Modules);
    test::expectMatchesZint(15, "123", "-b 3 --vers=1 -d 123", Compare::Modules);
    test::expectMatchesZint(16, "24680", "-b 3 --vers=1 -d 24680", Compare::Modules);
    test::expectMatchesZint(13, "12345678901", "-b 22 -d 12345678901", Compare::Modules);
    test::expectMatchesZint(13, "56310243031", "-b 22 -d 56310243031", Compare::Modules);
    test::expectMatchesZint(13, "1234567890123", "-b 21 -d 1234567890123", Compare::Modules);
    test::expectMatchesZint(13, "2132103200900", "-b 21 -d 2132103200900", Compare::Modules);
    test::expectMatchesZint(26, "1234567890123", "-b 89 -d 1234567890123", Compare::Modules);
    test::expectMatchesZint(26, "0001234560001", "-b 89 -d 0001234560001", Compare::Modules);
    test::expectReadsBack(14, "123456", "123456");
    test::expectReadsBack(14, "12345", "012345");
    test::expectReadsBack(16, "1234567", "12345670");
    test::expectReadsBack(26, "1234567890123", "12345678901231");
}

}  // namespace
}  // namespace tavrin
