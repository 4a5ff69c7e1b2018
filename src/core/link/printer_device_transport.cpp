#include "link/printer_device_transport.h"

#include "link/posix_serial_transport.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace tavrin {

bool PrinterDeviceTransport::open(const std::string& device, const SerialSettings&) {
    close();
    setOpenFailure({});
    constexpr int kFlags = O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(device.c_str(), O_RDWR | kFlags);
    if (fd < 0 && (errno == EACCES || errno == EROFS)) fd = ::open(device.c_str(), O_WRONLY | kFlags);
    if (fd < 0) {
        setOpenFailure(openFailureText(errno, device));
        return false;
    }
    // One program at a time, as with a serial port; a device that cannot be locked at all
    // is used as it is.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        setOpenFailure(openFailureText(EBUSY, device));
        ::close(fd);
        return false;
    }
    adopt(fd, false);
    return true;
}

}  // namespace tavrin
