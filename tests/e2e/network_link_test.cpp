// The link over TCP when the far end misbehaves, and the print queue through the command
// line: a peer that hangs up mid-exchange ends in the link's own messages within the
// silence limit, and a queue refuses what it cannot answer. Loopback only.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "document/label_file.h"
#include "e2e/e2e_support.h"
#include "link/print_queue_transport.h"
#include "printer/printing.h"
#include "printer/storage_operations.h"

namespace tavrin {
namespace {

// A network printer that takes one connection, reads until it has seen `hangUpAfter`
// (at once when empty) and then hangs up without a word: closes, or with `reset` drops the
// connection as a printer that is switched off or crashes does.
class HangingUpPeer {
public:
    explicit HangingUpPeer(std::string hangUpAfter, bool reset = false) : reset_(reset) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(listener_, 1) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            throw std::runtime_error("cannot listen on 127.0.0.1");
        device_ = "tcp://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
        thread_ = std::thread([this, hangUpAfter = std::move(hangUpAfter)] { serve(hangUpAfter); });
    }
    ~HangingUpPeer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    const std::string& device() const { return device_; }
    std::string received() {
        thread_.join();
        thread_ = std::thread([] {});
        return received_;
    }

private:
    void serve(const std::string& hangUpAfter) {
        pollfd entry{listener_, POLLIN, 0};
        while (!stop_ && ::poll(&entry, 1, 20) <= 0) {
        }
        if (stop_) return;
        const int client = ::accept(listener_, nullptr, nullptr);
        char buffer[256];
        for (pollfd in{client, POLLIN, 0}; !stop_ && !hangUpAfter.empty() && !received_.ends_with(hangUpAfter);) {
            if (::poll(&in, 1, 20) <= 0) continue;
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            received_.append(buffer, static_cast<std::size_t>(n));
        }
        if (reset_) {
            const linger now{1, 0};
            ::setsockopt(client, SOL_SOCKET, SO_LINGER, &now, sizeof now);
        }
        ::close(client);
    }

    bool reset_ = false;
    int listener_ = -1;
    std::string device_;
    std::string received_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Closed or reset, the connection's end is seen at once rather than waited out as silence.
TEST(NetworkLink, PeerThatHangsUpInsteadOfAnsweringIsNoPrinterResponse) {
    for (const bool reset : {false, true}) {
        HangingUpPeer peer("\r\nUF\r\n", reset);
        e2e::RealLink real(peer.device());
        // The list exchange itself, so that the port is still there to ask after it.
        ASSERT_TRUE(real.link.openPort());
        std::vector<std::string> names;
        EXPECT_EQ(receiveNameList(real.link, listCommand(kListForms), names, false).message(), "No printer response");
        EXPECT_TRUE(real.link.silent() && real.link.deviceGone()) << reset;
        EXPECT_EQ(peer.received(), "\r\nUF\r\n");
        real.link.closePort();
    }
}

TEST(NetworkLink, PeerThatHangsUpBeforeAStoreFailsTheWrite) {
    HangingUpPeer peer("");
    e2e::RealLink real(peer.device());
    LabelDocument label;
    ASSERT_TRUE(loadLabelFile(test::kSample, label));
    PrinterStorage storage(real.link);
    EXPECT_FALSE(storage.storeCurrentLabel(label, "GONE"));
    EXPECT_TRUE(real.link.refused());  // without a retry question: the printer is gone
    // A port that still takes connections but never serves them is a silent printer.
    const auto r = e2e::runPrinterCommand(peer.device(), {"list", "forms"});
    EXPECT_TRUE(r.exitCode != 0 && r.err.find("No printer response") != std::string::npos) << r.err;
}

TEST(NetworkLink, PrintQueueRefusesWhatNeedsAnAnswerAndReportsAJobItCannotDeliver) {
    auto r = e2e::runPrinterCommand("cups://Shop", {"list", "forms"});
    if (!printQueuesAvailable()) {
        EXPECT_TRUE(r.exitCode != 0 && r.err.find("Can't open communication port") != std::string::npos) << r.err;
        GTEST_SKIP() << "built without libcups";
    }
    // No print server is asked for it: refused before anything is sent.
    EXPECT_TRUE(r.exitCode != 0 && r.err.find(kPrintQueueCannotAnswer) != std::string::npos) << r.err;
    // A print job is collected and goes on close: here to a server that is not there.
    const test::ScopedEnv server("CUPS_SERVER", "127.0.0.1:1");
    r = e2e::runPrinterCommand("cups://Shop", {"print-label", test::kSample});
    EXPECT_TRUE(r.exitCode != 0 && r.err.find("Can't reach the print server 127.0.0.1:1") != std::string::npos) << r.err;
}

}  // namespace
}  // namespace tavrin
