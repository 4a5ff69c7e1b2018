#pragma once
// Where dialogs and the program's small windows go over the main window. The arithmetic is
// kept in pure functions of rectangles so that it can be checked without a screen.
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace tavrin {

// The main window's client area in screen coordinates and its horizontal scroll position.
struct ClientArea {
    QRect global;
    int horizontalScroll = 0;
};

// The client of a main window: its central widget when it has one (a scroll area counts
// by its viewport, whose scroll bars are not client), else the window itself. A status
// line that comes and goes does not change it: while shown, its height is counted in.
ClientArea clientArea(const QWidget* mainWindow);

// Top-left corner of a dialog of the given outer size. x = -1 centres it horizontally when
// the client is at least 24 pixels wider, else 24 pixels from the client's left; it then
// sits a quarter of the spare height below the client's top, or 24 pixels below when the
// client is less than 24 pixels taller. Any other x places it at the client's origin plus
// the scroll offset plus (x, y).
QPoint dialogPosition(const ClientArea& client, QSize dialogSize, int x, int y);

// The size a window takes on the screen: its own size plus the window frame the main window
// has. A hidden window's own frame is not reliably known (Qt forgets it every other
// showing), and a size that changed with it would move the window from one showing to the
// next.
QSize outerSize(const QWidget* window, const QWidget* mainWindow);

// Puts a window's frame at the screen point. Qt takes a position as the frame's only while it
// knows the frame: a window already created whose frame it does not know yet (being shown
// for the first time) would have its client area there, so the main window's frame stands in.
void moveFrameTo(QWidget* window, QPoint framePosition, const QWidget* mainWindow);

// Moves a top-level dialog by dialogPosition; a dialog not yet sized gets its preferred size
// first. Without a main window nothing moves.
void placeDialog(QWidget* dialog, const QWidget* mainWindow, int x, int y);

}  // namespace tavrin
