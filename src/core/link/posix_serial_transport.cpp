#include "link/posix_serial_transport.h"

#include "link/fd_transport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <climits>
#include <cstdint>

namespace tavrin {

namespace {

speed_t speedFor(int baudRate) {
    switch (baudRate) {
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        default: return B9600;
    }
}

constexpr cc_t kXon = 0x11;
constexpr cc_t kXoff = 0x13;

}  // namespace

void settleOutputBeforeClose(int fd, std::chrono::milliseconds patience, bool failed) {
    using Clock = std::chrono::steady_clock;
    int queued = 0;
    int before = INT_MAX;
    auto deadline = Clock::now() + patience;
    while (!failed && ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
        if (queued < before) {
            before = queued;
            deadline = Clock::now() + patience;
        } else if (Clock::now() >= deadline) {
            failed = true;
            break;
        }
        ::usleep(10000);
    }
    if (failed) tcflush(fd, TCIOFLUSH);
}

std::string openFailureText(int error, const std::string& device) {
    switch (error) {
        case EACCES:
        case EPERM:
            // Serial devices belong to the dialout group on most systems.
            if (device.rfind("/dev/tty", 0) == 0)
                return std::string(std::strerror(error)) + " (is your user in the dialout group?)";
            if (device.rfind("/dev/usb/lp", 0) == 0)
                return std::string(std::strerror(error)) + " (is your user in the lp group?)";
            return std::strerror(error);
        case EBUSY: return std::string(std::strerror(error)) + " (another program is using it)";
        case ENOTTY: return "not a serial port";
        default: return std::strerror(error);
    }
}

PosixSerialTransport::~PosixSerialTransport() { close(); }

bool PosixSerialTransport::open(const std::string& device, const SerialSettings& settings) {
    close();
    // Non-blocking, so that every read and write waits under our own time-out.
    openFailure_.clear();
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        openFailure_ = openFailureText(errno, device);
        return false;
    }
    termios options{};
    if (!isatty(fd) || tcgetattr(fd, &options) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        openFailure_ = openFailureText(errno, device);
        ::close(fd);
        return false;
    }
    cfmakeraw(&options);
    cfsetispeed(&options, speedFor(settings.baudRate));
    cfsetospeed(&options, speedFor(settings.baudRate));
    options.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    options.c_cflag |= CS8 | CLOCAL | CREAD;
    options.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (settings.flowControl == FlowControl::Hardware) {
        options.c_cflag |= CRTSCTS;
    } else {
        options.c_iflag |= IXON | IXOFF;
        options.c_cc[VSTART] = kXon;
        options.c_cc[VSTOP] = kXoff;
    }
    options.c_cc[VMIN] = 0;
    options.c_cc[VTIME] = 0;
    // Like the port set-up on other systems, a setting the device refuses is not fatal:
    // a pseudo-terminal, for one, has no flow-control lines.
    tcsetattr(fd, TCSANOW, &options);
    tcflush(fd, TCIFLUSH);
    fd_ = fd;
    gone_ = false;
    return true;
}

void PosixSerialTransport::close() {
    if (fd_ < 0) return;
    settleOutputBeforeClose(fd_, ioTimeout_, lastFailed_ || gone_);
    lastFailed_ = false;
    gone_ = false;
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

std::uint32_t PosixSerialTransport::bytesWaiting() {
    int count = 0;
    if (fd_ < 0 || ioctl(fd_, FIONREAD, &count) != 0 || count < 0) return kBytesWaitingUnknown;
    return static_cast<std::uint32_t>(count);
}

bool PosixSerialTransport::waitFor(short events) {
    // A signal cuts the wait short; the next one waits only for what is left, so signals
    // arriving more often than the time-out cannot keep it from running out.
    const auto deadline = std::chrono::steady_clock::now() + ioTimeout_;
    pollfd entry{fd_, events, 0};
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const int ready = poll(&entry, 1, static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, INT_MAX)));
        if (ready < 0 && errno == EINTR) continue;
        return ready > 0 && (entry.revents & events) != 0;
    }
}

bool PosixSerialTransport::readByte(std::uint8_t& byte) {
    if (fd_ < 0) return false;
    lastFailed_ = !readOne(byte);
    return !lastFailed_;
}

bool PosixSerialTransport::readOne(std::uint8_t& byte) {
    bool waited = false;
    for (;;) {
        const ssize_t n = ::read(fd_, &byte, 1);
        if (n == 1) return true;
        if (n < 0 && errno == EINTR) continue;
        // A raw terminal with nothing there answers 0 or EAGAIN.
        if (n < 0 && errno != EAGAIN) {
            if (deviceGoneError(errno)) gone_ = true;
            return false;
        }
        if (!waited && waitFor(POLLIN)) {
            waited = true;
            continue;
        }
        // Ready, yet nothing to read: a hung-up line, which poll() then tells apart.
        if (waited) gone_ = gone_ || waitForDevice(fd_, POLLIN, std::chrono::milliseconds(0)) == Readiness::Gone;
        return false;
    }
}

Readiness PosixSerialTransport::waitUntilReadable(std::chrono::milliseconds limit) {
    if (fd_ < 0) return Readiness::Gone;
    const Readiness state = waitForDevice(fd_, POLLIN, limit);
    gone_ = gone_ || state == Readiness::Gone;
    return state;
}

std::optional<Readiness> PosixSerialTransport::writeByteNow(std::uint8_t byte) {
    if (fd_ < 0 || gone_) return Readiness::Gone;
    for (;;) {
        const ssize_t n = ::write(fd_, &byte, 1);
        if (n < 0 && errno == EINTR) continue;
        // Until a byte goes again, what is queued is stuck: close() then drops it.
        lastFailed_ = n != 1;
        if (n == 1) return Readiness::Ready;
        if (n < 0 && errno != EAGAIN && deviceGoneError(errno)) gone_ = true;
        return gone_ ? Readiness::Gone : Readiness::NotYet;
    }
}

Readiness PosixSerialTransport::waitUntilWritable(std::chrono::milliseconds limit) {
    if (fd_ < 0 || gone_) return Readiness::Gone;
    const Readiness state = waitForDevice(fd_, POLLOUT, limit);
    gone_ = gone_ || state == Readiness::Gone;
    return state;
}

bool PosixSerialTransport::writeByte(std::uint8_t byte) {
    if (fd_ < 0) return false;
    lastFailed_ = !writeOne(byte);
    return !lastFailed_;
}

bool PosixSerialTransport::writeOne(std::uint8_t byte) {
    if (gone_) return false;
    for (;;) {
        const ssize_t n = ::write(fd_, &byte, 1);
        if (n == 1) return true;
        if (n < 0 && errno == EINTR) continue;
        // The driver's queue is full (the printer holds the line): wait, then give up.
        if (n < 0 && errno == EAGAIN && waitFor(POLLOUT)) continue;
        if (n < 0 && deviceGoneError(errno)) gone_ = true;
        return false;
    }
}

// Each write already hands its byte to the driver. Waiting until it has left the port
// (tcdrain) has no time-out and would hang on a printer that holds the line, so the byte
// is left to the driver's queue.
void PosixSerialTransport::flush() {}

}  // namespace tavrin
