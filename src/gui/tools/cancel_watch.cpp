#include "tools/cancel_watch.h"

#include "app/qt_link_ui.h"
#include "link/printer_link.h"

namespace tavrin {

CancelWatch::CancelWatch(PrinterLink& link, QtLinkUi& ui) : link_(link), ui_(ui) { ui_.clearCancelRequest(); }

bool CancelWatch::cancelled() const { return link_.stoppedFlag || ui_.cancelRequested(); }

}  // namespace tavrin
