#pragma once
// One of the converter's two tables of the codes 32..255: 7 rows of 32 cells under the
// headings ".0" .. ".F" and "20" .. "E0", each cell showing a character of the chosen font.
// A cell keeps the code it shows (0: empty) under Qt::UserRole.
#include <QImage>
#include <QTableWidget>

#include "fonts/character_table.h"

namespace tavrin {

class CharacterGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kCellWidth = 22;
    static constexpr int kCellHeight = 26;

    // rangeSelection: a block of cells can be marked (the source table); otherwise one cell.
    CharacterGrid(const char* name, bool rangeSelection, QWidget* parent);

    // Shows the image for code (0 and a null image: an empty cell).
    void setCell(CellPos cell, int code, const QImage& image);
    int codeAt(CellPos cell) const;
    CellPos current() const;
    void setCurrent(CellPos cell);
    // The marked block, or the current cell alone when nothing is marked.
    CellRange markedRange() const;

    QSize sizeHint() const override;
};

}  // namespace tavrin
