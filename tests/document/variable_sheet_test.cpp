// The working copy of the variables and counters window: the list of defined slots, New,
// Delete and Delete All, and the fields with their limits.
#include <gtest/gtest.h>

#include "document/variable_sheet.h"

namespace tavrin {
namespace {

VariableSheet withVariables(int count) {
    VariableSheet sheet;
    for (int i = 0; i < count; ++i) sheet.addNew(SlotKind::Variables);
    return sheet;
}

TEST(VariableSheet, NewTakesTheLowestFreeSlotWithItsDefaultsAndKeepsTheValue) {
    VariableSheet sheet = withVariables(6);
    sheet.variables[3].setValue("kept");
    EXPECT_EQ(sheet.removeAt(SlotKind::Variables, 3), 2);  // the entry before is selected
    EXPECT_EQ(sheet.entryNames(SlotKind::Variables),
              (std::vector<std::string>{"Variable 0", "Variable 1", "Variable 2", "Variable 4", "Variable 5"}));
    EXPECT_EQ(sheet.addNew(SlotKind::Variables), 3);
    EXPECT_EQ(sheet.positionOf(SlotKind::Variables, 3), 3);  // listed fourth
    const Variable& v = sheet.variables[3];
    EXPECT_EQ(std::tuple(v.promptText(), v.valueText(), int{v.length}, v.padChar), std::tuple("Variable 3", "kept", 6, ' '));
    EXPECT_EQ(sheet.addNew(SlotKind::Counters), 0);
    EXPECT_EQ(std::tuple(sheet.counters[0].padChar, sheet.counters[0].promptText()), std::tuple('0', "Counter 0"));

    VariableSheet full = withVariables(kVariableCount);
    const VariableSheet before = full;
    EXPECT_EQ(full.addNew(SlotKind::Variables), std::nullopt);
    EXPECT_TRUE(full.variables == before.variables);
}

TEST(VariableSheet, DeleteSelectsThePreviousOrFirstAndDeleteAllTakesBothKinds) {
    VariableSheet sheet = withVariables(2);
    sheet.addNew(SlotKind::Counters);
    EXPECT_EQ(sheet.removeAt(SlotKind::Variables, 0), 0);
    EXPECT_EQ(sheet.removeAt(SlotKind::Variables, 5), std::nullopt);  // no such entry
    EXPECT_EQ(sheet.removeAt(SlotKind::Variables, 0), std::nullopt);  // the list is empty now
    sheet.addNew(SlotKind::Variables);
    sheet.removeAll();
    EXPECT_TRUE(sheet.definedSlots(SlotKind::Variables).empty());
    EXPECT_TRUE(sheet.definedSlots(SlotKind::Counters).empty());
}

TEST(VariableSheet, FieldsKeepTheirOldValueForNumbersOutOfRange) {
    const struct Row { SlotKind kind; const char *length, *step, *pad; int wantLength, wantStep; char wantPad; } rows[] = {
        {SlotKind::Variables, "32", "5", "", 32, 0, ' '},   // a variable never has a step
        {SlotKind::Variables, "0", "", "*x", 6, 0, '*'},
        {SlotKind::Variables, "33", "", "#", 6, 0, '#'},
        {SlotKind::Variables, "1x", "", "", 6, 0, ' '},
        {SlotKind::Counters, " 4 ", "32", "", 4, 32, '0'},
        {SlotKind::Counters, "8", "0", "_", 8, -1, '_'},     // step 0 leaves the old -1
        {SlotKind::Counters, "8", "33", "_", 8, -1, '_'},
    };
    for (const Row& row : rows) {
        VariableSheet sheet;
        const int slot = *sheet.addNew(row.kind);
        sheet.slot(row.kind, slot).step = static_cast<std::uint8_t>(-1);
        SlotFields fields = sheet.fields(row.kind, slot);
        fields.length = row.length, fields.step = row.step, fields.padChar = row.pad;
        fields.justification = 3, fields.prompt = std::string(40, 'p'), fields.value = "v";
        sheet.storeFields(row.kind, slot, fields);
        const Variable& s = sheet.slot(row.kind, slot);
        SCOPED_TRACE(std::string(row.length) + "/" + row.step + "/" + row.pad);
        EXPECT_EQ(std::tuple(int{s.length}, s.counterStep(), s.padChar, int{s.justification}, s.promptText().size(), s.valueText()),
                  std::tuple(row.wantLength, row.wantStep, row.wantPad, 3, std::size_t{26}, "v"));
    }
}

}  // namespace
}  // namespace tavrin
