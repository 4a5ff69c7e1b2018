#include "tools/values_dialog.h"

#include "editing/editor_session.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/place_dialog.h"
#include "document/label_document.h"
#include "editor/dialog_controls.h"
#include "printer/printing.h"
#include "printer/screen_text.h"

namespace tavrin {

using namespace gui;

namespace {
constexpr int kVisibleRows = 10;
constexpr int kPromptColumnWidth = 200;
constexpr int kValueColumnWidth = 260;

QTableWidgetItem* cell(const std::string& printerText, const Translation& translation) {
    return new QTableWidgetItem(QString::fromStdString(printerToScreen(printerText, translation)));
}
}  // namespace

TValuesDlg::TValuesDlg(EditorSession& session, const Translation& translation, QWidget* parent)
    : QDialog(parent), session_(session), translation_(translation) {
    setObjectName(QStringLiteral("TValuesDlg"));
    setWindowTitle(QStringLiteral("Update Variables and Counters"));
    grid_ = new QTableWidget(this);
    grid_->setObjectName(QStringLiteral("ValuesGrid"));
    grid_->setColumnCount(2);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setColumnWidth(0, kPromptColumnWidth);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    auto* ok = makeButton(this, "OkBt", QStringLiteral("OK"));
    print_ = makeButton(this, "PrintBt", QStringLiteral("Print"));
    connect(ok, &QPushButton::clicked, this, [this] {
        storeValues();
        if (mode_ == ValuesMode::StoredForm && onSendValues) onSendValues();
        accept();
    });
    connect(print_, &QPushButton::clicked, this, [this] {
        storeValues();
        if (onPrint && onPrint(mode_)) reloadValues();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(print_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TValuesDlg::execute(ValuesMode mode) {
    mode_ = mode;
    print_->setVisible(mode != ValuesMode::EditOnly);
    fillGrid();
    placeDialog(this, parentWidget(), -1, 0);
    if (grid_->rowCount() > 0) {
        grid_->setCurrentCell(0, 1);
        grid_->setFocus();
    }
    exec();
}

void TValuesDlg::fillGrid() {
    const std::vector<ValueRow> rows = valueRows(session_.document());
    grid_->clearContents();
    grid_->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        grid_->setItem(static_cast<int>(i), 0, cell(rows[i].prompt, translation_));
        grid_->setItem(static_cast<int>(i), 1, cell(rows[i].value, translation_));
    }
    sizeGrid();
}

void TValuesDlg::sizeGrid() {
    // At most ten rows show; more scroll.
    const int rowHeight = grid_->verticalHeader()->defaultSectionSize();
    const int shown = std::min(grid_->rowCount(), kVisibleRows);
    grid_->setFixedHeight(std::max(shown, 1) * rowHeight + 3);
    grid_->setFixedWidth(kPromptColumnWidth + kValueColumnWidth + 3 +
                         (grid_->rowCount() > kVisibleRows ? grid_->verticalScrollBar()->sizeHint().width() : 0));
}

void TValuesDlg::storeValues() {
    // A cell still being edited counts with what it shows.
    if (QWidget* editor = grid_->focusWidget(); editor && editor != grid_) grid_->setFocus();
    std::vector<std::string> values;
    for (int row = 0; row < grid_->rowCount(); ++row) {
        const QTableWidgetItem* item = grid_->item(row, 1);
        values.push_back(screenToPrinter(item ? item->text().toStdString() : std::string(), translation_));
    }
    session_.edit([&values](LabelDocument& label) { tavrin::storeValues(label, values); });
}

void TValuesDlg::reloadValues() {
    const std::vector<ValueRow> rows = valueRows(session_.document());
    for (std::size_t i = 0; i < rows.size() && static_cast<int>(i) < grid_->rowCount(); ++i)
        grid_->setItem(static_cast<int>(i), 1, cell(rows[i].value, translation_));
}

}  // namespace tavrin
