// What the simulator will not do on its own: a reply that never ends, a printer that stops
// reading, a port that refuses a byte, and a printer killed while the command line waits
// for it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <unistd.h>

#include "e2e/e2e_support.h"
#include "support/fake_printer.h"
#include "printer/storage_operations.h"

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

TEST(LinkFailures, RefusedByteAnsweredNoStopsTheStore) {
    test::FakePrinter p;
    p.transport.refuseFrom = 20, p.transport.refusals = 2;
    p.ui.retryAnswers = {true, false};  // one retry, then give up
    PrinterStorage storage(p.link);
    LabelDocument label;
    label.figures.appendFigure(TextRecord{.font = 1, .data = "\"X\""}.encode(), FigureKind::Text);
    EXPECT_FALSE(storage.storeCurrentLabel(label, "F"));
    EXPECT_TRUE(p.link.refused());
    EXPECT_EQ(p.transport.written.size(), 20u);  // nothing after the refused byte
    EXPECT_FALSE(p.transport.opened);
    EXPECT_EQ(std::count(p.ui.events.begin(), p.ui.events.end(), "ask Error: Can't write to comm. port. Retry ?"), 2);
}

class KilledPrinter : public testing::TestWithParam<e2e::Over> {};

// The printer's process killed while the command line waits for its answer: the command
// ends at once with the link's message, however long its silence limit.
TEST_P(KilledPrinter, EndsTheCommandWaitingForItsAnswer) {
    test::TempDir dir;
    e2e::Simulator sim(GetParam(), dir / "out", {"--fault", "silent"});
    test::CommandResult result;
    std::thread command([&] {
        result = test::runProgram(TAVRIN_LABEL_EXE,
                                  {"printer", "--port", sim.port, "--silence-ms", "60000", "list", "forms"});
    });
    const auto log = dir / "out" / "received.log";
    for (int i = 0; i < 1000 && test::readText(log).find("< UF") == std::string::npos; ++i) ::usleep(10000);
    sim.process.kill();
    command.join();
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("No printer response"), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Over, KilledPrinter, testing::Values(e2e::Over::Terminal, e2e::Over::Network),
                         e2e::overName);

}  // namespace
}  // namespace tavrin
