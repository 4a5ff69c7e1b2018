#include "tools/cancel_watch.h"

#include "link/printer_link.h"

namespace tavrin {

CancelWatch::CancelWatch(PrinterLink& link) : link_(link) { link_.ui().clearCancelRequest(); }

bool CancelWatch::cancelled() const { return link_.stopped() || link_.ui().cancelRequested(); }

}  // namespace tavrin
