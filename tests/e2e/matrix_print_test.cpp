// 2D symbols printed on the simulated printer: as rasters in test prints (a fresh symbol
// for every label when a counter feeds it) and as stored pictures in a stored form, and
// read back from the printed PNG by ZXing.
#include <gtest/gtest.h>

#include <optional>

#include "document/label_file.h"
#include "e2e/e2e_support.h"
#include "printer/printing.h"
#include "printer/storage_operations.h"
#include "render/barcode/barcode.h"
#include "render/barcode_figure.h"
#include "render/canvas.h"
#include "support/matrix_reader.h"

namespace tavrin {
namespace {

using e2e::readOneBitPng;

// What ZXing reads from the print where the label's symbol lands: its picture moved by the
// reference point.
std::optional<std::string> readSymbol(const Bitmap& print, const LabelDocument& d) {
    const MatrixPicture at = renderMatrixPicture(*d.figures.begin(), RenderContext{&d, nullptr, {}});
    return test::readMatrixSymbol(print, at.x + d.setup.leftMargin, at.y + d.setup.topMargin, at.image.width(),
                                  at.image.height());
}

LabelDocument labelWith(int type, const std::string& data, int rotation) {
    LabelDocument d;
    d.setup.width = 608, d.setup.length = 600, d.setup.labelGap = 24;
    d.setup.leftMargin = 8, d.setup.topMargin = 4;
    d.counters[0].defined = 1, d.counters[0].length = 4, d.counters[0].justification = kJustifyRight;
    d.counters[0].padChar = '0', d.counters[0].step = 1;
    d.counters[0].setValue("41");
    BarcodeRecord b;
    b.type = type, b.x = 300, b.y = 290, b.narrow = 2, b.wide = 0, b.rotation = rotation, b.data = data;
    d.figures.appendFigure(b.encode(), FigureKind::Barcode);
    return d;
}

// The print of every type, in two rotations, twice: the symbol follows the counter. A
// stored form carries the fixed symbol as a picture (one fed by a counter is refused before
// the port opens: the matrix symbol tests).
TEST(MatrixPrintEndToEnd, TestPrintsWithAFreshSymbolPerLabelAndAStoredFormReadBack) {
    if (!test::haveMatrixReader()) GTEST_SKIP() << "ZXing not available";
    test::TempDir dir;
    const auto sim = test::startSimulator(dir / "out");
    e2e::RealLink real(sim.device());
    PrinterStorage storage(real.link);
    int printed = 0;
    for (int type : {barcode::kQrCode, barcode::kDataMatrix, barcode::kPdf417}) {
        for (int rotation : {0, 3}) {
            LabelDocument d = labelWith(type, "\"SN-\"C00\"-\xD0\x96\"", rotation);  // SN-0041-Ж
            for (const char* expected : {"SN-0041-\xD0\x96", "SN-0042-\xD0\x96"}) {
                // What the label shows now, drawn here, is what must come out of the printer.
                const Bitmap drawn = renderPrintImage(d, RenderContext{&d, nullptr, {}});
                const LabelDocument shown = d;
                ASSERT_TRUE(testPrint(real.link, d, 1).sent);
                ASSERT_TRUE(storage.receiveList(kListForms));  // answered once the print is done
                const Bitmap print = readOneBitPng(sim.label(++printed));
                EXPECT_TRUE(print == drawn) << type << " rotation " << rotation;
                EXPECT_EQ(readSymbol(print, shown), expected) << type << " rotation " << rotation;
            }
            EXPECT_EQ(d.counters[0].valueText(), "43");
        }
    }
    const std::string url = "https://id.gs1.org/01/09501101530003/21/XYZ";
    LabelDocument fixed = labelWith(barcode::kDataMatrix, "\"" + url + "\"", 1);
    ASSERT_TRUE(storage.storeCurrentLabel(fixed, "DM2D"));
    ASSERT_TRUE(printStoredForm(real.link, "DM2D", 1, 1).sent);
    ASSERT_TRUE(storage.receiveList(kListForms));
    EXPECT_EQ(storage.storeAsList().names, (std::vector<std::string>{"DM2D"}));
    const Bitmap print = readOneBitPng(sim.label(++printed));
    EXPECT_TRUE(print == renderPrintImage(fixed, RenderContext{&fixed, nullptr, {}}));
    EXPECT_EQ(readSymbol(print, fixed), url);
}

// A run of twenty rows from a data file: each label carries a symbol of its own row.
TEST(MatrixPrintEndToEnd, ADataRunGivesEveryLabelTheSymbolOfItsRow) {
    if (!test::haveMatrixReader()) GTEST_SKIP() << "ZXing not available";
    test::TempDir dir;
    const auto sim = test::startSimulator(dir / "out");
    LabelDocument d = labelWith(barcode::kQrCode, "V00", 0);
    d.variables[0].defined = 1, d.variables[0].length = 12;
    d.variables[0].setPrompt("Parcel");
    d.variables[0].setValue("PARCEL-00");
    ASSERT_TRUE(saveLabelFile(dir / "parcel.qlb", d));
    std::string rows = "Parcel\n";
    for (int row = 1; row <= 20; ++row) rows += "PARCEL-" + std::string(row < 10 ? "0" : "") + std::to_string(row) + "\n";
    test::writeFile(dir / "rows.csv", rows);

    const auto r = test::runLabel({"print", (dir / "parcel.qlb").string(), "--port", sim.device(),
                                   "--data", (dir / "rows.csv").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // Every symbol has the same size (the rows are as long as each other): one place to read.
    for (int row = 1; row <= 20; ++row) {
        const std::string expected = "PARCEL-" + std::string(row < 10 ? "0" : "") + std::to_string(row);
        EXPECT_EQ(readSymbol(readOneBitPng(sim.label(row)), d), expected) << "label " << row;
    }
    EXPECT_FALSE(std::filesystem::exists(sim.label(21)));
}

}  // namespace
}  // namespace tavrin
