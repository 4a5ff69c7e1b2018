// Plessey and Postnet.
#include <gtest/gtest.h>

#include "barcode/barcode_probe.h"

namespace tavrin {
namespace {

using barcode::BarcodeResult;

BarcodeResult encode(int type, std::string_view data, int narrow = 1, int wide = 3) {
    return barcode::encodeBarcode({type, data, narrow, wide});
}

TEST(Plessey, PlaceholdersAndWideIgnored) {
    EXPECT_EQ(encode(17, "1234", 2, 7).bars, encode(17, "1234", 2, 3).bars);
    EXPECT_TRUE(encode(17, "").invalid);
    EXPECT_EQ(encode(17, "").text, "0000");
    EXPECT_TRUE(encode(17, "1B3").invalid);  // 'B' 66 -> 6
    EXPECT_EQ(encode(17, "1B3").bars, encode(17, "163").bars);
}

// zint's MSI Plessey with the modulo 10 check (-b 47 --vers=1) has the same start, bit
// elements, Luhn check digit and stop; its wide elements are two modules.
TEST(Plessey, MatchesZintMsiModTen) {
    for (const char* data : {"1234", "0", "80523", "9999999999", "4012888888881"})
        test::expectMatchesZint(17, data, std::string("-b 47 --vers=1 -d ") + data, test::Compare::Elements);
}

TEST(Postnet, FixedGeometryLengthsAndPlaceholders) {
    const auto r = encode(18, "12345", 5, 9);
    EXPECT_EQ(r.fixedHeight, 24);
    EXPECT_EQ(r.shortBarHeight, 8);
    EXPECT_EQ(r.text, "123455");  // digit sum 15: check 5
    // 32 bars of 4 dots at a 10-dot pitch, whatever narrow and wide.
    std::vector<int> widths{4};
    for (int i = 1; i < 32; ++i) widths.insert(widths.end(), {6, 4});
    EXPECT_EQ(test::runWidths(test::columns(r.bars)), widths);
    EXPECT_EQ(r.bars, encode(18, "12345", 1, 2).bars);
    for (const char* ok : {"123456", "12345678", "123456789", "12345678901"}) EXPECT_FALSE(encode(18, ok).invalid);
    EXPECT_EQ(encode(18, "1234").text, "000000");
    EXPECT_TRUE(encode(18, "1234").invalid);
    EXPECT_EQ(encode(18, "12a45").text, "120458");  // digit sum 12: check 8
    EXPECT_TRUE(encode(18, "12a45").invalid);
}

// zint (-b 40) dumps two rows, the tall parts and then every bar, a bar every second module.
TEST(Postnet, MatchesZintTallAndShortBars) {
    for (const char* data : {"12345", "555551237", "12345678901", "000000"}) {
        const auto rows = test::zintRows(std::string("-b 40 -d ") + data);
        ASSERT_EQ(rows.size(), 2u) << "zint is needed (scripts/install-deps)";
        std::string expected, ours;
        for (std::size_t i = 0; i < rows[1].size(); i += 2) expected += i < rows[0].size() && rows[0][i] == '1' ? 'T' : 'S';
        const auto r = encode(18, data);
        for (int column = 0; column < r.barLength; column += 10) ours += r.tallBars.at(column) ? 'T' : 'S';
        EXPECT_EQ(ours, expected) << data;
    }
}

}  // namespace
}  // namespace tavrin
