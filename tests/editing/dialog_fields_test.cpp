// The rules behind the property and setup dialogs, without windows.
#include <gtest/gtest.h>

#include <functional>

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

// A field typed on a form and applied: its value in the record afterwards.
template <typename Record, typename Form, typename MakeForm, typename Apply>
std::function<int(const std::string&)> typedInto(MakeForm make, Apply apply, std::string Form::*field, int Record::*value) {
    return [=](const std::string& typed) {
        Record record{};
        Form form = make(record);
        form.*field = typed;
        apply(form, record);
        return record.*value;
    };
}

// Each dialog's edits take their own range, ends included, and keep the record's value past them.
TEST(DialogFields, EachEditTakesItsOwnRange) {
    const auto text = [](const TextRecord& r) { return textForm(r, 5); };
    const auto applyText = [](const TextForm& f, TextRecord& r) { applyTextForm(f, 5, r); };
    const struct {
        const char* field;
        std::function<int(const std::string&)> typed;
        FieldRange range;
    } cases[] = {
        {"text x", typedInto<TextRecord>(text, applyText, &TextForm::x, &TextRecord::x), kFigureXRange},
        {"text y", typedInto<TextRecord>(text, applyText, &TextForm::y, &TextRecord::y), kTextYRange},
        {"barcode y", typedInto<BarcodeRecord>(barcodeForm, applyBarcodeForm, &BarcodeForm::y, &BarcodeRecord::y), kFigureYRange},
        {"barcode height", typedInto<BarcodeRecord>(barcodeForm, applyBarcodeForm, &BarcodeForm::height, &BarcodeRecord::height),
         kBarcodeHeightRange},
        {"rectangle width", typedInto<RectangleRecord>(rectangleForm, applyRectangleForm, &RectangleForm::width, &RectangleRecord::width),
         kRectangleWidthRange},
        {"rectangle height", typedInto<RectangleRecord>(rectangleForm, applyRectangleForm, &RectangleForm::height, &RectangleRecord::height),
         kRectangleHeightRange},
        {"box y2", typedInto<BoxRecord>(boxForm, applyBoxForm, &BoxForm::y2, &BoxRecord::y2), kFigureYRange},
        {"box thickness", typedInto<BoxRecord>(boxForm, applyBoxForm, &BoxForm::thickness, &BoxRecord::thickness), kThicknessRange},
        {"line x2", typedInto<LineRecord>(lineForm, applyLineForm, &LineForm::x2, &LineRecord::x2), kFigureXRange},
        {"line thickness", typedInto<LineRecord>(lineForm, applyLineForm, &LineForm::thickness, &LineRecord::thickness), kThicknessRange},
        {"label width", typedInto<LabelSetup>(setupForm, applySetupForm, &SetupForm::width, &LabelSetup::width), kLabelWidthRange},
        {"label length", typedInto<LabelSetup>(setupForm, applySetupForm, &SetupForm::length, &LabelSetup::length), kLabelLengthRange},
        {"label gap", typedInto<LabelSetup>(setupForm, applySetupForm, &SetupForm::gap, &LabelSetup::labelGap), kLabelGapRange},
        {"offset", typedInto<LabelSetup>(setupForm, applySetupForm, &SetupForm::offset, &LabelSetup::offset), kLabelOffsetRange},
        {"left margin", typedInto<LabelSetup>(setupForm, applySetupForm, &SetupForm::leftMargin, &LabelSetup::leftMargin),
         kLeftMarginRange},
        {"top margin", typedInto<LabelSetup>(setupForm, applySetupForm, &SetupForm::topMargin, &LabelSetup::topMargin),
         kTopMarginRange},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        const int kept = c.typed("x");
        EXPECT_EQ(c.typed(std::to_string(c.range.min)), c.range.min);
        EXPECT_EQ(c.typed(std::to_string(c.range.max)), c.range.max);
        EXPECT_EQ(c.typed(std::to_string(c.range.min - 1)), kept);
        EXPECT_EQ(c.typed(std::to_string(c.range.max + 1)), kept);
    }
    // The ranges that differ between the dialogs, as the printer takes them.
    EXPECT_EQ(kTextYRange.max, 1639);
    EXPECT_EQ(kFigureYRange.max, 1539);
    EXPECT_EQ(kLabelWidthRange.max, 608);
}

TEST(DialogFields, ListsMapPositionsAndKeepValuesTheyCannotShow) {
    // Wide bar 10 is the last item, 1 none; no item keeps the value, the first is 2.
    EXPECT_EQ((std::array{listPosition(10, 9, 2), listPosition(1, 9, 2), acceptListField(-1, 9, 2, 1),
                          acceptListField(0, 9, 2, 1)}),
              (std::array{8, -1, 1, 2}));

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
    EXPECT_EQ((std::array{textDataLimit(3), textDataLimit(66), textDataLimit(90)}),
              (std::array<std::size_t, 3>{63, 66, TextRecord::kMaxData}));
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
    using Size = std::optional<std::pair<int, int>>;
    EXPECT_EQ((std::array{labelSizePreset(0), labelSizePreset(4), labelSizePreset(2), labelSizePreset(5)}),
              (std::array<Size, 4>{std::nullopt, std::pair{608, 412}, std::pair{384, 344}, std::nullopt}));

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
