#include "app/hand_off.h"

#include <QApplication>

#include "app/main_window.h"
#include "app/single_instance.h"

namespace tavrin {

namespace {
constexpr int kRetryMs = 100;
}

HandOffQueue::HandOffQueue(std::function<void()> raise, std::function<void(const QString&)> open, QObject* parent)
    : QObject(parent), raise_(std::move(raise)), open_(std::move(open)) {
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &HandOffQueue::openNext);
}

void HandOffQueue::add(const QString& fileName) {
    raise_();
    if (fileName.isEmpty()) return;
    files_.append(fileName);
    // Never from inside the caller's stack: a question asked here would nest in it.
    if (!retry_.isActive()) retry_.start(0);
}

bool HandOffQueue::editorBusy() {
    return QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr ||
           QApplication::mouseButtons() != Qt::NoButton;
}

void HandOffQueue::openNext() {
    if (files_.isEmpty() || opening_) return;
    if (editorBusy()) {
        retry_.start(kRetryMs);
        return;
    }
    opening_ = true;
    const QString fileName = files_.takeFirst();
    open_(fileName);
    opening_ = false;
    if (!files_.isEmpty()) retry_.start(0);
}

HandOffQueue* connectHandOff(SingleInstance& instance, TZRedit& window) {
    auto* queue = new HandOffQueue(
        [&window] {
            // Un-minimised, but a maximised window stays maximised.
            window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
            window.show();
            window.raise();
            window.activateWindow();
        },
        [&window](const QString& fileName) { window.openHandedOverFile(fileName); }, &window);
    QObject::connect(&instance, &SingleInstance::raiseRequested, queue, &HandOffQueue::add);
    return queue;
}

}  // namespace tavrin
