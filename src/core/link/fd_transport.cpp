#include "link/fd_transport.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace tavrin {

namespace {

// Bytes ready to be read, or -1 when the descriptor cannot tell.
int inputWaiting(int fd) {
    int count = 0;
    return ioctl(fd, FIONREAD, &count) == 0 ? count : -1;
}

int pollTimeout(std::chrono::milliseconds limit) {
    return static_cast<int>(std::clamp<long long>(limit.count(), 0, INT_MAX));
}

}  // namespace

bool waitForDescriptor(int fd, short events, std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, pollTimeout(left));
        if (ready < 0 && errno == EINTR) {
            if (Clock::now() >= deadline) return false;
            continue;
        }
        return ready > 0;
    }
}

Readiness waitForDevice(int fd, short events, std::chrono::milliseconds limit) {
    if (fd < 0) return Readiness::Gone;
    const bool input = (events & POLLIN) != 0;
    if (input && inputWaiting(fd) > 0) return Readiness::Ready;
    // POLLRDHUP tells a connection the printer closed from one that is merely quiet.
    pollfd entry{fd, static_cast<short>(events | (input ? POLLRDHUP : 0)), 0};
    if (::poll(&entry, 1, pollTimeout(limit)) <= 0) return Readiness::NotYet;
    if (entry.revents & POLLNVAL) return Readiness::Gone;
    if (entry.revents & (POLLHUP | POLLERR | POLLRDHUP)) {
        // What the printer said before it went is still its answer.
        return input && inputWaiting(fd) > 0 ? Readiness::Ready : Readiness::Gone;
    }
    return (entry.revents & events) != 0 ? Readiness::Ready : Readiness::NotYet;
}

bool deviceGoneError(int error) {
    switch (error) {
        case EIO:
        case ENODEV:
        case ENXIO:
        case EBADF:
        case EPIPE:
        case ECONNRESET:
        case ECONNABORTED:
        case ENOTCONN:
        case ESHUTDOWN:
        case ETIMEDOUT:
        case EHOSTUNREACH:
        case EHOSTDOWN:
        case ENETUNREACH:
        case ENETDOWN: return true;
        default: return false;
    }
}

FdTransport::~FdTransport() {
    // A derived class has gone by now, so its last words are not said here.
    if (fd_ >= 0) ::close(fd_);
}

void FdTransport::adopt(int fd, bool socket) {
    close();
    fd_ = fd;
    socket_ = socket;
    struct stat info {};
    inputEnds_ = socket || (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode));
    inputEnded_ = false;
    gone_ = false;
}

void FdTransport::close() {
    if (fd_ < 0) return;
    beforeClose(fd_);
    ::close(fd_);
    fd_ = -1;
}

std::uint32_t FdTransport::bytesWaiting() {
    if (fd_ < 0) return kBytesWaitingUnknown;
    if (const int count = inputWaiting(fd_); count >= 0) return static_cast<std::uint32_t>(count);
    // A device that cannot count its input (a printer class device may not): whether a read
    // would find something is the best that can be said.
    pollfd entry{fd_, POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & POLLIN) ? 1u : 0u;
}

Readiness FdTransport::waitUntilReadable(std::chrono::milliseconds limit) {
    if (fd_ < 0) return Readiness::Gone;
    if ((gone_ || inputEnded_) && inputWaiting(fd_) <= 0) return Readiness::Gone;
    const Readiness state = waitForDevice(fd_, POLLIN, limit);
    if (state == Readiness::Gone) gone_ = true;
    return state;
}

Readiness FdTransport::waitUntilWritable(std::chrono::milliseconds limit) {
    if (fd_ < 0 || gone_) return Readiness::Gone;
    const Readiness state = waitForDevice(fd_, POLLOUT, limit);
    if (state == Readiness::Gone) gone_ = true;
    return state;
}

bool FdTransport::waitFor(short events) { return waitForDescriptor(fd_, events, ioTimeout_); }

bool FdTransport::readByte(std::uint8_t& byte) {
    if (fd_ < 0) return false;
    bool waited = false;
    for (;;) {
        const ssize_t n = ::read(fd_, &byte, 1);
        if (n == 1) return true;
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) {
            // A peer that closed its end: nothing more will come. A socket's peer is gone.
            inputEnded_ = inputEnds_;
            gone_ = gone_ || socket_;
            return false;
        }
        // Nothing there yet: wait once.
        if (errno == EAGAIN && !waited && !gone_ && waitFor(POLLIN)) {
            waited = true;
            continue;
        }
        if (deviceGoneError(errno)) gone_ = true;
        return false;
    }
}

ssize_t FdTransport::writeOnce(std::uint8_t byte) {
    for (;;) {
        const ssize_t n = socket_ ? ::send(fd_, &byte, 1, MSG_NOSIGNAL) : ::write(fd_, &byte, 1);
        if (n >= 0 || errno != EINTR) return n;
    }
}

std::optional<Readiness> FdTransport::writeByteNow(std::uint8_t byte) {
    if (fd_ < 0 || gone_) return Readiness::Gone;
    if (writeOnce(byte) == 1) return Readiness::Ready;
    if (errno != EAGAIN && deviceGoneError(errno)) gone_ = true;
    return gone_ ? Readiness::Gone : Readiness::NotYet;
}

bool FdTransport::writeByte(std::uint8_t byte) {
    if (fd_ < 0 || gone_) return false;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + ioTimeout_;
    for (;;) {
        if (writeOnce(byte) == 1) return true;
        // The printer is not taking bytes: wait for room, within one time-out in all.
        if (errno == EAGAIN) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() > 0 && waitForDescriptor(fd_, POLLOUT, left)) continue;
            return false;
        }
        if (deviceGoneError(errno)) gone_ = true;
        return false;
    }
}

}  // namespace tavrin
