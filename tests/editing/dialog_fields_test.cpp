// The rules behind the property and setup dialogs and the Object List, without windows: a
// figure edited in its dialog goes through the kind's template and back, whole; the list's
// rows and reordering, with fonts among the figures.
#include <gtest/gtest.h>

#include <functional>

#include "document/figure_list.h"
#include "editing/dialog_fields.h"
#include "editing/figure_edit.h"
#include "editing/font_list.h"
#include "editing/object_list.h"
#include "editing/setup_fields.h"
#include "fonts/font_management.h"
#include "support/label_builders.h"

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

// 4, 80 and 81 are the align window's test; the lower edge and what is no number are here.
TEST(DialogFields, GridStepBelowFourOrNotANumberIsRefused) {
    for (const char* refused : {"3", "", "ab", "-8"}) EXPECT_FALSE(acceptGridStep(refused)) << refused;
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

TEST(FigureEdit, ConfirmedEditsGoBackWholeAndFeedTheTemplateCancelledOnesDoNot) {
    const std::string longest(TextRecord::kMaxData, 'x');  // 67 characters, as label files may hold
    const struct {
        std::string before, after;
        bool confirmed;
    } cases[] = {
        {"\"Hello\"", "\"Edited\"", true},
        {longest, longest, true},                      // opened and confirmed unchanged
        {longest, "\"short\"", true},                  // nothing of the old text stays behind
        {"\"short\"", longest.substr(0, 66) + "y", true},  // lengthened to the last byte
        {"\"Kept\"", "\"Gone\"", false},
    };
    for (const auto& c : cases) {
        FigureList figures;
        FigureTemplates templates;
        Figure& text = figures.appendFigure(TextRecord{1, 2, 1, 1, 4, 0, 0, 0, c.before}.encode(), FigureKind::Text);
        FigureDialogs dialogs;
        dialogs.text = [&](TextRecord& r) {
            EXPECT_EQ(r.data, c.before) << "the dialog starts from the figure";
            r.font = 2, r.data = c.after;
            return c.confirmed;
        };
        EXPECT_EQ(editFigureInDialog(text, templates, dialogs), c.confirmed);
        const std::string& now = c.confirmed ? c.after : c.before;
        EXPECT_EQ(TextRecord::decode(text.record).data, now);
        for (std::size_t i = TextRecord::kDataOffset + now.size(); i < kRecordSize; ++i)
            EXPECT_EQ(text.record[i], 0) << "byte " << i << " after " << now.size() << " characters";
        EXPECT_EQ(templates.text.font, c.confirmed ? 2 : FigureTemplates{}.text.font);
        EXPECT_EQ(templates.text.data, c.confirmed ? c.after : FigureTemplates{}.text.data);
    }
}

TEST(FigureEdit, NewFiguresGoOnTopAndBecomeTheirKindsTemplate) {
    FigureList figures;
    FigureTemplates templates;
    figures.appendFigure(BoxRecord{}.encode(), FigureKind::Box);
    addNewFigure(figures, templates, LineRecord{1, 2, 30, 40, 3, kColourInverse});
    addNewFigure(figures, templates, TextRecord{5, 6, 1, 1, 2, 0, 0, 0, "\"New\""});
    ASSERT_EQ(figures.size(), 3u);
    EXPECT_EQ(figures.back().kind, FigureKind::Text);
    EXPECT_EQ(TextRecord::decode(figures.back().record).data, "\"New\"");
    EXPECT_EQ(templates.text.x, 5);
    EXPECT_EQ(templates.line.colour, kColourInverse);
    EXPECT_EQ(templates.box.thickness, FigureTemplates{}.box.thickness) << "other kinds keep theirs";

    const Figure* shown = &figures.back();
    EXPECT_EQ(findFigure(figures, shown), &figures.back());
    figures.removeFigure(shown);
    EXPECT_EQ(findFigure(figures, shown), nullptr);
}

// Text goes to the screen and back through the translation (cp1251 on the screen, cp866 at
// the printer by default) only when it was edited.
TEST(FigureEdit, UntouchedTextKeepsItsBytesEditedTextIsTranslated) {
    const Translation translation;
    const std::string shown = "\"\xD0\x96\"";  // the cp866 ZHE as the screen shows it
    EXPECT_EQ(copiedBackText("\"\x86\"", shown, "\"\xD0\x96\xD1\x8F\xE4\xB8\xAD\"", translation), "\"\x86\xEF?\"")
        << "a letter the code page lacks becomes '?'";
    // A box-drawing byte cp1251 lacks shows as '?' but is kept while the text is not edited.
    EXPECT_EQ(copiedBackText("\"\xB0\"", "\"?\"", "\"?\"", translation), "\"\xB0\"");
    EXPECT_EQ(copiedBackText("\"\xB0\"", "\"?\"", "\"?!\"", translation), "\"?!\"");
}

// A label font is named by one letter, upper-cased: one stored in the printer, and one typed
// for a new font.
TEST(FontList, AFontIsNamedByItsOneLetter) {
    const auto stored = [](const char* name) { return storedFontLetter(name); };
    const auto typed = [](const char* name) { return chosenNewFontLetter(name); };
    const std::tuple<std::function<std::optional<char>(const char*)>, const char*, std::optional<char>> cases[] = {
        {stored, "A", 'A'}, {stored, "q", 'Q'}, {stored, "Z", 'Z'}, {stored, "AB", std::nullopt},
        {stored, "1", std::nullopt}, {stored, "", std::nullopt}, {stored, "\xE4", std::nullopt},
        {typed, "b", 'B'}, {typed, "Z", 'Z'}, {typed, "7", std::nullopt}, {typed, "", std::nullopt}, {typed, "-", std::nullopt}};
    for (const auto& [read, name, letter] : cases) EXPECT_EQ(read(name), letter) << name;
    EXPECT_EQ(chosenListedFontLetter("C  Height=20 Chars=95"), 'C');
}

TEST(ObjectList, RowsDescribeEveryKindAndSkipFonts) {
    LabelDocument label;
    FigureList& figures = label.figures;
    test::addFont(label, 'A', {1, 0, 20});
    test::addFont(label, 'Q', {1, 0, 20});
    const TextRecord soft{.x = -5, .y = 9, .hMul = 2, .vMul = 3, .font = 7, .rotation = 2, .data = "Hi"};
    figures.appendFigure(soft.encode(), FigureKind::Text);
    figures.appendFigure(TextRecord{.font = 6, .data = ""}.encode(), FigureKind::Text);
    const BarcodeRecord barcode{.type = 8, .x = 3, .y = 4, .rotation = 3, .data = "123456789012"};
    figures.appendFigure(barcode.encode(), FigureKind::Barcode);
    figures.appendFigure(BoxRecord{50, 5, 10, 45, 1}.encode(), FigureKind::Box);
    PictureRecord picture{7, 8, 40, 20, 99, "LOGO"};
    figures.appendFigure(picture.encode(), FigureKind::Picture).flags = kFlagSelected;

    const std::vector<Figure*> listed = listedFigures(figures);
    ASSERT_EQ(listed.size(), 5u);
    using Cells = std::array<std::string, 7>;
    const Cells expected[] = {
        {" 1", "", "Text  (Loadable font Q, Multiplied 2x3)", "-5", "9", "180 deg", "Hi"},
        {" 2", "", "Text  (Loadable font A)", "0", "0", "None", ""},
        {" 3", "", "Barcode  EAN 13", "3", "4", "270 deg", "123456789012"},
        {" 4", "", "Box  (Size 40x40)", "10", "5", "", ""},
        {" 5", "#", "Picture  \"LOGO\"  (Size 40x20)", "7", "8", "", ""},
    };
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const ObjectListRow row = objectListRow(*listed[i], static_cast<int>(i) + 1, figures);
        EXPECT_EQ(row.cells, expected[i]) << "row " << i + 1;
        EXPECT_EQ(row.textData, i < 2);
    }
}

TEST(ObjectList, MovingExchangesWholeFiguresAndStopsAtTheEnds) {
    LabelDocument label;
    FigureList& figures = label.figures;
    test::addRectangle(label, 1, 1, 5, 5, kColourBlack);
    test::addFont(label, 'A', {1, 0, 20});
    Figure& picture = figures.appendFigure(PictureRecord{2, 2, 8, 1, 4, "P"}.encode(), FigureKind::Picture);
    picture.picture = std::make_shared<PictureBlock>(PictureBlock{{1, 2, 0xC1, 0xFF}});
    picture.flags = kFlagSelected;

    EXPECT_FALSE(moveListedFigure(figures, 1, -1));
    EXPECT_FALSE(moveListedFigure(figures, 2, 1));
    EXPECT_FALSE(moveListedFigure(figures, 0, 1));
    // Rows 1 and 2 are the rectangle and the picture; the font between them stays put.
    ASSERT_TRUE(moveListedFigure(figures, 2, -1));
    const std::vector<Figure*> listed = listedFigures(figures);
    EXPECT_EQ(listed[0]->kind, FigureKind::Picture);
    EXPECT_TRUE(listed[0]->selected());
    ASSERT_NE(listed[0]->picture, nullptr) << "the picture's data goes with its record";
    EXPECT_EQ(listed[0]->picture->bytes.size(), 4u);
    EXPECT_EQ(listed[1]->kind, FigureKind::Rectangle);
    EXPECT_EQ(listed[1]->picture, nullptr);
    EXPECT_TRUE(std::next(figures.begin())->isFont());
}

}  // namespace
}  // namespace tavrin
