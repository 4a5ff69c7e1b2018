#pragma once
// One of the converter's two picture areas: the image at one screen pixel per dot in the
// top-left corner of a coloured background, with the selection frame over it. Only the part
// on screen is turned into a Qt image when painting, so a photo of many megapixels costs no
// second copy of its pixels.
#include <QWidget>

#include <optional>

#include "graphics/source_picture.h"
#include "render/bitmap.h"

namespace tavrin {

class ConverterPictureArea : public QWidget {
    Q_OBJECT
public:
    static inline const QColor kBackground{57, 117, 117};

    explicit ConverterPictureArea(QWidget* parent = nullptr);

    // The image shown; the area keeps a pointer, so the caller keeps the image alive and
    // calls the setter again whenever it changes. Null shows nothing.
    void showColour(const SourcePicture* picture);
    void showBlackAndWhite(const Bitmap* image);
    QSize pictureSize() const { return pictureSize_; }
    bool insidePicture(QPoint at) const;

    // The dotted selection frame from one corner to the other, in picture pixels.
    void setFrame(std::optional<QRect> frame);
    std::optional<QRect> frame() const { return frame_; }

signals:
    void pressed(QPoint at);
    void moved(QPoint at);
    void released(QPoint at);
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void setPictureSize(QSize size);

    const SourcePicture* colour_ = nullptr;
    const Bitmap* blackAndWhite_ = nullptr;
    QSize pictureSize_;
    std::optional<QRect> frame_;
};

}  // namespace tavrin
