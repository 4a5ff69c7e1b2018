// The POSIX transport against a pseudo-terminal: the test holds the master side and plays
// the printer.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "printer/posix_serial_transport.h"
#include "printer/printer_link.h"
#include "printer/storage_operations.h"

namespace tavrin {
namespace {

class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        device_ = ptsname(master_);
    }
    ~PseudoTerminal() {
        if (master_ >= 0) close(master_);
    }
    bool ok() const { return !device_.empty(); }
    const std::string& device() const { return device_; }

    void send(std::string_view bytes) {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Everything the other side wrote, once it has stopped for a moment.
    std::string received() {
        std::string out;
        char buffer[256];
        pollfd entry{master_, POLLIN, 0};
        while (poll(&entry, 1, 100) > 0 && (entry.revents & POLLIN)) {
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n <= 0) break;
            out.append(buffer, static_cast<std::size_t>(n));
        }
        return out;
    }

private:
    int master_ = -1;
    std::string device_;
};

TEST(PosixSerialTransport, OpensTheTerminalRawExclusiveAtTheRate) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ok());
    const int observer = open(pty.device().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(observer, 0);

    PosixSerialTransport port;
    ASSERT_TRUE(port.open(pty.device(), {38400, FlowControl::XonXoff}));
    termios options{};
    ASSERT_EQ(tcgetattr(observer, &options), 0);
    EXPECT_EQ(cfgetospeed(&options), B38400);
    EXPECT_EQ(options.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(options.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(options.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(options.c_cc[VSTART], 0x11);
    EXPECT_EQ(options.c_cc[VSTOP], 0x13);
    EXPECT_EQ(options.c_oflag & OPOST, 0u);
    int exclusive = 0;
    ASSERT_EQ(ioctl(observer, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    port.close();
    ASSERT_TRUE(port.open(pty.device(), {115200, FlowControl::Hardware}));
    ASSERT_EQ(tcgetattr(observer, &options), 0);
    EXPECT_EQ(cfgetospeed(&options), B115200);
    EXPECT_EQ(options.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_NE(options.c_cflag & CRTSCTS, 0u);
    port.close();
    ASSERT_EQ(ioctl(observer, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    close(observer);

    EXPECT_FALSE(port.open("/nonexistent/tty", {}));
    EXPECT_FALSE(port.open("/dev/null", {}));  // not a terminal
    EXPECT_FALSE(port.isOpen());
}

TEST(PosixSerialTransport, BytesTravelBothWaysUnchanged) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ok());
    PosixSerialTransport port;
    port.setIoTimeout(std::chrono::milliseconds(200));
    ASSERT_TRUE(port.open(pty.device(), {}));
    for (const char c : std::string("\r\n\nA\x00\xFF", 6)) ASSERT_TRUE(port.writeByte(static_cast<std::uint8_t>(c)));
    EXPECT_EQ(pty.received(), std::string("\r\n\nA\x00\xFF", 6));

    pty.send(std::string("\x13\r\n\x00", 4));
    std::string got;
    for (int i = 0; i < 50 && port.bytesWaiting() < 4; ++i) usleep(10000);
    EXPECT_EQ(port.bytesWaiting(), 4u);
    std::uint8_t byte = 0;
    while (port.bytesWaiting() > 0 && port.readByte(byte)) got.push_back(static_cast<char>(byte));
    EXPECT_EQ(got, std::string("\x13\r\n\x00", 4));
    // Nothing more comes: the read gives up after its time-out.
    EXPECT_FALSE(port.readByte(byte));
}

TEST(PosixSerialTransport, CarriesAWholeListExchange) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ok());
    PosixSerialTransport port;
    QuietLinkUi ui;
    PrinterLink link(port, ui);
    link.setPortDevice(0, pty.device());
    PrinterStorage storage(link);
    ASSERT_TRUE(link.openPort());
    pty.send(std::string("2\r\nSHOP\r\nLABEL1\r\n\0", 19));
    ASSERT_TRUE(storage.receiveList(kListForms));
    EXPECT_EQ(storage.storeAsList().names, (std::vector<std::string>{"SHOP", "LABEL1"}));
    EXPECT_EQ(pty.received(), "\r\nUF\r\n");
    EXPECT_FALSE(link.isOpen());
}

}  // namespace
}  // namespace tavrin
