#include "tools/data_print_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/qt_link_ui.h"
#include "editor/label_view.h"
#include "printer/direct_graphics.h"
#include "printer/screen_text.h"
#include "tools/barcode_check_marks.h"
#include "tools/proof_commands.h"

namespace tavrin {
namespace {

const QString kDataFilter = QStringLiteral("Data files (*.csv *.txt *.tsv *.tab);;All files (*)");
const QString kOneCopyEach = QStringLiteral("(one copy each)");

QString encodingName(DataEncoding encoding) {
    switch (encoding) {
        case DataEncoding::Ansi: return QStringLiteral("ANSI code page");
        case DataEncoding::Utf16Le: case DataEncoding::Utf16Be: return QStringLiteral("UTF-16");
        default: return QStringLiteral("UTF-8");
    }
}

QString delimiterName(char delimiter) {
    return delimiter == '\t' ? QStringLiteral("tab") : delimiter == ';' ? QStringLiteral("semicolon")
                                                                        : QStringLiteral("comma");
}

}  // namespace

TDataPrintDlg::TDataPrintDlg(TZRedit& window) : QDialog(&window), window_(window) {
    setObjectName(QStringLiteral("DataPrintDlg"));
    setWindowTitle(QStringLiteral("Print from Data File"));
    auto* layout = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("Data file:")));
    file_ = new QLineEdit;
    file_->setObjectName(QStringLiteral("DataFileEd"));
    fileRow->addWidget(file_, 1);
    auto* browse = new QPushButton(QStringLiteral("Browse..."));
    browse->setObjectName(QStringLiteral("BrowseBt"));
    browse->setAutoDefault(false);
    fileRow->addWidget(browse);
    layout->addLayout(fileRow);
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("SummaryLbl"));
    layout->addWidget(summary_);

    auto* lists = new QHBoxLayout;
    columns_ = new QTreeWidget;
    columns_->setObjectName(QStringLiteral("ColumnsLst"));
    columns_->setHeaderLabels({QStringLiteral("Column"), QStringLiteral("Fills")});
    columns_->setRootIsDecorated(false);
    columns_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lists->addWidget(columns_, 1);
    problems_ = new QListWidget;
    problems_->setObjectName(QStringLiteral("ProblemsLst"));
    lists->addWidget(problems_, 1);
    layout->addLayout(lists, 1);

    auto* options = new QGridLayout;
    options->addWidget(new QLabel(QStringLiteral("Copies from column:")), 0, 0);
    copiesColumn_ = new QComboBox;
    copiesColumn_->setObjectName(QStringLiteral("CopiesColumnCb"));
    copiesColumn_->addItem(kOneCopyEach);
    options->addWidget(copiesColumn_, 0, 1);
    direct_ = new QCheckBox(QStringLiteral("Each row as a job of its own (slower)"));
    direct_->setObjectName(QStringLiteral("DirectCb"));
    options->addWidget(direct_, 0, 2);

    allRows_ = new QRadioButton(QStringLiteral("All rows"));
    allRows_->setObjectName(QStringLiteral("AllRowsRb"));
    allRows_->setChecked(true);
    rangeRows_ = new QRadioButton(QStringLiteral("Rows:"));
    rangeRows_->setObjectName(QStringLiteral("RangeRb"));
    range_ = new QLineEdit;
    range_->setObjectName(QStringLiteral("RangeEd"));
    range_->setPlaceholderText(QStringLiteral("15-20"));
    failedRowsButton_ = new QRadioButton(QStringLiteral("Rows not printed last time"));
    failedRowsButton_->setObjectName(QStringLiteral("FailedRowsRb"));
    failedRowsButton_->setEnabled(false);
    options->addWidget(allRows_, 1, 0);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(rangeRows_);
    rangeRow->addWidget(range_);
    options->addLayout(rangeRow, 1, 1);
    options->addWidget(failedRowsButton_, 1, 2);

    previewRow_ = new QSpinBox;
    previewRow_->setObjectName(QStringLiteral("PreviewRowSb"));
    previewRow_->setRange(0, 0);
    previewRow_->setSpecialValueText(QStringLiteral("label's own values"));
    options->addWidget(new QLabel(QStringLiteral("Show on the label: row")), 2, 0);
    options->addWidget(previewRow_, 2, 1);
    previewNote_ = new QLabel;
    previewNote_->setObjectName(QStringLiteral("PreviewLbl"));
    options->addWidget(previewNote_, 2, 2);
    layout->addLayout(options);

    result_ = new QLabel;
    result_->setObjectName(QStringLiteral("ResultLbl"));
    result_->setWordWrap(true);
    layout->addWidget(result_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    print_ = new QPushButton(QStringLiteral("Print"));
    print_->setObjectName(QStringLiteral("PrintBt"));
    print_->setEnabled(false);
    // A run of labels starts only when Print is pressed: Enter in the file field loads the
    // file; no button of this window is pressed by Enter.
    print_->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("CloseBt"));
    close->setAutoDefault(false);
    addProofButtons(window_, *this, *buttons, *print_);
    buttons->addWidget(print_);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(640, 460);

    connect(browse, &QPushButton::clicked, this, &TDataPrintDlg::browse);
    connect(file_, &QLineEdit::editingFinished, this, [this] {
        if (file_->text() != QString::fromStdString(source_.file.string())) loadDataFile(file_->text());
    });
    connect(copiesColumn_, &QComboBox::currentIndexChanged, this, [this] { recheck(); });
    connect(range_, &QLineEdit::textEdited, this, [this] { rangeRows_->setChecked(true); });
    connect(previewRow_, &QSpinBox::valueChanged, this, [this](int row) { previewRow(row); });
    connect(print_, &QPushButton::clicked, this, &TDataPrintDlg::print);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

TDataPrintDlg::~TDataPrintDlg() {
    // The controls go after this object's members and may still signal (a line edit losing
    // the focus); and the dialog only goes with the main window, whose label is gone by then.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
    saved_.reset();
}

void TDataPrintDlg::browse() {
    const QString folder = QString::fromStdString(window_.config().workDirectory);
    const FileChooser& files = window_.fileChooser();
    const QString name = files.open ? files.open(this, windowTitle(), folder, kDataFilter)
                                    : QFileDialog::getOpenFileName(this, windowTitle(), folder, kDataFilter);
    if (!name.isEmpty()) loadDataFile(name);
}

bool TDataPrintDlg::loadDataFile(const QString& fileName) {
    restoreLabelValues();
    file_->setText(fileName);
    source_ = DataSource{};
    source_.file = std::filesystem::path(fileName.toStdString());
    failedRows_ = RowSelection::all();
    failedRowsButton_->setEnabled(false);
    if (failedRowsButton_->isChecked()) allRows_->setChecked(true);
    lastResult_.reset();
    result_->clear();
    {
        const QSignalBlocker blocker(copiesColumn_);
        copiesColumn_->clear();
        copiesColumn_->addItem(kOneCopyEach);
    }
    recheck();
    if (!check_.error.empty()) return false;
    const QSignalBlocker blocker(copiesColumn_);
    for (const std::string& header : check_.headers) copiesColumn_->addItem(QString::fromStdString(header));
    return true;
}

void TDataPrintDlg::recheck() {
    restoreLabelValues();
    source_.copiesColumn = copiesColumn_->currentIndex() > 0 ? copiesColumn_->currentText().toStdString() : std::string();
    check_ = checkDataFile(source_, window_.session().document(), window_.translation());
    fillLists();
}

void TDataPrintDlg::fillLists() {
    columns_->clear();
    problems_->clear();
    if (!check_.error.empty()) {
        summary_->setText(QString::fromStdString(check_.error));
        print_->setEnabled(false);
        previewRow_->setRange(0, 0);
        return;
    }
    summary_->setText(QStringLiteral("%1 rows, %2 separated, %3")
                          .arg(QString::fromStdString(groupedNumber(check_.rowCount)), delimiterName(check_.delimiter),
                               encodingName(check_.encoding)));
    const LabelDocument& document = window_.session().document();
    for (std::size_t column = 0; column < check_.headers.size(); ++column) {
        QString fills = QStringLiteral("(not used)");
        if (static_cast<int>(column) == check_.mapping.copiesColumn) fills = QStringLiteral("copies");
        for (const ColumnMatch& m : check_.mapping.matches) {
            if (m.column != static_cast<int>(column)) continue;
            const Variable& slot = m.counter ? document.counters[static_cast<std::size_t>(m.slot)]
                                             : document.variables[static_cast<std::size_t>(m.slot)];
            fills = QString::fromStdString(slotName(m.counter, m.slot) + " " +
                                           printerToScreen(slot.promptText(), window_.translation()));
        }
        columns_->addTopLevelItem(new QTreeWidgetItem({QString::fromStdString(check_.headers[column]), fills}));
    }
    for (const std::string& problem : check_.problems) problems_->addItem(QString::fromStdString(problem));
    if (check_.problems.empty()) problems_->addItem(QStringLiteral("No problems found"));
    print_->setEnabled(check_.rowCount > 0);
    const QSignalBlocker blocker(previewRow_);
    previewRow_->setRange(0, static_cast<int>(std::min<long long>(check_.rowCount, 1 << 30)));
    previewRow_->setValue(0);
    previewNote_->clear();
}

std::optional<RowSelection> TDataPrintDlg::chosenRows() {
    if (failedRowsButton_->isChecked()) return failedRows_;
    if (rangeRows_->isChecked()) return RowSelection::parse(range_->text().toStdString());
    return RowSelection::all();
}

bool TDataPrintDlg::previewRow(long long row) {
    LabelDocument& document = window_.session().document();
    if (row <= 0) {
        restoreLabelValues();
        return true;
    }
    std::vector<std::string> fields;
    if (!check_.error.empty() || !readDataRow(source_, check_.encoding, row, fields)) return false;
    if (!saved_) saved_ = SavedValues{document.variables, document.counters};
    document.variables = saved_->variables;
    applyRow(document, saved_->counters, check_.mapping, fields, row, check_.encoding, window_.translation());
    window_.session().redraw();
    window_.labelView()->imageChanged();
    previewNote_->setText(QStringLiteral("The label shows row %1").arg(row));
    if (previewRow_->value() != row) {
        const QSignalBlocker blocker(previewRow_);
        previewRow_->setValue(static_cast<int>(row));
    }
    return true;
}

void TDataPrintDlg::restoreLabelValues() {
    if (!saved_) return;
    LabelDocument& document = window_.session().document();
    document.variables = saved_->variables;
    document.counters = saved_->counters;
    saved_.reset();
    window_.session().redraw();
    window_.labelView()->imageChanged();
    previewNote_->clear();
    const QSignalBlocker blocker(previewRow_);
    previewRow_->setValue(0);
}

void TDataPrintDlg::print() {
    restoreLabelValues();
    if (!check_.error.empty() || check_.rowCount == 0) return;
    const std::optional<RowSelection> rows = chosenRows();
    if (!rows) {
        messageBox(QStringLiteral("Error"), QStringLiteral("Rows are chosen like 15-20, 15- or 3,5,9-12"), false);
        return;
    }
    const long long total = rows->countWithin(check_.rowCount);
    if (total == 0) {
        messageBox(QStringLiteral("Error"), QStringLiteral("No rows to print"), false);
        return;
    }
    if (check_.badRowCount > 0 || check_.mapping.copiesColumnMissing) {
        const QString question = check_.badRowCount > 0
                                     ? QStringLiteral("%1 rows have problems (see the list). Print anyway?")
                                           .arg(QString::fromStdString(groupedNumber(check_.badRowCount)))
                                     : QStringLiteral("The copies column is missing. Print anyway?");
        if (messageBox(QStringLiteral("Print from Data File"), question, true) != 1) return;
    }
    // The barcodes are read back with the first row's values before the roll runs.
    long long firstRow = 1;
    while (firstRow <= check_.rowCount && !rows->contains(firstRow)) ++firstRow;
    previewRow(firstRow);
    const bool go = confirmBarcodesBeforePrinting(window_);
    restoreLabelValues();
    if (!go) return;

    DataRunOptions options;
    options.rows = *rows;
    options.direct = direct_->isChecked();
    RenderContext context = window_.session().renderContext();
    if (options.direct && window_.config().directGraphics != 0) options.rasterFigure = directGraphicsWriter(context);
    PrinterLink& link = window_.link();
    QtLinkUi& ui = window_.linkUi();
    ui.clearCancelRequest();
    options.beforeRow = [&](long long, long long index, long long count) {
        const std::string text = rowProgressText(index, count);
        if (index == 1) link.showProgress(text);
        else ui.setProgressText(text);
        ui.processEvents();
        return !ui.cancelRequested();
    };
    options.takeStopRequest = [&] {
        if (!ui.cancelRequested()) return false;
        ui.clearCancelRequest();
        return true;
    };
    print_->setEnabled(false);
    result_->setText(QStringLiteral("Printing..."));
    const DataRunResult result =
        runDataPrint(link, window_.session().document(), source_, check_, window_.translation(), options);
    print_->setEnabled(true);
    lastResult_ = result;

    QString text;
    if (result.completed) {
        text = QStringLiteral("Printed %1 rows").arg(QString::fromStdString(groupedNumber(result.rowsPrinted)));
    } else {
        text = QString::fromStdString(result.message) + QStringLiteral(". ");
        text += result.lastRowPrinted > 0 ? QStringLiteral("Last row printed: %1.").arg(result.lastRowPrinted)
                                          : QStringLiteral("No row printed.");
    }
    if (!result.completed && result.firstRowNotPrinted > 0) {
        failedRows_ = rows->after(result.lastRowPrinted);
        failedRowsButton_->setText(
            QStringLiteral("Rows not printed last time (%1)").arg(QString::fromStdString(failedRows_.text())));
        failedRowsButton_->setEnabled(true);
        failedRowsButton_->setChecked(true);
    } else {
        failedRowsButton_->setEnabled(false);
        failedRowsButton_->setText(QStringLiteral("Rows not printed last time"));
        if (failedRowsButton_->isChecked()) allRows_->setChecked(true);
    }
    result_->setText(text);
}

void TDataPrintDlg::done(int result) {
    restoreLabelValues();
    QDialog::done(result);
}

}  // namespace tavrin
