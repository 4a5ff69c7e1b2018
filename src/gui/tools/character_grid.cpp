#include "tools/character_grid.h"

#include <QHeaderView>
#include <algorithm>
#include <QPainter>
#include <QStyledItemDelegate>

namespace tavrin {
namespace {

// Draws the cell's picture centred over the selection colour; no text, no focus frame.
class GlyphCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool marked = (option.state & QStyle::State_Selected) != 0;
        painter->fillRect(option.rect, marked ? QColor(170, 200, 240) : option.palette.base().color());
        const QImage image = index.data(Qt::DecorationRole).value<QImage>();
        if (image.isNull()) {
            // A cell that holds a character the font cannot draw: a small hollow box.
            if (index.data(Qt::UserRole).toInt() != 0) {
                painter->setPen(QColor(150, 150, 150));
                painter->drawRect(QRect(option.rect.center() - QPoint(3, 4), QSize(7, 9)));
            }
            return;
        }
        const QPoint corner = option.rect.center() - QPoint(image.width() / 2, image.height() / 2) + QPoint(1, 1);
        painter->drawImage(corner, image);
    }
};

}  // namespace

CharacterGrid::CharacterGrid(const char* name, bool rangeSelection, QWidget* parent)
    : QTableWidget(kTableRows, kTableColumns, parent) {
    setObjectName(QString::fromLatin1(name));
    setItemDelegate(new GlyphCellDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(rangeSelection ? QAbstractItemView::ContiguousSelection : QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCornerButtonEnabled(false);
    QStringList columns, rows;
    for (int c = 0; c < kTableColumns; ++c) columns << QString::fromStdString(columnHeading(c));
    for (int r = 0; r < kTableRows; ++r) rows << QString::fromStdString(rowHeading(r));
    setHorizontalHeaderLabels(columns);
    setVerticalHeaderLabels(rows);
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
    }
    horizontalHeader()->setMinimumSectionSize(kCellWidth);
    horizontalHeader()->setDefaultSectionSize(kCellWidth);
    verticalHeader()->setMinimumSectionSize(kCellHeight);
    verticalHeader()->setDefaultSectionSize(kCellHeight);
    for (int r = 0; r < kTableRows; ++r)
        for (int c = 0; c < kTableColumns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setData(Qt::UserRole, 0);
            setItem(r, c, item);
        }
    setCurrentCell(0, 0);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedSize(sizeHint());
}

QSize CharacterGrid::sizeHint() const {
    return {verticalHeader()->sizeHint().width() + kTableColumns * kCellWidth + 2 * frameWidth(),
            horizontalHeader()->sizeHint().height() + kTableRows * kCellHeight + 2 * frameWidth()};
}

void CharacterGrid::setCell(CellPos cell, int code, const QImage& image) {
    QTableWidgetItem* it = item(cell.row, cell.column);
    it->setData(Qt::UserRole, code);
    it->setData(Qt::DecorationRole, code != 0 ? image : QImage());
}

int CharacterGrid::codeAt(CellPos cell) const { return item(cell.row, cell.column)->data(Qt::UserRole).toInt(); }

CellPos CharacterGrid::current() const {
    return {std::max(currentRow(), 0), std::max(currentColumn(), 0)};
}

void CharacterGrid::setCurrent(CellPos cell) { setCurrentCell(cell.row, cell.column); }

CellRange CharacterGrid::markedRange() const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty()) return {current(), current()};
    // Marked in pieces (by keys, say): the block they span.
    CellRange block{{kTableRows, kTableColumns}, {-1, -1}};
    for (const QTableWidgetSelectionRange& r : ranges) {
        block.from = {std::min(block.from.row, r.topRow()), std::min(block.from.column, r.leftColumn())};
        block.to = {std::max(block.to.row, r.bottomRow()), std::max(block.to.column, r.rightColumn())};
    }
    return block;
}

}  // namespace tavrin
