#include "tools/data_print_dialog.h"

#include <QCheckBox>
#include <QComboBox>
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

#include "data/sha256.h"
#include "document/label_file.h"
#include "printer/direct_graphics.h"
#include "printer/screen_text.h"

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

TDataPrintDlg::TDataPrintDlg(EditorServices services, DataPrintHooks hooks, QWidget* parent)
    : QDialog(parent), services_(std::move(services)), hooks_(std::move(hooks)) {
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
    // Problems name rows, columns and characters: they wrap rather than hide.
    problems_->setWordWrap(true);
    problems_->setTextElideMode(Qt::ElideNone);
    lists->addWidget(problems_, 2);
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
    // Rows sent but not confirmed may or may not have printed: the user looks at the last
    // labels and goes on from the first not confirmed, or from the first not sent.
    resumeFrom_ = new QComboBox;
    resumeFrom_->setObjectName(QStringLiteral("ResumeFromCb"));
    resumeFrom_->setEnabled(false);
    options->addWidget(allRows_, 1, 0);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(rangeRows_);
    rangeRow->addWidget(range_);
    options->addLayout(rangeRow, 1, 1);
    auto* failedRow = new QHBoxLayout;
    failedRow->addWidget(failedRowsButton_);
    failedRow->addWidget(resumeFrom_);
    failedRow->addStretch(1);
    resumeFrom_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    options->addLayout(failedRow, 2, 0, 1, 3);

    previewRow_ = new QSpinBox;
    previewRow_->setObjectName(QStringLiteral("PreviewRowSb"));
    previewRow_->setRange(0, 0);
    previewRow_->setSpecialValueText(QStringLiteral("label's own values"));
    options->addWidget(new QLabel(QStringLiteral("Show on the label: row")), 3, 0);
    options->addWidget(previewRow_, 3, 1);
    previewNote_ = new QLabel;
    previewNote_->setObjectName(QStringLiteral("PreviewLbl"));
    options->addWidget(previewNote_, 3, 2);
    layout->addLayout(options);

    result_ = new QLabel;
    result_->setObjectName(QStringLiteral("ResultLbl"));
    result_->setWordWrap(true);
    layout->addWidget(result_);

    auto* buttons = new QHBoxLayout;
    reason_ = new QLabel;
    reason_->setObjectName(QStringLiteral("PrintReasonLbl"));
    reason_->setWordWrap(true);
    buttons->addWidget(reason_, 1);
    anyway_ = new QCheckBox(QStringLiteral("Print anyway"));
    anyway_->setObjectName(QStringLiteral("PrintAnywayCb"));
    buttons->addWidget(anyway_);
    print_ = new QPushButton(QStringLiteral("Print"));
    print_->setObjectName(QStringLiteral("PrintBt"));
    print_->setEnabled(false);
    // A run of labels starts only when Print is pressed: Enter in the file field loads the
    // file; no button of this window is pressed by Enter.
    print_->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("CloseBt"));
    close->setAutoDefault(false);
    if (hooks_.addButtons) hooks_.addButtons(*this, *buttons, *print_);
    buttons->addWidget(print_);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(640, 460);

    connect(browse, &QPushButton::clicked, this, &TDataPrintDlg::browse);
    connect(file_, &QLineEdit::editingFinished, this, [this] {
        if (!source_ || file_->text() != QString::fromStdString(source_->file().string())) loadDataFile(file_->text());
    });
    connect(copiesColumn_, &QComboBox::currentIndexChanged, this, [this] { recheck(); });
    connect(range_, &QLineEdit::textEdited, this, [this] { rangeRows_->setChecked(true); });
    connect(range_, &QLineEdit::editingFinished, this, [this] { recheck(); });
    connect(anyway_, &QCheckBox::toggled, this, [this] { updatePrintButton(); });
    for (QRadioButton* button : {allRows_, rangeRows_, failedRowsButton_})
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on) recheck();
        });
    connect(failedRowsButton_, &QRadioButton::toggled, resumeFrom_, &QComboBox::setEnabled);
    connect(resumeFrom_, &QComboBox::currentIndexChanged, this, [this] { recheck(); });
    connect(previewRow_, &QSpinBox::valueChanged, this, [this](int row) { previewRow(row); });
    connect(print_, &QPushButton::clicked, this, &TDataPrintDlg::print);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    updatePrintButton();  // says why Print is off before a file is chosen
}

TDataPrintDlg::~TDataPrintDlg() {
    // The controls go after this object's members and may still signal (a line edit losing
    // the focus); and the dialog only goes with the main window, whose label is gone by then.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
    saved_.reset();
}

void TDataPrintDlg::browse() {
    const QString name = services_.chooseOpenFile ? services_.chooseOpenFile(this, windowTitle(), kDataFilter) : QString();
    if (!name.isEmpty()) loadDataFile(name);
}

bool TDataPrintDlg::loadDataFile(const QString& fileName) {
    restoreLabelValues();
    file_->setText(fileName);
    source_ = std::make_unique<DataFileRows>(std::filesystem::path(fileName.toStdString()),
                                             services_.translation.ansiCodePage());
    dataHash_ = sha256OfFile(source_->file()).value_or("");
    lastResult_.reset();
    result_->clear();
    // Printing regardless was decided for the file before, not for this one.
    anyway_->setChecked(false);
    {
        const QSignalBlocker blocker(copiesColumn_);
        copiesColumn_->clear();
        copiesColumn_->addItem(kOneCopyEach);
        for (const std::string& header : source_->headers()) copiesColumn_->addItem(QString::fromStdString(header));
    }
    recheck();
    findUnfinishedRun();
    recheck();
    return check_.error.empty();
}

std::string TDataPrintDlg::labelHash() const {
    const std::vector<std::uint8_t> bytes = encodeLabelFile(services_.session.document());
    return sha256Hex(bytes);
}

void TDataPrintDlg::findUnfinishedRun() {
    unfinished_.reset();
    const QSignalBlocker blocker(resumeFrom_);
    resumeFrom_->clear();
    if (source_ && check_.error.empty()) {
        PrintJournal journal(PrintJournal::defaultPath(), true);
        if (journal.isOpen()) unfinished_ = journal.lastUnfinished(labelHash(), dataHash_);
    }
    if (unfinished_) {
        const RowSelection rows = RowSelection::parse(unfinished_->rowsChosen).value_or(RowSelection::all());
        const long long notConfirmed = firstChosenAfter(rows, unfinished_->lastConfirmed, check_.rowCount);
        const long long notSent = firstChosenAfter(rows, unfinished_->lastSent, check_.rowCount);
        if (notConfirmed > 0 && notSent != notConfirmed)
            resumeFrom_->addItem(QStringLiteral("from row %1 (first not confirmed)").arg(notConfirmed), notConfirmed);
        if (notSent > 0)
            resumeFrom_->addItem(notSent == notConfirmed ? QStringLiteral("from row %1").arg(notSent)
                                                         : QStringLiteral("from row %1 (first not sent)").arg(notSent),
                                 notSent);
    }
    const bool offered = resumeFrom_->count() > 0;
    if (!offered) unfinished_.reset();
    failedRowsButton_->setEnabled(offered);
    if (offered) failedRowsButton_->setChecked(true);
    else if (failedRowsButton_->isChecked()) allRows_->setChecked(true);
    resumeFrom_->setEnabled(offered && failedRowsButton_->isChecked());
}

void TDataPrintDlg::recheck() {
    restoreLabelValues();
    if (!source_) return;
    const std::string copies =
        copiesColumn_->currentIndex() > 0 ? copiesColumn_->currentText().toStdString() : std::string();
    check_ = checkRows(*source_, services_.session.document(), services_.translation, copies,
                       chosenRows().value_or(RowSelection::all()));
    fillLists();
}

void TDataPrintDlg::fillLists() {
    columns_->clear();
    problems_->clear();
    if (!check_.error.empty()) {
        summary_->setText(QString::fromStdString(check_.error));
        previewRow_->setRange(0, 0);
        updatePrintButton();
        return;
    }
    summary_->setText(QStringLiteral("%1 rows, %2 separated, %3")
                          .arg(QString::fromStdString(groupedNumber(check_.rowCount)), delimiterName(source_->delimiter()),
                               encodingName(source_->encoding())));
    const LabelDocument& document = services_.session.document();
    for (std::size_t column = 0; column < check_.headers.size(); ++column) {
        QString fills = QStringLiteral("(not used)");
        if (static_cast<int>(column) == check_.mapping.copiesColumn) fills = QStringLiteral("copies");
        for (const ColumnMatch& m : check_.mapping.matches) {
            if (m.column != static_cast<int>(column)) continue;
            const Variable& slot = m.counter ? document.counters[static_cast<std::size_t>(m.slot)]
                                             : document.variables[static_cast<std::size_t>(m.slot)];
            fills = QString::fromStdString(slotName(m.counter, m.slot) + " " +
                                           printerToScreen(slot.promptText(), services_.translation));
        }
        columns_->addTopLevelItem(new QTreeWidgetItem({QString::fromStdString(check_.headers[column]), fills}));
    }
    for (const DataProblem& problem : check_.problems) {
        auto* item = new QListWidgetItem(QString::fromStdString(problem.text));
        if (problem.kind == ProblemKind::Refusal) item->setForeground(Qt::darkRed);
        problems_->addItem(item);
    }
    if (check_.problems.empty()) problems_->addItem(QStringLiteral("No problems found"));
    const QSignalBlocker blocker(previewRow_);
    previewRow_->setRange(0, static_cast<int>(std::min<long long>(check_.rowCount, 1 << 30)));
    previewRow_->setValue(0);
    previewNote_->clear();
    updatePrintButton();
}

void TDataPrintDlg::updatePrintButton() {
    QString reason;
    if (!source_) reason = QStringLiteral("Choose a data file");
    else if (!check_.error.empty()) reason = QString::fromStdString(check_.error);
    else if (check_.rowCount == 0) reason = QStringLiteral("The data file has no rows");
    else if (!chosenRows()) reason = QStringLiteral("Rows are chosen like 15-20, 15- or 3,5,9-12");
    else if (check_.refused() && !anyway_->isChecked()) reason = QString::fromStdString(check_.firstRefusal());
    const bool canOverride = source_ && check_.error.empty() && check_.rowCount > 0 && chosenRows() && check_.refused();
    anyway_->setEnabled(canOverride || anyway_->isChecked());
    print_->setEnabled(reason.isEmpty());
    print_->setToolTip(reason);
    reason_->setText(reason);
}

std::optional<RowSelection> TDataPrintDlg::chosenRows() {
    if (failedRowsButton_->isChecked() && unfinished_)
        return RowSelection::parse(unfinished_->rowsChosen).value_or(RowSelection::all())
            .after(resumeFrom_->currentData().toLongLong() - 1);
    if (rangeRows_->isChecked()) return RowSelection::parse(range_->text().toStdString());
    return RowSelection::all();
}

bool TDataPrintDlg::previewRow(long long row) {
    EditorSession& session = services_.session;
    if (row <= 0) {
        restoreLabelValues();
        return true;
    }
    if (!source_ || !check_.error.empty()) return false;
    if (!saved_) saved_ = SavedValues{session.document().variables, session.document().counters};
    bool applied = false;
    session.preview([&](LabelDocument& label) {
        label.variables = saved_->variables;
        label.counters = saved_->counters;
        applied = applyDataRow(*source_, label, services_.translation, row).empty();
    });
    if (!applied) {
        restoreLabelValues();
        return false;
    }
    previewNote_->setText(QStringLiteral("The label shows row %1").arg(row));
    if (previewRow_->value() != row) {
        const QSignalBlocker blocker(previewRow_);
        previewRow_->setValue(static_cast<int>(row));
    }
    return true;
}

void TDataPrintDlg::restoreLabelValues() {
    if (!saved_) return;
    services_.session.preview([this](LabelDocument& label) {
        label.variables = saved_->variables;
        label.counters = saved_->counters;
    });
    saved_.reset();
    previewNote_->clear();
    const QSignalBlocker blocker(previewRow_);
    previewRow_->setValue(0);
}

void TDataPrintDlg::print() {
    restoreLabelValues();
    recheck();
    if (!print_->isEnabled()) return;
    const std::optional<RowSelection> rows = chosenRows();
    const bool resume = failedRowsButton_->isChecked() && unfinished_;
    // The barcodes are read back with the first row's values before the roll runs.
    previewRow(firstChosenAfter(*rows, 0, check_.rowCount));
    const bool go = hooks_.confirmBarcodes();
    restoreLabelValues();
    if (!go) return;

    DataRunOptions options;
    if (resume) {
        options = optionsFromJournal(*unfinished_);
        options.resumeFrom = resumeFrom_->currentData().toLongLong();
    } else {
        options.rows = *rows;
        options.direct = direct_->isChecked();
        options.copiesColumn = copiesColumn_->currentIndex() > 0 ? copiesColumn_->currentText().toStdString() : "";
    }
    options.printAnyway = anyway_->isChecked();
    RenderContext context = services_.session.renderContext();
    if (options.direct && services_.config.directGraphics != 0) options.rasterFigure = directGraphicsWriter(context);
    PrinterLink& link = services_.link();
    PrintJournal journal(PrintJournal::defaultPath());
    options.journal = &journal;
    options.record.origin = "editor";
    options.record.labelPath = services_.labelFile ? services_.labelFile().toStdString() : std::string();
    options.record.labelHash = labelHash();
    options.record.dataPath = source_->file().string();
    options.record.dataHash = dataHash_;
    options.record.device = link.portDevice(link.settings().portIndex);
    options.record.baudRate = baudRate(link.settings().baudIndex);
    options.record.protocol = link.settings().protocol;

    LinkUi& ui = link.ui();
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
    DataRun run(services_.session.document(), *source_, services_.translation, options);
    const DataRunResult result = run.print(link);
    lastResult_ = result;

    QString text;
    if (result.completed) {
        text = QStringLiteral("Printed %1 rows").arg(QString::fromStdString(groupedNumber(result.confirmed.count())));
    } else {
        const std::string report = result.refused ? "nothing printed" : runReport(result, "rows ");
        text = QString::fromStdString(result.message + ". " + report);
        text[text.indexOf(QStringLiteral(". ")) + 2] = text[text.indexOf(QStringLiteral(". ")) + 2].toUpper();
        if (result.namesUnknown)
            text += QStringLiteral(". A printer that does not answer prints only with \"Each row as a job of its own\"");
    }
    result_->setText(text);
    findUnfinishedRun();
    recheck();
}

void TDataPrintDlg::done(int result) {
    restoreLabelValues();
    QDialog::done(result);
}

}  // namespace tavrin
