// Interleaved 2 of 5 and the symbols built on it: ITF with check digits, the German postal
// codes and UPC Interleaved 2 of 5.
#include <gtest/gtest.h>

#include "barcode/barcode_probe.h"
#include "render/barcode/barcode.h"

namespace tavrin {
namespace {

using barcode::BarcodeResult;
using test::columns;

BarcodeResult encode(int type, std::string_view data, int narrow = 1, int wide = 3) {
    return barcode::encodeBarcode({type, data, narrow, wide});
}

// --- Length and input limits ---

TEST(InterleavedLimits, OddCountsGetALeadingZeroInTheBarsOnly) {
    const auto odd = encode(14, "123");
    EXPECT_EQ(odd.text, "123");
    EXPECT_EQ(odd.bars.columns(), encode(14, "0123").bars.columns());
    // Start 4 narrow, per pair 6 narrow + 4 wide, stop wide + 2 narrow.
    EXPECT_EQ(encode(14, "1234", 2, 5).barLength, 4 * 2 + 2 * (6 * 2 + 4 * 5) + 5 + 2 * 2);
}

TEST(InterleavedLimits, FixedLengthTypes) {
    EXPECT_FALSE(encode(13, "12345678901").invalid);
    EXPECT_FALSE(encode(13, "1234567890123").invalid);
    EXPECT_TRUE(encode(13, "123456789012").invalid);
    EXPECT_FALSE(encode(26, "1234567890123").invalid);
    EXPECT_TRUE(encode(26, "12345678901234").invalid);
}

// --- Invalid input and its placeholder ---

TEST(InterleavedInvalid, Placeholders) {
    const auto empty = encode(14, "");
    EXPECT_FALSE(empty.invalid);
    EXPECT_EQ(empty.text, "1234");
    const auto letter = encode(14, "12A4");  // 'A' 65 -> 5
    EXPECT_TRUE(letter.invalid);
    EXPECT_EQ(letter.text, "1254");
    const auto german = encode(13, "123");
    EXPECT_TRUE(german.invalid);
    EXPECT_EQ(german.text, "00.000 000.000 0");
    const auto upc = encode(26, "");
    EXPECT_TRUE(upc.invalid);
    EXPECT_EQ(upc.text, "0 00 00000 00000 0");
}

// --- Check digits and human-readable text ---

TEST(InterleavedCheck, CheckDigitsAndTexts) {
    // 123: 3x3 + 2 + 1x3 = 14, check 6; encoded in both, shown only by type 16.
    EXPECT_EQ(encode(15, "123").text, "123");
    EXPECT_EQ(encode(16, "123").text, "1236");
    EXPECT_EQ(encode(15, "123").bars.columns(), encode(14, "1236").bars.columns());
    // Weights 4, 9, 4 ... from the first digit: 12345678901 sums to 284, check 6;
    // 1234567890123 to 314, check 6.
    EXPECT_EQ(encode(13, "12345678901").text, "12.345 678.901 6");
    EXPECT_EQ(encode(13, "1234567890123").text, "12345.678.901.23 6");
    // GTIN-14 check of 1234567890123 is 1.
    EXPECT_EQ(encode(26, "1234567890123").text, "1 23 45678 90123 1");
}

// --- Data to expected bars ---

// `zint --dump -b <symbology> [--vers=1] -d <data>`: 3 (Interleaved 2 of 5, --vers=1 adds the
// check digit), 22 Identcode (11 digits), 21 Leitcode (13 digits), 89 ITF-14. zint's wide
// elements are three modules, as ours with narrow 1 and wide 3.
TEST(InterleavedBars, MatchZint) {
    const struct { int type; const char* data; const char* zint; } cases[] = {
        {14, "123", "-b 3 -d 0123"},
        {14, "9876543210", "-b 3 -d 9876543210"},
        {15, "123", "-b 3 --vers=1 -d 123"},
        {16, "24680", "-b 3 --vers=1 -d 24680"},
        {13, "12345678901", "-b 22 -d 12345678901"},
        {13, "56310243031", "-b 22 -d 56310243031"},
        {13, "1234567890123", "-b 21 -d 1234567890123"},
        {13, "2132103200900", "-b 21 -d 2132103200900"},
        {26, "1234567890123", "-b 89 -d 1234567890123"},
        {26, "0001234560001", "-b 89 -d 0001234560001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zint);
        const auto rows = test::zintRows(c.zint);
        ASSERT_EQ(rows.size(), 1u) << "zint is needed (scripts/install-deps)";
        EXPECT_EQ(columns(encode(c.type, c.data).bars), rows[0]);
        EXPECT_EQ(test::elementClasses(columns(encode(c.type, c.data, 2, 5).bars)),
                  test::elementClasses(rows[0]));
    }
}

TEST(InterleavedBars, ZXingReads) {
    if (!test::haveZXing()) GTEST_SKIP() << "ZXing not available";
    const struct { int type; const char* data; const char* read; } cases[] = {
        {14, "123456", "123456"},
        {14, "12345", "012345"},
        {16, "1234567", "12345670"},
        {26, "1234567890123", "12345678901231"},
    };
    for (const auto& c : cases)
        for (int n = 1; n <= 4; ++n)
            for (int rotation = 0; rotation < 4; ++rotation)
                EXPECT_EQ(test::readWithZXing(columns(encode(c.type, c.data, n, 3 * n).bars), rotation),
                          c.read);
}

}  // namespace
}  // namespace tavrin
