#pragma once
// A printer reached as a plain device file rather than a serial line: a USB printer
// (/dev/usb/lp0) or a parallel one (/dev/lp0). There is no line to set up; bytes go
// straight to the device, and a printer that talks back can be read from the same file.
#include "link/fd_transport.h"

namespace tavrin {

class PrinterDeviceTransport : public FdTransport {
public:
    ~PrinterDeviceTransport() override { close(); }
    // Fails when the device cannot be opened or another program holds it. A device that
    // can only be written is opened for writing; its reads then give nothing.
    bool open(const std::string& device, const SerialSettings& settings) override;
};

}  // namespace tavrin
