#pragma once
// The Print menu and its toolbar buttons: Test Print, Print of the printer's active form,
// Define Variables and Update Variables, with their dialogs.
#include <QObject>

#include <string>

#include "app/command_table.h"
#include "printer/printing.h"
#include "printer/storage_operations.h"

namespace tavrin {

class TZRedit;
class TTestPrintDlg;
class TPrintDlg;
class TValuesDlg;
class TVarCntDlg;
class TSelectFormDlg;
enum class ValuesMode;

// The Print menu's label items and their toolbar buttons.
CommandTable printCommands(TZRedit& window);

class PrintCommands : public QObject {
public:
    explicit PrintCommands(TZRedit& window);

    void testPrintCommand();
    void printCommand();
    void defineVariablesCommand();
    void updateValuesCommand();

    const PrintQuantities& quantities() const { return quantities_; }
    const std::string& activeFormName() const { return activeFormName_; }

private:
    PrinterLink& freshLink();
    RasterFigureWriter rasterWriter();
    // The values dialog in a mode, when there is anything to show; the label is redrawn
    // after it closes.
    void openValues(ValuesMode mode);
    bool printFromValues(ValuesMode mode);
    void sendValues();
    void printActiveForm();
    void selectForm();
    bool receiveActiveForm();
    void showMessage(const UserMessage& message);

    TValuesDlg& valuesDialog();

    TZRedit& window_;
    PrinterStorage storage_;
    PrintQuantities quantities_;
    std::string activeFormName_;
    TTestPrintDlg* testPrintDialog_ = nullptr;
    TPrintDlg* printDialog_ = nullptr;
    TValuesDlg* valuesDialog_ = nullptr;
    TVarCntDlg* variablesDialog_ = nullptr;
    TSelectFormDlg* selectFormDialog_ = nullptr;
};

}  // namespace tavrin
