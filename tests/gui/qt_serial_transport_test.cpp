// The Qt serial port against tavrin-printer-sim running as its own process on a
// pseudo-terminal: the real driver path, byte by byte, as the printer link uses it.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "app/qt_serial_transport.h"
#include "printer/port_names.h"
#include "printer/printer_link.h"
#include "printer/storage_operations.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

// The simulator from this build, printing into dir.
struct Simulator : test::SimulatorProcess {
    Simulator(const test::TempDir& dir, const std::vector<std::string>& options)
        : test::SimulatorProcess(TAVRIN_PRINTER_SIM_EXE, dir.path(), options) {}
};

void writeAll(SerialTransport& port, std::string_view bytes) {
    for (const char c : bytes) {
        ASSERT_TRUE(port.writeByte(static_cast<std::uint8_t>(c)));
        port.flush();
    }
}

std::string readCount(SerialTransport& port, std::size_t count) {
    std::string got;
    std::uint8_t byte = 0;
    while (got.size() < count && port.readByte(byte)) got.push_back(static_cast<char>(byte));
    return got;
}

TEST(QtSerialTransport, ExchangesWithThePrinterAndHoldsThePortAlone) {
    test::TempDir dir;
    Simulator sim(dir, {});
    ASSERT_FALSE(sim.device().empty());

    QtSerialTransport port;
    ASSERT_TRUE(port.open(sim.device(), {115200, FlowControl::Hardware})) << port.errorText();
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), 0u);

    // While it is open nobody else gets the port, not even from this process.
    QtSerialTransport second;
    EXPECT_FALSE(second.open(sim.device(), {115200, FlowControl::Hardware}));
    EXPECT_FALSE(second.isOpen());

    writeAll(port, "\r\nUF\r\n");
    EXPECT_EQ(readCount(port, 3), "0\r\n");

    // Without an event loop the count still sees a reply that has arrived.
    writeAll(port, "\r\nUG\r\n");
    std::uint32_t waiting = 0;
    for (int i = 0; i < 300 && waiting < 3; ++i) {
        waiting = port.bytesWaiting();
        if (waiting < 3) ::usleep(10000);
    }
    EXPECT_EQ(waiting, 3u);
    EXPECT_EQ(readCount(port, 3), "0\r\n");

    // Closed, the port is free again; XON/XOFF carries the same exchange.
    port.close();
    EXPECT_FALSE(port.isOpen());
    ASSERT_TRUE(second.open(sim.device(), {9600, FlowControl::XonXoff})) << second.errorText();
    writeAll(second, "\r\nUE\r\n");
    EXPECT_EQ(readCount(second, 3), "0\r\n");

    EXPECT_FALSE(port.open("/nonexistent/ttyS9", {}));
    EXPECT_FALSE(port.open("", {}));
}

TEST(QtSerialTransport, ReadGivesUpWhenThePrinterIsSilent) {
    test::TempDir dir;
    Simulator sim(dir, {"--fault", "silent"});
    QtSerialTransport port;
    ASSERT_TRUE(port.open(sim.device(), {})) << port.errorText();
    writeAll(port, "\r\nUF\r\n");
    const auto start = std::chrono::steady_clock::now();
    std::uint8_t byte = 0;
    EXPECT_FALSE(port.readByte(byte));
    // It waited for the port's time-out rather than failing at once.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_TRUE(port.isOpen());
}

// A terminal whose other side nobody reads, so that writes come to a halt as they do when
// the printer holds the line.
class StalledTerminal {
public:
    StalledTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) device_ = ::ptsname(master_);
    }
    ~StalledTerminal() {
        if (master_ >= 0) ::close(master_);
    }
    const std::string& device() const { return device_; }
    std::string drain() {
        std::string out;
        char buffer[4096];
        pollfd entry{master_, POLLIN, 0};
        while (::poll(&entry, 1, 200) > 0 && (entry.revents & POLLIN)) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) break;
            out.append(buffer, static_cast<std::size_t>(n));
        }
        return out;
    }

private:
    int master_ = -1;
    std::string device_;
};

TEST(QtSerialTransport, RefusedByteGoesOutOnceWhenRetried) {
    StalledTerminal pty;
    ASSERT_FALSE(pty.device().empty());
    QtSerialTransport port;
    port.setIoTimeout(std::chrono::milliseconds(50));
    ASSERT_TRUE(port.open(pty.device(), {})) << port.errorText();

    // Bytes numbered so that a lost or doubled one shows.
    auto nth = [](std::size_t i) { return static_cast<std::uint8_t>(i % 251); };
    std::size_t sent = 0;
    while (sent < (1u << 20) && port.writeByte(nth(sent))) ++sent;
    ASSERT_LT(sent, 1u << 20) << "the terminal never filled up";

    // The printer takes its bytes again; the retry of the refused byte sends it once.
    std::string expected;
    for (std::size_t i = 0; i <= sent; ++i) expected.push_back(static_cast<char>(nth(i)));
    std::string received = pty.drain();
    EXPECT_TRUE(port.writeByte(nth(sent)));
    EXPECT_TRUE(port.writeByte('A'));
    received += pty.drain();
    EXPECT_EQ(received.size(), expected.size() + 1);
    EXPECT_TRUE(received == expected + "A") << "bytes lost or doubled";
}

// A link UI that lets Qt's events run, as the editor's will.
class EventLoopLinkUi : public QuietLinkUi {
public:
    void processEvents() override {
        ++eventRuns;
        QCoreApplication::processEvents();
    }
    int eventRuns = 0;
};

TEST(QtSerialTransport, CarriesThePrinterLinkWithEventsRunning) {
    test::TempDir dir;
    Simulator sim(dir, {});
    const std::string form = "A10,10,0,1,1,1,N,\"X\"\r\n";
    test::writeFile(dir / "SHOP.EJF", form);

    QtSerialTransport port;
    EventLoopLinkUi ui;
    PrinterLink link(port, ui);
    // "--port" on the command line sends whichever port is chosen to the simulator.
    PortDevices devices;
    devices.commandLine = takePortArgument({"--port", sim.device()}).device;
    link.setSettings({.portIndex = 3, .baudIndex = 4, .protocol = 0});
    link.setPortDevice(3, portDevice(devices, 3));
    PrinterStorage storage(link);

    ASSERT_TRUE(storage.storeFormFile(dir / "SHOP.EJF", "SHOP")) << ui.lastError();
    ASSERT_TRUE(storage.receiveList(kListForms)) << ui.lastError();
    EXPECT_EQ(storage.storeAsList().names, std::vector<std::string>{"SHOP"});
    EXPECT_FALSE(link.timeoutFlag);
    EXPECT_FALSE(link.isOpen());
    EXPECT_GT(ui.eventRuns, 0);
}

}  // namespace
}  // namespace tavrin
