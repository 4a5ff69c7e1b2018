#pragma once
// The converter's character table: 224 cells for the codes 32..255 in 7 rows of 32, each
// empty or holding the source code (a character of the chosen script) to be drawn at the
// cell's own code, with the editing commands and their 20-step undo.
#include <array>
#include <cstdint>
#include <string>

namespace tavrin {

inline constexpr int kTableRows = 7;
inline constexpr int kTableColumns = 32;
inline constexpr int kTableCells = kTableRows * kTableColumns;
inline constexpr int kTableFirstCode = 32;
inline constexpr int kUndoDepth = 20;

struct CellPos {
    int row = 0;
    int column = 0;
    bool operator==(const CellPos&) const = default;
};
int cellCode(CellPos cell);  // 32 x (row + 1) + column
std::string columnHeading(int column);  // ".0" .. ".F" twice
std::string rowHeading(int row);        // "20" .. "E0"

// A rectangle of source cells, corners included, in any order.
struct CellRange {
    CellPos from, to;
};

class CharacterTable {
public:
    using Cells = std::array<std::uint8_t, kTableCells>;  // 0: empty

    CharacterTable();  // empty, selection at the first cell, the opening state recorded

    const Cells& cells() const { return cells_; }
    std::uint8_t at(CellPos cell) const;  // 0 when empty
    CellPos selection() const { return selection_; }
    void select(CellPos cell);  // clamped into the table
    int filledCount() const;

    // Each change below is recorded for undo.
    void copyFromSource(CellPos source);  // double-click: the source character to the same cell
    void copyRange(CellRange source);     // row by row from the selection on, in reading order
    void copyAll();                       // every source character to its own code
    void clear();
    void clearMarked();
    // Back one step; false when at the oldest recorded state.
    bool undo();

private:
    struct Snapshot {
        Cells cells{};
        CellPos selection;
    };
    void record();
    Cells cells_{};
    CellPos selection_;
    std::array<Snapshot, kUndoDepth> history_{};
    int historyIndex_ = 0;
};

}  // namespace tavrin
