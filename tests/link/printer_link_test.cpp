// The serial link against a scripted printer: opening, byte writes with their retry
// question, reply reads with the silence limit, and the progress window.
#include <gtest/gtest.h>

#include <cerrno>

#include <unistd.h>

#include <filesystem>

#include "link/posix_serial_transport.h"
#include "support/test_support.h"

#include "support/fake_printer.h"

namespace tavrin {
namespace {

using test::Events;
using test::FakePrinter;

TEST(PrinterLinkOpen, OpensTheConfiguredDeviceOnceWithRateAndProtocol) {
    FakePrinter p;
    p.link.setSettings({.portIndex = 2, .baudIndex = 4, .protocol = 1});
    ASSERT_TRUE(p.link.openPort());
    EXPECT_EQ(p.transport.openedDevice, "/dev/ttyS2");
    EXPECT_EQ(p.transport.openedSettings, (SerialSettings{38400, FlowControl::XonXoff}));
    // An open port is reused as it is.
    p.link.setSettings({.portIndex = 0, .baudIndex = 0, .protocol = 0});
    EXPECT_TRUE(p.link.openPort());
    EXPECT_EQ(p.transport.openCount, 1);
    p.link.closePort();
    p.link.closePort();
    EXPECT_EQ(p.transport.closeCount, 1);
    ASSERT_TRUE(p.link.openPort());  // reopened with the settings now in force
    EXPECT_EQ(p.transport.openedSettings, (SerialSettings{2400, FlowControl::Hardware}));
}

TEST(PrinterLinkOpen, FailureNamesTheDeviceAndTheSystemsReasonInABoxOrInTheProgressWindow) {
    FakePrinter p;
    p.transport.openFails = true;
    EXPECT_FALSE(p.link.openPort());
    EXPECT_TRUE(p.link.silent());
    EXPECT_EQ(p.ui.events, (Events{"beep", "box Error: Can't open communication port /dev/ttyS0"}));
    p.ui.events.clear();  // with the progress window up the message goes into it, and stays
    p.transport.openFailureText = "Permission denied (is your user in the dialout group?)";
    p.link.setPortDevice(0, "/dev/ttyUSB0");
    p.link.showProgress("Receiving form list");
    EXPECT_FALSE(p.link.openPort());
    p.link.endProgress();
    EXPECT_EQ(p.ui.events, (Events{"window Communicating ...: Receiving form list", "beep",
                                   "window error Error: Can't open communication port /dev/ttyUSB0: Permission "
                                   "denied (is your user in the dialout group?)"}));
}

TEST(PosixSerialTransportOpen, ExplainsWhyADeviceWouldNotOpen) {
    const struct {
        int error;
        const char* device;
        const char* expected;
    } cases[] = {
        {EACCES, "/dev/ttyS0", "Permission denied (is your user in the dialout group?)"},
        {EACCES, "/dev/ttyUSB0", "Permission denied (is your user in the dialout group?)"},
        {EACCES, "/dev/usb/lp0", "Permission denied (is your user in the lp group?)"},
        {EACCES, "/tmp/printer", "Permission denied"},
        {ENOENT, "/dev/ttyUSB3", "No such file or directory"},
        {EBUSY, "/dev/ttyS0", "Device or resource busy (another program is using it)"},
        {ENOTTY, "/tmp/file", "not a serial port"},
    };
    for (const auto& c : cases) EXPECT_EQ(openFailureText(c.error, c.device), c.expected) << c.device;

    PosixSerialTransport port;
    EXPECT_FALSE(port.open("/nonexistent/ttyS9", {}));
    EXPECT_EQ(port.openFailure(), "No such file or directory");
    EXPECT_FALSE(port.open("/dev/null", {}) || port.isOpen());
    EXPECT_EQ(port.openFailure(), "not a serial port");

    // A serial device of the dialout group, opened by a user outside it.
    if (!std::filesystem::is_character_file("/dev/ttyS0")) return;
    const std::string reason = test::asUnprivileged([] {
        if (::access("/dev/ttyS0", R_OK | W_OK) == 0) return std::string("accessible");
        PosixSerialTransport unprivileged;
        unprivileged.open("/dev/ttyS0", {});
        return unprivileged.openFailure();
    });
    if (reason != "accessible") {
        EXPECT_EQ(reason, "Permission denied (is your user in the dialout group?)");
    }
}

TEST(PrinterLinkWrite, EachByteIsWrittenAndFlushedAloneAfterPendingEvents) {
    FakePrinter p;
    EXPECT_TRUE(p.link.writeFormatted("\r\nUF\r\n"));  // port closed: nothing sent, callers carry on
    EXPECT_TRUE(p.link.writeByte('A'));
    EXPECT_FALSE(p.link.refused());
    EXPECT_EQ(p.transport.writesWithoutFlush + p.transport.flushCalls, 0);
    ASSERT_TRUE(p.link.openPort());
    EXPECT_TRUE(p.link.writeFormatted("FK\"%s\"\r\n", "ABC"));
    EXPECT_EQ(p.transport.written, "FK\"ABC\"\r\n");
    EXPECT_EQ(p.transport.flushCalls, 9);
    EXPECT_EQ(p.transport.writesWithoutFlush, 0);
    EXPECT_GE(p.ui.eventRuns, 9);
    // A name longer than the printer's pieces is sent whole, not cut or overrun.
    const std::string longName(400, 'X');
    p.link.writeFormatted("GM\"%s\"%d\n", longName.c_str(), 5);
    EXPECT_EQ(p.transport.written, "FK\"ABC\"\r\nGM\"" + longName + "\"5\n");
}

TEST(PrinterLinkWrite, RefusedByteRetriedOnYesAndTheNextWriteStartsClear) {
    FakePrinter p;
    ASSERT_TRUE(p.link.openPort());
    p.transport.refuseFrom = 2, p.transport.refusals = 1;
    EXPECT_FALSE(p.link.writeText("ABCDEF"));  // answered No: the rest is not sent
    EXPECT_TRUE(p.link.refused() && p.link.silent());
    p.transport.refusals = 1;
    p.ui.retryAnswers = {true};
    EXPECT_TRUE(p.link.writeText("CD"));
    EXPECT_FALSE(p.link.refused() || p.link.silent());
    EXPECT_EQ(p.transport.written, "ABCD");
}

TEST(PrinterLinkRead, LinesDropControlBytesAndEndAtLineFeedOrEndMark) {
    FakePrinter p;
    ASSERT_TRUE(p.link.openPort());
    // Over-long lines read empty and their rest comes next; size - 1 characters still fit.
    p.transport.arrive(std::string("ABC\r\n\x01X\tY\r\n\nABCDEFG\r\nWXYZ\r\n") + '\0');
    const std::vector<std::pair<std::size_t, std::string>> expected = {
        {32, "ABC"}, {32, "XY"}, {32, ""}, {5, ""}, {5, "EFG"}, {5, "WXYZ"}};
    std::string line = "old";
    for (const auto& [size, text] : expected) {
        EXPECT_EQ(p.link.readLine(line, size), text.size()) << text;
        EXPECT_EQ(line, text);
        EXPECT_FALSE(p.link.atEndMark());
        EXPECT_FALSE(p.link.silent());
    }
    EXPECT_EQ(p.link.readLine(line, 32), 0u);  // the lone NUL
    EXPECT_TRUE(p.link.atEndMark());
    EXPECT_FALSE(p.link.silent());
}

TEST(PrinterLinkRead, SilenceGarbageOrABrokenPortEndReadsAtTheLimit) {
    FakePrinter p;
    ASSERT_TRUE(p.link.openPort());
    p.transport.arrive("AB");
    std::string line = "old";
    EXPECT_EQ(p.link.readLine(line, 32), 0u);
    EXPECT_TRUE(p.link.silent());
    EXPECT_EQ(line, "");
    EXPECT_GE(p.clock.now, 3000);
    EXPECT_LT(p.clock.now, 3100);
    std::array<std::uint8_t, 5> buffer{};
    p.transport.arrive("123");
    EXPECT_EQ(p.link.readBytes(buffer), 3u);
    EXPECT_TRUE(p.link.silent());
    EXPECT_EQ(buffer[2], '3');
    // An endless stream of control bytes is not a line.
    p.transport.arrive(std::string(100000, '\r'));
    EXPECT_EQ(p.link.readLine(line, 32), 0u);
    EXPECT_FALSE(p.link.silent());
    EXPECT_GT(p.transport.input.size(), 90000u);
    // A port that claims input but yields none times out like silence.
    p.transport.brokenInput = true;
    const long long before = p.clock.now;
    EXPECT_EQ(p.link.readBytes(buffer), 0u);
    EXPECT_TRUE(p.link.silent());
    EXPECT_LT(p.clock.now - before, 3100);
    // Reading a closed port gives up at once.
    p.link.closePort();
    EXPECT_EQ(p.link.readLine(line, 32), 0u);
    EXPECT_TRUE(p.link.silent());
}

}  // namespace
}  // namespace tavrin
