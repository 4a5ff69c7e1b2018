#include "editing/mouse_editor.h"

#include <gtest/gtest.h>

#include <string>

namespace tavrin {
namespace {

// The reference point is away from the corner, so every test also checks that the editor
// turns bitmap points into figure points.
class MouseEditorTest : public ::testing::Test {
protected:
    MouseEditorTest() {
        doc.setup.width = 400, doc.setup.length = 600;
        doc.setup.leftMargin = 8, doc.setup.topMargin = 16;
    }
    DotPoint at(int x, int y) const { return {x + 8, y + 16}; }
    Figure& rect(int x, int y, int w, int h) {
        return doc.figures.appendFigure(RectangleRecord{x, y, w, h, 0}.encode(), FigureKind::Rectangle);
    }
    // One character per figure in list order: 1 selected, 0 not.
    std::string selection() const {
        std::string s;
        for (const Figure& f : doc.figures) s += f.selected() ? '1' : '0';
        return s;
    }
    MouseResult click(int x, int y, bool shift = false) {
        editor.mouseDown(at(x, y), MouseButton::Left, shift);
        return editor.mouseUp(at(x, y), shift);
    }
    MouseResult drag(DotPoint from, DotPoint to, bool cancel = false) {
        editor.mouseDown(at(from.x, from.y), MouseButton::Left, false);
        editor.mouseMove(at(to.x, to.y));
        if (cancel) editor.setCancelFlag();
        return editor.mouseUp(at(to.x, to.y), false);
    }
    LabelDocument doc;
    MouseEditor editor{doc};
};

TEST_F(MouseEditorTest, ClickAndShiftClickSelect) {
    rect(10, 10, 40, 40);
    rect(30, 30, 40, 40);  // drawn over the first
    doc.figures.appendFigure(BoxRecord{100, 100, 200, 200, 2}.encode(), FigureKind::Box);
    const struct { DotPoint p; bool shift; const char* after; } steps[] = {
        {{35, 35}, false, "100"},    // both under the click: the bottom-most wins
        {{150, 150}, false, "000"},  // the middle of a box is empty label
        {{20, 20}, true, "100"},
        {{60, 60}, true, "110"},
        {{20, 20}, true, "110"},     // Shift-click never unselects
        {{101, 150}, true, "111"},   // the border of the box
        {{60, 60}, false, "111"},    // a member keeps the selection
        {{250, 250}, false, "000"},
    };
    for (const auto& s : steps) {
        click(s.p.x, s.p.y, s.shift);
        EXPECT_EQ(selection(), s.after) << "after " << s.p.x << "," << s.p.y;
        for (const Figure& f : doc.figures) EXPECT_EQ(f.flags & ~kFlagSelected, 0);
    }
}

TEST_F(MouseEditorTest, DraggingAMemberMovesTheWholeSelection) {
    rect(10, 10, 40, 40).flags = kFlagSelected;
    rect(100, 100, 20, 20).flags = kFlagSelected;
    rect(200, 200, 20, 20);
    editor.mouseDown(at(20, 20), MouseButton::Left, false);
    const MouseResult move = editor.mouseMove(at(25, 27));
    EXPECT_TRUE(move.marksChanged && !move.redraw);
    const MouseResult up = editor.mouseUp(at(26, 27), false);
    EXPECT_TRUE(up.redraw && up.changed);
    std::string places;
    for (const Figure& f : doc.figures) {
        const RectangleRecord r = RectangleRecord::decode(f.record);
        places += std::to_string(r.x) + "," + std::to_string(r.y) + " ";
    }
    EXPECT_EQ(places, "16,17 106,107 200,200 ");
    EXPECT_EQ(selection(), "110");
}

TEST_F(MouseEditorTest, BandSelectsByACornerInside) {
    BarcodeRecord barcode;
    barcode.type = 3, barcode.x = 200, barcode.y = 300, barcode.height = 50, barcode.totalLength = 100;
    doc.figures.appendFigure(barcode.encode(), FigureKind::Barcode);  // box 200,300 to 300,350
    doc.figures.appendFigure(LineRecord{20, 20, 120, 60, 2, 0}.encode(), FigureKind::DiagonalLine);
    rect(0, 500, 10, 10).flags = kFlagSelected;

    editor.mouseDown(at(150, 250), MouseButton::Left, true);  // Shift keeps the rectangle
    EXPECT_EQ(editor.overlay().kind, DragOverlay::Kind::Band);
    editor.mouseMove(at(199, 299));
    EXPECT_EQ(editor.overlay().to, at(199, 299));
    editor.mouseUp(at(199, 299), true);
    EXPECT_EQ(selection(), "001");

    editor.mouseDown(at(150, 250), MouseButton::Left, true);
    EXPECT_EQ(editor.mouseUp(at(200, 300), true).marksChanged, true);  // touches one corner
    EXPECT_EQ(selection(), "101");

    drag({130, 70}, {115, 55});  // around the line's end point only; no Shift clears first
    EXPECT_EQ(selection(), "010");
}

TEST_F(MouseEditorTest, ResizeByHandles) {
    Figure& r = rect(100, 100, 50, 30);
    r.flags = kFlagSelected;
    EXPECT_TRUE(editor.mouseDown(at(152, 131), MouseButton::Left, false).marksChanged);  // corner 4
    EXPECT_FALSE(r.selected());
    EXPECT_EQ(editor.overlay().kind, DragOverlay::Kind::ResizeRectangle);
    editor.mouseMove(at(92, 81));  // past the opposite corner
    EXPECT_EQ(editor.overlay().to, at(90, 80));
    const MouseResult up = editor.mouseUp(at(92, 81), false);
    EXPECT_TRUE(up.changed && up.redraw);
    const RectangleRecord after = RectangleRecord::decode(r.record);
    EXPECT_EQ((DotRect{after.x, after.y, after.width, after.height}), (DotRect{90, 80, 10, 20}));
    EXPECT_TRUE(r.selected());

    const Record before = r.record;
    EXPECT_FALSE(drag({90, 80}, {20, 20}, true).changed);  // Esc during the drag
    EXPECT_TRUE(r.record == before && r.selected());

    Figure& line = doc.figures.appendFigure(LineRecord{10, 300, 90, 350, 2, 0}.encode(), FigureKind::DiagonalLine);
    drag({91, 349}, {11, 299});  // end point dragged onto the start point
    const LineRecord l = LineRecord::decode(line.record);
    EXPECT_EQ((DotRect{l.x1, l.y1, l.x2, l.y2}), (DotRect{26, 300, 10, 300}));
}

TEST_F(MouseEditorTest, DrawingToolsAndRightClick) {
    Figure& under = rect(10, 10, 40, 40);
    rect(30, 30, 40, 40);
    editor.setTool(Tool::Rectangle);
    editor.mouseDown(at(100, 120), MouseButton::Left, false);
    EXPECT_TRUE(editor.mouseMove(at(140, 90)).overlayChanged);
    EXPECT_EQ(editor.overlay().kind, DragOverlay::Kind::RubberRectangle);
    const MouseResult up = editor.mouseUp(at(150, 80), false);
    EXPECT_EQ(up.openNewDialog, FigureKind::Rectangle);
    EXPECT_EQ((DotRect{up.press.x, up.press.y, up.release.x, up.release.y}), (DotRect{100, 120, 150, 80}));
    EXPECT_EQ(std::pair(editor.tool(), editor.overlay().kind), std::pair(Tool::Select, DragOverlay::Kind::None));

    editor.setTool(Tool::Text);
    EXPECT_EQ(click(5, 5).openNewDialog, FigureKind::Text);

    const MouseResult right = editor.mouseDown(at(35, 35), MouseButton::Right, false);
    EXPECT_EQ(right.editFigure, &under);
    EXPECT_TRUE(editor.cancelFlag());
    EXPECT_EQ(selection(), "00");

    // The right button during a resize only cancels it.
    editor.mouseDown(at(70, 70), MouseButton::Left, false);
    editor.mouseMove(at(90, 90));
    EXPECT_EQ(editor.mouseDown(at(90, 90), MouseButton::Right, false).editFigure, nullptr);
    EXPECT_FALSE(editor.mouseUp(at(90, 90), false).changed);
    EXPECT_EQ(RectangleRecord::decode(doc.figures.back().record).width, 40);
}

TEST_F(MouseEditorTest, NudgeMovesOnlyASelection) {
    Figure& r = rect(10, 10, 5, 5);
    EXPECT_FALSE(editor.nudgeSelection(1, 0));
    r.flags = kFlagSelected;
    EXPECT_TRUE(editor.nudgeSelection(-1, 8));
    EXPECT_EQ(std::pair(RectangleRecord::decode(r.record).x, RectangleRecord::decode(r.record).y), std::pair(9, 18));
}

}  // namespace
}  // namespace tavrin
