#include "editor/object_list_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/message_box.h"
#include "app/place_dialog.h"
#include "editing/figure_edit.h"
#include "editing/object_list.h"
#include "editor/dialog_controls.h"
#include "printer/screen_text.h"

namespace tavrin {

TFigListDlg::TFigListDlg(EditorSession& session, const Translation& translation,
                         std::function<void(const Figure*)> editFigure, QWidget* parent)
    : QDialog(parent), session_(session), translation_(translation), editFigure_(std::move(editFigure)) {
    setObjectName(QStringLiteral("TFigListDlg"));
    setWindowTitle(QStringLiteral("Object List"));
    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("Obj"));
    table_->setColumnCount(static_cast<int>(kObjectListColumns.size()));
    int width = 0;
    for (std::size_t c = 0; c < kObjectListColumns.size(); ++c) {
        const int column = static_cast<int>(c);
        table_->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromLatin1(kObjectListColumns[c].header)));
        table_->setColumnWidth(column, kObjectListColumns[c].width);
        width += kObjectListColumns[c].width;
    }
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setMinimumSize(width + 4 + table_->verticalScrollBar()->sizeHint().width(), 240);
    table_->viewport()->installEventFilter(this);

    auto* edit = gui::makeButton(this, "EditBt", QStringLiteral("Edit"));
    auto* remove = gui::makeButton(this, "DelBt", QStringLiteral("Delete"));
    auto* select = gui::makeButton(this, "SelBt", QStringLiteral("Selection"));
    auto* up = gui::makeButton(this, "UpBt", QStringLiteral("Move Up"));
    auto* down = gui::makeButton(this, "DownBt", QStringLiteral("Move Down"));
    confirmDelete_ = new QCheckBox(QStringLiteral("Confirm Delete:"), this);
    confirmDelete_->setObjectName(QStringLiteral("SureDel"));
    confirmDelete_->setLayoutDirection(Qt::RightToLeft);  // the box after its caption
    confirmDelete_->setChecked(true);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {edit, select, up, down}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(confirmDelete_);
    buttons->addWidget(remove);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addLayout(buttons);

    connect(edit, &QPushButton::clicked, this, &TFigListDlg::editSelected);
    connect(remove, &QPushButton::clicked, this, &TFigListDlg::deleteSelected);
    connect(select, &QPushButton::clicked, this, &TFigListDlg::toggleSelected);
    connect(up, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        selectRow(row + 1);
        toggleSelected();
    });
}

bool TFigListDlg::prepare() {
    rebuild();
    if (table_->rowCount() == 0) {
        messageBox(QStringLiteral("Error"), QStringLiteral("No figures defined"), false);
        return false;
    }
    if (selectedRow() == 0) selectRow(1);
    placeDialog(this, parentWidget(), -1, 0);
    return true;
}

void TFigListDlg::openList() {
    if (prepare()) exec();
}

void TFigListDlg::rebuild() {
    const int keep = selectedRow();
    const FigureList& figures = session_.document().figures;
    const std::vector<const Figure*> listed = listedFigures(figures);
    table_->clearContents();
    table_->setRowCount(static_cast<int>(listed.size()));
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        ObjectListRow row = objectListRow(*listed[i], number, figures);
        if (row.textData) row.cells[6] = printerToScreen(row.cells[6], translation_);
        for (std::size_t c = 0; c < row.cells.size(); ++c)
            table_->setItem(static_cast<int>(i), static_cast<int>(c), new QTableWidgetItem(QString::fromStdString(row.cells[c])));
    }
    if (keep > 0) selectRow(std::min(keep, table_->rowCount()));
}

int TFigListDlg::selectedRow() const {
    const QList<QTableWidgetSelectionRange> ranges = table_->selectedRanges();
    return ranges.isEmpty() ? 0 : ranges.front().topRow() + 1;
}

void TFigListDlg::selectRow(int row) {
    if (row < 1 || row > table_->rowCount()) return;
    table_->selectRow(row - 1);
    table_->setCurrentCell(row - 1, 0);
    table_->scrollToItem(table_->item(row - 1, 0));
}

const Figure* TFigListDlg::figureAt(int row) const {
    const std::vector<const Figure*> listed = listedFigures(session_.document().figures);
    return row >= 1 && row <= static_cast<int>(listed.size()) ? listed[static_cast<std::size_t>(row - 1)] : nullptr;
}

void TFigListDlg::editSelected() {
    const Figure* figure = figureAt(selectedRow());
    if (figure == nullptr) return;
    editFigure_(figure);
    rebuild();
}

void TFigListDlg::toggleSelected() {
    const int row = selectedRow();
    const Figure* figure = figureAt(row);
    if (figure == nullptr) return;
    session_.select([figure](FigureList& figures) {
        if (Figure* listed = findFigure(figures, figure)) listed->flags ^= kFlagSelected;
    });
    table_->item(row - 1, 1)->setText(figure->selected() ? QStringLiteral("#") : QString());
}

void TFigListDlg::deleteSelected() {
    if (!confirmDelete_->isChecked()) return;
    const int row = selectedRow();
    const Figure* figure = figureAt(row);
    if (figure == nullptr) return;
    const QString title = QStringLiteral("Delete ") + table_->item(row - 1, 2)->text();
    if (messageBox(title, QStringLiteral("Are You sure ?"), true) != 1) return;
    session_.edit([figure](LabelDocument& label) {
        label.figures.removeFigure(figure);
    });
    rebuild();
    if (table_->rowCount() == 0) {
        messageBox(QStringLiteral("Object list"), QStringLiteral("No more figures"), false);
        accept();
    }
}

void TFigListDlg::moveSelected(int delta) {
    const int row = selectedRow();
    if (row == 0 || !session_.edit([&](LabelDocument& label) { return moveListedFigure(label.figures, row, delta); }))
        return;
    rebuild();
    selectRow(row + delta);
}

bool TFigListDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::RightButton) {
            const int row = table_->rowAt(press->position().toPoint().y());
            if (row >= 0) {
                selectRow(row + 1);
                editSelected();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tavrin
