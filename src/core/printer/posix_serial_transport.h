#pragma once
// A serial port reached through a POSIX terminal device: a real port (/dev/ttyS0,
// /dev/ttyUSB0) or a pseudo-terminal such as the printer simulator's.
#include <chrono>

#include "printer/serial_transport.h"

namespace tavrin {

class PosixSerialTransport : public SerialTransport {
public:
    PosixSerialTransport() = default;
    ~PosixSerialTransport() override;
    PosixSerialTransport(const PosixSerialTransport&) = delete;
    PosixSerialTransport& operator=(const PosixSerialTransport&) = delete;

    // Fails when the device cannot be opened, is not a terminal, or is held exclusively
    // by someone else.
    bool open(const std::string& device, const SerialSettings& settings) override;
    bool isOpen() const override { return fd_ >= 0; }
    void close() override;
    std::uint32_t bytesWaiting() override;
    bool readByte(std::uint8_t& byte) override;
    bool writeByte(std::uint8_t byte) override;
    void flush() override;

    // How long one read or write waits before it gives up.
    void setIoTimeout(std::chrono::milliseconds timeout) { ioTimeout_ = timeout; }

private:
    bool waitFor(short events);

    int fd_ = -1;
    std::chrono::milliseconds ioTimeout_{3000};
};

}  // namespace tavrin
