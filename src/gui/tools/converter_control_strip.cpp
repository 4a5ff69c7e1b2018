#include "tools/converter_control_strip.h"

#include <QGroupBox>
#include <QMouseEvent>

#include <algorithm>

namespace tavrin {

std::array<int, 4> controlGroupWidths(int clientWidth) {
    const int q = std::max(clientWidth, 0) / 4;
    const int first = q * 8 / 8, second = q * 7 / 8, third = q * 9 / 8;
    return {first, second, third, std::max(clientWidth - first - second - third, 0)};
}

int clampDivider(int position, int width) { return std::clamp(position, width / 4, width * 3 / 4); }

ConverterControlStrip::ConverterControlStrip(QWidget* parent) : QWidget(parent) {
    for (auto& group : groups_) group = new QGroupBox(this);
}

QSize ConverterControlStrip::sizeHint() const {
    int height = 0;
    for (const QGroupBox* group : groups_) height = std::max(height, group->sizeHint().height());
    return {740, height};
}

QSize ConverterControlStrip::minimumSizeHint() const { return {0, sizeHint().height()}; }

void ConverterControlStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const std::array<int, 4> widths = controlGroupWidths(width());
    int x = 0;
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        groups_[i]->setGeometry(x, 0, widths[i], height());
        x += widths[i];
    }
}

ResetStrip::ResetStrip(const char* objectName, QWidget* parent) : QFrame(parent) {
    setObjectName(QString::fromLatin1(objectName));
    setFixedHeight(kHeight);
    // Raised like a bar, so that it can be found without a caption.
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Double-click to reset"));
}

void ResetStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked();
}

}  // namespace tavrin
