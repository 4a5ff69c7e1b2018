#include "fonts/character_table.h"

#include <algorithm>
#include <cstdio>

namespace tavrin {
namespace {

int indexOf(CellPos cell) { return cell.row * kTableColumns + cell.column; }

CellPos clamped(CellPos cell) {
    return {std::clamp(cell.row, 0, kTableRows - 1), std::clamp(cell.column, 0, kTableColumns - 1)};
}

}  // namespace

int cellCode(CellPos cell) { return kTableFirstCode * (cell.row + 1) + cell.column; }

std::string columnHeading(int column) {
    char text[8];
    std::snprintf(text, sizeof text, ".%01X", column % 16);
    return text;
}

std::string rowHeading(int row) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", kTableFirstCode * (row + 1));
    return text;
}

CharacterTable::CharacterTable() { history_[0] = {cells_, selection_}; }

std::uint8_t CharacterTable::at(CellPos cell) const { return cells_[static_cast<std::size_t>(indexOf(clamped(cell)))]; }

void CharacterTable::select(CellPos cell) { selection_ = clamped(cell); }

int CharacterTable::filledCount() const {
    return static_cast<int>(std::count_if(cells_.begin(), cells_.end(), [](std::uint8_t c) { return c != 0; }));
}

void CharacterTable::copyFromSource(CellPos source) {
    const CellPos cell = clamped(source);
    cells_[static_cast<std::size_t>(indexOf(cell))] = static_cast<std::uint8_t>(cellCode(cell));
    selection_ = cell;
    record();
}

void CharacterTable::copyRange(CellRange source) {
    const CellPos a = clamped(source.from), b = clamped(source.to);
    int target = indexOf(selection_);
    for (int row = std::min(a.row, b.row); row <= std::max(a.row, b.row); ++row) {
        for (int column = std::min(a.column, b.column); column <= std::max(a.column, b.column); ++column) {
            if (target >= kTableCells) break;
            cells_[static_cast<std::size_t>(target++)] = static_cast<std::uint8_t>(cellCode({row, column}));
        }
    }
    record();
}

void CharacterTable::copyAll() {
    for (int i = 0; i < kTableCells; ++i) cells_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(kTableFirstCode + i);
    record();
}

void CharacterTable::clear() {
    cells_.fill(0);
    record();
}

void CharacterTable::clearMarked() {
    cells_[static_cast<std::size_t>(indexOf(selection_))] = 0;
    record();
}

bool CharacterTable::undo() {
    if (historyIndex_ == 0) return false;
    --historyIndex_;
    cells_ = history_[static_cast<std::size_t>(historyIndex_)].cells;
    selection_ = history_[static_cast<std::size_t>(historyIndex_)].selection;
    return true;
}

void CharacterTable::record() {
    // At the last place the oldest state is dropped to make room.
    if (historyIndex_ < kUndoDepth - 1)
        ++historyIndex_;
    else
        std::rotate(history_.begin(), history_.begin() + 1, history_.end());
    history_[static_cast<std::size_t>(historyIndex_)] = {cells_, selection_};
}

}  // namespace tavrin
