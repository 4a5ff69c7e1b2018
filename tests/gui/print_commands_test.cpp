// The Print menu against tavrin-printer-sim on a pseudo-terminal: a stored form printed in
// sets with new values, a test print with direct graphics, variables defined in their
// window, and printers that fall silent, talk nonsense or go away mid-exchange.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QRadioButton>
#include <QTableWidget>

#include <optional>

#include "app/qt_link_ui.h"
#include "support/editor_window.h"
#include "printer/printing.h"
#include "printer/storage_operations.h"
#include "render/barcode_check.h"
#include "render/canvas.h"
#include "render/image_io.h"

namespace tavrin {
namespace {

using test::OnModal;
using test::click;
using test::type;

class PrintCommandsTest : public ::testing::Test, public test::PrinterWindowFixture {
protected:
    explicit PrintCommandsTest(std::vector<std::string> simulatorOptions = {})
        : PrinterWindowFixture(std::move(simulatorOptions)) {
        // A window nobody answers fails the test instead of hanging it.
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "left waiting in " << modal->objectName().toStdString();
                modal->close();
                if (auto* ok = modal->findChild<QAbstractButton*>("OkBt"); ok && ok->isVisible()) ok->click();
                if (auto* no = modal->findChild<QAbstractButton*>("NoBt"); no && no->isVisible()) no->click();
            }
        });
        watchdog.start(30000);
    }

    // The sample label, Com1 on the simulator.
    std::unique_ptr<TZRedit> start() {
        auto window = PrinterWindowFixture::start();
        EXPECT_TRUE(window->openLabelFile(test::kSampleLabel));
        return window;
    }

    static const Counter& counter0(TZRedit& window) { return window.session().document().counters[0]; }
    static const Variable& variable0(TZRedit& window) { return window.session().document().variables[0]; }

    QTimer watchdog;
};

TEST_F(PrintCommandsTest, StoredFormPrintsInSetsWithNewValuesAndCountersAdvance) {
    auto window = start();
    PrinterStorage storage(window->link());
    ASSERT_TRUE(storage.storeCurrentLabel(window->session().document(), "SAMPLE"));
    ASSERT_TRUE(storage.storeCurrentLabel(window->session().document(), "OTHER"));  // now the active one
    const std::size_t steps = window->session().undoSteps();

    // The values dialog prints 3 sets of 2 with new values, then OK sends the advanced ones.
    OnModal values("TValuesDlg", [](QWidget* dialog) {
        auto* grid = dialog->findChild<QTableWidget*>("ValuesGrid");
        ASSERT_EQ(grid->rowCount(), 2);
        EXPECT_EQ(grid->item(0, 0)->text(), "Lot number");
        grid->item(0, 1)->setText("A1");
        grid->item(1, 1)->setText("0010");
        click(dialog, "PrintBt");
        EXPECT_EQ(grid->item(1, 1)->text(), "13");
        click(dialog, "OkBt");
    });
    OnModal select("TSelectFormDlg", [](QWidget* dialog) {
        EXPECT_EQ(dialog->findChild<QListWidget*>("ObjList")->count(), 2);
        type(dialog, "NameEd", "NOSUCH");
        click(dialog, "SelectBt");  // not a listed form: nothing happens
        ASSERT_TRUE(dialog->isVisible());
        type(dialog, "NameEd", "SAMPLE");
        click(dialog, "SelectBt");
    });
    OnModal print("TPrintDlg", [](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Print - OTHER");
        click(dialog, "SelectFormBt");
        EXPECT_EQ(dialog->windowTitle(), "Print - SAMPLE");
        type(dialog, "SetsEd", "3");
        type(dialog, "CopiesEd", "2");
        click(dialog, "VariablesBt");
        click(dialog, "PrintBt");  // FR and P again: 6 more labels
    });
    window->action("PrintM")->trigger();
    ASSERT_TRUE(print.ran() && select.ran() && values.ran());
    EXPECT_EQ(variable0(*window).valueText(), "A1");
    EXPECT_EQ(counter0(*window).valueText(), "16");
    EXPECT_GT(window->session().undoSteps(), steps);  // the new values can be undone

    ASSERT_TRUE(storage.receiveList(kListForms));  // answered once the prints are out
    EXPECT_TRUE(std::filesystem::exists(simulator->label(12)) && !std::filesystem::exists(simulator->label(13)));
}

TEST_F(PrintCommandsTest, RefusalsAreToldWithoutTouchingThePrinter) {
    auto window = start();
    {
        // No active form yet: the dialog is titled "Print" and will not print.
        OnModal noForm("OkBt");
        OnModal print("TPrintDlg", [](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), "Print");
            click(d, "PrintBt");
            EXPECT_TRUE(d->isVisible());
            d->close();
        });
        window->action("PrintM")->trigger();
        ASSERT_TRUE(print.ran() && noForm.ran());
        EXPECT_EQ(noForm.text(), kNoFormSelected);
        EXPECT_EQ(noForm.title(), "Error");
    }
    // An empty label: nothing to print, no values to ask for.
    window->session().edit([](LabelDocument& label) { label.newLabel(); });
    // The window picks each message itself, so each is checked here.
    for (const auto& [command, message] : {std::pair{"TestPrintM", kNothingToPrint}, std::pair{"NewValuesM", kNoVariablesDefined}}) {
        OnModal refusal("OkBt");
        window->action(command)->trigger();
        EXPECT_TRUE(refusal.ran());
        EXPECT_EQ(refusal.text(), message);
    }
    EXPECT_FALSE(std::filesystem::exists(simulator->label(1)));
}

TEST_F(PrintCommandsTest, TestPrintWithDirectGraphicsPrintsTheLabelsPrintImage) {
    auto window = start();
    window->config().directGraphics = 1;
    const Bitmap expected = test::printImage(*window);
    const int serial = std::stoi(counter0(*window).valueText());

    OnModal dialog("TTestPrintDlg", [](QWidget* d) {
        type(d, "CopiesEd", "1000");  // out of range: the single copy stays
        click(d, "PrintBt");
    });
    window->action("TestPrintM")->trigger();
    ASSERT_TRUE(dialog.ran());
    // One label went out, so the counter moved one step.
    EXPECT_EQ(std::stoi(counter0(*window).valueText()), serial + 1);
    ASSERT_TRUE(PrinterStorage(window->link()).receiveList(kListForms));  // answered after the print
    ScreenImage printed;
    ASSERT_TRUE(readPng(simulator->label(1), printed));
    EXPECT_TRUE(toOneBit(printed) == expected);
    EXPECT_FALSE(std::filesystem::exists(simulator->label(2)));
}

TEST_F(PrintCommandsTest, ABarcodeThatDoesNotReadBackIsAskedAboutBeforeTheTestPrint) {
    if (!barcodeCheckAvailable()) GTEST_SKIP() << "no barcode reader in this build";
    auto window = start();
    BarcodeRecord flat;
    flat.type = 3, flat.x = 20, flat.y = 20, flat.height = 2, flat.data = "\"FLAT\"";
    window->session().edit([&](LabelDocument& label) { label.figures.appendFigure(flat.encode(), FigureKind::Barcode); });

    OnModal no("NoBt");
    OnModal dialog("TTestPrintDlg", [](QWidget* d) { click(d, "PrintBt"); });
    window->action("TestPrintM")->trigger();
    ASSERT_TRUE(dialog.ran());
    EXPECT_TRUE(no.text().endsWith("Print anyway?")) << no.text().toStdString();
    PrinterStorage storage(window->link());
    ASSERT_TRUE(storage.receiveList(kListForms));  // the printer answers: nothing was held back
    EXPECT_FALSE(std::filesystem::exists(simulator->label(1))) << "No sends nothing";
}

TEST_F(PrintCommandsTest, VariablesAreDefinedInTheirWindowAndUndoneAsOneStep) {
    auto window = start();
    const LabelDocument original = window->session().document();
    // Closing the window drops what was done in it.
    OnModal dropped("TVarCntDlg", [](QWidget* d) {
        click(d, "DeleteAllBt");
        EXPECT_EQ(d->findChild<QListWidget*>("VarList")->count(), 0);
        d->close();
    });
    window->action("VariablesM")->trigger();
    ASSERT_TRUE(dropped.ran());
    EXPECT_TRUE(window->session().document().variables == original.variables);

    OnModal defined("TVarCntDlg", [](QWidget* d) {
        d->findChild<QRadioButton*>("CountersRb")->click();
        EXPECT_TRUE(d->findChild<QLineEdit*>("IncrementEd")->isVisibleTo(d));
        click(d, "NewBt");
        auto* list = d->findChild<QListWidget*>("VarList");
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->currentItem()->text(), "Counter 1");
        EXPECT_EQ(d->findChild<QLineEdit*>("PromptEd")->text(), "Counter 1");
        type(d, "IncrementEd", "5");
        type(d, "FillCharEd", "");
        click(d, "OkBt");
    });
    window->action("VariablesM")->trigger();
    ASSERT_TRUE(defined.ran());
    const Counter& c1 = window->session().document().counters[1];
    EXPECT_TRUE(c1.isDefined());
    EXPECT_EQ(c1.counterStep(), 5);
    EXPECT_EQ(c1.padChar, '0');
    window->undo();
    EXPECT_FALSE(window->session().document().counters[1].isDefined());

    // From Printer takes the active form's definitions into the window.
    PrinterStorage storage(window->link());
    ASSERT_TRUE(storage.storeCurrentLabel(window->session().document(), "SAMPLE"));
    OnModal fetched("TVarCntDlg", [](QWidget* d) {
        click(d, "DeleteAllBt");
        click(d, "FromPrinterBt");
        d->findChild<QRadioButton*>("VariablesRb")->click();
        auto* list = d->findChild<QListWidget*>("VarList");
        ASSERT_EQ(list->count(), 1);
        EXPECT_EQ(d->findChild<QLineEdit*>("PromptEd")->text(), "Lot number");
        click(d, "OkBt");
    });
    window->action("VariablesM")->trigger();
    ASSERT_TRUE(fetched.ran());
    EXPECT_TRUE(window->session().document().variables[0].isDefined());
}

// A printer that fails mid-exchange: the progress window turns into its message, and the
// label is as it was.
struct FailureCase {
    const char* name;
    std::vector<std::string> simulatorOptions;
    const char* command;       // the menu item that starts the exchange
    bool killWhenSending;      // the simulator goes away once the progress window is up
    bool pressEsc;             // the user stops the exchange instead
    const char* message;       // the progress window's message, or nothing
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class PrintFailureTest : public PrintCommandsTest, public ::testing::WithParamInterface<FailureCase> {
protected:
    PrintFailureTest() : PrintCommandsTest(GetParam().simulatorOptions) {}
};

TEST_P(PrintFailureTest, ShowsItsMessageAndLeavesTheLabelUntouched) {
    const FailureCase& c = GetParam();
    auto window = start();
    window->config().directGraphics = 1;  // a test print long enough to stop in the middle
    const LabelDocument before = window->session().document();
    const std::size_t steps = window->session().undoSteps();

    OnModal testPrint("TTestPrintDlg", [](QWidget* d) { click(d, "PrintBt"); });
    OnModal sending("MsgBoxDlg", [&](QWidget* progress) {
        if (c.killWhenSending) simulator.reset();
        if (c.pressEsc) QTest::keyClick(progress, Qt::Key_Escape);
    }, QString::fromLatin1(kPrintingLabel));
    std::optional<OnModal> error;
    if (c.message != nullptr)
        error.emplace("MsgBoxDlg", [](QWidget* d) { click(d, "OkBt"); }, QString::fromLatin1(c.message));
    OnModal printDialog("TPrintDlg", [](QWidget* d) { d->close(); });

    window->action(c.command)->trigger();
    EXPECT_TRUE(!error || error->ran()) << "no \"" << c.message << "\"";
    EXPECT_TRUE(!(c.killWhenSending || c.pressEsc) || sending.ran());
    EXPECT_FALSE(printDialog.ran()) << "the print dialog came up after a failure";
    EXPECT_FALSE(window->linkUi().progressWindowVisible());
    EXPECT_TRUE(window->session().document().variables == before.variables);
    EXPECT_TRUE(window->session().document().counters == before.counters);
    EXPECT_EQ(window->session().undoSteps(), steps);
}

INSTANTIATE_TEST_SUITE_P(
    Printers, PrintFailureTest,
    ::testing::Values(FailureCase{"Silent", {"--fault", "silent"}, "PrintM", false, false, kNoPrinterResponse},
                      FailureCase{"Garbage", {"--fault", "garbage"}, "PrintM", false, false, kNoPrinterResponse},
                      FailureCase{"KilledMidTestPrint", {}, "TestPrintM", true, false, kNoPrinterResponse},
                      FailureCase{"EscStopsTestPrint", {"--fault", "slow"}, "TestPrintM", false, true, nullptr}),
    [](const ::testing::TestParamInfo<FailureCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tavrin
