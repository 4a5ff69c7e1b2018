#include "tools/converter_picture_area.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace tavrin {

ConverterPictureArea::ConverterPictureArea(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

void ConverterPictureArea::showColour(const SourcePicture* picture) {
    colour_ = picture;
    blackAndWhite_ = nullptr;
    setPictureSize(picture ? QSize(picture->width, picture->height) : QSize());
}

void ConverterPictureArea::showBlackAndWhite(const Bitmap* image) {
    blackAndWhite_ = image;
    colour_ = nullptr;
    setPictureSize(image ? QSize(image->width(), image->height()) : QSize());
}

void ConverterPictureArea::setPictureSize(QSize size) {
    if (size != pictureSize_) {
        pictureSize_ = size;
        // The scroll area around grows the area to its viewport and scrolls past this.
        setMinimumSize(size.isValid() ? size : QSize(0, 0));
    }
    update();
}

bool ConverterPictureArea::insidePicture(QPoint at) const {
    return at.x() >= 0 && at.y() >= 0 && at.x() < pictureSize_.width() && at.y() < pictureSize_.height();
}

void ConverterPictureArea::setFrame(std::optional<QRect> frame) {
    if (frame == frame_) return;
    frame_ = frame;
    update();
}

void ConverterPictureArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, kBackground);
    const QRect part = exposed & QRect(QPoint(0, 0), pictureSize_);
    if (!part.isEmpty() && colour_ != nullptr) {
        QImage image(part.size(), QImage::Format_RGB32);
        for (int y = 0; y < part.height(); ++y) {
            const std::uint32_t* from = colour_->row(part.y() + y) + part.x();
            auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
            // The picture's fourth byte is not alpha: Qt wants it full.
            for (int x = 0; x < part.width(); ++x) to[x] = from[x] | 0xFF000000u;
        }
        painter.drawImage(part.topLeft(), image);
    } else if (!part.isEmpty() && blackAndWhite_ != nullptr) {
        // The bitmap's rows are whole 32-bit words, most significant bit first, 0 for ink,
        // which is Qt's own one-bit layout with a black-then-white palette.
        QImage whole(blackAndWhite_->bits().data(), blackAndWhite_->width(), blackAndWhite_->height(),
                     static_cast<qsizetype>(blackAndWhite_->stride()), QImage::Format_Mono);
        whole.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        painter.drawImage(part.topLeft(), whole.copy(part));
    }
    if (frame_) {
        // Inverted dots stay visible over any colour.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QPen pen(Qt::white, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame_->normalized());
    }
}

void ConverterPictureArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit pressed(event->position().toPoint());
}

void ConverterPictureArea::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) emit moved(event->position().toPoint());
}

void ConverterPictureArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit released(event->position().toPoint());
}

void ConverterPictureArea::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked();
}

}  // namespace tavrin
