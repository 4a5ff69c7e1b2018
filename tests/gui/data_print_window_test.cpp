// Print from Data File in the editor against the simulated printer, the barcode
// self-check's marks, status line and question before printing, and proofs of the label and
// of data rows as PDF files and on a printer's paper.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QListWidget>
#include <QPageSize>
#include <QPrinter>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>

#include "data/sha256.h"
#include "document/label_file.h"
#include "document/figure_records.h"
#include "proof/proof_layout.h"
#include "render/canvas.h"
#include "support/editor_window.h"
#include "support/pdf_pages.h"
#include "tools/barcode_check_marks.h"
#include "tools/data_print_dialog.h"
#include "tools/proof_commands.h"

namespace tavrin {
namespace {

class DataPrintWindowTest : public ::testing::Test, public test::EditorWindowFixture {
protected:
    std::unique_ptr<TZRedit> start(const std::string& printerDevice = {}) {
        Start how;
        how.label = test::kSampleLabel;
        if (!printerDevice.empty()) how.portDevices[1] = printerDevice;
        auto window = EditorWindowFixture::start(how);
        QTest::qWait(50);  // the start timer opens the label
        return window;
    }
    // Print from Data File, opened on the window.
    TDataPrintDlg* openData(TZRedit& window) {
        window.findChild<QAction*>("PrintFromDataM")->trigger();
        return window.findChild<TDataPrintDlg*>();
    }
    const std::filesystem::path dir = path("");
};

TEST_F(DataPrintWindowTest, PreviewsARowAndPrintsEveryRowWithProgress) {
    const auto sim = test::startSimulator(dir / "out");
    auto window = start(sim.device());
    ASSERT_EQ(window->session().document().variables[0].valueText(), "42");
    test::writeFile(dir / "rows.csv", "Lot number,Serial,Notes\nA-1,10,x\nB-2,20,y\nC-3,30,z\n");

    auto* dialog = openData(*window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    // Enter after the file name loads the file; it never starts a run.
    auto* file = dialog->findChild<QLineEdit*>("DataFileEd");
    file->setText(QString::fromStdString((dir / "rows.csv").string()));
    QTest::keyClick(file, Qt::Key_Return);
    EXPECT_FALSE(dialog->lastResult().has_value());
    EXPECT_FALSE(std::filesystem::exists(sim.label(1)));
    ASSERT_TRUE(dialog->loadDataFile(QString::fromStdString((dir / "rows.csv").string())));
    auto* columns = dialog->findChild<QTreeWidget*>("ColumnsLst");
    ASSERT_EQ(columns->topLevelItemCount(), 3);
    EXPECT_EQ(columns->topLevelItem(0)->text(1), "V00 Lot number");
    EXPECT_EQ(columns->topLevelItem(2)->text(1), "(not used)");
    EXPECT_EQ(dialog->findChild<QListWidget*>("ProblemsLst")->item(0)->text(),
              "Column \"Notes\" matches no variable or counter");

    ASSERT_TRUE(dialog->previewRow(2));
    EXPECT_EQ(window->session().document().variables[0].valueText(), "B-2");
    EXPECT_EQ(window->session().document().counters[0].valueText(), "20");

    dialog->print();
    ASSERT_TRUE(dialog->lastResult().has_value());
    EXPECT_TRUE(dialog->lastResult()->completed) << dialog->lastResult()->message;
    EXPECT_EQ(dialog->findChild<QLabel*>("ResultLbl")->text(), "Printed 3 rows");
    EXPECT_TRUE(std::filesystem::exists(sim.label(3)));
    EXPECT_FALSE(std::filesystem::exists(sim.label(4)));
    // The preview gave the label its own values back before the run, and they stay.
    EXPECT_EQ(window->session().document().variables[0].valueText(), "42");
    EXPECT_FALSE(window->session().modified());
    // The window may close with a row on show and the file name being typed.
    ASSERT_TRUE(dialog->previewRow(1));
    QTest::keyClicks(dialog->findChild<QLineEdit*>("DataFileEd"), "typed");
    window.reset();
}

// Esc on the progress window while row 5 is on its way, looked for at every turn of the event
// loop: the rows go by faster than a modal window driver polls.
void stopAtRow5(QTimer& poll) {
    QObject::connect(&poll, &QTimer::timeout, [&poll] {
        auto* box = QApplication::activeModalWidget();
        auto* text = box ? box->findChild<QLabel*>("MsgText") : nullptr;
        if (text && text->text() == "Row 5 of 30") {
            poll.stop();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    poll.start(0);
}

// Finding a run in the journal after a restart is the next test's; here the stop and the
// offer to go on in the same window.
TEST_F(DataPrintWindowTest, EscOnTheProgressWindowStopsTheRunAndOffersTheRowsLeft) {
    const auto sim = test::startSimulator(dir / "out");
    test::writeFile(dir / "rows.csv", test::sampleRows(30, 500));
    auto window = start(sim.device());
    auto* dialog = openData(*window);
    ASSERT_TRUE(dialog->loadDataFile(QString::fromStdString((dir / "rows.csv").string())));
    auto* failed = dialog->findChild<QRadioButton*>("FailedRowsRb");
    EXPECT_FALSE(failed->isEnabled());
    QTimer poll;
    stopAtRow5(poll);
    dialog->print();
    ASSERT_TRUE(dialog->lastResult().has_value());
    const DataRunResult stopped = *dialog->lastResult();
    EXPECT_TRUE(stopped.stopped);
    EXPECT_GE(stopped.confirmed.last(), 4);
    EXPECT_LT(stopped.confirmed.last(), 30);
    const long long goOnFrom = stopped.firstNotConfirmed;
    EXPECT_EQ(dialog->findChild<QLabel*>("ResultLbl")->text().toStdString(),
              "Stopped. Printed rows 1-" + std::to_string(goOnFrom - 1) + "; go on with rows " +
                  std::to_string(goOnFrom) + "-");
    EXPECT_TRUE(failed->isEnabled() && failed->isChecked());
    auto* from = dialog->findChild<QComboBox*>("ResumeFromCb");
    ASSERT_EQ(from->count(), 1);  // everything sent was confirmed
    EXPECT_EQ(from->itemData(0).toLongLong(), goOnFrom);
    dialog->print();
    ASSERT_TRUE(dialog->lastResult() && dialog->lastResult()->completed) << dialog->lastResult()->message;
    EXPECT_FALSE(failed->isEnabled());
    EXPECT_TRUE(std::filesystem::exists(sim.label(30)));
    EXPECT_FALSE(std::filesystem::exists(sim.label(31)));
}

// A run that ended with rows sent but not confirmed: the user looks at the last labels and
// goes on from the first row not confirmed or from the first not sent.
TEST_F(DataPrintWindowTest, RowsSentButNotConfirmedOfferBothPlacesToGoOnFrom) {
    const auto sim = test::startSimulator(dir / "out");
    const test::ScopedEnv journalFile("TAVRIN_JOURNAL", (dir / "journal.sqlite").c_str());
    test::writeFile(dir / "rows.csv", test::sampleRows(20, 500));
    auto window = start(sim.device());
    {
        PrintJournal journal(dir / "journal.sqlite");
        JournalRun failed;
        failed.labelHash = sha256Hex(encodeLabelFile(window->session().document()));
        failed.dataHash = *sha256OfFile(dir / "rows.csv");
        const long long id = journal.beginRun(failed);
        for (long long row = 1; row <= 12; ++row) journal.rowSent(id, row, "{}", 1);
        journal.rowsConfirmed(id, 1, 10);
        journal.finishRun(id, kRunFailed, kNoPrinterResponse);
    }
    auto* dialog = openData(*window);
    ASSERT_TRUE(dialog->loadDataFile(QString::fromStdString((dir / "rows.csv").string())));
    auto* from = dialog->findChild<QComboBox*>("ResumeFromCb");
    ASSERT_EQ(from->count(), 2);
    EXPECT_EQ(from->itemText(0), "from row 11 (first not confirmed)");
    EXPECT_EQ(from->itemText(1), "from row 13 (first not sent)");
    from->setCurrentIndex(1);
    dialog->print();
    ASSERT_TRUE(dialog->lastResult() && dialog->lastResult()->completed) << dialog->lastResult()->message;
    EXPECT_EQ(dialog->lastResult()->confirmed.text(), "13-20");
    const std::string log = test::readText(dir / "out" / "received.log");
    EXPECT_NE(log.find("printed label-0001.png (TLDATA, set 1, copy 1) V00=\"L13\" C00=\"512\""), std::string::npos) << log;
    EXPECT_FALSE(std::filesystem::exists(sim.label(9)));
}

TEST_F(DataPrintWindowTest, PrintStaysOffWithTheReasonUntilPrintAnywayIsTicked) {
    auto window = start();
    test::writeFile(dir / "rows.csv", "Foo,Bar\n1,2\n");
    auto* dialog = openData(*window);
    ASSERT_TRUE(dialog->loadDataFile(QString::fromStdString((dir / "rows.csv").string())));
    auto* print = dialog->findChild<QPushButton*>("PrintBt");
    auto* anyway = dialog->findChild<QCheckBox*>("PrintAnywayCb");
    EXPECT_FALSE(print->isEnabled());
    EXPECT_TRUE(dialog->findChild<QLabel*>("PrintReasonLbl")->text().startsWith("No column of "));
    anyway->setChecked(true);
    EXPECT_TRUE(print->isEnabled());
    EXPECT_TRUE(dialog->findChild<QLabel*>("PrintReasonLbl")->text().isEmpty());
}

TEST_F(DataPrintWindowTest, AFailingBarcodeIsMarkedNamedAndAskedAbout) {
    auto window = start();
    auto* marks = window->findChild<BarcodeCheckMarks*>();
    ASSERT_NE(marks, nullptr);
    marks->refresh();
    EXPECT_FALSE(anyBarcodeFailed(marks->results()));
    EXPECT_TRUE(confirmBarcodesBeforePrinting(*window));  // asks nothing
    if (!barcodeCheckAvailable()) GTEST_SKIP() << "no barcode reader in this build";

    BarcodeRecord flat;
    flat.type = 3, flat.x = 20, flat.y = 20, flat.height = 2, flat.narrow = 2, flat.wide = 6, flat.data = "\"FLAT\"";
    window->session().edit([&](LabelDocument& label) { label.figures.appendFigure(flat.encode(), FigureKind::Barcode); });
    marks->refresh();
    ASSERT_TRUE(anyBarcodeFailed(marks->results()));
    // Named by its place among the label's barcodes.
    const auto& figures = window->session().document().figures;
    const auto number = std::count_if(figures.begin(), figures.end(),
                                      [](const Figure& f) { return f.kind == FigureKind::Barcode; });
    const QString named = QString("Barcode %1 (Code 128 auto A, B, C modes) unreadable").arg(number);
    EXPECT_EQ(marks->statusText(), named);
    EXPECT_EQ(window->statusBar()->currentMessage(), named);
    {
        test::OnModal no("NoBt");
        EXPECT_FALSE(confirmBarcodesBeforePrinting(*window));
        EXPECT_EQ(no.text(), named + ". Print anyway?");
    }
    test::OnModal yes("YesBt");
    EXPECT_TRUE(confirmBarcodesBeforePrinting(*window));
}

// A PDF's bytes without its creation date, the one thing that differs between two runs.
std::string withoutDate(const std::string& pdf) {
    return std::regex_replace(pdf, std::regex(R"(/CreationDate \([^)]*\))"), "");
}

// Export as PDF and Print Proof: the same file as the command line writes, and labels at
// true size on a printer's paper, for the label and for chosen data rows.
class ProofWindowTest : public DataPrintWindowTest {
protected:
    ProofWindowTest() : window(start()) {
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
        const Bitmap image = test::printImage(*window);
        if (data != nullptr) data->previewRow(0);
        return image;
    }

    std::unique_ptr<TZRedit> window;
    QString& saveAs = chosenFile;
    bool sheet = false;
};

TEST_F(ProofWindowTest, ExportAsPdfWritesWhatTheCommandLineWrites) {
    saveAs = QString::fromStdString((dir / "editor.pdf").string());
    window->action("ExportPdfM")->trigger();
    const auto r =
        test::runLabel({"render", test::kSampleLabel.toStdString(), "-o", (dir / "cli.pdf").string()});
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
    auto* data = openData(*window);
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
