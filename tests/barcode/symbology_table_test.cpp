// The symbology table, the plain caption layout and the bounds of the bar row.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "render/barcode/barcode.h"

namespace tavrin {
namespace {

using namespace barcode;

TEST(SymbologyTable, NamesAndPrinterCodes) {
    EXPECT_STREQ(symbology(0).name, "Code 39");
    EXPECT_STREQ(symbology(3).name, "Code 128 auto A, B, C modes");
    EXPECT_STREQ(symbology(16).name, "ITF - human readable check digit");
    EXPECT_STREQ(symbology(26).name, "UPC Interleaved 2 of 5");
    EXPECT_STREQ(symbology(11).printerCode, "A30");
    EXPECT_STREQ(symbology(19).printerCode, "0");
    EXPECT_EQ(symbologyByPrinterCode("E30"), 8);
    EXPECT_EQ(symbologyByPrinterCode("3C"), 1);
    EXPECT_EQ(symbologyByPrinterCode("UE5"), 25);
    EXPECT_EQ(symbologyByPrinterCode("3"), 0);
    EXPECT_EQ(symbologyByPrinterCode("e30"), -1);
    EXPECT_EQ(symbologyByPrinterCode(""), -1);
    std::set<std::string> codes;
    for (int type = 0; type < kSymbologyCount; ++type) codes.insert(symbology(type).printerCode);
    EXPECT_EQ(codes.size(), static_cast<std::size_t>(kSymbologyCount));
}

TEST(SymbologyTable, UnknownTypesAreMarkedAndDrawNothing) {
    for (int type : {-1, 27, 1000}) {
        EXPECT_STREQ(symbology(type).name, "");
        const auto r = encodeBarcode({type, "123", 2, 3});
        EXPECT_TRUE(r.invalid);
        EXPECT_EQ(r.barLength, 0);
    }
}

TEST(SymbologyTable, NoEncoderWritesPastTheRow) {
    // The longest data at the widest elements: every symbol stays within the row, and those
    // that would not fit are marked.
    const std::string digits(63, '7');
    for (int type = 0; type < kSymbologyCount; ++type) {
        SCOPED_TRACE(type);
        const auto r = encodeBarcode({type, digits, 6, 10});
        EXPECT_LE(r.bars.length(), kMaxColumns);
        EXPECT_EQ(r.barLength, r.bars.length());
        if (r.bars.overflowed()) {
            EXPECT_TRUE(r.invalid);
        }
    }
    EXPECT_TRUE(encodeBarcode({0, digits, 6, 10}).invalid);
    EXPECT_FALSE(encodeBarcode({0, "1234", 6, 10}).invalid);
}

TEST(PlainCaption, FontByPitchAndPlacement) {
    // Pitch 13 with "Center": font 2, vMul 2; free 130 - 12 x 10 = 10, start 5.
    auto c = layoutPlainCaption(130, 10, 2);
    EXPECT_EQ(c.font, 2);
    EXPECT_EQ(c.vMul, 2);
    EXPECT_EQ(c.start, 5);
    EXPECT_EQ(layoutPlainCaption(119, 10, 1).font, 1);
    EXPECT_EQ(layoutPlainCaption(140, 10, 3).font, 3);
    EXPECT_EQ(layoutPlainCaption(140, 10, 3).vMul, 1);
    EXPECT_EQ(layoutPlainCaption(140, 10, 3).start, 0);  // 140 - 14 x 10
    EXPECT_EQ(layoutPlainCaption(200, 10, 3).font, 4);
    EXPECT_EQ(layoutPlainCaption(200, 10, 3).start, 40);
    EXPECT_EQ(layoutPlainCaption(200, 10, 1).start, 0);
    EXPECT_EQ(layoutPlainCaption(0, 0, 2).start, 0);  // no text, no division
}

}  // namespace
}  // namespace tavrin
