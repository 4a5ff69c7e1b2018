// The barcode self-check: symbols as printed read back, damaged ones are flagged, and what
// the reader cannot read is never reported as passed.
#include <gtest/gtest.h>

#include "document/figure_records.h"
#include "document/label_document.h"
#include "render/barcode/barcode.h"
#include "render/barcode_check.h"
#include "render/canvas.h"
#include "render/resident_font.h"

namespace tavrin {
namespace {

// A valid datum for every type: add-on types carry their add-on digits after the main ones.
const std::pair<int, const char*> kData[] = {
    {0, "LABEL-42"}, {1, "Code39"}, {2, "PART 77"}, {3, "A12345"}, {4, "A40156B"},
    {5, "9638507"}, {6, "963850712"}, {7, "123456789012"}, {8, "123456789012"}, {9, "12345678901242"},
    {10, "12345678901234567"}, {11, "201234014685"}, {12, "0112345678901231"}, {13, "1234567890123"},
    {14, "123456"}, {15, "1234567"}, {16, "1234567"}, {17, "1234"}, {18, "12345"},
    {19, "12345678901234567"}, {20, "03600029145"}, {21, "7234567890103"}, {22, "0112345678901231"},
    {23, "425261"}, {24, "42526112"}, {25, "42526154321"}, {26, "1234567890123"}};

class BarcodeCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(fonts.load(std::filesystem::path(TAVRIN_SOURCE_DATA_DIR) / "ZREDIT.FNT"), 0);
        context.document = &document;
        context.residentFonts = &fonts;
        document.setup.width = document.setup.length = 2400;
    }
    void addBarcode(int type, const char* data, int narrow, int rotation, int x = 1200, int y = 1200, int height = 60) {
        BarcodeRecord b;
        b.type = type, b.x = x, b.y = y, b.height = height, b.narrow = narrow, b.wide = 3 * narrow;
        b.rotation = rotation, b.data = "\"" + std::string(data) + "\"", b.humanReadable = 2;
        document.figures.appendFigure(b.encode(), FigureKind::Barcode);
    }
    std::vector<BarcodeCheckResult> check() {
        const Bitmap image = renderPrintImage(document, context);
        return checkBarcodes(document, context, image);
    }
    ResidentFonts fonts;
    LabelDocument document;
    RenderContext context;
};

TEST_F(BarcodeCheckTest, EverySymbologyReadsBackAtNarrowOneToFourInFourRotations) {
    if (!barcodeCheckAvailable()) GTEST_SKIP() << "no barcode reader in this build";
    for (const auto& [type, data] : kData)
        for (int narrow = 1; narrow <= 4; ++narrow)
            for (int rotation = 0; rotation < 4; ++rotation) {
                document.figures.clearFigures();
                addBarcode(type, data, narrow, rotation);
                const auto results = check();
                ASSERT_EQ(results.size(), 1u);
                const auto& r = results[0];
                const bool readable = type != 17 && type != 18;
                EXPECT_EQ(r.status, readable ? BarcodeReadStatus::ReadBack : BarcodeReadStatus::NotChecked)
                    << "type " << type << " narrow " << narrow << " rotation " << rotation << ": expected \""
                    << r.expected << "\" read \"" << r.read << "\" " << r.note;
            }
}

TEST_F(BarcodeCheckTest, WhatAScannerReadsIncludesCheckCharactersAndAddOns) {
    const struct {
        int type;
        const char* data;
        const char* reading;
    } readings[] = {{1, "CODE39", "CODE39W"},           {0, "ab", "+A+B"},
                    {1, "a", "+A8"},                    {2, "X^A_B", "X!b"},
                    {3, "\x81" "a12", "\x01" "a12"},    {5, "9638507", "96385074"},
                    {9, "12345678901242", "1234567890128 42"}, {13, "1234567890123", "12345678901236"},
                    {14, "12345", "012345"},            {16, "1234567", "12345670"},
                    {19, "12345678901234567", "00123456789012345675"},
                    {23, "425261", "04252614"},         {17, "1234", ""}};
    for (const auto& c : readings) EXPECT_EQ(expectedBarcodeReading(c.type, c.data), c.reading) << c.type;
}

TEST_F(BarcodeCheckTest, DamagedFiguresAreFlaggedAndUnreadTypesNeverPass) {
    if (!barcodeCheckAvailable()) GTEST_SKIP() << "no barcode reader in this build";
    addBarcode(3, "A12345", 2, 0, 100, 100, 2);       // bars two dots tall
    addBarcode(8, "123456789012", 2, 0, 2300, 300);   // cut by the label's right edge
    addBarcode(3, "COVERED", 2, 1, 700, 700);         // under an inverse rectangle
    document.figures.appendFigure(RectangleRecord{500, 650, 300, 500, kColourInverse}.encode(), FigureKind::Rectangle);
    addBarcode(8, "12345", 2, 0, 100, 1000);          // data the symbology cannot carry
    addBarcode(18, "12345", 2, 0, 100, 1200);         // Postnet: no reader
    addBarcode(3, "FINE", 2, 2, 400, 400);
    addBarcode(3, "CROWDED", 2, 3, 1700, 1900);       // a line along its end, 6 dots away
    document.figures.appendFigure(LineRecord{1650, 1906, 1800, 1906, 2, kColourBlack}.encode(), FigureKind::DiagonalLine);
    addBarcode(8, "400638133393", 3, 1, 2000, 200);   // its leading digit in the quiet zone is fine
    const auto results = check();
    ASSERT_EQ(results.size(), 8u);
    const BarcodeReadStatus expected[] = {BarcodeReadStatus::Unreadable, BarcodeReadStatus::Unreadable,
                                          BarcodeReadStatus::Unreadable, BarcodeReadStatus::Wrong,
                                          BarcodeReadStatus::NotChecked, BarcodeReadStatus::ReadBack,
                                          BarcodeReadStatus::Unreadable, BarcodeReadStatus::ReadBack};
    for (std::size_t i = 0; i < results.size(); ++i)
        EXPECT_EQ(results[i].status, expected[i]) << i << ": " << results[i].symbology << " read \"" << results[i].read
                                                  << "\" " << results[i].note;
    EXPECT_TRUE(anyBarcodeFailed(results));
    const std::string failed = failedBarcodesText(results);
    EXPECT_EQ(failed.substr(0, 41), "Barcode 1 (Code 128 auto A, B, C modes) u");
    // Named by position among the barcodes (the crowded one is the ninth figure).
    EXPECT_TRUE(failed.ends_with(", barcode 7 (Code 128 auto A, B, C modes) unreadable")) << failed;
    EXPECT_EQ(results[0].note, "bars 2 dots tall, at least 16 needed");
    EXPECT_EQ(results[6].note, "ink in the quiet zone");
}

// The 2D symbols, where the symbol table has them (types 27..29).
TEST_F(BarcodeCheckTest, TwoDimensionalSymbolsReadBackInFourRotations) {
    if (!barcodeCheckAvailable() || *barcode::symbology(27).name == '\0') GTEST_SKIP() << "no 2D symbols here";
    for (int type : {27, 28, 29})
        for (const char* data : {"HELLO 123", "[01]09501101530003[10]AB12[17]261231"})
            for (int rotation = 0; rotation < 4; ++rotation) {
                document.figures.clearFigures();
                addBarcode(type, data, 4, rotation);
                // The wide field is the error-correction level here: the encoder's choice.
                BarcodeRecord b = BarcodeRecord::decode(document.figures.front().record);
                b.wide = 0;
                document.figures.front().record = b.encode();
                const auto r = check().at(0);
                EXPECT_EQ(r.status, BarcodeReadStatus::ReadBack)
                    << type << " " << data << " rotation " << rotation << ": read \"" << r.read << "\" " << r.note;
            }
}

TEST_F(BarcodeCheckTest, NotCheckedIsNoFailureAndNoPass) {
    addBarcode(17, "1234", 2, 0);
    const auto results = check();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].status, BarcodeReadStatus::NotChecked);
    EXPECT_FALSE(anyBarcodeFailed(results));
    EXPECT_STREQ(barcodeStatusText(results[0].status), "not checked");
    EXPECT_FALSE(results[0].note.empty());
}

}  // namespace
}  // namespace tavrin
