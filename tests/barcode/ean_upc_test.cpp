// EAN-8, EAN-13, UPC-A, UPC-E and their add-ons.
#include <gtest/gtest.h>

#include "barcode/barcode_probe.h"
#include "render/barcode/barcode.h"

namespace tavrin {
namespace {

using barcode::BarcodeResult;
using test::modules;

BarcodeResult encode(int type, std::string_view data, int narrow = 1) {
    return barcode::encodeBarcode({type, data, narrow, 3});
}

// --- Length and input limits ---

TEST(EanUpcLimits, EachTypeTakesExactlyItsDigitCount) {
    const struct { int type; std::size_t digits; } cases[] = {
        {5, 7}, {6, 9}, {7, 12}, {8, 12}, {9, 14}, {10, 17}, {11, 12},
        {20, 11}, {21, 13}, {22, 16}, {23, 6}, {24, 8}, {25, 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_FALSE(encode(c.type, std::string(c.digits, '1')).invalid);
        EXPECT_TRUE(encode(c.type, std::string(c.digits - 1, '1')).invalid);
        EXPECT_TRUE(encode(c.type, std::string(c.digits + 1, '1')).invalid);
    }
}

TEST(EanUpcLimits, ModuleCountsAndAddOnLength) {
    // 67 modules for EAN-8, 95 for EAN-13 and UPC-A, 51 for UPC-E.
    EXPECT_EQ(encode(5, "1234567", 2).barLength, 134);
    EXPECT_EQ(encode(8, "123456789012", 3).barLength, 285);
    EXPECT_EQ(encode(20, "12345678901").barLength, 95);
    EXPECT_EQ(encode(23, "123456").barLength, 51);
    // The add-on and its gap: 29 modules for 2 digits, 56 for 5.
    for (int n = 1; n <= 4; ++n) {
        const auto two = encode(9, "12345678901212", n);
        const auto five = encode(10, "12345678901212345", n);
        EXPECT_EQ(two.totalLength - two.barLength, 29 * n);
        EXPECT_EQ(five.totalLength - five.barLength, 56 * n);
        EXPECT_EQ(two.addOnOffset, two.barLength + 9 * n);
        EXPECT_EQ(two.addOnBars.length(), 20 * n);
        EXPECT_EQ(five.addOnBars.length(), 47 * n);
    }
    EXPECT_EQ(encode(8, "123456789012").totalLength, 95);
}

// --- Invalid input and its placeholder ---

TEST(EanUpcInvalid, WrongLengthDrawsTheZeroSymbol) {
    const auto wrong = encode(8, "12345678901");
    const auto zeros = encode(8, "000000000000");
    EXPECT_TRUE(wrong.invalid);
    EXPECT_FALSE(zeros.invalid);
    EXPECT_EQ(wrong.bars.columns(), zeros.bars.columns());
    EXPECT_EQ(wrong.text, "0000000000000");
}

TEST(EanUpcInvalid, NonDigitBecomesCodeModTenAndMarks) {
    // 'A' is 65: digit 5.  '!' is 33: digit 3.
    const auto r = encode(5, "12A4!67");
    EXPECT_TRUE(r.invalid);
    EXPECT_EQ(r.text.substr(0, 7), "1254367");
    EXPECT_EQ(r.bars.columns(), encode(5, "1254367").bars.columns());
}

// --- Check digits and human-readable text ---

TEST(EanUpcCheck, CheckDigitsAndText) {
    const auto ean13 = encode(8, "123456789012");
    EXPECT_EQ(ean13.checkDigit, 8);
    EXPECT_EQ(ean13.text, "1234567890128");
    EXPECT_EQ(ean13.layout, barcode::kLayoutEan13);
    EXPECT_EQ(encode(5, "9638507").checkDigit, 4);       // 96385074
    EXPECT_EQ(encode(20, "03600029145").checkDigit, 2);  // 036000291452
    // UPC-E 425261 expands to 04210000526 (sixth digit 1), check 4.
    const auto upce = encode(23, "425261");
    EXPECT_EQ(upce.checkDigit, 4);
    EXPECT_EQ(upce.text, "4252614");
    EXPECT_EQ(upce.layout, barcode::kLayoutUpcE);
    // The other three expansion rules, by the sixth digit.
    EXPECT_EQ(encode(23, "123453").checkDigit, 1);  // 01230000045
    EXPECT_EQ(encode(23, "123454").checkDigit, 3);  // 01234000005
    EXPECT_EQ(encode(23, "123457").checkDigit, 2);  // 01234500007
    EXPECT_EQ(encode(6, "123456712").addOnText, "12");
    EXPECT_EQ(encode(6, "123456712").text, "12345670");
}

TEST(EanUpcCheck, InternalPriceCheckDigit) {
    // Price 14685 by the weighting tables: 5+(1)=5, 2-(4)=8, 5-(6)=7, 5+(8)=4, 2-(5)=9;
    // sum 33, 10 - 3 = 7, and 5-(6) = 7, so digit 7 becomes 6. EAN-13 check of
    // 201234614685 is then 2.
    const auto r = encode(11, "201234014685");
    EXPECT_FALSE(r.invalid);
    EXPECT_EQ(r.text, "2012346146852");
    // Price 00000: sum 0, check 0, digit 0.
    EXPECT_EQ(encode(11, "211111900000").text.substr(6, 1), "0");
}

TEST(EanUpcCheck, CaptionGroupsFollowTheLayout) {
    const auto ean13 = encode(8, "123456789012", 2);
    const auto caption = barcode::layoutEanCaption(ean13, 2, 80);
    ASSERT_EQ(caption.runs.size(), 3u);
    EXPECT_EQ(caption.runs[0].text, "1");
    EXPECT_EQ(caption.runs[1].text, "234567");
    EXPECT_EQ(caption.runs[2].text, "890128");
    // Font 3 below narrow 3: spacing 7 x 2 - 14 = 0; leading digit at -3n - 12.
    EXPECT_EQ(caption.font, 3);
    EXPECT_EQ(caption.spacing, 0);
    EXPECT_EQ(caption.symbolShift, 18);
    EXPECT_EQ(caption.runs[0].offset, -18);
    EXPECT_EQ(caption.runs[2].offset, 98);
    EXPECT_EQ(caption.textTop, 68);

    const auto upce = barcode::layoutEanCaption(encode(25, "42526112345", 3), 3, 80);
    ASSERT_EQ(upce.runs.size(), 3u);
    EXPECT_EQ(upce.runs[0].text, "0");
    EXPECT_EQ(upce.runs[1].text, "425261");
    EXPECT_EQ(upce.runs[2].text, "4");
    EXPECT_EQ(upce.font, 4);
    EXPECT_EQ(upce.spacing, 5);
    EXPECT_EQ(upce.runs[2].offset, 153 + 2);
    EXPECT_EQ(upce.addOn.text, "12345");
    EXPECT_EQ(upce.addOn.offset, 153 + 42);
    EXPECT_EQ(upce.addOnSpacing, 11);

    const auto upca = barcode::layoutEanCaption(encode(20, "03600029145"), 1, 80);
    ASSERT_EQ(upca.runs.size(), 2u);
    EXPECT_EQ(upca.runs[0].text, "036000");
    EXPECT_EQ(upca.runs[1].text, "291452");
    EXPECT_EQ(upca.symbolShift, 0);
}

// --- Data to expected bars ---

// Guard rows written from the standard guard patterns.
TEST(EanUpcBars, GuardRows) {
    const std::string space42(42, '0');
    EXPECT_EQ(modules(encode(8, "123456789012").guardBars, 1), "101" + space42 + "01010" + space42 + "101");
    EXPECT_EQ(modules(encode(5, "1234567").guardBars, 1),
              "101" + std::string(28, '0') + "01010" + std::string(28, '0') + "101");
    EXPECT_EQ(modules(encode(23, "123456").guardBars, 1), "101" + std::string(43, '0') + "10101");
}

// Expected modules from zint: `zint --dump -b <symbology> --addongap=9 -d <data>`, with the
// add-on after "+"; zint computes the same check digits.
TEST(EanUpcBars, MatchZint) {
    const struct { int type; const char* data; const char* zint; } cases[] = {
        {5, "1234567", "-b 13 -d 1234567"},
        {5, "9638507", "-b 13 -d 9638507"},
        {6, "123456712", "-b 13 -d 1234567+12"},
        {7, "123456798765", "-b 13 -d 1234567+98765"},
        {8, "123456789012", "-b 13 -d 123456789012"},
        {8, "590123412345", "-b 13 -d 590123412345"},
        {8, "000000000000", "-b 13 -d 000000000000"},
        {9, "12345678901299", "-b 13 -d 123456789012+99"},
        {9, "12345678901242", "-b 13 -d 123456789012+42"},
        {10, "97802013795995199", "-b 13 -d 978020137959+95199"},
        {10, "12345678901200000", "-b 13 -d 123456789012+00000"},
        {20, "03600029145", "-b 34 -d 03600029145"},
        {21, "7234567890103", "-b 34 -d 72345678901+03"},
        {20, "12345678901", "-b 34 -d 12345678901"},
        {22, "0123456789012345", "-b 34 -d 01234567890+12345"},
        {23, "425261", "-b 37 -d 425261"},
        {23, "123453", "-b 37 -d 123453"},
        {23, "123454", "-b 37 -d 123454"},
        {23, "987657", "-b 37 -d 987657"},
        {24, "65432122", "-b 37 -d 654321+22"},
        {25, "11111954321", "-b 37 -d 111119+54321"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zint);
        const std::string args = std::string("--addongap=9 ") + c.zint;
        const auto rows = test::zintRows(args);
        ASSERT_EQ(rows.size(), 1u) << "zint is needed (scripts/install-deps)";
        for (int n : {1, 3}) {
            const auto r = encode(c.type, c.data, n);
            std::string ours = modules(r.bars, n);
            if (r.addOnDigits > 0) ours += std::string(9, '0') + modules(r.addOnBars, n);
            EXPECT_EQ(ours, rows[0]);
        }
    }
}

TEST(EanUpcBars, ZXingReadsEveryRotationAndWidth) {
    if (!test::haveZXing()) GTEST_SKIP() << "ZXing not available";
    const struct { int type; const char* data; const char* read; } cases[] = {
        {5, "9638507", "96385074"},
        {8, "123456789012", "1234567890128"},
        {11, "201234014685", "2012346146852"},
        {20, "03600029145", "036000291452"},
        {23, "425261", "04252614"},
    };
    for (const auto& c : cases) {
        for (int n = 1; n <= 4; ++n) {
            for (int rotation = 0; rotation < 4; ++rotation) {
                SCOPED_TRACE(std::string(c.data) + " narrow " + std::to_string(n) + " rotation " +
                             std::to_string(rotation));
                const auto r = encode(c.type, c.data, n);
                EXPECT_EQ(test::readWithZXing(test::columns(r.bars), rotation), c.read);
            }
        }
    }
}

TEST(EanUpcBars, ZXingReadsAddOns) {
    if (!test::haveZXing()) GTEST_SKIP() << "ZXing not available";
    const struct { int type; const char* data; const char* read; } cases[] = {
        {9, "12345678901242", "1234567890128 42"},
        {10, "97802013795995199", "9780201379594 95199"},
        {21, "7234567890103", "723456789014 03"},
        {25, "42526154321", "04252614 54321"},
    };
    for (const auto& c : cases) {
        for (int n : {1, 2}) {
            SCOPED_TRACE(c.data);
            const auto r = encode(c.type, c.data, n);
            EXPECT_EQ(test::readWithZXing(test::columns(r.bars), 0, test::columns(r.addOnBars),
                                          r.addOnOffset - r.barLength),
                      c.read);
        }
    }
}

}  // namespace
}  // namespace tavrin
