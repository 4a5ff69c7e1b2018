// EAN-8, EAN-13, UPC-A, UPC-E and their add-ons.
#include <gtest/gtest.h>

#include "barcode/barcode_probe.h"

namespace tavrin {
namespace {

using barcode::BarcodeResult;
using test::Compare;
using test::modules;

BarcodeResult encode(int type, std::string_view data, int narrow = 1) {
    return barcode::encodeBarcode({type, data, narrow, 3});
}

TEST(EanUpcLimits, DigitCountsModulesAndAddOnLength) {
    const struct { int type; std::size_t digits; } cases[] = {
        {5, 7}, {6, 9}, {7, 12}, {8, 12}, {9, 14}, {10, 17}, {11, 12},
        {20, 11}, {21, 13}, {22, 16}, {23, 6}, {24, 8}, {25, 11},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(encode(c.type, std::string(c.digits, '1')).invalid) << c.type;
        EXPECT_TRUE(encode(c.type, std::string(c.digits - 1, '1')).invalid) << c.type;
        EXPECT_TRUE(encode(c.type, std::string(c.digits + 1, '1')).invalid) << c.type;
    }
    // 67 modules for EAN-8, 95 for EAN-13 and UPC-A, 51 for UPC-E.
    EXPECT_EQ(encode(5, "1234567", 2).barLength, 134);
    EXPECT_EQ(encode(8, "123456789012", 3).barLength, 285);
    EXPECT_EQ(encode(23, "123456").barLength, 51);
    // An add-on and its gap add 29 modules for 2 digits, 56 for 5.
    for (int n = 1; n <= 4; ++n) {
        const auto two = encode(9, "12345678901212", n);
        const auto five = encode(10, "12345678901212345", n);
        EXPECT_EQ(two.totalLength - two.barLength, 29 * n);
        EXPECT_EQ(five.totalLength - five.barLength, 56 * n);
        EXPECT_EQ(two.addOnOffset, two.barLength + 9 * n);
    }
    EXPECT_EQ(encode(8, "123456789012").totalLength, 95);
}

TEST(EanUpcInvalid, WrongLengthGivesZerosAndNonDigitsCodeModTen) {
    const auto wrong = encode(8, "12345678901");
    EXPECT_TRUE(wrong.invalid);
    EXPECT_EQ(wrong.text, "0000000000000");
    EXPECT_EQ(wrong.bars, encode(8, "000000000000").bars);
    const auto letters = encode(5, "12A4!67");  // 'A' 65 -> 5, '!' 33 -> 3
    EXPECT_TRUE(letters.invalid);
    EXPECT_EQ(letters.bars, encode(5, "1254367").bars);
}

TEST(EanUpcCheck, CheckDigitsAndText) {
    const auto ean13 = encode(8, "123456789012");
    EXPECT_EQ(ean13.checkDigit, 8);
    EXPECT_EQ(ean13.text, "1234567890128");
    EXPECT_EQ(encode(5, "9638507").checkDigit, 4);
    EXPECT_EQ(encode(20, "03600029145").checkDigit, 2);
    // UPC-E expands by its sixth digit: 425261 -> 04210000526, 123453 -> 01230000045,
    // 123454 -> 01234000005, 123457 -> 01234500007.
    EXPECT_EQ(encode(23, "425261").text, "4252614");
    EXPECT_EQ(encode(23, "123453").checkDigit, 1);
    EXPECT_EQ(encode(23, "123454").checkDigit, 3);
    EXPECT_EQ(encode(23, "123457").checkDigit, 2);
    EXPECT_EQ(encode(6, "123456712").text, "12345670");
    EXPECT_EQ(encode(6, "123456712").addOnText, "12");
    // Price 14685 by the weighting tables: 5+(1)=5, 2-(4)=8, 5-(6)=7, 5+(8)=4, 2-(5)=9; sum 33,
    // 10 - 3 = 7 = 5-(6): digit 7 becomes 6, and the EAN-13 check of 201234614685 is 2.
    EXPECT_EQ(encode(11, "201234014685").text, "2012346146852");
    EXPECT_EQ(encode(11, "211111900000").text.substr(6, 1), "0");
}

TEST(EanUpcCheck, CaptionGroupsFollowTheLayout) {
    const auto ean13 = barcode::layoutEanCaption(encode(8, "123456789012", 2), 2, 80);
    ASSERT_EQ(ean13.runs.size(), 3u);
    EXPECT_EQ(ean13.runs[0].text + "|" + ean13.runs[1].text + "|" + ean13.runs[2].text, "1|234567|890128");
    // Font 3 below narrow 3, spacing 7n - 14; leading digit at -3n - 12; symbol moved 3n + 12.
    EXPECT_EQ(ean13.font, 3);
    EXPECT_EQ(ean13.spacing, 0);
    EXPECT_EQ(ean13.symbolShift, 18);
    EXPECT_EQ(ean13.runs[0].offset, -18);
    EXPECT_EQ(ean13.runs[2].offset, 98);
    const auto upce = barcode::layoutEanCaption(encode(25, "42526112345", 3), 3, 80);
    ASSERT_EQ(upce.runs.size(), 3u);
    EXPECT_EQ(upce.runs[0].text + "|" + upce.runs[1].text + "|" + upce.runs[2].text, "0|425261|4");
    EXPECT_EQ(upce.font, 4);
    EXPECT_EQ(upce.runs[2].offset, 51 * 3 + 5 / 2);
    EXPECT_EQ(upce.addOn.text, "12345");
    EXPECT_EQ(upce.addOn.offset, 153 + 42);
    EXPECT_EQ(upce.addOnSpacing, 11);
    const auto upca = barcode::layoutEanCaption(encode(20, "03600029145"), 1, 80);
    ASSERT_EQ(upca.runs.size(), 2u);
    EXPECT_EQ(upca.runs[1].text, "291452");
    EXPECT_EQ(upca.symbolShift, 0);
}

// Guard rows from the standard guard patterns.
TEST(EanUpcBars, GuardRows) {
    const std::string s42(42, '0'), s28(28, '0');
    EXPECT_EQ(modules(encode(8, "123456789012").guardBars, 1), "101" + s42 + "01010" + s42 + "101");
    EXPECT_EQ(modules(encode(5, "1234567").guardBars, 1), "101" + s28 + "01010" + s28 + "101");
    EXPECT_EQ(modules(encode(23, "123456").guardBars, 1), "101" + std::string(43, '0') + "10101");
}

// zint computes the same check digits; its data takes the add-on after "+".
TEST(EanUpcBars, MatchZintAndReadBack) {
    test::expectMatchesZint(5, "9638507", "-b 13 -d 9638507", Compare::Modules);
    test::expectMatchesZint(6, "123456712", "-b 13 -d 1234567+12", Compare::Modules);
    test::expectMatchesZint(7, "123456798765", "-b 13 -d 1234567+98765", Compare::Modules);
    test::expectMatchesZint(8, "590123412345", "-b 13 -d 590123412345", Compare::Modules);
    test::expectMatchesZint(9, "12345678901242", "-b 13 -d 123456789012+42", Compare::Modules);
    test::expectMatchesZint(10, "97802013795995199", "-b 13 -d 978020137959+95199", Compare::Modules);
    test::expectMatchesZint(20, "03600029145", "-b 34 -d 03600029145", Compare::Modules);
    test::expectMatchesZint(21, "7234567890103", "-b 34 -d 72345678901+03", Compare::Modules);
    test::expectMatchesZint(22, "0123456789012345", "-b 34 -d 01234567890+12345", Compare::Modules);
    for (const char* upce : {"425261", "123453", "123454", "987657"})
        test::expectMatchesZint(23, upce, std::string("-b 37 -d ") + upce, Compare::Modules);
    test::expectMatchesZint(24, "65432122", "-b 37 -d 654321+22", Compare::Modules);
    test::expectMatchesZint(25, "11111954321", "-b 37 -d 111119+54321", Compare::Modules);

    test::expectReadsBack(5, "9638507", "96385074");
    test::expectReadsBack(8, "123456789012", "1234567890128");
    test::expectReadsBack(11, "201234014685", "2012346146852");
    test::expectReadsBack(20, "03600029145", "036000291452");
    test::expectReadsBack(23, "425261", "04252614");
    test::expectReadsBack(9, "12345678901242", "1234567890128 42");
    test::expectReadsBack(10, "97802013795995199", "9780201379594 95199");
    test::expectReadsBack(21, "7234567890103", "723456789014 03");
    test::expectReadsBack(25, "42526154321", "04252614 54321");
}

}  // namespace
}  // namespace tavrin
