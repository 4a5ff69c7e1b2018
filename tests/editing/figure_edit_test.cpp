// Editing a figure in its dialog goes through the kind's template and back, whole.
#include "editing/figure_edit.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

Figure& addText(FigureList& figures, int font, const std::string& data) {
    TextRecord text;
    text.font = font;
    text.data = data;
    return figures.appendFigure(text.encode(), FigureKind::Text);
}

FigureDialogs textDialog(std::function<bool(TextRecord&)> dialog) {
    FigureDialogs dialogs;
    dialogs.text = std::move(dialog);
    return dialogs;
}

TEST(FigureEdit, ConfirmedEditFeedsTheTemplateAndCancelChangesNothing) {
    FigureList figures;
    FigureTemplates templates;
    Figure& text = addText(figures, 4, "\"Hello\"");
    const bool confirmed = editFigureInDialog(text, templates, textDialog([](TextRecord& r) {
        EXPECT_EQ(r.font, 4) << "the dialog starts from the figure";
        r.font = 2, r.data = "\"Edited\"";
        return true;
    }));
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(TextRecord::decode(text.record).font, 2);
    EXPECT_EQ(templates.text.font, 2);
    EXPECT_EQ(templates.text.data, "\"Edited\"");

    const Record before = text.record;
    const FigureTemplates kept = templates;
    EXPECT_FALSE(editFigureInDialog(text, templates, textDialog([](TextRecord& r) {
        r.font = 5, r.data = "\"Gone\"";
        return false;
    })));
    EXPECT_EQ(text.record, before);
    EXPECT_EQ(templates.text.data, kept.text.data);
    EXPECT_EQ(templates.text.font, kept.text.font);

    // Kinds without a dialog here are left alone.
    Figure& rectangle = figures.appendFigure(RectangleRecord{1, 2, 3, 4, kColourBlack}.encode(), FigureKind::Rectangle);
    EXPECT_FALSE(editFigureInDialog(rectangle, templates, textDialog([](TextRecord&) { return true; })));
}

TEST(FigureEdit, TextsUpToTheRecordsLengthGoBackWhole) {
    const std::string longest(TextRecord::kMaxData, 'x');  // 67 characters, as label files may hold
    const struct {
        std::string before, after;
    } cases[] = {
        {longest, longest},                                // opened and confirmed unchanged
        {longest, "\"short\""},                            // shortened: nothing of the old text stays
        {"\"short\"", longest.substr(0, 66) + "y"},  // lengthened to the last byte
    };
    for (const auto& c : cases) {
        FigureList figures;
        FigureTemplates templates;
        Figure& text = addText(figures, 1, c.before);
        ASSERT_TRUE(editFigureInDialog(text, templates, textDialog([&](TextRecord& r) {
            EXPECT_EQ(r.data, c.before);
            r.data = c.after;
            return true;
        })));
        EXPECT_EQ(TextRecord::decode(text.record).data, c.after);
        for (std::size_t i = TextRecord::kDataOffset + c.after.size(); i < kRecordSize; ++i)
            EXPECT_EQ(text.record[i], 0) << "byte " << i << " after " << c.after.size() << " characters";
    }
}

}  // namespace
}  // namespace tavrin
