// The transports beside the serial line: which one a device names, a printer device file,
// and a print queue that takes jobs but cannot answer. The network transport is tried
// against real peers in tests/e2e.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/fake_printer.h"
#include "link/posix_serial_transport.h"
#include "link/print_queue_transport.h"
#include "link/printer_device_transport.h"
#include "printer/storage_operations.h"
#include "link/tcp_transport.h"
#include "link/transport_factory.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using namespace std::chrono_literals;

TEST(TransportFactory, DeviceNamesPickTheirTransport) {
    test::TempDir dir;
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    test::writeFile(dir / "file.prn", "");
    // Lower-case tcp:// and a missing serial device are the end-to-end tests' daily bread.
    const std::pair<std::string, DeviceKind> cases[] = {
        {"TCP://10.0.0.7", DeviceKind::Network},    {"cups://Zebra_Shop", DeviceKind::PrintQueue},
        {"/dev/usb/lp0", DeviceKind::PrinterDevice}, {"/dev/lp1", DeviceKind::PrinterDevice},
        {fifo.string(), DeviceKind::PrinterDevice},  {(dir / "file.prn").string(), DeviceKind::PrinterDevice},
        {"/dev/null", DeviceKind::SerialLine},       {"", DeviceKind::SerialLine},
        {dir.path().string(), DeviceKind::SerialLine}};
    for (const auto& [device, kind] : cases) EXPECT_EQ(deviceKind(device), kind) << device;

    // The switching transport makes the matching one at each open, the serial kind from its
    // factory.
    int serialMade = 0;
    DeviceTransport transport([&](std::chrono::milliseconds timeout) {
        ++serialMade;
        return makePosixSerialTransport(timeout);
    });
    transport.open("cups://Q", {});
    EXPECT_NE(dynamic_cast<PrintQueueTransport*>(transport.current()), nullptr);
    transport.close();
    transport.open(fifo.string(), {});
    EXPECT_NE(dynamic_cast<PrinterDeviceTransport*>(transport.current()), nullptr);
    EXPECT_FALSE(transport.open((dir / "missing").string(), {}));
    EXPECT_NE(dynamic_cast<PosixSerialTransport*>(transport.current()), nullptr);
    EXPECT_EQ(serialMade, 1);
}

TEST(TransportFactory, NetworkDevicesParseHostAndPort) {
    using A = NetworkAddress;
    const std::pair<const char*, std::optional<A>> cases[] = {
        {"tcp://printer:9100", A{"printer", 9100}}, {"tcp://10.1.2.3", A{"10.1.2.3", 9100}},
        {"tcp://[::1]:6101", A{"::1", 6101}},       {"tcp://[fe80::1]", A{"fe80::1", 9100}},
        {"tcp://", std::nullopt},                   {"tcp://:9100", std::nullopt},
        {"tcp://host:", std::nullopt},              {"tcp://host:0", std::nullopt},
        {"tcp://host:65536", std::nullopt},         {"tcp://host:91x", std::nullopt},
        {"tcp://a:1:2", std::nullopt},              {"tcp://[::1", std::nullopt},
        {"tcp://[::1]9100", std::nullopt},          {"tcp://host/x:9100", std::nullopt},
        {"/dev/ttyS0", std::nullopt}};
    for (const auto& [device, address] : cases) EXPECT_EQ(parseNetworkDevice(device), address) << device;
    EXPECT_EQ(parsePrintQueueDevice("cups://Shop_1"), "Shop_1");
    for (const char* bad : {"cups://", "cups://a/b", "tcp://a", "Shop_1"}) EXPECT_EQ(parsePrintQueueDevice(bad), std::nullopt);
}

bool writeText(SerialTransport& transport, std::string_view text) {
    for (const char c : text)
        if (!transport.writeByte(static_cast<std::uint8_t>(c))) return false;
    return true;
}

TEST(PrinterDeviceTransport, WritesThePlainDeviceExclusivelyAndGivesUpWhenItIsFull) {
    test::TempDir dir;
    const auto fifo = dir / "lp0";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int printer = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(printer, 0);
    PrinterDeviceTransport transport;
    transport.setIoTimeout(50ms);
    ASSERT_TRUE(transport.open(fifo.string(), {}));
    EXPECT_FALSE(PrinterDeviceTransport().open(fifo.string(), {})) << "held by another";
    ASSERT_TRUE(writeText(transport, "N\r\nP1\r\n"));
    char buffer[16] = {};
    EXPECT_EQ(::read(printer, buffer, sizeof buffer), 7);
    EXPECT_EQ(std::string(buffer, 7), "N\r\nP1\r\n");
    // A printer that takes nothing more: the write fails after its time-out, not never.
    std::size_t written = 0;
    while (written < (1u << 22) && transport.writeByte('x')) ++written;
    EXPECT_LT(written, 1u << 22);
    transport.close();
    EXPECT_TRUE(PrinterDeviceTransport().open(fifo.string(), {})) << "free again";
    ::close(printer);
}

// A print queue behind the link, its jobs recorded instead of sent.
struct QueueLink {
    QueueLink() {
        link.setPortDevice(0, "cups://Shop");
        link.setTiming(clock.timing());
    }
    std::vector<std::pair<std::string, std::string>> jobs;
    std::string refusal;  // what the server says to the next job
    PrintQueueTransport transport{[this](const std::string& queue, const std::vector<std::uint8_t>& data,
                                         std::chrono::milliseconds) {
        jobs.emplace_back(queue, std::string(data.begin(), data.end()));
        return refusal;
    }};
    test::FakeUi ui;
    PrinterLink link{transport, ui};
    test::FakeClock clock;
};

TEST(PrintQueueTransport, WhatAnExchangeWritesGoesAsOneJobOnClose) {
    QueueLink q;
    ASSERT_TRUE(q.link.openPort());
    q.link.writeText("N\r\n");
    q.link.writeText("P2\r\n");
    EXPECT_TRUE(q.jobs.empty());
    q.link.closePort();
    EXPECT_EQ(q.jobs, (std::vector<std::pair<std::string, std::string>>{{"Shop", "N\r\nP2\r\n"}}));
    EXPECT_FALSE(q.link.silent());
    ASSERT_TRUE(q.link.openPort());  // an exchange that wrote nothing makes no job
    q.link.closePort();
    EXPECT_EQ(q.jobs.size(), 1u);
    EXPECT_TRUE(q.ui.events.empty());
}

TEST(PrintQueueTransport, ExchangeWaitingForAnAnswerIsRefusedAtOnceAndSendsNothing) {
    QueueLink q;
    PrinterStorage storage(q.link);
    EXPECT_FALSE(storage.receiveList(kListForms));
    EXPECT_TRUE(q.link.silent());
    EXPECT_EQ(q.link.failureMessage(), kPrintQueueCannotAnswer);
    EXPECT_EQ(q.ui.events, (test::Events{"window Communicating ...: Receiving form list",
                                          std::string("window error Error: ") + kPrintQueueCannotAnswer, "beep"}));
    EXPECT_TRUE(q.clock.sleeps.empty()) << "no wait for a silence that is certain";
    // As after any silence the port is given up; closing it makes no job of the refused query.
    EXPECT_FALSE(q.link.isOpen());
    EXPECT_TRUE(q.jobs.empty());
}

TEST(PrintQueueTransport, JobTheServerRefusesIsReportedWhenThePortCloses) {
    QueueLink q;
    q.refusal = "The print queue Shop refused the job: not accepting jobs";
    ASSERT_TRUE(q.link.openPort());
    q.link.showProgress("Printing");
    q.link.writeText("N\r\nP1\r\n");
    q.link.closePort();
    q.link.endProgress();
    EXPECT_TRUE(q.link.silent());
    EXPECT_EQ(q.ui.events, (test::Events{"window Communicating ...: Printing", "beep",
                                          "window error Error: " + q.refusal}));
    // Without the progress window it is a box of its own.
    q.ui.events.clear();
    q.ui.visible = false;  // the user pressed OK
    ASSERT_TRUE(q.link.openPort());
    q.link.writeText("P1\r\n");
    q.link.closePort();
    EXPECT_EQ(q.ui.events, (test::Events{"beep", "box Error: " + q.refusal}));
}

}  // namespace
}  // namespace tavrin
