// Editing rules of the figure list (drawing order, selection, copy/paste, shared pictures) and
// of the variables window's working copy (New, Delete, Delete All, the fields' limits).
#include <gtest/gtest.h>

#include "document/label_document.h"
#include "document/variable_sheet.h"
#include "support/label_builders.h"

namespace tavrin {
namespace {

using test::addFont, test::addPicture, test::addRectangle;

std::vector<int> xs(const FigureList& list) {
    std::vector<int> out;
    for (const auto& f : list)
        if (f.kind == FigureKind::Rectangle) out.push_back(RectangleRecord::decode(f.record).x);
    return out;
}

TEST(FigureList, PasteLeavesCopiesAtTheBottomAndShiftsTheOriginals) {
    LabelDocument doc;
    FigureList& list = doc.figures;
    addRectangle(doc, 1, 1, 10, 10, 0);
    addRectangle(doc, 2, 2, 10, 10, 0).flags = kFlagSelected;
    addRectangle(doc, 3, 3, 10, 10, 0).flags = kFlagSelected;
    list.paste();  // nothing copied yet: nothing changes
    EXPECT_EQ(xs(list), (std::vector<int>{1, 2, 3}));
    list.copy();
    list.paste();
    // Copies are prepended as they are met, so they end up in reverse order at the head.
    EXPECT_EQ(xs(list), (std::vector<int>{3, 2, 1, 26, 27}));
    EXPECT_FALSE(list.front().selected());
    EXPECT_EQ(list.front().copyMark, 0);
    EXPECT_EQ(RectangleRecord::decode(list.back().record).y, 27);
    list.paste();  // again, from the shifted positions
    EXPECT_EQ(xs(list), (std::vector<int>{27, 26, 3, 2, 1, 50, 51}));
}

TEST(FigureList, MovingShiftsEveryPositionFieldOfTheKind) {
    FigureList list;
    list.appendFigure(LineRecord{1, 2, 3, 4, 1, 0}.encode(), FigureKind::DiagonalLine).flags = 1;
    list.appendFigure(BarcodeRecord{8, 10, 20, 80, 2, 3, 2, 0, 0, 0, "1"}.encode(), FigureKind::Barcode).flags = 1;
    list.moveSelected(5, -1);
    const auto line = LineRecord::decode(list.front().record);
    EXPECT_EQ((std::array{line.x1, line.y1, line.x2, line.y2}), (std::array{6, 1, 8, 3}));
    const auto bar = BarcodeRecord::decode(list.back().record);
    EXPECT_EQ((std::array{bar.type, bar.x, bar.y, bar.height}), (std::array{8, 15, 19, 80}));
}

TEST(FigureList, MoveToTopAndBottomNeedExactlyOneSelection) {
    LabelDocument doc;
    FigureList& list = doc.figures;
    for (int x : {1, 2, 3}) addRectangle(doc, x, 0, 10, 10, 0);
    EXPECT_EQ(list.moveToTop(), (UserMessage{"Error", "Nothing is selected"}));
    list.selectAll();
    EXPECT_EQ(list.moveToBottom(), (UserMessage{"Error", "Too many objects selected"}));
    EXPECT_EQ(xs(list), (std::vector<int>{1, 2, 3}));
    list.unselectAll();
    list.back().flags = kFlagSelected;
    EXPECT_EQ(list.moveToTop(), std::nullopt);  // already the tail: order unchanged
    EXPECT_EQ(xs(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.moveToBottom(), std::nullopt);
    EXPECT_EQ(xs(list), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(list.moveToTop(), std::nullopt);
    EXPECT_EQ(xs(list), (std::vector<int>{1, 2, 3}));
}

TEST(FigureList, SoftFontsAreNumberedByTheirPlaceAndNeverSelectedOrDeleted) {
    LabelDocument doc;
    FigureList& list = doc.figures;
    addFont(doc, 'b', {1, 0, 24});
    addRectangle(doc, 1, 0, 10, 10, 0);
    addFont(doc, 'A', {1, 0, 30});
    addRectangle(doc, 2, 0, 10, 10, 0);
    EXPECT_EQ(std::tuple(list.softFontByNumber(6)->record[6], list.softFontByNumber(7)->record[6]), std::tuple('b', 'A'));
    EXPECT_TRUE(!list.softFontByNumber(5) && !list.softFontByNumber(8));
    EXPECT_EQ((std::array{list.softFontHeight('B'), list.softFontHeight('a'), list.softFontHeight('Z')}),
              (std::array{24, 30, 16}));
    EXPECT_EQ(list.requestDelete().error, (UserMessage{"Error", "Nothing is selected"}));
    list.selectAll();
    EXPECT_FALSE(list.front().selected());
    const auto request = list.requestDelete();
    EXPECT_FALSE(request.error);
    EXPECT_EQ(request.question, (UserMessage{"Delete 2 objects", "Are you sure ?"}));
    EXPECT_EQ(list.deleteSelected(), 2);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_TRUE(list.front().isFont() && list.back().isFont());
}

TEST(FigureList, SharedPictureBlockLivesAsLongAsAnyUser) {
    LabelDocument doc;
    FigureList& list = doc.figures;
    auto block = std::make_shared<PictureBlock>(PictureBlock{{2, 1, 0x00}});
    std::weak_ptr<PictureBlock> watch = block;
    addPicture(doc, 0, 0, "LOGO", block, 8, 1);
    addPicture(doc, 10, 0, "LOGO", block, 8, 1).flags = kFlagSelected;
    block.reset();
    EXPECT_EQ(list.shareCount(watch.lock().get()), 2);
    list.copy();
    list.paste();  // the copy shares the block too
    EXPECT_EQ(list.shareCount(watch.lock().get()), 3);
    list.unselectAll();
    list.front().flags = kFlagSelected;
    list.deleteSelected();
    EXPECT_FALSE(watch.expired());
    EXPECT_TRUE(list.removeFigure(&list.front()));
    EXPECT_FALSE(watch.expired());  // one Picture still uses it
    EXPECT_EQ(list.shareCount(watch.lock().get()), 1);
    list.clearFigures();
    EXPECT_TRUE(watch.expired());
}

TEST(LabelDocument, NewLabelKeepsTheSetupAndSlotBytes) {
    LabelDocument doc;
    doc.setup.width = 500;
    doc.variables[3].defined = 1;
    doc.variables[3].setValue("kept");
    addRectangle(doc, 0, 0, 10, 10, 0);
    doc.newLabel();
    EXPECT_EQ(std::tuple(doc.figures.empty(), doc.variables[3].isDefined(), doc.variables[3].valueText(), doc.setup.width),
              std::tuple(true, false, "kept", 500));
}

TEST(LabelDocument, TemplatesNameTheirPicturesAndBarcodes) {
    const auto t = FigureTemplates::defaults(12345);
    EXPECT_EQ(t.picture.name + " " + defaultPictureName(7), "PICT2345 PICT0007");
    const auto bar = BarcodeRecord::decode(t.barcode.encode());
    EXPECT_EQ(std::tuple(bar.data, bar.type, bar.humanReadable), std::tuple("\"123456789012\"", 8, 2));
}

TEST(FigureRecords, DataIsCutToTheRecordAndNegativeFieldsSurvive) {
    const auto text = TextRecord::decode(TextRecord{.x = -5, .data = std::string(100, 'x')}.encode());
    EXPECT_EQ(text.x, -5);
    EXPECT_EQ(text.data.size(), TextRecord::kMaxData);
    const auto bar = BarcodeRecord::decode(BarcodeRecord{.barLength = 60000, .data = std::string(100, '1')}.encode());
    EXPECT_EQ(bar.data.size(), 63u);
    EXPECT_EQ(bar.barLength, 60000u);
}

TEST(FigureRecords, OneFieldIsWrittenInPlace) {
    Record bar;
    bar.fill(0xEE);
    setRecordField<&BarcodeRecord::height>(bar, -2);
    Record font = bar;
    setRecordField<&FontRecord::letter>(font, 'B');  // the letter and its zero byte
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        const bool field = i == 6 || i == 7;
        EXPECT_EQ(bar[i], field ? (i == 6 ? 0xFE : 0xFF) : 0xEE) << i;
        EXPECT_EQ(font[i], field ? (i == 6 ? 'B' : 0) : 0xEE) << i;
    }
    EXPECT_EQ(std::pair(recordField<&BarcodeRecord::height>(bar), recordField<&FontRecord::letter>(font)),
              std::pair(-2, 'B'));
}

TEST(Formats, DateAndTimeFormatsAreCheckedAndUpperCased) {
    using Check = std::optional<std::string> (*)(std::string_view);
    const std::tuple<Check, const char*, std::optional<std::string>> cases[] = {
        {checkDateFormat, "DD/MN/Y4", "DD/MN/Y4"}, {checkDateFormat, "dd-mn-y2", "DD-MN-Y2"},
        {checkDateFormat, "ME Y4", "ME Y4"},       {checkDateFormat, "Y2", "Y2"},
        {checkDateFormat, "DD-DD-Y4", {}},         {checkDateFormat, "DD-MN-Y3", {}},
        {checkDateFormat, "MN-ME", {}},            {checkDateFormat, "DD-MN-Y4-", {}},  // month twice; too long
        {checkDateFormat, "", {}},                 {checkTimeFormat, "H:M", "H:M"},
        {checkTimeFormat, "s.m.h", "S.M.H"},       {checkTimeFormat, "H:M:M", {}},
        {checkTimeFormat, "H:X", {}},              {checkTimeFormat, "HM", {}},
    };
    for (const auto& [check, format, expected] : cases) EXPECT_EQ(check(format), expected) << format;
}

TEST(Counters, AdvanceBySetsWith64BitArithmetic) {
    const std::tuple<std::string, int, int, const char*> cases[] = {
        {"0009", 1, 1, "10"}, {"0", -1, 1, "-1"}, {"abc", 5, 1, "5"} /* no digits count as 0 */, {"  -7x", 2, 3, "-1"},
        {"4294967296", 1, 1, "4294967297"}, {"9223372036854775807", 1, 1, "9223372036854775807"},
        {std::string(40, '9'), -1, 1, "9223372036854775806"}};
    for (const auto& [value, step, sets, expected] : cases)
        EXPECT_EQ(advancedCounterValue(value, step, sets), expected) << value << " " << step << " x " << sets;
    LabelDocument doc;
    doc.counters[2].defined = 1;
    doc.counters[2].step = static_cast<std::uint8_t>(-2);
    doc.counters[2].setValue("100");
    doc.counters[3].setValue("5");  // not defined: untouched
    doc.advanceCounters(3);
    EXPECT_EQ(doc.counters[2].valueText(), "94");
    EXPECT_EQ(doc.counters[3].valueText(), "5");
}

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
