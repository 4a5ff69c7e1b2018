#pragma once
// The label on screen: the canvas's visible image at a whole number of screen pixels per
// printer dot, on the teal background of a scroll area. Mouse events become dots here and
// go to the core's mouse editor; the view only shows what the core answers.
#include <QScrollArea>
#include <QWidget>

#include "editing/editor_session.h"

namespace tavrin {

class LabelView;

// The label itself: paints the visible image and the drag overlay, and turns the mouse into
// dots for the mouse editor.
class LabelImage : public QWidget {
    Q_OBJECT
public:
    LabelImage(EditorSession& session, LabelView& view);

    // Widget pixels to label dots at the current zoom (floor, so every pixel of a dot maps
    // to that dot).
    DotPoint toDots(QPointF position) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    EditorSession& session_;
    LabelView& view_;
};

class LabelView : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 8;

    explicit LabelView(EditorSession& session, QWidget* parent = nullptr);

    int zoom() const { return zoom_; }
    // Keeps the dot under the view's centre where it was.
    void setZoom(int zoom);
    // Where the label sits in the scrolled area: (4, 4), or (72, 4) beside a toolbar that
    // would otherwise cover it.
    void setLabelOrigin(QPoint origin);
    QPoint labelOrigin() const { return origin_; }
    // The label's size or the image changed: lay out again and repaint.
    void labelResized();
    void imageChanged();
    void scrollToOrigin();
    LabelImage* image() const { return image_; }

    // What the mouse editor answered, for the main window to act on.
    void handleResult(const MouseResult& result);

signals:
    void statusAt(int x, int y);  // label bitmap dots under the mouse
    void statusCleared();
    void newFigureRequested(tavrin::FigureKind kind, tavrin::DotPoint press, tavrin::DotPoint release);
    void editFigureRequested(const tavrin::Figure* figure);
    void documentChanged();       // a move or resize ended: one undo step
    void backgroundClicked();     // outside the label: the selection tool comes back
    void zoomRequested(int steps);
    void mouseReleased();         // every drag ends with the selection tool

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void layoutImage();

    EditorSession& session_;
    QWidget* area_ = nullptr;
    LabelImage* image_ = nullptr;
    QPoint origin_{4, 4};
    int zoom_ = 1;
};

}  // namespace tavrin
