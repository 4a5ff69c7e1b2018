// Plessey and Postnet.
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

// Postnet bars as 'T' (tall) and 'S' (short), read at each bar's first column.
std::string postnetBars(const BarcodeResult& r) {
    std::string out;
    for (int column = 0; column < r.barLength; column += 10) out += r.tallBars.at(column) ? 'T' : 'S';
    return out;
}

// --- Plessey ---

TEST(Plessey, LengthPlaceholderAndWideIgnored) {
    // Start element, four per digit, four for the check, one and the final bar: 4 modules each.
    EXPECT_EQ(encode(17, "1234", 2, 7).barLength, (1 + 16 + 4 + 1) * 4 * 2 + 2);
    EXPECT_EQ(encode(17, "1234", 2, 7).bars.columns(), encode(17, "1234", 2, 3).bars.columns());
    const auto empty = encode(17, "");
    EXPECT_TRUE(empty.invalid);
    EXPECT_EQ(empty.text, "0000");
    const auto letter = encode(17, "1B3");  // 'B' 66 -> 6
    EXPECT_TRUE(letter.invalid);
    EXPECT_EQ(letter.bars.columns(), encode(17, "163").bars.columns());
}

// zint's MSI Plessey with the modulo 10 check (`zint --dump -b 47 --vers=1 -d <data>`) has the
// same start, bit elements, Luhn check and stop; its wide elements are 2 modules, so the
// narrow/wide sequences are compared.
TEST(Plessey, MatchesZintMsiModTen) {
    for (const char* data : {"1234", "0", "80523", "9999999999", "4012888888881"}) {
        SCOPED_TRACE(data);
        const auto rows = test::zintRows(std::string("-b 47 --vers=1 -d ") + data);
        ASSERT_EQ(rows.size(), 1u) << "zint is needed (scripts/install-deps)";
        EXPECT_EQ(test::elementClasses(columns(encode(17, data, 2).bars)), test::elementClasses(rows[0]));
    }
}

// --- Postnet ---

TEST(Postnet, FixedGeometry) {
    const auto r = encode(18, "12345", 5, 9);
    EXPECT_FALSE(r.invalid);
    EXPECT_EQ(r.fixedHeight, 24);
    EXPECT_EQ(r.shortBarHeight, 8);
    // 32 bars (frame, 6 digits x 5, frame) at a 10-dot pitch, each 4 dots wide.
    EXPECT_EQ(r.barLength, 31 * 10 + 4);
    EXPECT_EQ(test::runWidths(columns(r.bars)), [] {
        std::vector<int> w;
        for (int i = 0; i < 32; ++i) {
            if (i) w.push_back(6);
            w.push_back(4);
        }
        return w;
    }());
    EXPECT_EQ(r.bars.columns(), encode(18, "12345", 1, 2).bars.columns());
    EXPECT_EQ(r.text, "123455");  // digit sum 15: check 5
}

TEST(Postnet, LengthsAndPlaceholders) {
    for (const char* ok : {"12345", "123456", "12345678", "123456789", "12345678901"})
        EXPECT_FALSE(encode(18, ok).invalid) << ok;
    const auto wrong = encode(18, "1234");
    EXPECT_TRUE(wrong.invalid);
    EXPECT_EQ(wrong.text, "000000");
    const auto letter = encode(18, "12a45");
    EXPECT_TRUE(letter.invalid);
    EXPECT_EQ(letter.text, "120458");  // digit sum 12: check 8
}

// `zint --dump -b 40 -d <data>` gives two rows: the tall parts, then every bar, a bar every
// second module.
TEST(Postnet, MatchesZintTallAndShortBars) {
    for (const char* data : {"12345", "555551237", "12345678901", "000000"}) {
        SCOPED_TRACE(data);
        const auto rows = test::zintRows(std::string("-b 40 -d ") + data);
        ASSERT_EQ(rows.size(), 2u) << "zint is needed (scripts/install-deps)";
        std::string expected;
        for (std::size_t i = 0; i < rows[1].size(); i += 2) expected += rows[0].size() > i && rows[0][i] == '1' ? 'T' : 'S';
        EXPECT_EQ(postnetBars(encode(18, data)), expected);
    }
}

}  // namespace
}  // namespace tavrin
