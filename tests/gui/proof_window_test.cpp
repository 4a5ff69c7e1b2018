// Export as PDF and Print Proof in the editor: the same file as the command line writes,
// and labels at true size on a printer's paper, for the label and for chosen data rows.
#include <gtest/gtest.h>

#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <regex>

#include "support/editor_window.h"
#include "proof/proof_layout.h"
#include "render/canvas.h"
#include "support/pdf_pages.h"
#include "tools/data_print_dialog.h"
#include "tools/proof_commands.h"

namespace tavrin {
namespace {

// A PDF's bytes without its creation date, the one thing that differs between two runs.
std::string withoutDate(const std::string& pdf) {
    return std::regex_replace(pdf, std::regex(R"(/CreationDate \([^)]*\))"), "");
}

class ProofWindowTest : public ::testing::Test, public test::EditorWindowFixture {
protected:
    ProofWindowTest() : window(start(test::kSampleLabel)) {
        QTest::qWait(50);  // the start timer opens the label
        // The print dialog answered as a user printing to a PDF file on A4 would.
        setProofPrintDialog([this](QPrinter& printer, bool& asSheet, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString((dir / "printed.pdf").string()));
            printer.setPageSize(QPageSize(QPageSize::A4));
            asSheet = sheet;
            return true;
        });
    }
    ~ProofWindowTest() override {
        window.reset();
        setProofPrintDialog({});
    }
    // The print image of the label with row `row` of the data window's file (0: its own values).
    Bitmap labelImage(TDataPrintDlg* data = nullptr, int row = 0) {
        if (data != nullptr) data->previewRow(row);
        LabelDocument label = window->session().document();
        if (data != nullptr) data->previewRow(0);
        RenderContext context = window->session().renderContext();
        context.document = &label;
        return renderPrintImage(label, context);
    }

    const std::filesystem::path dir = path("");
    std::unique_ptr<TZRedit> window;
    QString& saveAs = chosenFile;
    bool sheet = false;
};

TEST_F(ProofWindowTest, ExportAsPdfWritesWhatTheCommandLineWrites) {
    saveAs = QString::fromStdString((dir / "editor.pdf").string());
    window->action("ExportPdfM")->trigger();
    const auto r =
        test::runProgram(TAVRIN_LABEL_EXE, {"render", test::kSampleLabel.toStdString(), "-o", (dir / "cli.pdf").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string editor = test::readText(dir / "editor.pdf");
    EXPECT_GT(editor.size(), 1000u);
    EXPECT_EQ(withoutDate(editor), withoutDate(test::readText(dir / "cli.pdf")));
}

TEST_F(ProofWindowTest, PrintProofPutsTheLabelAtTrueSizeOnTheChosenPaper) {
    TAVRIN_NEED_POPPLER();
    sheet = true;
    window->action("PrintProofM")->trigger();
    const Bitmap page = test::rasterisePage(dir / "printed.pdf", 1);
    const Bitmap expected = labelImage();
    const ProofLayout layout = layoutOnPaper(1680, 2376, expected.width(), expected.height(), false);
    EXPECT_EQ(test::pdfInfo(dir / "printed.pdf").pages, 1);
    EXPECT_TRUE(test::cutOut(page, kSheetMargin, kSheetMargin, expected.width(), expected.height()) == expected);
    // One label on the sheet, with its marks and nothing else.
    EXPECT_GT(layout.perPage(), 1);
    EXPECT_EQ(page.countInk(), expected.countInk() + 8 * kCutMarkLength);
}

TEST_F(ProofWindowTest, TheDataWindowSavesAndPrintsItsChosenRows) {
    TAVRIN_NEED_POPPLER();
    test::writeFile(dir / "rows.csv", "Lot number,Serial\nA-1,10\nB-2,20\nC-3,30\n");
    window->findChild<QAction*>("PrintFromDataM")->trigger();
    auto* data = window->findChild<TDataPrintDlg*>();
    ASSERT_NE(data, nullptr);
    auto* save = data->findChild<QPushButton*>("SavePdfBt");
    EXPECT_FALSE(save->isEnabled());  // no rows yet
    ASSERT_TRUE(data->loadDataFile(QString::fromStdString((dir / "rows.csv").string())));
    EXPECT_TRUE(save->isEnabled());
    test::type(data, "RangeEd", "2-3");
    data->findChild<QRadioButton*>("RangeRb")->setChecked(true);

    saveAs = QString::fromStdString((dir / "rows.pdf").string());
    save->click();
    test::click(data, "PrintProofBt");
    EXPECT_EQ(test::pdfInfo(dir / "rows.pdf").pages, 2);
    EXPECT_EQ(test::pdfInfo(dir / "printed.pdf").pages, 2);
    for (const int row : {2, 3}) {
        const Bitmap expected = labelImage(data, row);
        EXPECT_TRUE(test::rasterisePage(dir / "rows.pdf", row - 1) == expected) << row;
        EXPECT_TRUE(test::cutOut(test::rasterisePage(dir / "printed.pdf", row - 1), kSheetMargin, kSheetMargin,
                                 expected.width(), expected.height()) == expected)
            << row;
    }
    // The label keeps its own values.
    EXPECT_EQ(window->session().document().variables[0].valueText(), "42");
    EXPECT_FALSE(window->session().modified());
}

}  // namespace
}  // namespace tavrin
