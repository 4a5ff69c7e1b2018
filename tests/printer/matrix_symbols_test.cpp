// 2D symbols on their way to the printer: rasters in print jobs, stored pictures in stored
// forms, and the refusal of a stored form whose symbol changes from label to label.
#include <gtest/gtest.h>

#include "support/fake_printer.h"
#include "printer/direct_graphics.h"
#include "printer/form_writer.h"
#include "printer/matrix_symbols.h"
#include "printer/storage_operations.h"
#include "support/label_builders.h"
#include "render/barcode_figure.h"

namespace tavrin {
namespace {

using namespace test;

// The symbol's dots as the printer receives them, for comparing a raster with the drawing.
std::string rowsOf(const Bitmap& image, int firstRow) {
    std::string out;
    const std::size_t perRow = static_cast<std::size_t>((image.width() + 7) / 8);
    for (int y = firstRow; y < image.height(); ++y) {
        std::string row(reinterpret_cast<const char*>(image.row(y)), perRow);
        if (image.width() % 8) row.back() = static_cast<char>(row.back() | (0xFF >> (image.width() % 8)));
        out += row;
    }
    return out;
}

// With and without direct graphics the symbol goes as one raster of its drawn dots, cut at
// the label's top edge, and never as a B line.
TEST(MatrixSymbols, PrintJobSendsTheSymbolAsARaster) {
    struct Case { int y; int rotation; bool direct; };
    for (const Case c : {Case{40, 0, false}, Case{40, 0, true}, Case{-10, 0, false}, Case{100, 2, false}}) {
        LabelDocument d;
        d.variables[0] = makeSlot(6, kJustifyNone, ' ', "Lot", "LOT042");
        Figure& f = addBarcode(d, barcode::kQrCode, 30, c.y, 24, 2, 1, 0, "\"ID \"V00", c.rotation);
        addText(d, 1, 1, 3, 0, "\"after\"");
        const RenderContext context{&d, nullptr, {}};
        const MatrixPicture picture = renderMatrixPicture(f, context);
        ASSERT_FALSE(picture.empty());
        const int cut = picture.y < 0 ? -picture.y : 0;
        const std::string header = "GW" + std::to_string(picture.x) + "," + std::to_string(picture.y + cut) + "," +
                                   std::to_string((picture.image.width() + 7) / 8) + "," +
                                   std::to_string(picture.image.height() - cut) + ",";
        BufferSink sink;
        ASSERT_TRUE(writePrintLabel(d, PrintJob{1, c.direct ? directGraphicsWriter(context) : RasterFigureWriter{}}, sink));
        const std::string job = sink.text();
        EXPECT_NE(job.find("TTH:M:S\r\n" + header + rowsOf(picture.image, cut) + "\r\nA1,1,0,3,1,1,N,\"after\"\r\n"),
                  std::string::npos) << c.y << " " << c.rotation;
        EXPECT_EQ(job.find("\r\nB"), std::string::npos);
    }
}

// A form file has no line for a 2D symbol: a comment stands in its place.
TEST(MatrixSymbols, FormFileNamesTheSymbolItCannotHold) {
    LabelDocument d;
    addBarcode(d, barcode::kQrCode, 7, 8, 24, 2, 0, 0, "\"Q\"");
    addRectangle(d, 1, 2, 3, 4, 0);
    BufferSink sink;
    writeFormFile(d, sink);
    EXPECT_NE(sink.text().find("R0,0\r\n; QR Code at 7,8 is not in this file: store or print the label to send it\r\n"
                               "LO1,2,3,4\r\n\r\n"),
              std::string::npos)
        << sink.text();
}

// A fixed symbol goes with the form as a stored picture placed by GG.
TEST(MatrixSymbols, StoredFormHoldsAFixedSymbolAsAPicture) {
    LabelDocument d;
    addBarcode(d, barcode::kPdf417, 12, 34, 24, 2, 3, 0, "\"SHIP 0042\"");
    BufferSink sink;
    ASSERT_TRUE(writeStoredForm(d, "SHIP", sink));
    const std::string form = sink.text();
    LabelDocument stored = withMatrixSymbolsAsPictures(d, RenderContext{&d, nullptr, {}});
    ASSERT_EQ(stored.figures.size(), 1u);
    const Figure& picture = stored.figures.front();
    ASSERT_EQ(picture.kind, FigureKind::Picture);
    const PictureRecord p = PictureRecord::decode(picture.record);
    EXPECT_EQ(p.name.substr(0, 2), "PD");
    EXPECT_EQ(p.name.size(), 8u);
    EXPECT_EQ((std::array{p.x, p.y}), (std::array{12, 34}));
    const std::string place = "GG12,34,\"" + p.name + "\"\n";
    EXPECT_NE(form.find("\r\nR0,0\r\n" + place + "FE\r\n"), std::string::npos) << form;
    const std::string download = "GM\"" + p.name + "\"" + std::to_string(picture.picture->bytes.size() + 126) + "\n";
    EXPECT_NE(form.find(download), std::string::npos);
    EXPECT_GT(form.find(download), form.find("FE\r\n"));
    // The same symbol gets the same name; another symbol another name.
    EXPECT_EQ(matrixPictureName(barcode::kPdf417, picture.picture->bytes), p.name);
    EXPECT_NE(matrixPictureName(barcode::kPdf417, {1, 2, 0xFF}), p.name);
}

// A symbol that changes from label to label cannot be stored: the message names it and
// the printer is not even opened; an unencodable symbol is refused likewise.
TEST(MatrixSymbols, StoredFormRefusesVariableOrInvalidSymbols) {
    struct Case { int type; const char* data; const char* said; };
    const Case cases[] = {
        {barcode::kQrCode, "\"Lot \"V00", "QR Code at 5,6 takes variables, counters, date or time"},
        {barcode::kDataMatrix, "C01", "Data Matrix at 5,6 takes variables"},
        {barcode::kPdf417, "\"made \"TD", "PDF417 at 5,6 takes variables"},
        {barcode::kDataMatrix, "\"[01]09501101530004\"", "the data of Data Matrix at 5,6 cannot be encoded"},
    };
    for (const Case& c : cases) {
        LabelDocument d;
        addText(d, 1, 1, 3, 0, "\"fine\"");
        addBarcode(d, c.type, 5, 6, 24, 2, 0, 0, c.data);
        const auto refusal = matrixSymbolStoreRefusal(d, RenderContext{&d, nullptr, {}});
        ASSERT_TRUE(refusal) << c.data;
        EXPECT_EQ(refusal->title, "Error");
        EXPECT_NE(refusal->text.find(c.said), std::string::npos) << refusal->text;
        if (&c != &cases[0]) continue;
        // The stored form and the store over the link both ask the same question first.
        BufferSink sink;
        EXPECT_FALSE(writeStoredForm(d, "F", sink));
        EXPECT_EQ(sink.text(), "");
        FakePrinter printer;
        PrinterStorage storage(printer.link);
        EXPECT_FALSE(storage.storeCurrentLabel(d, "F"));
        EXPECT_EQ(printer.transport.openCount, 0);
        EXPECT_EQ(printer.ui.events, (std::vector<std::string>{"box Error: " + refusal->text}));
    }
    LabelDocument fixed;
    addBarcode(fixed, barcode::kQrCode, 5, 6, 24, 2, 0, 0, "\"https://example.org/\\\"q\\\"\"");
    EXPECT_FALSE(matrixSymbolStoreRefusal(fixed, RenderContext{&fixed, nullptr, {}}));
}

}  // namespace
}  // namespace tavrin
