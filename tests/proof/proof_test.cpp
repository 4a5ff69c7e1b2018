// Proofs read back the way a reviewer reads them: every PDF page rasterised by
// poppler at the printer's 203.2 dpi must give the print image dot for dot, barcodes must
// scan off the page, and sheets must put each label where the layout says.
#include <gtest/gtest.h>

#include <regex>

#include "support/label_builders.h"
#include "proof/proof_output.h"
#include "render/barcode_check.h"
#include "render/resident_font.h"
#include "support/pdf_pages.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

constexpr int kCode128 = 3, kEan13 = 8, kQrCode = 27;

class ProofTest : public ::testing::Test {
protected:
    ProofTest() {
        EXPECT_EQ(fonts.load(std::filesystem::path(TAVRIN_SOURCE_DATA_DIR) / "ZREDIT.FNT"), 0);
        document.setup = {.width = 400, .length = 240, .leftMargin = 8, .topMargin = 4};
        context.residentFonts = &fonts;
        context.now = test::fixedTime;
    }
    // A text and a Code 128 fed by the variables, as a data run's label would be.
    void rowLabel() {
        document.variables[0] = test::makeSlot(16, kJustifyLeft, ' ', "Name");
        document.variables[1] = test::makeSlot(12, kJustifyLeft, ' ', "Code");
        document.counters[0] = test::makeSlot(4, kJustifyRight, '0', "Serial", "0007", 1);
        test::addText(document, 8, 8, 3, 0, "V00");
        test::addText(document, 8, 40, 2, 0, "C00");
        test::addBarcode(document, kCode128, 16, 80, 100, 2, 4, 2, "V01");
        test::addRectangle(document, 400 - 8 - 2, 240 - 4 - 2, 2, 2, 0);  // the last dots of the label
    }
    Bitmap printImage(LabelDocument& label) {
        RenderContext local = context;
        local.document = &label;
        return renderPrintImage(label, local);
    }
    ProofResult pdf(ProofRows& rows, ProofPaper paper = ProofPaper::LabelSize) {
        std::string problem;
        const auto output = openPdfProof(dir / "proof.pdf", {paper, "label.qlb"}, problem);
        EXPECT_TRUE(output) << problem;
        return output ? writeProof(document, context, rows, *output) : ProofResult{};
    }
    // The rows as the data run reads them one at a time, independently of the proof's stream.
    LabelDocument row(long long number) {
        LabelDocument label = document;
        DataFileRows source(dir / "rows.csv", Translation().ansiCodePage());
        EXPECT_EQ(applyDataRow(source, label, Translation(), number), "");
        return label;
    }
    DataFileRows writeRows(std::string_view text) {
        test::writeFile(dir / "rows.csv", text);
        return DataFileRows(dir / "rows.csv", Translation().ansiCodePage());
    }

    test::TempDir dir;
    ResidentFonts fonts;
    LabelDocument document;
    RenderContext context;
};

TEST_F(ProofTest, EveryFigureKindComesBackDotForDotFromThePdfAndTheSvg) {
    TAVRIN_NEED_POPPLER();
    // Texts in every rotation and a soft font, barcodes upright and turned, a QR Code,
    // the three shapes and a picture; odd sizes so that no edge falls on a whole byte.
    document.setup.width = 603, document.setup.length = 401;
    for (int rotation = 0; rotation < 4; ++rotation)
        test::addText(document, 60 + 70 * rotation, 20 + 30 * rotation, 1 + rotation, rotation == 2 ? 2 : 0,
                      "\"Ab9\"", rotation, 1 + rotation % 2, 1);
    test::addFont(document, 'S', {1, 0, 3, 'A', 3, 1, 0xE0, 0xA0, 0xE0});
    test::addText(document, 5, 5, 6, 0, "\"AAA\"", 0, 2, 2);
    test::addBarcode(document, kCode128, 20, 230, 60, 2, 4, 2, "\"PROOF-128\"");
    test::addBarcode(document, kEan13, 590, 150, 70, 2, 4, 2, "\"590123412345\"", 1);
    test::addBarcode(document, kQrCode, 330, 190, 0, 3, 2, 0, "\"https://example.org/proof\"");
    test::addRectangle(document, 300, 5, 17, 9, 0);
    test::addRectangle(document, -8, -4, 3, 401, 0);        // the label's first columns
    test::addRectangle(document, 603 - 8 - 3, 390, 3, 7, 0);  // and its last column and row
    test::addBox(document, 20, 330, 200, 390, 3);
    test::addLine(document, 220, 395, 440, 340, 2, 0);
    test::addPicture(document, 200, 120, "CHECKER",
                     std::make_shared<PictureBlock>(PictureBlock{{1, 2, 0xAA, 0x55, 0x55, 0xAA, 0xAA, 0x55}}), 13, 3);

    LabelOnlyRows rows;
    const ProofResult result = pdf(rows);
    ASSERT_TRUE(result.ok()) << result.error;
    const test::PdfInfo info = test::pdfInfo(dir / "proof.pdf");
    EXPECT_EQ(std::tuple(info.pages, info.size, info.title), std::tuple(1, "213.661 x 142.087", "label.qlb"));
    const Bitmap expected = printImage(document);
    const Bitmap page = test::rasterisePage(dir / "proof.pdf", 1);
    EXPECT_GT(expected.countInk(), 5000);
    EXPECT_TRUE(page == expected) << page.width() << " x " << page.height() << ", " << page.countInk() << " ink for "
                                  << expected.countInk();
    if (barcodeCheckAvailable()) {
        for (const BarcodeCheckResult& r : checkBarcodes(document, context, page))
            EXPECT_EQ(r.status, BarcodeReadStatus::ReadBack) << r.symbology << ": " << r.note;
    }

    // The SVG draws the same dots as rectangles in millimetres (8 dots each).
    ASSERT_EQ(writeSvgLabel(dir / "label.svg", expected), "");
    const std::string svg = test::readText(dir / "label.svg");
    EXPECT_NE(svg.find("width=\"75.375mm\" height=\"50.125mm\""), std::string::npos) << svg.substr(0, 300);
    Bitmap drawn(expected.width(), expected.height());
    const std::regex rectangle(R"(M ([\d.]+) ([\d.]+) L ([\d.]+) [\d.]+ L [\d.]+ ([\d.]+) L [\d.]+ [\d.]+ Z)");
    const std::string ink = svg.substr(svg.find("fill:rgb(0%,0%,0%)"));
    for (std::sregex_iterator it(ink.begin(), ink.end(), rectangle), end; it != end; ++it) {
        const auto dots = [&](int group) { return static_cast<int>(std::stod((*it)[group]) * 8 + 0.5); };
        drawn.fillRect(dots(1), dots(2), dots(3) - dots(1), dots(4) - dots(2), FillOp::Ink);
    }
    EXPECT_TRUE(drawn == expected) << drawn.countInk() << " ink for " << expected.countInk();
}

TEST_F(ProofTest, ChosenRowsBecomePagesNamedAfterThemAndListedWithTheirValues) {
    TAVRIN_NEED_POPPLER();
    rowLabel();
    // A blank record is not a row; rows 2, 4 and 5 are chosen.
    DataFileRows source = writeRows("Name,Code,Serial\nAnna,A-1,0100\nBoris,B-2,\n\nClara,C-3,\nDmitri,D-4,0500\nEva,E-5,0600\n");
    const DataCheck check = checkRows(source, document, Translation());
    ASSERT_FALSE(check.refused()) << check.error << check.firstRefusal();
    DataRunRows rows(document, source, check, *RowSelection::parse("2,4-5"), Translation());
    EXPECT_EQ(rows.count(), 3);
    const ProofResult result = pdf(rows);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.labels, 3);
    ASSERT_EQ(test::pdfInfo(dir / "proof.pdf").pages, 3);
    // Each page is named after its row (page labels: prefix "Row ", numbered from the row,
    // so the third page, row 5, goes on from the second), and the outline lists the row with
    // its values.
    const std::string bytes = test::readText(dir / "proof.pdf");
    for (const char* label : {"0 << /S /D /St 2 /P (Row ) >>", "1 << /S /D /St 4 /P (Row ) >>"})
        EXPECT_NE(bytes.find(label), std::string::npos) << label;
    if (std::filesystem::exists("/usr/bin/pdftohtml")) {
        const auto outline = test::runProgram("/usr/bin/pdftohtml", {"-xml", "-i", "-stdout", (dir / "proof.pdf").string()});
        EXPECT_NE(outline.out.find("Row 4: Name=Dmitri, Code=D-4, Serial=0500"), std::string::npos) << outline.out;
        EXPECT_NE(outline.out.find("Row 5: Name=Eva, Code=E-5, Serial=0600"), std::string::npos);
    }
}

TEST_F(ProofTest, SheetsPutEachLabelAtItsPlaceWithCutMarksAndNothingElse) {
    TAVRIN_NEED_POPPLER();
    rowLabel();
    std::string text = "Name,Code\n";
    for (int i = 1; i <= 23; ++i) text += "N" + std::to_string(i) + ",K" + std::to_string(i) + "\n";
    DataFileRows source = writeRows(text);
    const DataCheck check = checkRows(source, document, Translation());
    DataRunRows rows(document, source, check, RowSelection::all(), Translation());
    ASSERT_TRUE(pdf(rows, ProofPaper::A4).ok());
    // 50 x 30 mm labels on A4: 3 across and 7 down, so 23 rows take two pages.
    const ProofLayout layout = layoutProof(ProofPaper::A4, 400, 240);
    ASSERT_EQ(layout.perPage(), 21);
    const test::PdfInfo info = test::pdfInfo(dir / "proof.pdf");
    EXPECT_EQ(std::tuple(info.pages, info.size), std::tuple(2, "595.276 x 841.89"));
    long long number = 0;
    for (int page = 1; page <= 2; ++page) {
        Bitmap sheet = test::rasterisePage(dir / "proof.pdf", page);
        ASSERT_EQ(std::pair(sheet.width(), sheet.height()), std::pair(1680, 2376));
        for (const DotRectangle& place : layout.places) {
            if (++number > 23) break;
            LabelDocument label = row(number);
            EXPECT_TRUE(test::cutOut(sheet, place.x, place.y, place.width, place.height) == printImage(label))
                << "row " << number << " at " << place.x << ", " << place.y;
            for (const DotRectangle& m : cutMarksAround(place)) {
                EXPECT_EQ(test::cutOut(sheet, m.x, m.y, m.width, m.height).countInk(), m.width * m.height);
                sheet.fillRect(m.x, m.y, m.width, m.height, FillOp::Blank);
            }
            sheet.fillRect(place.x, place.y, place.width, place.height, FillOp::Blank);
        }
        EXPECT_EQ(sheet.countInk(), 0) << "ink outside the labels and their marks on page " << page;
    }
}

TEST(ProofLayout, FitsLabelsWithinTheMarginsAndKeepsMarksOffEveryLabel) {
    struct Case {
        ProofPaper paper;
        int width, length;
        int across, down;
    } const cases[] = {
        {ProofPaper::A4, 400, 240, 3, 7},          // 50 x 30 mm
        {ProofPaper::Letter, 400, 240, 3, 7},      // 8.5 x 11 in: 1727.2 x 2235.2 dots
        {ProofPaper::A4, 1520, 2216, 1, 1},        // exactly the room inside the margins
        {ProofPaper::A4, 1600, 2300, 1, 1},        // too big for the margins: in the corner, no marks
        {ProofPaper::A4, 1681, 100, 0, 0},         // wider than the paper
        {ProofPaper::LabelSize, 603, 401, 1, 1},
    };
    for (const Case& c : cases) {
        const ProofLayout layout = layoutProof(c.paper, c.width, c.length);
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.length) + " on " + proofPaperName(c.paper));
        ASSERT_EQ(layout.perPage(), c.across * c.down);
        if (layout.places.empty()) continue;
        const DotRectangle& last = layout.places.back();
        EXPECT_LE(last.x + last.width, layout.pageWidth);
        EXPECT_LE(last.y + last.height, layout.pageHeight);
        if (c.across > 1) {
            EXPECT_EQ(layout.places[1].x - layout.places[0].x, c.width + kSheetGap);
        }
        if (!layout.cutMarks) continue;
        EXPECT_EQ(std::pair(layout.places[0].x, layout.places[0].y), std::pair(kSheetMargin, kSheetMargin));
        for (const DotRectangle& place : layout.places)
            for (const DotRectangle& m : cutMarksAround(place)) {
                EXPECT_TRUE(m.x >= 0 && m.y >= 0 && m.x + m.width <= layout.pageWidth && m.y + m.height <= layout.pageHeight);
                for (const DotRectangle& other : layout.places)
                    EXPECT_FALSE(m.x < other.x + other.width && other.x < m.x + m.width && m.y < other.y + other.height &&
                                 other.y < m.y + m.height);
            }
    }
    EXPECT_EQ(layoutOnPaper(1680, 2376, 400, 240, true).perPage(), 1);
    EXPECT_EQ(proofPaperNamed("Letter"), ProofPaper::Letter);
    EXPECT_EQ(proofPaperNamed("a5"), std::nullopt);
}

TEST(ProofNames, NumberPatternsTakeExactlyOneWholeNumber) {
    for (const auto& [pattern, number, name] :
         {std::tuple{"out/label-%04d.png", 15LL, "out/label-0015.png"}, {"%d.pbm", 7LL, "7.pbm"},
          {"100%%-%3u.svg", 42LL, "100%- 42.svg"}, {"a%i.png", 123456LL, "a123456.png"}})
        EXPECT_EQ(std::pair(checkNumberPattern(pattern), numberedName(pattern, number)), std::pair(std::string(), std::string(name)));
    for (const char* bad : {"label.png", "%s.png", "%d-%d.png", "%-4d.png", "%ld.png", "%n.png", "%4.png", "%", "%x.png"})
        EXPECT_FALSE(checkNumberPattern(bad).empty()) << bad;
}

TEST_F(ProofTest, AFailedOrStoppedRunLeavesTheOldFileAndNoTemporaries) {
    rowLabel();
    test::writeFile(dir / "proof.pdf", std::string_view("the proof the customer signed"));
    // The data file loses its last rows between the check and the run.
    DataFileRows source = writeRows("Name,Code\nA,1\nB,2\nC,3\n");
    const DataCheck check = checkRows(source, document, Translation());
    writeRows("Name,Code\nA,1\n");
    DataRunRows shrunk(document, source, check, RowSelection::all(), Translation());
    EXPECT_EQ(pdf(shrunk).error, "The data file changed: fewer rows than before");

    writeRows("Name,Code\nA,1\nB,2\nC,3\n");
    DataRunRows rows(document, source, check, RowSelection::all(), Translation());
    std::string problem;
    auto output = openPdfProof(dir / "proof.pdf", {}, problem);
    ASSERT_TRUE(output);
    const ProofResult stopped =
        writeProof(document, context, rows, *output, [](long long index, long long total) { return index < total; });
    output.reset();
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.labels, 2);
    EXPECT_EQ(test::readText(dir / "proof.pdf"), "the proof the customer signed");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // the PDF and the rows

    // A folder that cannot be written: the file and the system's reason are named.
    EXPECT_EQ(test::asUnprivileged([&] {
                  std::string message;
                  openPdfProof("/proc/proof.pdf", {}, message);
                  return message;
              }).rfind("Can't write /proc/proof.pdf: ", 0),
              0u);
}

}  // namespace
}  // namespace tavrin
