#pragma once
// Mouse editing on the label bitmap: drawing a new figure with the current tool, selecting
// by click and by rubber band, moving the selection, resizing one figure by a handle and
// the right-click edit. The editor changes the document and says what the view must do;
// it never draws: the view draws the overlay and asks the session to redraw.
#include <optional>

#include "document/label_document.h"
#include "editing/geometry.h"

namespace tavrin {

// The toolbar's tools; the numbers of the drawing tools are the figure kinds they draw.
enum class Tool : int { Text = 0, Barcode = 1, Rectangle = 2, DiagonalLine = 3, Box = 4, Picture = 5, Select = 7 };

enum class MouseButton { Left, Right };

// What the view draws over the label image while a drag runs, in label bitmap coordinates.
struct DragOverlay {
    enum class Kind { None, RubberRectangle, RubberLine, Band, ResizeRectangle, ResizeLine };
    Kind kind = Kind::None;
    DotPoint from, to;  // rectangle corners or line end points
};

struct MouseResult {
    bool redraw = false;        // figures changed: the view runs the full redraw
    bool marksChanged = false;  // selection or mark positions changed: refresh the marks
    bool overlayChanged = false;
    bool changed = false;       // the document changed (move, resize): record an undo step
    std::optional<FigureKind> openNewDialog;  // mouse up after drawing: this kind's dialog, new mode
    DotPoint press, release;                  // ... with these points, figure coordinates
    Figure* editFigure = nullptr;             // right click: this figure's dialog, edit mode
};

class MouseEditor {
public:
    explicit MouseEditor(LabelDocument& document);  // the document outlives the editor

    Tool tool() const { return tool_; }
    void setTool(Tool tool) { tool_ = tool; }
    bool cancelFlag() const { return cancel_; }
    // Esc or the right button: drops a resize at its release; a new move or resize clears it.
    void setCancelFlag() { cancel_ = true; }
    bool dragging() const { return drag_ != Drag::None; }
    // Forgets any drag, e.g. before the document is replaced by undo or a new label.
    void abandonDrag();

    MouseResult mouseDown(DotPoint bitmapPoint, MouseButton button, bool shift);
    MouseResult mouseMove(DotPoint bitmapPoint);
    MouseResult mouseUp(DotPoint bitmapPoint, bool shift);
    // Arrow keys: moves the selection by dx, dy dots; false when nothing is selected.
    bool nudgeSelection(int dx, int dy);

    const DragOverlay& overlay() const { return overlay_; }
    DotPoint toFigure(DotPoint bitmapPoint) const;
    DotPoint toBitmap(DotPoint figurePoint) const;

private:
    enum class Drag { None, Drawing, Moving, BandSelecting, Resizing };

    // Selects by a click at a figure point; true when a figure was hit.
    bool clickSelect(DotPoint figurePoint, bool shift);
    void setOverlay(DragOverlay::Kind kind, DotPoint fromFigure, DotPoint toFigure);
    void endResize(MouseResult& result);
    void endBand(DotPoint release);

    LabelDocument& document_;
    Tool tool_ = Tool::Select;
    bool cancel_ = false;
    Drag drag_ = Drag::None;
    DotPoint press_, last_;  // figure coordinates
    bool moved_ = false;     // a move changed positions since the press
    // Resizing: the figure, its handle and the working rectangle (a line: its end points).
    Figure* resized_ = nullptr;
    int handle_ = 0;
    DotPoint first_, second_;
    bool reselectAfterResize_ = false;
    DragOverlay overlay_;
};

}  // namespace tavrin
