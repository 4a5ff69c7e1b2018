#pragma once
// The geometry of mouse editing: the box of each figure, hit tests, the resize handles,
// snapping to the grid and the shape a drawing drag gives a new figure. All in figure
// coordinates (relative to the reference point) unless a name says otherwise.
#include <optional>

#include "document/label_document.h"

namespace tavrin {

struct DotPoint {
    int x = 0, y = 0;
    bool operator==(const DotPoint&) const = default;
};

// Inclusive on every side, left <= right and top <= bottom.
struct DotRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool contains(DotPoint p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
    bool operator==(const DotRect&) const = default;
};

// The corners of a drag ordered into a rectangle.
DotRect orderedRect(DotPoint a, DotPoint b);

// The figure box used by hit tests, rubber bands and marks; none for Font entries.
std::optional<DotRect> figureBox(const Figure& figure, const LabelDocument& document);
bool hitsFigure(const Figure& figure, const LabelDocument& document, DotPoint figurePoint);
// The first figure under the point in list order (the bottom-most one), or none.
Figure* figureAt(LabelDocument& document, DotPoint figurePoint);
// Whether a rubber band takes the figure: a corner of its box (a line: an end point) inside.
bool bandTakes(const Figure& figure, const LabelDocument& document, const DotRect& band);

// A resize handle under the mouse: 1..4 corners (a line: 1 start, 4 end), 5..8 the
// barcode edge the bar height ends on (bottom, left, top, right by rotation 0..3).
struct HandleHit {
    Figure* figure = nullptr;
    int handle = 0;
    // The working rectangle x0, y0, x1, y1 the resize starts from (a line: its end points).
    DotPoint first, second;
};
// The first figure in list order, selected or not, with a handle within 4 dots of the point.
std::optional<HandleHit> findHandle(LabelDocument& document, DotPoint figurePoint);
// Writes a finished resize into the figure by the rules of its kind.
void applyResize(Figure& figure, int handle, DotPoint first, DotPoint second);

// The nearest multiple of step, halves away from zero (a step below 1 leaves the value).
int snapToGrid(int value, int step);
// Snaps every selected figure to the grid, sizes too when asked.
void alignSelection(LabelDocument& document, int step, bool adjustSizes);
// The distance from a text's start point to its baseline, before the vertical multiplier.
int textBaselineOffset(const LabelDocument& document, int font);

// New-mode geometry of a drawing drag (press, release in figure coordinates), written into
// the kind's template.
void placeNewRectangle(RectangleRecord& record, DotPoint press, DotPoint release);
void placeNewBox(BoxRecord& record, DotPoint press, DotPoint release);
void placeNewLine(LineRecord& record, DotPoint press, DotPoint release);

}  // namespace tavrin
