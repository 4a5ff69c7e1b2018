#include "tools/cancel_watch.h"

#include "app/qt_link_ui.h"
#include "link/printer_link.h"

namespace tavrin {

CancelWatch::CancelWatch(PrinterLink& link, QtLinkUi& ui) : link_(link), ui_(ui) {
    ui_.clearCancelRequest();
    // The link lets events run between bytes, so the timer is looked at during the exchange.
    QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
    timer_.start(50);
}

CancelWatch::~CancelWatch() { timer_.stop(); }

void CancelWatch::look() {
    if (!ui_.cancelRequested()) return;
    ui_.clearCancelRequest();
    cancelled_ = true;
    link_.closePort();
}

}  // namespace tavrin
