// Editing a figure in its dialog goes through the kind's template and back, whole.
#include "editing/figure_edit.h"
#include "editing/font_list.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

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

TEST(FontList, AFontFromThePrinterIsNamedByItsOneLetter) {
    const std::pair<const char*, std::optional<char>> cases[] = {
        {"A", 'A'}, {"q", 'Q'}, {"Z", 'Z'}, {"AB", std::nullopt}, {"1", std::nullopt}, {"", std::nullopt}, {"\xE4", std::nullopt},
    };
    for (const auto& [name, letter] : cases) EXPECT_EQ(storedFontLetter(name), letter) << name;
}

}  // namespace
}  // namespace tavrin
