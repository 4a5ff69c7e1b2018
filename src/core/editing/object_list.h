#pragma once
// The Object List's table: one row per figure of kinds 0..5 in drawing order (Font entries
// are neither listed nor touched), and the operations the window runs on its n-th row.
#include <array>
#include <string>
#include <vector>

#include "document/figure_list.h"

namespace tavrin {

struct ObjectListColumn {
    const char* header;
    int width;  // pixels
};
inline constexpr std::array<ObjectListColumn, 7> kObjectListColumns = {{{" No", 35},
                                                                        {"", 20},
                                                                        {"Type", 265},
                                                                        {"X", 44},
                                                                        {"Y", 44},
                                                                        {"Rotation", 72},
                                                                        {"Data", 244}}};

struct ObjectListRow {
    std::array<std::string, 7> cells;  // column 6 holds the printer's bytes
    bool textData = false;             // column 6 is a text's data, to be shown in the screen set
};

// The listed figures, head first; row n (from 1) is element n - 1.
std::vector<Figure*> listedFigures(FigureList& figures);
std::vector<const Figure*> listedFigures(const FigureList& figures);
// Column 2: "Text  (Font 3)", "Picture  \"LOGO\"  (Size 40x20)", ...
std::string describeFigure(const Figure& figure, const FigureList& figures);
ObjectListRow objectListRow(const Figure& figure, int number, const FigureList& figures);

// Move Up and Move Down: the two figures exchange what they are (kind, flags, copy mark,
// record and the data that goes with the record); the list entries stay where they are.
void exchangeFigures(Figure& a, Figure& b);
// Row n (from 1) one place up or down; false (and nothing changed) at the ends.
bool moveListedFigure(FigureList& figures, int row, int delta);

}  // namespace tavrin
