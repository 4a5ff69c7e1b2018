#include "link/transport_factory.h"

#include <sys/stat.h>

#include <cctype>

#include "link/posix_serial_transport.h"
#include "link/print_queue_transport.h"
#include "link/printer_device_transport.h"
#include "link/tcp_transport.h"

namespace tavrin {

namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

}  // namespace

DeviceKind deviceKind(std::string_view device) {
    if (startsWithIgnoringCase(device, "tcp://")) return DeviceKind::Network;
    if (startsWithIgnoringCase(device, "cups://")) return DeviceKind::PrintQueue;
    // The kernel's names for USB and parallel printers.
    if (device.starts_with("/dev/usb/") || device.starts_with("/dev/usblp") || device.starts_with("/dev/lp"))
        return DeviceKind::PrinterDevice;
    // Serial lines are character devices; a named pipe or a plain file can only be written
    // as a stream. What does not exist stays a serial line, whose open then fails as usual.
    struct stat info {};
    if (!device.empty() && ::stat(std::string(device).c_str(), &info) == 0 && !S_ISCHR(info.st_mode) &&
        !S_ISDIR(info.st_mode))
        return DeviceKind::PrinterDevice;
    return DeviceKind::SerialLine;
}

std::unique_ptr<SerialTransport> makePosixSerialTransport(std::chrono::milliseconds ioTimeout) {
    auto transport = std::make_unique<PosixSerialTransport>();
    transport->setIoTimeout(ioTimeout);
    return transport;
}

std::unique_ptr<SerialTransport> makeTransport(DeviceKind kind, std::chrono::milliseconds ioTimeout,
                                               const SerialTransportFactory& serial) {
    switch (kind) {
        case DeviceKind::Network: {
            auto transport = std::make_unique<TcpTransport>();
            transport->setIoTimeout(ioTimeout);
            return transport;
        }
        case DeviceKind::PrintQueue: {
            auto transport = std::make_unique<PrintQueueTransport>();
            transport->setIoTimeout(ioTimeout);
            return transport;
        }
        case DeviceKind::PrinterDevice: {
            auto transport = std::make_unique<PrinterDeviceTransport>();
            transport->setIoTimeout(ioTimeout);
            return transport;
        }
        case DeviceKind::SerialLine: break;
    }
    return serial ? serial(ioTimeout) : makePosixSerialTransport(ioTimeout);
}

DeviceTransport::DeviceTransport(SerialTransportFactory serial) : serial_(std::move(serial)) {}

DeviceTransport::~DeviceTransport() { close(); }

bool DeviceTransport::open(const std::string& device, const SerialSettings& settings) {
    close();
    kind_ = deviceKind(device);
    current_ = makeTransport(kind_, ioTimeout_, serial_);
    return current_->open(device, settings);
}

void DeviceTransport::close() {
    if (current_) current_->close();
}

std::uint32_t DeviceTransport::bytesWaiting() { return current_ ? current_->bytesWaiting() : kBytesWaitingUnknown; }

bool DeviceTransport::readByte(std::uint8_t& byte) { return current_ && current_->readByte(byte); }

bool DeviceTransport::writeByte(std::uint8_t byte) { return current_ && current_->writeByte(byte); }

void DeviceTransport::flush() {
    if (current_) current_->flush();
}

Readiness DeviceTransport::waitUntilReadable(std::chrono::milliseconds limit) {
    return current_ ? current_->waitUntilReadable(limit) : Readiness::Gone;
}

std::optional<Readiness> DeviceTransport::writeByteNow(std::uint8_t byte) {
    return current_ ? current_->writeByteNow(byte) : Readiness::Gone;
}

Readiness DeviceTransport::waitUntilWritable(std::chrono::milliseconds limit) {
    return current_ ? current_->waitUntilWritable(limit) : Readiness::Gone;
}

std::string DeviceTransport::refuseReply() { return current_ ? current_->refuseReply() : std::string(); }

std::string DeviceTransport::closeError() const { return current_ ? current_->closeError() : std::string(); }

}  // namespace tavrin
