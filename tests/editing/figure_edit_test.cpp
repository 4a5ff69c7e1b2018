// Editing a figure in its dialog goes through the kind's template and back, whole.
#include "editing/figure_edit.h"

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

}  // namespace
}  // namespace tavrin
