#pragma once
// The converter's strip of controls: four groups side by side whose widths follow the
// window's width, and the thin strips across the top of the slider groups that reset their
// sliders on a double-click.
#include <QFrame>
#include <QWidget>

#include <array>

class QGroupBox;

namespace tavrin {

// Widths of the four groups for a client width: with q = width / 4 the first takes q, the
// second 7/8 q, the third 9/8 q and the fourth the rest.
std::array<int, 4> controlGroupWidths(int clientWidth);

// Where the divider between the picture areas may stand: between a quarter and three
// quarters of the width.
int clampDivider(int position, int width);

class ConverterControlStrip : public QWidget {
    Q_OBJECT
public:
    explicit ConverterControlStrip(QWidget* parent = nullptr);
    QGroupBox* group(int index) const { return groups_[static_cast<std::size_t>(index)]; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::array<QGroupBox*, 4> groups_{};
};

// A strip without caption; a double-click on it asks for its group's sliders to be reset.
class ResetStrip : public QFrame {
    Q_OBJECT
public:
    static constexpr int kHeight = 15;
    ResetStrip(const char* objectName, QWidget* parent = nullptr);

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace tavrin
