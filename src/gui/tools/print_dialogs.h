#pragma once
// "Test Print" and "Print": the number of copies (and of sets, for a stored form) and the
// buttons that lead to the values dialog, the print itself and the choice of another form.
// The dialogs only collect; the print commands run the exchanges.
#include <QDialog>

#include <functional>
#include <string>

#include "printer/printing.h"

class QLineEdit;
class QPushButton;

namespace tavrin {

// A quantity edit that takes a number from 1 to 999 when it loses focus and leaves the
// current value in force for anything else.
class QuantityEdit {
public:
    QuantityEdit(QLineEdit* edit, unsigned& value);
    void show();      // the current value into the edit
    void validate();  // the edit's text into the value, when it is acceptable
    QLineEdit* edit() const { return edit_; }

private:
    QLineEdit* edit_;
    unsigned& value_;
};

class TTestPrintDlg : public QDialog {
public:
    TTestPrintDlg(PrintQuantities& quantities, QWidget* parent = nullptr);

    std::function<void()> onVariables;
    // Runs after the dialog has closed for the print, with the copies validated.
    std::function<void()> onPrint;

    // Shows the current copies and runs modally.
    void execute();

private:
    QuantityEdit copies_;
};

class TPrintDlg : public QDialog {
public:
    TPrintDlg(PrintQuantities& quantities, QWidget* parent = nullptr);

    std::function<void()> onVariables;
    std::function<void()> onSelectForm;
    // Runs after the dialog has closed for the print, with sets and copies validated.
    // Without an active form the dialog says so and stays.
    std::function<void()> onPrint;

    void setFormName(const std::string& activeFormName);
    void execute();

private:
    QuantityEdit sets_;
    QuantityEdit copies_;
    std::string formName_;
};

}  // namespace tavrin
