// The converter's target table: copies, clears and the 20-step undo.
#include "fonts/character_table.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(CharacterTable, DoubleClickAndRangeCopy) {
    CharacterTable table;
    table.copyFromSource({1, 1});
    EXPECT_EQ(table.at({1, 1}), 'A');
    EXPECT_EQ(table.selection(), (CellPos{1, 1}));

    // A 3 x 5 block copied at row 6, column 30 fills the last two cells and stops.
    table.select({6, 30});
    table.copyRange({{2, 4}, {0, 0}});
    EXPECT_EQ(table.at({6, 30}), 32);
    EXPECT_EQ(table.at({6, 31}), 33);
    EXPECT_EQ(table.filledCount(), 3);

    table.clearMarked();
    EXPECT_EQ(table.at({6, 30}), 0);
    table.clear();
    EXPECT_EQ(table.filledCount(), 0);
    table.copyAll();
    EXPECT_EQ(table.filledCount(), kTableCells);
}

TEST(CharacterTable, UndoRestoresCellsAndSelection) {
    CharacterTable table;
    table.copyFromSource({1, 1});
    table.select({3, 3});
    table.copyRange({{0, 0}, {0, 3}});
    EXPECT_EQ(table.filledCount(), 5);
    ASSERT_TRUE(table.undo());
    EXPECT_EQ(table.filledCount(), 1);
    EXPECT_EQ(table.selection(), (CellPos{1, 1}));
    ASSERT_TRUE(table.undo());
    EXPECT_EQ(table.filledCount(), 0);
    EXPECT_FALSE(table.undo());
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
