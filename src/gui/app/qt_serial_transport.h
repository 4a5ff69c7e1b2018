#pragma once
// The printer's serial port through QSerialPort. Every wait is a blocking waitFor* call, so
// the port works the same with or without a running event loop; the link lets events run
// between bytes itself.
#include <chrono>
#include <memory>
#include <optional>

#include "link/serial_transport.h"

class QSerialPort;

namespace tavrin {

class QtSerialTransport : public SerialTransport {
public:
    QtSerialTransport();
    ~QtSerialTransport() override;
    QtSerialTransport(const QtSerialTransport&) = delete;
    QtSerialTransport& operator=(const QtSerialTransport&) = delete;

    // Fails when the device does not exist, is not a serial line or is already open, in
    // this process or another.
    bool open(const std::string& device, const SerialSettings& settings) override;
    std::string openFailure() const override { return openFailure_; }
    bool isOpen() const override;
    void close() override;
    std::uint32_t bytesWaiting() override;
    bool readByte(std::uint8_t& byte) override;
    bool writeByte(std::uint8_t byte) override;
    void flush() override;
    Readiness waitUntilReadable(std::chrono::milliseconds limit) override;
    // The byte goes to the port's queue once the one before it has left.
    std::optional<Readiness> writeByteNow(std::uint8_t byte) override;
    Readiness waitUntilWritable(std::chrono::milliseconds limit) override;
    bool gone() const override { return gone_; }

    // How long one read or write waits before it gives up.
    void setIoTimeout(std::chrono::milliseconds timeout) { ioTimeout_ = timeout; }
    // What the port said about its last failure, for diagnostics.
    std::string errorText() const;

private:
    int timeoutMs() const;
    // Looks whether the device went away after a failed read, write or wait, and lets go of
    // it if so.
    Readiness noteIfGone(Readiness state);
    std::string openFailure_;
    bool readOne(std::uint8_t& byte);
    bool writeOne(std::uint8_t byte);

    std::unique_ptr<QSerialPort> port_;
    std::chrono::milliseconds ioTimeout_{3000};
    // A byte whose write timed out: it still waits in the port's queue and goes out once
    // the printer lets it, so the retry of that same byte must not queue it twice.
    std::optional<std::uint8_t> unsentByte_;
    // The last read or write failed: close() then discards what is still queued.
    bool lastFailed_ = false;
    // The device went away. The port itself is closed at once, since Qt's read notifier
    // would otherwise fire for ever on a hung-up terminal and keep the event loop busy;
    // the transport stays open, failing every read and write, until close().
    bool gone_ = false;
};

}  // namespace tavrin
