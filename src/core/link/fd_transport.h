#pragma once
// The byte channel over a plain file descriptor: a network socket or a printer device that
// is not a terminal (/dev/usb/lp0). The descriptor is non-blocking; every read and write
// waits under its own time-out, so a printer that stops taking or giving bytes cannot
// hold the program.
#include <sys/types.h>

#include <chrono>
#include <string>

#include "link/serial_transport.h"

namespace tavrin {

class FdTransport : public SerialTransport {
public:
    FdTransport() = default;
    ~FdTransport() override;
    FdTransport(const FdTransport&) = delete;
    FdTransport& operator=(const FdTransport&) = delete;

    bool isOpen() const override { return fd_ >= 0; }
    void close() override;
    std::uint32_t bytesWaiting() override;
    bool readByte(std::uint8_t& byte) override;
    bool writeByte(std::uint8_t byte) override;
    // Each write hands its byte to the kernel already.
    void flush() override {}
    Readiness waitUntilReadable(std::chrono::milliseconds limit) override;
    std::optional<Readiness> writeByteNow(std::uint8_t byte) override;
    Readiness waitUntilWritable(std::chrono::milliseconds limit) override;
    bool gone() const override { return gone_; }
    std::string openFailure() const override { return openFailure_; }

    // How long one read or write waits before it gives up.
    void setIoTimeout(std::chrono::milliseconds timeout) { ioTimeout_ = timeout; }
    std::chrono::milliseconds ioTimeout() const { return ioTimeout_; }

protected:
    // Takes over an open, non-blocking descriptor; a socket is written with send() so that a
    // peer that went away is an error, not a SIGPIPE.
    void adopt(int fd, bool socket);
    // Last words before the descriptor is closed.
    virtual void beforeClose(int /*fd*/) {}
    // Why the last open failed, for the user.
    void setOpenFailure(std::string reason) { openFailure_ = std::move(reason); }

private:
    bool waitFor(short events);
    // One write of one byte: 1, or -1 with errno.
    ssize_t writeOnce(std::uint8_t byte);

    int fd_ = -1;
    bool socket_ = false;
    // A read of nothing is the end of the input for good: a socket whose peer closed, or a
    // plain file read to its end. A printer device may give nothing now and something later.
    bool inputEnds_ = false;
    bool inputEnded_ = false;
    bool gone_ = false;
    std::chrono::milliseconds ioTimeout_{3000};
    std::string openFailure_;
};

// Waits until `fd` is ready for `events` or `timeout` has passed; an interrupted wait goes
// on with the time that is left. True when it is ready (or in error, which the next read or
// write reports).
bool waitForDescriptor(int fd, short events, std::chrono::milliseconds timeout);

// One wait of at most `limit` for `fd` to become readable (POLLIN) or writable (POLLOUT).
// A hang-up or an error on the descriptor is Gone, unless input is still there to be read;
// a signal that cuts the wait short is NotYet.
Readiness waitForDevice(int fd, short events, std::chrono::milliseconds limit);

// Whether a read or write that failed with `error` met a device that went away for good
// (a hung-up terminal, a reset connection, an unplugged printer), not a passing condition.
bool deviceGoneError(int error);

}  // namespace tavrin
