#include "tools/print_commands.h"

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/qt_link_ui.h"
#include "editor/variables_dialog.h"
#include "printer/direct_graphics.h"
#include "tools/barcode_check_marks.h"
#include "tools/print_dialogs.h"
#include "tools/select_form_dialog.h"
#include "tools/values_dialog.h"

namespace tavrin {

namespace {
constexpr const char* kSendingValues = "Sending values";
constexpr const char* kReceivingVariables = "Receiving variables";

void showError(const char* text) { messageBox(QStringLiteral("Error"), QString::fromLatin1(text), false); }
}  // namespace

CommandTable printCommands(TZRedit& window) {
    auto* commands = new PrintCommands(window);
    const auto run = [commands](void (PrintCommands::*command)()) { return [commands, command] { (commands->*command)(); }; };
    using enum MenuGroup;
    return {
        {PrintLabel, "TestPrintM", "&Test Print", {Qt::Key_F2}, run(&PrintCommands::testPrintCommand), {}, "TPrintBt"},
        {PrintLabel, "PrintM", "&Print", {Qt::Key_F3}, run(&PrintCommands::printCommand), {}, "PrintBt"},
        {PrintLabel, "VariablesM", "&Define Variables", {}, run(&PrintCommands::defineVariablesCommand), {}, "VarBt"},
        {PrintLabel, "NewValuesM", "&Update Variables", {Qt::Key_F4}, run(&PrintCommands::updateValuesCommand), {},
         "NewValuesBt"},
    };
}

PrintCommands::PrintCommands(TZRedit& window) : QObject(&window), window_(window), storage_(window.link()) {
    setObjectName(QStringLiteral("PrintCommands"));
}

PrinterLink& PrintCommands::freshLink() {
    // The settings may have changed since the last exchange, and an Esc from the last one
    // must not stop this one.
    PrinterLink& link = window_.link();
    window_.linkUi().clearCancelRequest();
    return link;
}

RasterFigureWriter PrintCommands::rasterWriter() {
    if (window_.config().directGraphics == 0) return {};
    return directGraphicsWriter(window_.session().renderContext());
}

void PrintCommands::showMessage(const UserMessage& message) {
    if (!message.text.empty())
        messageBox(QString::fromLatin1(message.title.c_str()), QString::fromLatin1(message.text.c_str()), false);
}

void PrintCommands::testPrintCommand() {
    if (!hasPrintableFigures(window_.session().document().figures)) {
        showError(kNothingToPrint);
        return;
    }
    if (testPrintDialog_ == nullptr) {
        testPrintDialog_ = new TTestPrintDlg(quantities_, &window_);
        testPrintDialog_->onVariables = [this] { openValues(ValuesMode::TestPrint); };
        testPrintDialog_->onPrint = [this] { printFromValues(ValuesMode::TestPrint); };
    }
    testPrintDialog_->execute();
}

void PrintCommands::printCommand() {
    freshLink();
    // Stopped by the user or by the printer's silence, there is nothing to print from.
    if (!receiveActiveForm() || window_.linkUi().cancelRequested()) return;
    if (printDialog_ == nullptr) {
        printDialog_ = new TPrintDlg(quantities_, &window_);
        printDialog_->onVariables = [this] { openValues(ValuesMode::StoredForm); };
        printDialog_->onSelectForm = [this] { selectForm(); };
        printDialog_->onPrint = [this] { printActiveForm(); };
    }
    printDialog_->setFormName(activeFormName_);
    printDialog_->execute();
}

bool PrintCommands::receiveActiveForm() {
    // The form's variables are the label's now.
    bool answered = false;
    window_.session().edit([&](LabelDocument& label) { answered = receiveActiveFormAndVariables(storage_, label); });
    activeFormName_ = storage_.activeFormName();
    return answered;
}

void PrintCommands::selectForm() {
    freshLink();
    if (!storage_.receiveList(kListForms)) return;
    if (selectFormDialog_ == nullptr) selectFormDialog_ = new TSelectFormDlg(&window_);
    const std::string name = selectFormDialog_->choose(storage_.storeAsList().names);
    if (name.empty()) return;
    freshLink();
    window_.session().edit([&](LabelDocument& label) { storage_.selectActiveForm(name, label); });
    activeFormName_ = storage_.activeFormName();
    if (printDialog_ != nullptr) printDialog_->setFormName(activeFormName_);
}

void PrintCommands::printActiveForm() {
    // A barcode that does not read back wastes a whole run of labels: asked before sending.
    if (!confirmBarcodesBeforePrinting(window_)) return;
    PrinterLink& link = freshLink();
    link.showProgress(kPrintingLabel);
    const PrintOutcome outcome = printStoredForm(link, activeFormName_, quantities_.sets, quantities_.copies);
    link.endProgress();
    showMessage(outcome.message);
    // Only labels that were sent whole move the counters on.
    if (!outcome.sent) return;
    window_.session().edit([this](LabelDocument& label) { AdvanceCounters(label, quantities_.sets); });
}

TValuesDlg& PrintCommands::valuesDialog() {
    if (valuesDialog_ == nullptr) {
        valuesDialog_ = new TValuesDlg(window_.session(), window_.translation(), &window_);
        valuesDialog_->onSendValues = [this] { sendValues(); };
        valuesDialog_->onPrint = [this](ValuesMode mode) { return printFromValues(mode); };
    }
    return *valuesDialog_;
}

void PrintCommands::openValues(ValuesMode mode) {
    if (!hasVariablesOrCounters(window_.session().document())) {
        showError(kNoVariablesDefined);
        return;
    }
    valuesDialog().execute(mode);
}

void PrintCommands::sendValues() {
    PrinterLink& link = freshLink();
    link.showProgress(kSendingValues);
    sendStoredFormValues(link, window_.session().document());
    link.endProgress();
}

bool PrintCommands::printFromValues(ValuesMode mode) {
    if (!confirmBarcodesBeforePrinting(window_)) return false;
    PrinterLink& link = freshLink();
    if (mode == ValuesMode::StoredForm && activeFormName_.empty()) {
        showError(kNoFormSelected);
        return false;
    }
    // A print that was sent moves the counters on.
    PrintOutcome outcome;
    window_.session().edit([&](LabelDocument& label) {
        if (mode == ValuesMode::StoredForm) {
            link.showProgress(kPrintingLabel);
            outcome = printStoredFormWithValues(link, label, activeFormName_, quantities_.sets, quantities_.copies);
            link.endProgress();
        } else {
            outcome = testPrint(link, label, quantities_.copies, rasterWriter());
        }
    });
    showMessage(outcome.message);
    return outcome.sent;
}

void PrintCommands::defineVariablesCommand() {
    if (variablesDialog_ == nullptr) {
        variablesDialog_ = new TVarCntDlg(window_.translation(), &window_);
        variablesDialog_->onFromPrinter = [this](VariableSheet& sheet) -> std::optional<int> {
            PrinterLink& link = freshLink();
            link.showProgress(kReceivingVariables);
            const int count = storage_.receiveVariables(sheet.variables, sheet.counters);
            const bool silent = link.silent();
            link.endProgress();
            if (silent) return std::nullopt;
            return count;
        };
    }
    window_.session().edit([this](LabelDocument& label) { return variablesDialog_->execute(label); });
}

void PrintCommands::updateValuesCommand() { openValues(ValuesMode::EditOnly); }

}  // namespace tavrin
