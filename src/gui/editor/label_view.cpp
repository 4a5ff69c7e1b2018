#include "editor/label_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

const QColor kTeal(0, 128, 128);

MouseButton buttonOf(const QMouseEvent* event) {
    return event->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left;
}

bool shiftHeld(const QMouseEvent* event) { return (event->modifiers() & Qt::ShiftModifier) != 0; }

}  // namespace

LabelImage::LabelImage(EditorSession& session, LabelView& view)
    : QWidget(nullptr), session_(session), view_(view) {
    setObjectName("LabelImage");
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

DotPoint LabelImage::toDots(QPointF position) const {
    const double zoom = view_.zoom();
    return {static_cast<int>(std::floor(position.x() / zoom)), static_cast<int>(std::floor(position.y() / zoom))};
}

void LabelImage::paintEvent(QPaintEvent* event) {
    const ScreenImage& visible = session_.canvas().visible;
    QPainter painter(this);
    if (visible.width() <= 0 || visible.height() <= 0) {
        painter.fillRect(event->rect(), Qt::white);
        return;
    }
    // The canvas keeps 0xRRGGBB pixels, which is Qt's RGB32 layout: shown without a copy.
    const QImage image(reinterpret_cast<const uchar*>(visible.pixels().data()), visible.width(), visible.height(),
                       visible.width() * 4, QImage::Format_RGB32);
    const int zoom = view_.zoom();
    // Only the dots the exposed area covers are scaled, so a deep zoom stays cheap.
    const QRect exposed = event->rect();
    const QRect dots(exposed.left() / zoom, exposed.top() / zoom, exposed.width() / zoom + 2,
                     exposed.height() / zoom + 2);
    const QRect source = dots.intersected(image.rect());
    painter.drawImage(QRect(source.topLeft() * zoom, source.size() * zoom), image, source);

    const DragOverlay& overlay = session_.mouse().overlay();
    if (overlay.kind == DragOverlay::Kind::None) return;
    painter.scale(zoom, zoom);
    // The inverting pens of the mouse editor: drawn over the image, gone with the next paint.
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    const QPointF from(overlay.from.x + 0.5, overlay.from.y + 0.5);
    const QPointF to(overlay.to.x + 0.5, overlay.to.y + 0.5);
    switch (overlay.kind) {
        case DragOverlay::Kind::Band: {
            QPen pen(Qt::black, 1, Qt::DotLine);
            pen.setCosmetic(true);
            painter.setPen(pen);
            painter.drawRect(QRectF(from, to).normalized());
            break;
        }
        case DragOverlay::Kind::RubberRectangle:
        case DragOverlay::Kind::ResizeRectangle:
            painter.setPen(QPen(Qt::red, 3));
            painter.drawRect(QRectF(from, to).normalized());
            break;
        case DragOverlay::Kind::RubberLine:
        case DragOverlay::Kind::ResizeLine:
            painter.setPen(QPen(Qt::red, 3));
            painter.drawLine(from, to);
            break;
        case DragOverlay::Kind::None: break;
    }
}

void LabelImage::mousePressEvent(QMouseEvent* event) {
    const DotPoint dots = toDots(event->position());
    view_.handleResult(session_.mouse().mouseDown(dots, buttonOf(event), shiftHeld(event)));
    event->accept();
}

void LabelImage::mouseMoveEvent(QMouseEvent* event) {
    const DotPoint dots = toDots(event->position());
    if (session_.mouse().dragging()) view_.handleResult(session_.mouse().mouseMove(dots));
    emit view_.statusAt(dots.x, dots.y);
    event->accept();
}

void LabelImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const DotPoint dots = toDots(event->position());
    view_.handleResult(session_.mouse().mouseUp(dots, shiftHeld(event)));
    emit view_.mouseReleased();
    event->accept();
}

void LabelImage::leaveEvent(QEvent*) { emit view_.statusCleared(); }

LabelView::LabelView(EditorSession& session, QWidget* parent) : QScrollArea(parent), session_(session) {
    setObjectName("LabelView");
    setWidgetResizable(false);
    // Keys belong to the main window (Esc, the arrows move the selection), not to scrolling.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setMouseTracking(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, kTeal);
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    area_ = new QWidget;
    area_->setObjectName("LabelArea");
    area_->setAutoFillBackground(false);
    image_ = new LabelImage(session_, *this);
    image_->setParent(area_);
    setWidget(area_);
    area_->setMouseTracking(true);
    layoutImage();
}

void LabelView::layoutImage() {
    const ScreenImage& visible = session_.canvas().visible;
    const QSize size(std::max(visible.width(), 1) * zoom_, std::max(visible.height(), 1) * zoom_);
    image_->setGeometry(QRect(origin_, size));
    area_->resize(origin_.x() + size.width() + 4, origin_.y() + size.height() + 4);
}

void LabelView::setZoom(int zoom) {
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == zoom_) return;
    const QPoint centre = viewport()->rect().center();
    const QPointF dot = QPointF(horizontalScrollBar()->value() + centre.x() - origin_.x(),
                                verticalScrollBar()->value() + centre.y() - origin_.y()) /
                        zoom_;
    zoom_ = zoom;
    layoutImage();
    horizontalScrollBar()->setValue(static_cast<int>(dot.x() * zoom_) + origin_.x() - centre.x());
    verticalScrollBar()->setValue(static_cast<int>(dot.y() * zoom_) + origin_.y() - centre.y());
    image_->update();
}

void LabelView::setLabelOrigin(QPoint origin) {
    if (origin == origin_) return;
    origin_ = origin;
    layoutImage();
}

void LabelView::labelResized() {
    layoutImage();
    image_->update();
}

void LabelView::imageChanged() { image_->update(); }

void LabelView::scrollToOrigin() {
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void LabelView::handleResult(const MouseResult& result) {
    if (result.redraw) {
        session_.redraw();
    } else if (result.marksChanged) {
        session_.refreshMarks();
    }
    if (result.redraw || result.marksChanged || result.overlayChanged) image_->update();
    if (result.changed) emit documentChanged();
    if (result.openNewDialog) emit newFigureRequested(*result.openNewDialog, result.press, result.release);
    if (result.editFigure != nullptr) emit editFigureRequested(result.editFigure);
}

void LabelView::wheelEvent(QWheelEvent* event) {
    if ((event->modifiers() & Qt::ControlModifier) != 0) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0) emit zoomRequested(steps);
        event->accept();
        return;
    }
    QScrollArea::wheelEvent(event);
}

void LabelView::mouseMoveEvent(QMouseEvent* event) {
    emit statusCleared();
    QScrollArea::mouseMoveEvent(event);
}

void LabelView::mousePressEvent(QMouseEvent* event) {
    emit backgroundClicked();
    event->accept();
}

}  // namespace tavrin
