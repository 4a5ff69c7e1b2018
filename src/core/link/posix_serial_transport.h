#pragma once
// A serial port reached through a POSIX terminal device: a real port (/dev/ttyS0,
// /dev/ttyUSB0) or a pseudo-terminal such as the printer simulator's.
#include <chrono>

#include "link/serial_transport.h"

namespace tavrin {

// Before a port is closed: output still leaving at the printer's pace is waited for, but
// once nothing has left for `patience` (the printer holds the line), or when the last
// exchange failed, whatever is queued is discarded. Otherwise the driver's close would wait
// for it, up to half a minute on a serial port, and freeze the program.
void settleOutputBeforeClose(int fd, std::chrono::milliseconds patience, bool failed);

// The system's reason for errno `error` when opening `device`, with what the user can do
// about a device they may not open or one another program holds.
std::string openFailureText(int error, const std::string& device);

class PosixSerialTransport : public SerialTransport {
public:
    PosixSerialTransport() = default;
    ~PosixSerialTransport() override;
    PosixSerialTransport(const PosixSerialTransport&) = delete;
    PosixSerialTransport& operator=(const PosixSerialTransport&) = delete;

    // Fails when the device cannot be opened, is not a terminal, or is held exclusively
    // by someone else.
    bool open(const std::string& device, const SerialSettings& settings) override;
    std::string openFailure() const override { return openFailure_; }
    bool isOpen() const override { return fd_ >= 0; }
    void close() override;
    std::uint32_t bytesWaiting() override;
    bool readByte(std::uint8_t& byte) override;
    bool writeByte(std::uint8_t byte) override;
    void flush() override;
    Readiness waitUntilReadable(std::chrono::milliseconds limit) override;
    std::optional<Readiness> writeByteNow(std::uint8_t byte) override;
    Readiness waitUntilWritable(std::chrono::milliseconds limit) override;
    // A terminal hung up (the far end of a pseudo-terminal closed, a USB adapter pulled).
    bool gone() const override { return gone_; }

    // How long one read or write waits before it gives up.
    void setIoTimeout(std::chrono::milliseconds timeout) { ioTimeout_ = timeout; }

private:
    bool waitFor(short events);
    bool readOne(std::uint8_t& byte);
    bool writeOne(std::uint8_t byte);

    int fd_ = -1;
    std::string openFailure_;
    // The last read or write failed: close() then discards what is still queued.
    bool lastFailed_ = false;
    bool gone_ = false;
    std::chrono::milliseconds ioTimeout_{3000};
};

}  // namespace tavrin
