// The rules behind the property and setup dialogs, without windows.
#include <gtest/gtest.h>

#include "document/figure_list.h"
#include "editing/dialog_fields.h"
#include "editing/font_list.h"
#include "editing/setup_fields.h"

namespace tavrin {
namespace {

TEST(DialogFields, NumbersAreAcceptedOnlyWholeAndInRange) {
    struct Case { const char* text; int expected; };
    const FieldRange range{-80, 80};
    for (const Case& c : {Case{"12", 12}, Case{" -80 ", -80}, Case{"+80", 80}, Case{"81", 7}, Case{"-81", 7},
                          Case{"", 7}, Case{"1x", 7}, Case{"x", 7}, Case{"+-5", 7}, Case{"--5", 7},
                          Case{"99999999999", 7}, Case{"0", 0}})
        EXPECT_EQ(acceptField(c.text, 7, range), c.expected) << '"' << c.text << '"';
    // The fallback is the current value, and that too must lie in the range.
    EXPECT_EQ(acceptField("abc", 100, range), 100);
}

TEST(DialogFields, ListsMapPositionsAndKeepValuesTheyCannotShow) {
    EXPECT_EQ(listPosition(10, 9, 2), 8);   // wide bar 10 is the last item
    EXPECT_EQ(listPosition(1, 9, 2), -1);
    EXPECT_EQ(acceptListField(-1, 9, 2, 1), 1);
    EXPECT_EQ(acceptListField(0, 9, 2, 1), 2);

    TextRecord text;
    text.hMul = 12;  // out of any list: stays as it is
    TextForm form = textForm(text, 5);
    EXPECT_EQ(form.hMul, -1);
    applyTextForm(form, 5, text);
    EXPECT_EQ(text.hMul, 12);
}

TEST(DialogFields, DataTooLongForTheRecordIsRefusedNotCut) {
    BarcodeRecord barcode;
    barcode.data = "\"1\"";
    BarcodeForm form = barcodeForm(barcode);
    form.data = std::string(64, '1');
    applyBarcodeForm(form, barcode);
    EXPECT_EQ(barcode.data, "\"1\"");
    EXPECT_EQ(textDataLimit(3), 63u);
    EXPECT_EQ(textDataLimit(66), 66u);
    EXPECT_EQ(textDataLimit(90), TextRecord::kMaxData);
}

TEST(DialogFields, GridStep) {
    EXPECT_EQ(std::pair(acceptGridStep("4"), acceptGridStep("80")), std::pair(std::optional(4), std::optional(80)));
    for (const char* refused : {"3", "81", "", "ab", "-8"}) EXPECT_FALSE(acceptGridStep(refused)) << refused;
}

TEST(DialogFields, FontListNamesResidentFontsThenTheLabelsFonts) {
    FigureList figures;
    FontRecord font;
    font.letter = 'A', font.height = 24;
    figures.appendFigure(font.encode(), FigureKind::Font);
    figures.appendFigure(TextRecord{}.encode(), FigureKind::Text);
    font.letter = 'q', font.height = 9;
    figures.appendFigure(font.encode(), FigureKind::Font);
    const std::vector<std::string> expected = {"1  (8x12)", "2  (10x16)", "3  (12x20)", "4  (14x24)",
                                               "5  (32x48)", "A  h=24", "q  h=9"};
    EXPECT_EQ(buildFontList(figures), expected);
}

TEST(SetupFields, PresetsAndTheFormsRoundTrip) {
    EXPECT_FALSE(labelSizePreset(0));
    EXPECT_EQ(labelSizePreset(4), (std::pair{608, 412}));
    EXPECT_EQ(labelSizePreset(2), (std::pair{384, 344}));
    EXPECT_FALSE(labelSizePreset(5));

    LabelSetup setup;
    setup.normalText = 0, setup.darkness = 13;
    const SetupForm form = setupForm(setup);
    EXPECT_EQ(std::pair(form.labelSize, form.textType), std::pair(0, 1));
    LabelSetup copy;
    applySetupForm(form, copy);
    EXPECT_EQ(copy, setup);
}

}  // namespace
}  // namespace tavrin
