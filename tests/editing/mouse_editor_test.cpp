#include "editing/mouse_editor.h"

#include <gtest/gtest.h>

#include <string>

#include "editing/geometry.h"
#include "support/label_builders.h"

namespace tavrin {
namespace {

// Hit tests, alignment and resizing on figures alone; then the mouse editor.
Figure figureOf(const Record& record, FigureKind kind) {
    Figure f;
    f.kind = kind, f.record = record;
    return f;
}

TEST(Geometry, HitTestPerKind) {
    LabelDocument doc;
    TextRecord text;
    text.x = 100, text.y = 50, text.font = 2, text.vMul = 2, text.rotation = 1, text.drawnWidth = 60;
    const Figure turnedText = figureOf(text.encode(), FigureKind::Text);       // box 64..100 x 50..110
    const Figure box = figureOf(BoxRecord{0, 0, 100, 80, 2}.encode(), FigureKind::Box);  // border 4 wide
    const Figure flat = figureOf(LineRecord{0, 0, 100, 20, 2, 0}.encode(), FigureKind::DiagonalLine);
    const Figure steep = figureOf(LineRecord{10, 100, 0, 0, 12, 0}.encode(), FigureKind::DiagonalLine);
    const Figure bar = figureOf(RectangleRecord{10, 10, 20, 5, 0}.encode(), FigureKind::Rectangle);
    const struct {
        const Figure* figure;
        DotPoint p;
        bool hit;
    } cases[] = {
        {&turnedText, {64, 110}, true},  {&turnedText, {63, 60}, false}, {&turnedText, {101, 60}, false},
        {&box, {50, 40}, false},         {&box, {4, 40}, true},           {&box, {5, 40}, false},
        {&box, {100, 80}, true},         {&box, {101, 80}, false},        {&flat, {50, 14}, true},
        {&flat, {50, 15}, false},        {&flat, {101, 20}, false},       {&steep, {11, 50}, true},
        {&steep, {-1, 50}, true},        {&steep, {12, 50}, false},       {&bar, {30, 15}, true},
        {&bar, {31, 15}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hitsFigure(*c.figure, doc, c.p), c.hit) << figureKindName(c.figure->kind) << " at " << c.p.x
                                                            << "," << c.p.y;
}

TEST(Geometry, BarcodeBoxCountsTheDigitsOutsideTheBars) {
    LabelDocument doc;
    BarcodeRecord b;
    b.x = 10, b.y = 20, b.height = 50, b.narrow = 2, b.totalLength = 100;
    const struct { int type, readable, rotation; DotRect box; } cases[] = {
        {8, 2, 0, {10, 20, 128, 70}},   // EAN 13: 3 x 2 + 12 more
        {23, 2, 0, {10, 20, 146, 70}},  // UPC-E: twice that
        {8, 0, 0, {10, 20, 110, 70}},   // no digits: the bars alone
        {3, 2, 2, {-90, -30, 10, 20}},  // Code 128, turned half round
    };
    for (const auto& c : cases) {
        b.type = c.type, b.humanReadable = c.readable, b.rotation = c.rotation;
        EXPECT_EQ(figureBox(figureOf(b.encode(), FigureKind::Barcode), doc), c.box) << "type " << c.type;
    }
    EXPECT_FALSE(figureBox(figureOf(Record{}, FigureKind::Font), doc));
}

TEST(Geometry, SnapToGrid) {
    const struct { int value, step, snapped; } cases[] = {
        {51, 10, 50}, {15, 10, 20}, {14, 10, 10}, {-15, 10, -20}, {-14, 10, -10}, {7, 0, 7}};
    for (const auto& c : cases) EXPECT_EQ(snapToGrid(c.value, c.step), c.snapped) << c.value << " / " << c.step;
}

TEST(Geometry, AlignSelection) {
    LabelDocument doc;
    auto add = [&](const Record& r, FigureKind kind) -> Figure& {
        Figure& f = doc.figures.appendFigure(r, kind);
        f.flags = kFlagSelected;
        return f;
    };
    TextRecord text;
    text.x = 23, text.y = 37, text.font = 2, text.vMul = 1;
    Figure& plain = add(text.encode(), FigureKind::Text);
    text.rotation = 1, text.x = 37, text.y = 23;
    Figure& turned = add(text.encode(), FigureKind::Text);
    BarcodeRecord barcode;
    barcode.x = 33, barcode.y = 47, barcode.height = 4;
    Figure& bar = add(barcode.encode(), FigureKind::Barcode);
    Figure& dot = add(LineRecord{41, 42, 43, 44, 2, 0}.encode(), FigureKind::DiagonalLine);
    Figure& upright = add(LineRecord{41, 12, 43, 88, 2, 0}.encode(), FigureKind::DiagonalLine);
    Figure& frame = add(BoxRecord{12, 18, 57, 60, 2}.encode(), FigureKind::Box);
    Figure& loose = doc.figures.appendFigure(RectangleRecord{13, 13, 3, 3, 0}.encode(), FigureKind::Rectangle);

    alignSelection(doc, 10, true);
    // The baseline 37 + 14 = 51 lands on 50.
    const TextRecord p = TextRecord::decode(plain.record), t = TextRecord::decode(turned.record);
    EXPECT_EQ((std::array{p.x, p.y, t.x, t.y}), (std::array{20, 36, 34, 20}));  // turned: 37 - 14 = 23 -> 20, + 14
    const BarcodeRecord b = BarcodeRecord::decode(bar.record);
    EXPECT_EQ(std::tuple(b.x, b.y, b.height), std::tuple(30, 50, 30));  // the lowest height of 24, on the grid
    const LineRecord d = LineRecord::decode(dot.record), u = LineRecord::decode(upright.record);
    EXPECT_EQ((DotRect{d.x1, d.y1, d.x2, d.y2}), (DotRect{40, 40, 50, 50}));
    EXPECT_EQ((DotRect{u.x1, u.y1, u.x2, u.y2}), (DotRect{40, 10, 40, 90}));  // stays upright
    const BoxRecord f = BoxRecord::decode(frame.record);
    EXPECT_EQ((DotRect{f.x1, f.y1, f.x2, f.y2}), (DotRect{10, 20, 60, 60}));
    EXPECT_EQ(RectangleRecord::decode(loose.record).x, 13);  // not selected

    frame.record = BoxRecord{12, 18, 57, 61, 2}.encode();
    alignSelection(doc, 10, false);
    const BoxRecord moved = BoxRecord::decode(frame.record);
    EXPECT_EQ((DotRect{moved.x1, moved.y1, moved.x2, moved.y2}), (DotRect{10, 20, 55, 63}));
}

TEST(Geometry, NewFigureFromADrag) {
    RectangleRecord r;
    placeNewRectangle(r, {50, 60}, {50, 60});
    EXPECT_EQ((DotRect{r.x, r.y, r.width, r.height}), (DotRect{50, 60, 4, 4}));
    placeNewRectangle(r, {90, 10}, {20, 70});
    EXPECT_EQ((DotRect{r.x, r.y, r.width, r.height}), (DotRect{20, 10, 70, 60}));

    BoxRecord box;
    box.thickness = 4;
    placeNewBox(box, {30, 40}, {30, 40});
    EXPECT_EQ((DotRect{box.x1, box.y1, box.x2, box.y2}), (DotRect{30, 40, 42, 52}));

    LineRecord line;
    placeNewLine(line, {30, 40}, {30, 40});  // a click: from 16 right and below to the click
    EXPECT_EQ((DotRect{line.x1, line.y1, line.x2, line.y2}), (DotRect{46, 56, 30, 40}));
    placeNewLine(line, {30, 40}, {35, 30});
    EXPECT_EQ((DotRect{line.x1, line.y1, line.x2, line.y2}), (DotRect{30, 46, 46, 30}));
    placeNewLine(line, {30, 40}, {33, 90});  // long enough on one axis: kept
    EXPECT_EQ((DotRect{line.x1, line.y1, line.x2, line.y2}), (DotRect{30, 40, 33, 90}));
}

// The rules the mouse tests do not reach: each case applies one finished resize.
TEST(Geometry, ResizeRules) {
    auto barcodeOfHeight = [](int height) {
        BarcodeRecord b;
        b.height = height;
        return b.encode();
    };
    const struct { FigureKind kind; Record before; int handle; DotPoint first, second; Record after; } cases[] = {
        {FigureKind::Rectangle, RectangleRecord{10, 10, 40, 20, 0}.encode(), 2, {10, 10}, {10, 30},
         RectangleRecord{10, 10, 2, 20, 0}.encode()},  // zero width
        {FigureKind::DiagonalLine, LineRecord{10, 10, 90, 50, 2, 0}.encode(), 1, {10, 10}, {17, 3},
         LineRecord{10, 10, 26, 3, 2, 0}.encode()},  // nearly a point, end after start
        {FigureKind::Barcode, barcodeOfHeight(80), 5, {0, 40}, {100, 50}, barcodeOfHeight(24)},
        {FigureKind::Barcode, barcodeOfHeight(80), 6, {0, 0}, {70, 100}, barcodeOfHeight(70)},
        {FigureKind::Box, BoxRecord{10, 10, 50, 50, 3}.encode(), 3, {60, 50}, {61, 5},
         BoxRecord{60, 5, 62, 50, 3}.encode()},
    };
    for (const auto& c : cases) {
        Figure f = figureOf(c.before, c.kind);
        applyResize(f, c.handle, c.first, c.second);
        EXPECT_EQ(f.record, c.after) << figureKindName(c.kind) << " handle " << c.handle;
    }
}

// The reference point is away from the corner, so every test also checks that the editor
// turns bitmap points into figure points.
class MouseEditorTest : public ::testing::Test {
protected:
    MouseEditorTest() {
        doc.setup.width = 400, doc.setup.length = 600;
        doc.setup.leftMargin = 8, doc.setup.topMargin = 16;
    }
    DotPoint at(int x, int y) const { return {x + 8, y + 16}; }
    Figure& rect(int x, int y, int w, int h) { return test::addRectangle(doc, x, y, w, h, 0); }
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
