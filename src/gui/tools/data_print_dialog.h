#pragma once
// Print > Print from Data File...: the data file chosen, its columns shown against the
// label's variables and counters, problems listed before anything prints, rows picked, any
// row's label previewed in the editor, and the run with its progress and a clean stop.
#include <QDialog>
#include <array>
#include <optional>

#include "document/variables.h"
#include "data/data_run.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTreeWidget;

namespace tavrin {

class TZRedit;

class TDataPrintDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDataPrintDlg(TZRedit& window);
    ~TDataPrintDlg() override;

    // Reads the file through and shows what it found; false when it cannot be read.
    bool loadDataFile(const QString& fileName);
    // Draws the label in the editor with data row `row` (1-based); the label's own values
    // come back when the window closes, before a run, or with row 0.
    bool previewRow(long long row);
    // The run over the rows chosen; its result stays shown in the window.
    void print();

    const DataCheck& check() const { return check_; }
    const DataSource& source() const { return source_; }
    // The rows the window's choice names; nothing when the typed rows do not parse.
    std::optional<RowSelection> chosenRows();
    const std::optional<DataRunResult>& lastResult() const { return lastResult_; }

protected:
    void done(int result) override;

private:
    void browse();
    void recheck();
    void fillLists();
    void restoreLabelValues();

    TZRedit& window_;
    DataSource source_;
    DataCheck check_;
    std::optional<DataRunResult> lastResult_;
    RowSelection failedRows_;
    // The label's own values while a row is previewed.
    struct SavedValues {
        std::array<Variable, kVariableCount> variables;
        std::array<Counter, kCounterCount> counters;
    };
    std::optional<SavedValues> saved_;

    QLineEdit* file_ = nullptr;
    QLabel* summary_ = nullptr;
    QTreeWidget* columns_ = nullptr;
    QListWidget* problems_ = nullptr;
    QComboBox* copiesColumn_ = nullptr;
    QRadioButton* allRows_ = nullptr;
    QRadioButton* rangeRows_ = nullptr;
    QRadioButton* failedRowsButton_ = nullptr;
    QLineEdit* range_ = nullptr;
    QCheckBox* direct_ = nullptr;
    QSpinBox* previewRow_ = nullptr;
    QLabel* previewNote_ = nullptr;
    QPushButton* print_ = nullptr;
    QLabel* result_ = nullptr;
};

}  // namespace tavrin
