#pragma once
// A printer named by its device (/dev/ttyS0, /dev/usb/lp0, tcp://HOST:PORT, cups://QUEUE),
// reached through the device layer with the link over it and no windows: how every command
// of the command line that talks to a printer opens it, so that all of them take the same
// devices and say the same things when one fails.
#include <chrono>
#include <string>

#include "link/link_ui.h"
#include "link/printer_link.h"
#include "link/transport_factory.h"

namespace tavrin {

class DeviceLink {
public:
    // A zero `silenceLimit` keeps the link's three seconds; any other also bounds each
    // single read and write of the transport.
    explicit DeviceLink(const std::string& device, const LinkSettings& settings = {},
                        std::chrono::milliseconds silenceLimit = std::chrono::milliseconds(0));
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // What went wrong, for the user: the first error the link reported, else the link's
    // failure after a silent or vanished printer; empty when nothing did.
    std::string problem() const;

    DeviceTransport transport;
    QuietLinkUi ui;
    PrinterLink link{transport, ui};
};

}  // namespace tavrin
