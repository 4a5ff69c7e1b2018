#pragma once
// Which channel a port's device names, and the transport that reaches it:
//   tcp://HOST:PORT   a network printer's raw port
//   cups://QUEUE      a queue on a print server (print jobs only, no answers)
//   /dev/usb/lp0      a printer device that is not a serial line (USB, parallel)
//   anything else     a serial line
// Every printer exchange goes through DeviceTransport, which picks the channel each time
// the port is opened, so a port's device may be changed between exchanges.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "link/serial_transport.h"

namespace tavrin {

enum class DeviceKind { SerialLine, PrinterDevice, Network, PrintQueue };

// Decided from the name, and for a path from what the file is (a named pipe or a plain
// file is written as a printer device), without opening anything.
DeviceKind deviceKind(std::string_view device);

// Makes the transport for serial lines; the editor uses its own, the command line the
// POSIX one.
using SerialTransportFactory = std::function<std::unique_ptr<SerialTransport>(std::chrono::milliseconds ioTimeout)>;
std::unique_ptr<SerialTransport> makePosixSerialTransport(std::chrono::milliseconds ioTimeout);

// The transport for a kind of device, its reads and writes giving up after `ioTimeout`.
std::unique_ptr<SerialTransport> makeTransport(DeviceKind kind, std::chrono::milliseconds ioTimeout,
                                               const SerialTransportFactory& serial = makePosixSerialTransport);

class DeviceTransport : public SerialTransport {
public:
    explicit DeviceTransport(SerialTransportFactory serial = makePosixSerialTransport);
    ~DeviceTransport() override;
    DeviceTransport(const DeviceTransport&) = delete;
    DeviceTransport& operator=(const DeviceTransport&) = delete;

    bool open(const std::string& device, const SerialSettings& settings) override;
    bool isOpen() const override { return current_ && current_->isOpen(); }
    void close() override;
    std::uint32_t bytesWaiting() override;
    bool readByte(std::uint8_t& byte) override;
    bool writeByte(std::uint8_t byte) override;
    void flush() override;
    Readiness waitUntilReadable(std::chrono::milliseconds limit) override;
    std::optional<Readiness> writeByteNow(std::uint8_t byte) override;
    Readiness waitUntilWritable(std::chrono::milliseconds limit) override;
    bool gone() const override { return current_ && current_->gone(); }
    std::string refuseReply() override;
    std::string closeError() const override;
    std::string openFailure() const override { return current_ ? current_->openFailure() : std::string(); }

    // For the transports made from now on.
    void setIoTimeout(std::chrono::milliseconds timeout) { ioTimeout_ = timeout; }
    // The kind of the device opened last.
    DeviceKind kind() const { return kind_; }
    // The transport opened last, if any (for tests and diagnostics).
    SerialTransport* current() const { return current_.get(); }

private:
    SerialTransportFactory serial_;
    std::unique_ptr<SerialTransport> current_;
    DeviceKind kind_ = DeviceKind::SerialLine;
    std::chrono::milliseconds ioTimeout_{3000};
};

}  // namespace tavrin
