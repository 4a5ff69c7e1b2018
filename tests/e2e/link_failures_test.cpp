// What the simulator will not do on its own: a reply that never ends and a printer that
// stops reading.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "e2e/e2e_support.h"

namespace tavrin {
namespace {

// A printer that never falls silent: `send` stops reading at 1 MiB instead of hanging.
TEST(LinkFailures, EndlessReplyIsCutAtItsLimit) {
    test::PseudoTerminal pty;
    std::atomic<bool> stop{false};
    std::thread babble([&] {
        const std::string chunk(4096, 'x');
        while (pty.writeAll(chunk, stop)) {}
    });
    const auto result = e2e::runPrinterCommand(pty.device(), {"send", "U"});
    stop = true;
    babble.join();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.size(), std::size_t{1} << 20);
}

// A printer that stops reading: the command line gives up at the link's write limit, and
// closing discards what was still queued for it instead of waiting for it to leave.
TEST(LinkFailures, PrinterThatStopsReadingEndsTheCommandAndItsQueueIsDropped) {
    test::PseudoTerminal pty;  // nobody reads it
    const auto r = e2e::runPrinterCommand(pty.device(), {"send", std::string(120000, 'x')});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("No printer response"), std::string::npos) << r.err;
    // Only the terminal's own 4 KB line buffer keeps what it took; the queue (some 20 KB) is gone.
    EXPECT_LE(pty.drain().size(), 4096u);
}

}  // namespace
}  // namespace tavrin
