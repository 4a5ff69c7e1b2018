#include "tools/barcode_check_marks.h"

#include <QEvent>
#include <QPainter>
#include <QStatusBar>

#include "app/main_window.h"
#include "app/message_box.h"
#include "editor/label_view.h"
#include "render/canvas.h"

namespace tavrin {
namespace {

constexpr const char* kCheckTitle = "Barcode check";

// FNV-1a over the print image: a redraw that changed nothing costs no second reading.
std::uint64_t fingerprint(const Bitmap& image) {
    std::uint64_t hash = 1469598103934665603ULL ^ static_cast<std::uint64_t>(image.width()) << 32 ^
                         static_cast<std::uint64_t>(image.height());
    for (const std::uint8_t byte : image.bits()) hash = (hash ^ byte) * 1099511628211ULL;
    return hash;
}

}  // namespace

BarcodeCheckMarks::BarcodeCheckMarks(TZRedit& window) : QWidget(window.labelView()->image()), window_(window) {
    setObjectName(QStringLiteral("BarcodeCheckMarks"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    parentWidget()->installEventFilter(this);
    setGeometry(parentWidget()->rect());
    show();
}

bool BarcodeCheckMarks::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void BarcodeCheckMarks::refresh() {
    // The canvas's back image is the print image: figures only, no marks.
    const LabelCanvas& canvas = window_.session().canvas();
    const std::uint64_t print = fingerprint(canvas.back);
    if (checkedOnce_ && print == checkedImage_) return;
    checkedOnce_ = true;
    checkedImage_ = print;
    results_ = checkBarcodes(window_.session().document(), window_.session().renderContext(), canvas.back);
    showStatus();
}

QString BarcodeCheckMarks::statusText() const {
    const std::string text = failedBarcodesText(results_);
    return QString::fromStdString(text);
}

void BarcodeCheckMarks::showStatus() {
    const QString text = statusText();
    // The status line appears only while a barcode fails, so the window keeps its size otherwise.
    if (text.isEmpty() && window_.findChild<QStatusBar*>() == nullptr) return;
    QStatusBar* bar = window_.statusBar();
    bar->setObjectName(QStringLiteral("BarcodeStatusLn"));
    if (text.isEmpty()) {
        bar->clearMessage();
        bar->hide();
    } else {
        bar->showMessage(text);
        bar->show();
    }
}

void BarcodeCheckMarks::paintEvent(QPaintEvent*) {
    refresh();
    if (!anyBarcodeFailed(results_)) return;
    QPainter painter(this);
    const int zoom = window_.labelView()->zoom();
    QPen pen(QColor(230, 0, 0));
    pen.setWidth(2);
    painter.setPen(pen);
    for (const BarcodeCheckResult& r : results_) {
        if (!isBarcodeFailure(r.status)) continue;
        const QRect area(r.x * zoom, r.y * zoom, r.width * zoom, r.height * zoom);
        // A little outside the symbol, so that even a flat one shows a frame.
        painter.drawRect(area.adjusted(-3, -3, 3, 3));
        // A short cross in the corner, so the frame is not taken for part of the label.
        const QPoint corner = area.topLeft() - QPoint(14, 14);
        painter.drawLine(corner, corner + QPoint(10, 10));
        painter.drawLine(corner + QPoint(10, 0), corner + QPoint(0, 10));
    }
}

bool confirmBarcodesBeforePrinting(TZRedit& window) {
    const LabelDocument& document = window.session().document();
    const Bitmap image = window.session().printImage();
    const std::vector<BarcodeCheckResult> results = checkBarcodes(document, window.session().renderContext(), image);
    if (!anyBarcodeFailed(results)) return true;
    const QString text = QString::fromStdString(failedBarcodesText(results)) + QStringLiteral(". Print anyway?");
    return messageBox(kCheckTitle, text, true) == 1;
}

}  // namespace tavrin
