// The Qt serial port against tavrin-printer-sim running as its own process on a
// pseudo-terminal: the real driver path, byte by byte, as the printer link uses it; and the
// editor's link on a network printer.
#include <gtest/gtest.h>

#include <QApplication>

#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <unistd.h>

#include "app/qt_serial_transport.h"
#include "printer/storage_operations.h"
#include "support/editor_window.h"

namespace tavrin {
namespace {

// Writes the bytes one by one, then reads until `count` bytes have come or a read gives up.
std::string exchange(SerialTransport& port, std::string_view bytes, std::size_t count) {
    for (const char c : bytes) {
        EXPECT_TRUE(port.writeByte(static_cast<std::uint8_t>(c)));
        port.flush();
    }
    std::string got;
    std::uint8_t byte = 0;
    while (got.size() < count && port.readByte(byte)) got.push_back(static_cast<char>(byte));
    return got;
}

TEST(QtSerialTransport, ExchangesWithThePrinterAndHoldsThePortAlone) {
    test::TempDir dir;
    const auto sim = test::startSimulator(dir.path());
    ASSERT_FALSE(sim.device().empty());
    QtSerialTransport port, second;
    ASSERT_TRUE(port.open(sim.device(), {115200, FlowControl::Hardware})) << port.errorText();
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), 0u);
    // While it is open nobody else gets the port, not even from this process.
    EXPECT_FALSE(second.open(sim.device(), {115200, FlowControl::Hardware}) || second.isOpen());
    EXPECT_EQ(exchange(port, "\r\nUF\r\n", 3), "0\r\n");
    // Without an event loop the count still sees a reply that has arrived.
    exchange(port, "\r\nUG\r\n", 0);
    std::uint32_t waiting = 0;
    for (int i = 0; i < 300 && (waiting = port.bytesWaiting()) < 3; ++i) ::usleep(10000);
    EXPECT_EQ(waiting, 3u);
    EXPECT_EQ(exchange(port, "", 3), "0\r\n");
    // Closed, the port is free again; XON/XOFF carries the same exchange.
    port.close();
    EXPECT_FALSE(port.isOpen());
    ASSERT_TRUE(second.open(sim.device(), {9600, FlowControl::XonXoff})) << second.errorText();
    EXPECT_EQ(exchange(second, "\r\nUE\r\n", 3), "0\r\n");
    second.close();
    // A relative path is a path, not a name below /dev (make run hands one over).
    const auto link = std::filesystem::current_path() / ("printer-" + std::to_string(::getpid()));
    std::filesystem::create_symlink(sim.device(), link);
    const bool opened = second.open("./" + link.filename().string(), {115200, FlowControl::Hardware});
    std::filesystem::remove(link);
    ASSERT_TRUE(opened) << second.errorText();
    EXPECT_EQ(exchange(second, "\r\nUE\r\n", 3), "0\r\n");
    // The reasons the link's message gives: the system's, and the port's own for a port in use.
    EXPECT_FALSE(port.open("", {}));
    EXPECT_FALSE(port.open("/nonexistent/ttyS9", {}));
    EXPECT_EQ(port.openFailure(), "No such file or directory");
    EXPECT_FALSE(port.open(sim.device(), {}));
    EXPECT_FALSE(port.openFailure().empty());
}

TEST(QtSerialTransport, ReadGivesUpWhenThePrinterIsSilent) {
    test::TempDir dir;
    const auto sim = test::startSimulator(dir.path(), {"--fault", "silent"});
    QtSerialTransport port;
    ASSERT_TRUE(port.open(sim.device(), {})) << port.errorText();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(exchange(port, "\r\nUF\r\n", 1), "");  // after the port's time-out, not at once
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_TRUE(port.isOpen());
}

// A printer that holds the line: a refused byte, retried, goes out once; closing after a
// refused byte discards the queue rather than waiting for it to leave.
TEST(QtSerialTransport, RefusedByteGoesOutOnceWhenRetriedAndCloseDropsTheQueue) {
    test::PseudoTerminal pty;  // nobody reads it, so writes come to a halt as when the printer holds the line
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
    std::string expected, received = pty.drain();
    for (std::size_t i = 0; i <= sent; ++i) expected.push_back(static_cast<char>(nth(i)));
    EXPECT_TRUE(port.writeByte(nth(sent)) && port.writeByte('A'));
    received += pty.drain();
    EXPECT_EQ(received.size(), expected.size() + 1);
    EXPECT_TRUE(received == expected + "A") << "bytes lost or doubled";
    sent = 0;
    while (sent < (1u << 20) && port.writeByte('x')) ++sent;
    port.close();
    // Only the terminal's own 4 KB line buffer keeps what it took.
    EXPECT_LE(pty.drain().size(), 4096u) << sent << " bytes were written";
}

// A link UI that lets Qt's events run, as the editor's will.
struct EventLoopLinkUi : QuietLinkUi {
    void processEvents() override { ++eventRuns, QCoreApplication::processEvents(); }
    int eventRuns = 0;
};

TEST(QtSerialTransport, CarriesThePrinterLinkWithEventsRunning) {
    test::TempDir dir;
    const auto sim = test::startSimulator(dir.path());
    test::writeFile(dir / "SHOP.EJF", "A10,10,0,1,1,1,N,\"X\"\r\n");
    QtSerialTransport port;
    EventLoopLinkUi ui;
    PrinterLink link(port, ui);
    link.setSettings({.portIndex = 3, .baudIndex = 4, .protocol = 0});
    link.setPortDevice(3, sim.device());
    PrinterStorage storage(link);
    ASSERT_TRUE(storage.storeFormFile(dir / "SHOP.EJF", "SHOP")) << ui.lastError();
    ASSERT_TRUE(storage.receiveList(kListForms)) << ui.lastError();
    EXPECT_EQ(storage.storeAsList().names, std::vector<std::string>{"SHOP"});
    EXPECT_FALSE(link.silent() || link.isOpen());
    EXPECT_GT(ui.eventRuns, 0);
}

// Beside serial lines: a port whose device is the simulator's network address talks to it.
class EditorNetworkPrinter : public ::testing::Test, public test::EditorWindowFixture {};

TEST_F(EditorNetworkPrinter, PortDeviceChoosesTheNetwork) {
    const auto sim = test::startListeningSimulator(path("out"));
    auto window = start();
    window->config().portDevices[static_cast<std::size_t>(window->config().port)] = sim.address();
    PrinterStorage storage(window->link());
    ASSERT_TRUE(storage.receiveList(kListGraphics)) << window->link().failureMessage();
    EXPECT_FALSE(window->link().silent());
    EXPECT_TRUE(storage.storeAsList().names.empty());
}

}  // namespace
}  // namespace tavrin
