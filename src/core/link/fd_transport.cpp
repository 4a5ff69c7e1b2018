#include "link/fd_transport.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace tavrin {

bool waitForDescriptor(int fd, short events, std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
        if (ready < 0 && errno == EINTR) {
            if (Clock::now() >= deadline) return false;
            continue;
        }
        return ready > 0;
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
}

void FdTransport::close() {
    if (fd_ < 0) return;
    beforeClose(fd_);
    ::close(fd_);
    fd_ = -1;
}

std::uint32_t FdTransport::bytesWaiting() {
    if (fd_ < 0) return kBytesWaitingUnknown;
    int count = 0;
    if (ioctl(fd_, FIONREAD, &count) == 0 && count >= 0) return static_cast<std::uint32_t>(count);
    // A device that cannot count its input (a printer class device may not): whether a read
    // would find something is the best that can be said.
    pollfd entry{fd_, POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & POLLIN) ? 1u : 0u;
}

bool FdTransport::waitFor(short events) { return waitForDescriptor(fd_, events, ioTimeout_); }

bool FdTransport::readByte(std::uint8_t& byte) {
    if (fd_ < 0) return false;
    bool waited = false;
    for (;;) {
        const ssize_t n = ::read(fd_, &byte, 1);
        if (n == 1) return true;
        if (n < 0 && errno == EINTR) continue;
        // Nothing there yet: wait once. The end of the stream (a peer that closed) is no byte.
        if (n < 0 && errno == EAGAIN && !waited && waitFor(POLLIN)) {
            waited = true;
            continue;
        }
        return false;
    }
}

bool FdTransport::writeByte(std::uint8_t byte) {
    if (fd_ < 0) return false;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + ioTimeout_;
    for (;;) {
        const ssize_t n = socket_ ? ::send(fd_, &byte, 1, MSG_NOSIGNAL) : ::write(fd_, &byte, 1);
        if (n == 1) return true;
        if (n < 0 && errno == EINTR) continue;
        // The printer is not taking bytes: wait for room, within one time-out in all.
        if (n < 0 && errno == EAGAIN) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() > 0 && waitForDescriptor(fd_, POLLOUT, left)) continue;
        }
        return false;
    }
}

}  // namespace tavrin
