// The transports beside the serial line: which one a device names, a network printer's
// TCP connection, a printer device file, and a print queue that takes jobs but cannot
// answer. Network peers are on 127.0.0.1 only.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fake_printer.h"
#include "printer/posix_serial_transport.h"
#include "printer/print_queue_transport.h"
#include "printer/printer_device_transport.h"
#include "printer/storage_operations.h"
#include "printer/tcp_transport.h"
#include "printer/transport_factory.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using namespace std::chrono_literals;

TEST(TransportFactory, DeviceNamesPickTheirTransport) {
    test::TempDir dir;
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    test::writeFile(dir / "file.prn", "");
    const std::pair<std::string, DeviceKind> cases[] = {
        {"tcp://printer.local:9100", DeviceKind::Network}, {"TCP://10.0.0.7", DeviceKind::Network},
        {"cups://Zebra_Shop", DeviceKind::PrintQueue},     {"/dev/usb/lp0", DeviceKind::PrinterDevice},
        {"/dev/lp1", DeviceKind::PrinterDevice},           {fifo.string(), DeviceKind::PrinterDevice},
        {(dir / "file.prn").string(), DeviceKind::PrinterDevice},
        {"/dev/ttyS0", DeviceKind::SerialLine},            {"/dev/null", DeviceKind::SerialLine},
        {(dir / "missing").string(), DeviceKind::SerialLine}, {"", DeviceKind::SerialLine},
        {dir.path().string(), DeviceKind::SerialLine}};
    for (const auto& [device, kind] : cases) EXPECT_EQ(deviceKind(device), kind) << device;

    // The switching transport makes the matching one at each open, the serial kind from its
    // factory.
    int serialMade = 0;
    DeviceTransport transport([&](std::chrono::milliseconds timeout) {
        ++serialMade;
        return makePosixSerialTransport(timeout);
    });
    transport.open("tcp://127.0.0.1:1", {});
    EXPECT_NE(dynamic_cast<TcpTransport*>(transport.current()), nullptr);
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

// A listening socket on a free loopback port, accepting one client.
class LoopbackServer {
public:
    LoopbackServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd_, 1) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            throw std::runtime_error("cannot listen on 127.0.0.1");
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackServer() {
        if (client >= 0) ::close(client);
        if (fd_ >= 0) ::close(fd_);
    }
    std::string device() const { return "tcp://127.0.0.1:" + std::to_string(port_); }
    bool accept() {
        pollfd entry{fd_, POLLIN, 0};
        if (::poll(&entry, 1, 2000) <= 0) return false;
        client = ::accept(fd_, nullptr, nullptr);
        return client >= 0;
    }
    std::string receive() {
        std::string text;
        char buffer[256];
        for (pollfd entry{client, POLLIN, 0}; ::poll(&entry, 1, 200) > 0;) {
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }
    void stopListening() {
        ::close(fd_);
        fd_ = -1;
    }
    int client = -1;

private:
    int fd_ = -1;
    int port_ = 0;
};

bool writeText(SerialTransport& transport, std::string_view text) {
    for (const char c : text)
        if (!transport.writeByte(static_cast<std::uint8_t>(c))) return false;
    return true;
}

TEST(TcpTransport, TalksToThePeerAndFailsWithoutCrashingWhenItGoesAway) {
    LoopbackServer server;
    TcpTransport transport;
    transport.setIoTimeout(300ms);
    ASSERT_TRUE(transport.open(server.device(), {}));
    ASSERT_TRUE(server.accept());
    ASSERT_TRUE(writeText(transport, "\r\nUM\r\n"));
    EXPECT_EQ(server.receive(), "\r\nUM\r\n");
    ASSERT_EQ(::send(server.client, "OK\n", 3, 0), 3);
    std::string reply;
    std::uint8_t byte = 0;
    while (reply.size() < 3 && transport.readByte(byte)) reply += static_cast<char>(byte);
    EXPECT_EQ(reply, "OK\n");
    EXPECT_EQ(transport.bytesWaiting(), 0u);
    // Nothing more comes: a read gives up after the time-out.
    EXPECT_FALSE(transport.readByte(byte));

    ::close(server.client);
    server.client = -1;
    EXPECT_FALSE(transport.readByte(byte));  // the end of the stream is no byte
    EXPECT_EQ(transport.bytesWaiting(), 0u);
    // The first bytes may still be taken by the kernel; the peer's reset then fails the
    // writes, with no SIGPIPE to end this test.
    bool refused = false;
    for (int i = 0; i < 1000 && !refused; ++i) {
        refused = !transport.writeByte('x');
        if (!refused) ::usleep(1000);
    }
    EXPECT_TRUE(refused);
    transport.close();
    EXPECT_FALSE(transport.isOpen());
    EXPECT_FALSE(transport.writeByte('x'));
}

TEST(TcpTransport, RefusedOrMalformedAddressDoesNotOpen) {
    LoopbackServer server;
    const std::string device = server.device();
    server.stopListening();  // nobody there now
    TcpTransport transport;
    transport.setIoTimeout(500ms);
    EXPECT_FALSE(transport.open(device, {}));
    EXPECT_FALSE(transport.open("tcp://127.0.0.1:0", {}));
    EXPECT_FALSE(transport.open("cups://Q", {}));
    EXPECT_FALSE(transport.isOpen());
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
        LinkTiming timing;
        timing.now = [this] { return std::chrono::milliseconds(clock++); };
        timing.sleep = [this](std::chrono::milliseconds) { ++sleeps; };
        link.setTiming(timing);
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
    long long clock = 0;
    int sleeps = 0;
};

TEST(PrintQueueTransport, WhatAnExchangeWritesGoesAsOneJobOnClose) {
    QueueLink q;
    ASSERT_TRUE(q.link.openPort());
    q.link.writeText("N\r\n");
    q.link.writeText("P2\r\n");
    EXPECT_TRUE(q.jobs.empty());
    q.link.closePort();
    EXPECT_EQ(q.jobs, (std::vector<std::pair<std::string, std::string>>{{"Shop", "N\r\nP2\r\n"}}));
    EXPECT_FALSE(q.link.timeoutFlag);
    ASSERT_TRUE(q.link.openPort());  // an exchange that wrote nothing makes no job
    q.link.closePort();
    EXPECT_EQ(q.jobs.size(), 1u);
    EXPECT_TRUE(q.ui.events.empty());
}

TEST(PrintQueueTransport, ExchangeWaitingForAnAnswerIsRefusedAtOnceAndSendsNothing) {
    QueueLink q;
    PrinterStorage storage(q.link);
    EXPECT_FALSE(storage.receiveList(kListForms));
    EXPECT_TRUE(q.link.timeoutFlag);
    EXPECT_EQ(q.link.failureMessage(), kPrintQueueCannotAnswer);
    EXPECT_EQ(q.ui.events, (test::Events{"window Communicating ...: Receiving form list",
                                          std::string("window error Error: ") + kPrintQueueCannotAnswer, "beep"}));
    EXPECT_EQ(q.sleeps, 0) << "no wait for a silence that is certain";
    // As after any silence the port stays open for the next exchange, whose job holds only
    // its own commands: the refused query is not printed.
    ASSERT_TRUE(q.link.isOpen());
    q.link.writeText("P1\r\n");
    q.link.closePort();
    EXPECT_EQ(q.jobs, (std::vector<std::pair<std::string, std::string>>{{"Shop", "P1\r\n"}}));
}

TEST(PrintQueueTransport, JobTheServerRefusesIsReportedWhenThePortCloses) {
    QueueLink q;
    q.refusal = "The print queue Shop refused the job: not accepting jobs";
    ASSERT_TRUE(q.link.openPort());
    q.link.showProgress("Printing");
    q.link.writeText("N\r\nP1\r\n");
    q.link.closePort();
    q.link.endProgress();
    EXPECT_TRUE(q.link.timeoutFlag);
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

TEST(PrintQueueTransport, UnreachableServerFailsTheJobWithItsAddress) {
    if (!printQueuesAvailable()) {
        EXPECT_FALSE(PrintQueueTransport().open("cups://Shop", {}));
        GTEST_SKIP() << "built without libcups";
    }
    // Port 1 on the loopback: refused at once, never a real print server.
    const test::ScopedEnv server("CUPS_SERVER", "127.0.0.1:1");
    EXPECT_EQ(submitRawJob("Shop", {'N', '\n'}, 500ms), "Can't reach the print server 127.0.0.1:1");
}

}  // namespace
}  // namespace tavrin
