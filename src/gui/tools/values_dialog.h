#pragma once
// "Update Variables and Counters": one row per defined variable, then per defined counter,
// with its prompt and value. OK keeps the values (and, for a stored form, sends them);
// Print prints with them and leaves the dialog open for the next run.
#include <QDialog>

#include <functional>

class QPushButton;
class QTableWidget;

namespace tavrin {

class EditorSession;
class Translation;

enum class ValuesMode { EditOnly, TestPrint, StoredForm };

class TValuesDlg : public QDialog {
public:
    TValuesDlg(EditorSession& session, const Translation& translation, QWidget* parent = nullptr);

    // Run after the values have gone into the slots: OK in StoredForm mode sends them, Print
    // prints in the mode's way. A print returns whether the counters moved, so the value
    // column is shown again.
    std::function<void()> onSendValues;
    std::function<bool(ValuesMode)> onPrint;

    ValuesMode mode() const { return mode_; }
    void execute(ValuesMode mode);

    // The grid's value column into the slots, in the printer's character set: one edit.
    void storeValues();
    // The slots' values into the grid.
    void reloadValues();

private:
    void fillGrid();
    void sizeGrid();

    EditorSession& session_;
    const Translation& translation_;
    QTableWidget* grid_;
    QPushButton* print_;
    ValuesMode mode_ = ValuesMode::EditOnly;
};

}  // namespace tavrin
