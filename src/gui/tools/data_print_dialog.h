#pragma once
// Print > Print from Data File...: the data file chosen, its columns shown against the
// label's variables and counters, problems listed before anything prints (Print stays off
// with the reason while one would print a wrong label, unless "Print anyway" is ticked),
// rows picked, any row's label previewed in the editor, and the run with its progress, a
// clean stop and its journal, from which the rows a run left unprinted are offered again.
#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "app/editor_services.h"
#include "data/data_run.h"
#include "data/row_source.h"
#include "document/variables.h"

class QBoxLayout;
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

class TDataPrintDlg;

// What the data window asks of the editor beyond its services: the barcode question before a
// run (true to go on), and the buttons it adds beside Print.
struct DataPrintHooks {
    std::function<bool()> confirmBarcodes = [] { return true; };
    std::function<void(TDataPrintDlg&, QBoxLayout& buttons, QPushButton& print)> addButtons = {};
};

class TDataPrintDlg : public QDialog {
    Q_OBJECT
public:
    TDataPrintDlg(EditorServices services, DataPrintHooks hooks, QWidget* parent = nullptr);
    ~TDataPrintDlg() override;

    // Reads the file through and shows what it found; false when it cannot be read.
    bool loadDataFile(const QString& fileName);
    // Draws the label in the editor with data row `row` (1-based); the label's own values
    // come back when the window closes, before a run, or with row 0.
    bool previewRow(long long row);
    // The run over the rows chosen; its result stays shown in the window.
    void print();

    const DataCheck& check() const { return check_; }
    // The data file's rows; nothing before a file is loaded.
    DataFileRows* source() const { return source_.get(); }
    // The rows the window's choice names; nothing when the typed rows do not parse.
    std::optional<RowSelection> chosenRows();
    const std::optional<DataRunResult>& lastResult() const { return lastResult_; }

protected:
    void done(int result) override;

private:
    void browse();
    void recheck();
    void fillLists();
    void updatePrintButton();
    // The journal's last unfinished run of this label and data, offered to go on with.
    void findUnfinishedRun();
    void restoreLabelValues();
    std::string labelHash() const;

    EditorServices services_;
    DataPrintHooks hooks_;
    std::unique_ptr<DataFileRows> source_;
    std::string dataHash_;
    DataCheck check_;
    std::optional<DataRunResult> lastResult_;
    std::optional<JournalRun> unfinished_;
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
    QComboBox* resumeFrom_ = nullptr;
    QLineEdit* range_ = nullptr;
    QCheckBox* direct_ = nullptr;
    QCheckBox* anyway_ = nullptr;
    QSpinBox* previewRow_ = nullptr;
    QLabel* previewNote_ = nullptr;
    QLabel* reason_ = nullptr;
    QPushButton* print_ = nullptr;
    QLabel* result_ = nullptr;
};

}  // namespace tavrin
