// The converter's target table: what the converter window's tests do not reach (clearing,
// copying everything, and the 20-step undo).
#include "fonts/character_table.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(CharacterTable, ClearAndCopyAll) {
    CharacterTable table;
    table.copyAll();
    EXPECT_EQ(table.filledCount(), kTableCells);
    table.clear();
    EXPECT_EQ(table.filledCount(), 0);
}

TEST(CharacterTable, AtMostNineteenStepsCanBeUndone) {
    CharacterTable table;
    for (int i = 0; i < 30; ++i) table.copyFromSource({i / kTableColumns, i % kTableColumns});
    int steps = 0;
    while (table.undo()) ++steps;
    EXPECT_EQ(steps, kUndoDepth - 1);
    EXPECT_EQ(table.filledCount(), 30 - 19);  // the oldest states were dropped
}

}  // namespace
}  // namespace tavrin
