#pragma once
// "Define Variables and Counters": creates, edits and deletes the label's variable and
// counter definitions on a working copy, or takes them from the printer's active form.
// The label gets the copy only on OK; closing the window any other way drops it.
#include <QDialog>

#include <functional>
#include <optional>

#include "document/variable_sheet.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace tavrin {

class Translation;

class TVarCntDlg : public QDialog {
public:
    TVarCntDlg(const Translation& translation, QWidget* parent = nullptr);

    // "From Printer": the active form's definitions and values into the sheet. Returns how
    // many came, or nothing after silence (the sheet is then as it was).
    std::function<std::optional<int>(VariableSheet&)> onFromPrinter;

    // Runs modally on a copy of the document's slots; true when OK put them back.
    bool execute(LabelDocument& document);

    const VariableSheet& sheet() const { return sheet_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SlotKind kind() const;
    void fillList(std::optional<int> position = 0);
    void showFields();
    void storeFields();
    void addNew();
    void removeSelected();
    void removeAll();
    void fromPrinter();

    const Translation& translation_;
    VariableSheet sheet_;
    // The slot whose fields the edits show; nothing with an empty list.
    SlotKind shownKind_ = SlotKind::Variables;
    std::optional<int> shownSlot_;
    bool filling_ = false;

    QRadioButton* variables_;
    QRadioButton* counters_;
    QListWidget* list_;
    QLineEdit* length_;
    QComboBox* justify_;
    QLineEdit* fillChar_;
    QLabel* incrementLabel_;
    QLineEdit* increment_;
    QLineEdit* prompt_;
    QLineEdit* value_;
};

}  // namespace tavrin
