#include "editing/editor_session.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace tavrin {
namespace {

TEST(EditorSession, UndoAndRedoEveryKindOfChange) {
    EditorSession session(nullptr);
    LabelDocument& doc = session.document();
    auto picture = std::make_shared<PictureBlock>();
    picture->bytes = {1, 1, 0x00};
    const std::function<void(LabelDocument&)> changes[] = {
        [](LabelDocument& d) { d.figures.appendFigure(RectangleRecord{1, 2, 30, 40, 0}.encode(), FigureKind::Rectangle); },
        [](LabelDocument& d) { d.figures.front().flags = kFlagSelected, d.figures.moveSelected(5, 0); },
        [](LabelDocument& d) { d.setup.width = 608, d.setup.leftMargin = 20; },
        [](LabelDocument& d) { d.variables[3].defined = 1, d.variables[3].setValue("abc"); },
        [](LabelDocument& d) { d.counters[7].step = 2; },
        [&](LabelDocument& d) {
            PictureRecord p;
            p.width = 8, p.height = 1, p.name = "P";
            d.figures.appendFigure(p.encode(), FigureKind::Picture).picture = picture;
        },
        [](LabelDocument& d) { d.figures.back().picture = std::make_shared<PictureBlock>(PictureBlock{{1, 1, 0xFF}}); },
    };
    std::vector<LabelDocument> states{doc};
    for (const auto& change : changes) {
        change(doc);
        session.commit();
        states.push_back(doc);
    }
    ASSERT_EQ(session.undoSteps(), std::size(changes));
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        ASSERT_TRUE(session.undo());
        EXPECT_TRUE(sameLabel(doc, states[i])) << "undo to state " << i;
        EXPECT_EQ(session.canvas().back.width(), doc.setup.width);  // redrawn
    }
    EXPECT_FALSE(session.undo());
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(session.redo());
        EXPECT_TRUE(sameLabel(doc, states[i])) << "redo to state " << i;
    }
    EXPECT_FALSE(session.redo());
    EXPECT_EQ(doc.figures.back().picture->bytes[2], 0xFF);
}

TEST(EditorSession, StepsThatChangeNothingAreDropped) {
    EditorSession session(nullptr);
    LabelDocument& doc = session.document();
    doc.figures.appendFigure(TextRecord{}.encode(), FigureKind::Text);
    doc.figures.appendFigure(BarcodeRecord{}.encode(), FigureKind::Barcode);
    session.commit();
    ASSERT_EQ(session.undoSteps(), 1u);
    // Selection, copy marks and what the renderers measure are not the user's changes.
    doc.figures.selectAll();
    doc.figures.copy();
    setRecord16(doc.figures.front().record, 14, 77);
    setRecord16(doc.figures.back().record, 18, 99);
    session.commit();
    EXPECT_EQ(session.undoSteps(), 1u);
    // A 2D symbol's height is the renderer's measure too; a linear barcode's is the user's.
    setRecord16(doc.figures.back().record, 0, 27);
    session.commit();
    ASSERT_EQ(session.undoSteps(), 2u);
    session.redraw();
    EXPECT_NE(BarcodeRecord::decode(doc.figures.back().record).height, 80);
    session.commit();
    EXPECT_EQ(session.undoSteps(), 2u);
    setRecord16(doc.figures.back().record, 0, 8);
    setRecord16(doc.figures.back().record, 6, 50);
    session.commit();
    EXPECT_EQ(session.undoSteps(), 3u);
}

TEST(EditorSession, ModifiedFollowsTheSavedState) {
    EditorSession session(nullptr);
    LabelDocument& doc = session.document();
    EXPECT_FALSE(session.modified());
    auto setWidth = [&](int width) {
        doc.setup.width = width;
        session.commit();
    };
    setWidth(500);
    EXPECT_TRUE(session.modified());
    session.markSaved();
    EXPECT_FALSE(session.modified());
    setWidth(400);
    EXPECT_TRUE(session.modified());
    session.undo();
    EXPECT_FALSE(session.modified());
    session.redo();
    EXPECT_TRUE(session.modified());
    setWidth(500);  // changed back by hand
    EXPECT_FALSE(session.modified());

    session.undo();
    doc.setup.length = 300;  // not committed yet: undo takes it back first
    ASSERT_TRUE(session.undo());
    EXPECT_EQ(std::pair(doc.setup.length, doc.setup.width), std::pair(200, 400));
    session.commit();
    EXPECT_TRUE(session.canRedo());
    setWidth(420);  // a new change drops the steps that could be redone
    EXPECT_FALSE(session.canRedo());

    session.resetHistory();
    EXPECT_FALSE(session.modified() || session.canUndo());
}

TEST(EditorSession, HistoryKeepsTheLastStepsAndDropsAnyDrag) {
    EditorSession session(nullptr);
    LabelDocument& doc = session.document();
    for (int i = 1; i <= 250; ++i) {
        doc.setup.offset = i;
        session.commit();
    }
    EXPECT_EQ(session.undoSteps(), EditorSession::kHistoryLimit);
    doc.figures.appendFigure(RectangleRecord{0, 0, 50, 50, 0}.encode(), FigureKind::Rectangle).flags = kFlagSelected;
    session.mouse().mouseDown({10, 10}, MouseButton::Left, false);
    session.mouse().mouseMove({30, 30});
    ASSERT_TRUE(session.mouse().dragging());
    ASSERT_TRUE(session.undo());  // the half-done move is the step undone
    EXPECT_FALSE(session.mouse().dragging());
    EXPECT_TRUE(doc.figures.empty());
    int undone = 0;
    while (session.undo()) ++undone;
    EXPECT_EQ(undone, 199);
    EXPECT_EQ(doc.setup.offset, 51);
}

}  // namespace
}  // namespace tavrin
