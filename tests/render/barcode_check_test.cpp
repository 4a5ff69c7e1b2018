// The barcode self-check: symbols as printed read back, damaged ones are flagged, and what
// the reader cannot read is never reported as passed.
#include <gtest/gtest.h>

#include "document/figure_records.h"
#include "document/label_document.h"
#include "render/barcode/barcode.h"
#include "render/barcode_check.h"
#include "render/canvas.h"
#include "render/resident_font.h"
#include "support/label_builders.h"

namespace tavrin {
namespace {

// What a scanner reads from each datum, check characters and add-ons included ("" where no
// reader is used); every type at least once, and the data that take each encoder's less common
// paths (Code 128's set changes, add-ons, price weighting, padding).
const struct {
    int type;
    const char* data;
    const char* reading;
} kReadings[] = {
    {0, "LABEL-42", "LABEL-42"}, {0, "ab", "+A+B"}, {1, "CODE39", "CODE39W"},
    {1, "Code39", "C+O+D+E39Q"}, {2, "PART 77", "PART 77"}, {2, "X^A_B", "X!b"},  // Code 93: (/)A is "!", (+)B "b"
    // Code 128: set A, CODE B; A, CODE B, CODE A, CODE B; set C, then CODE A.
    {3, "A12345", "A12345"}, {3, "\x81" "a12", "\x01" "a12"}, {3, "ab\x9f" "c", "ab\x1f" "c"},
    {3, "12345678\x82", "12345678\x02"}, {3, "Hello, World! {~}", "Hello, World! {~}"}, {4, "A40156B", "A40156B"},
    {5, "9638507", "96385074"}, {6, "963850712", "96385074 12"}, {7, "123456789012", "12345670 89012"},
    {8, "123456789012", "1234567890128"}, {9, "12345678901242", "1234567890128 42"},
    {10, "12345678901234567", "1234567890128 34567"},
    {11, "201234014685", "2012346146852"}, {12, "0112345678901231", "0112345678901231"},
    {12, "10ABC123\x1d" "3102000123", "10ABC123\x1d" "3102000123"}, {13, "1234567890123", "12345678901236"},
    {14, "123456", "123456"}, {14, "12345", "012345"}, {15, "1234567", "12345670"},
    {17, "1234", ""}, {18, "12345", ""}, {19, "12345678901234567", "00123456789012345675"},
    {20, "03600029145", "036000291452"}, {21, "7234567890103", "723456789014 03"},
    {22, "0112345678901231", "011234567894 01231"}, {23, "425261", "04252614"}, {24, "42526112", "04252614 12"},
    {25, "42526154321", "04252614 54321"}, {26, "1234567890123", "12345678901231"}};

class BarcodeCheckTest : public ::testing::Test, protected test::DrawnLabel {
protected:
    BarcodeCheckTest() : DrawnLabel(2400, 2400) {}
    void SetUp() override {
        ASSERT_EQ(fonts.load(std::filesystem::path(TAVRIN_SOURCE_DATA_DIR) / "ZREDIT.FNT"), 0);
        context.residentFonts = &fonts;
    }
    void addBarcode(int type, const char* data, int narrow, int rotation, int x = 1200, int y = 1200, int height = 60) {
        test::addBarcode(document, type, x, y, height, narrow, 3 * narrow, 2, "\"" + std::string(data) + "\"", rotation);
    }
    std::vector<BarcodeCheckResult> check() {
        const Bitmap image = renderPrintImage(document, context);
        return checkBarcodes(document, context, image);
    }
    ResidentFonts fonts;
};

TEST_F(BarcodeCheckTest, EverySymbologyReadsAsAScannerDoesAtNarrowOneToFourInFourRotations) {
    for (const auto& [type, data, reading] : kReadings) {
        SCOPED_TRACE("type " + std::to_string(type) + " '" + data + "'");
        EXPECT_EQ(expectedBarcodeReading(type, data), reading);
        for (int narrow = 1; narrow <= 4 && barcodeCheckAvailable(); ++narrow)
            for (int rotation = 0; rotation < 4; ++rotation) {
                document.figures.clearFigures();
                addBarcode(type, data, narrow, rotation, 1000);  // the longest ends inside 2048 columns
                const auto results = check();
                ASSERT_EQ(results.size(), 1u);
                EXPECT_EQ(results[0].status, *reading ? BarcodeReadStatus::ReadBack : BarcodeReadStatus::NotChecked)
                    << "narrow " << narrow << " rotation " << rotation << ": read \"" << results[0].read << "\" "
                    << results[0].note;
            }
    }
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
    // A type without a reader is neither a failure nor a pass, and says why.
    EXPECT_FALSE(anyBarcodeFailed({results[4], results[5]}));
    EXPECT_STREQ(barcodeStatusText(results[4].status), "not checked");
    EXPECT_FALSE(results[4].note.empty());
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

}  // namespace
}  // namespace tavrin
