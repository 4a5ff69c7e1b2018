// How an exchange ends when it cannot go on: stopped by the user from its progress window,
// a device that went away, and a failure told to the user once.
#include <gtest/gtest.h>

#include "support/fake_printer.h"

namespace tavrin {
namespace {

using test::Events;
using test::FakePrinter;

bool asked(const Events& events) {
    return std::any_of(events.begin(), events.end(), [](const std::string& e) { return e.starts_with("ask "); });
}

TEST(PrinterLinkCancel, EscOnTheProgressWindowStopsTheStreamBetweenBytes) {
    FakePrinter p;
    ASSERT_TRUE(p.link.openPort());
    // Without the progress window on screen a stale request stops nothing.
    p.ui.cancel = true;
    EXPECT_TRUE(p.link.writeText("AB"));
    p.ui.cancel = false;
    p.link.showProgress("Printing label. Please wait !");
    p.ui.cancelAtEventRun = p.ui.eventRuns + 4;
    EXPECT_FALSE(p.link.writeText("0123456789"));
    EXPECT_EQ(p.transport.written, "AB012");
    EXPECT_TRUE(p.link.refused() && p.link.stopped());
    // Stopped by the user is no printer failure: the window closes without a message.
    EXPECT_FALSE(p.link.silent());
    p.link.endProgress();
    EXPECT_EQ(p.ui.events.back(), "close");
}

// While the link waits for the printer, whether for its answer or for room to write, a
// stop ends the wait long before the silence limit, and so does every later step of the
// same exchange.
TEST(PrinterLinkCancel, AStopEndsAWaitForTheAnswerOrForRoom) {
    FakePrinter p;
    ASSERT_TRUE(p.link.openPort());
    p.link.showProgress("Receiving forms");
    p.ui.cancelAtEventRun = p.ui.eventRuns + 3;
    std::string line;
    EXPECT_EQ(p.link.readLine(line, 32), 0u);
    EXPECT_TRUE(p.link.silent() && p.link.stopped());
    EXPECT_LT(p.clock.now, 100);
    EXPECT_EQ(p.link.failureMessage(), "Stopped");
    EXPECT_FALSE(p.link.writeText("UF"));
    EXPECT_TRUE(p.link.refused() && p.link.stopped());
    EXPECT_EQ(p.transport.written, "");
    p.link.endProgress();
    EXPECT_EQ(p.ui.events, (Events{"window Communicating ...: Receiving forms", "close"}));

    p.ui.cancel = false;
    p.transport.full = true;  // the printer holds the line
    p.link.showProgress("Sending label");
    p.ui.cancelAtEventRun = p.ui.eventRuns + 5;
    const long long before = p.clock.now;
    EXPECT_FALSE(p.link.writeText("AB"));
    EXPECT_TRUE(p.link.refused() && p.link.stopped());
    EXPECT_FALSE(p.link.silent());
    EXPECT_LT(p.clock.now - before, 100);
    EXPECT_FALSE(asked(p.ui.events));
    // Without a stop, a printer that keeps the line held past the silence limit is the
    // write that failed, with its question.
    p.ui.cancel = false;
    p.link.closePort();
    p.link.endProgress();
    ASSERT_TRUE(p.link.openPort());
    EXPECT_FALSE(p.link.writeText("AB"));
    EXPECT_TRUE(p.link.refused() && p.link.silent() && !p.link.stopped());
    EXPECT_GE(p.clock.now - before, 3000);
    EXPECT_EQ(p.ui.events.back(), "ask Error: Can't write to comm. port. Retry ?");
}

// The next exchange opens a device that went away again instead of reusing the dead port.
TEST(PrinterLinkGone, ADeviceThatWentAwayIsOpenedAfresh) {
    FakePrinter p;
    ASSERT_TRUE(p.link.openPort());
    p.transport.vanished = true;
    std::string line;
    EXPECT_EQ(p.link.readLine(line, 32), 0u);
    ASSERT_TRUE(p.link.deviceGone());
    EXPECT_FALSE(p.link.writeText("AB"));
    ASSERT_TRUE(p.link.openPort());
    EXPECT_EQ(p.transport.openCount, 2);
    EXPECT_FALSE(p.link.deviceGone());
    EXPECT_TRUE(p.link.writeText("AB"));
}

// The progress window opens once for an exchange and its inner steps, closes quietly when
// all went well, and tells a silence once.
TEST(PrinterLinkCancel, TheWindowOpensOnceAndSilenceIsReportedOncePerFailure) {
    FakePrinter p;
    ASSERT_TRUE(p.link.openPort());
    p.link.showProgress("Store form A");
    p.link.endProgress();
    p.link.showProgress("Receiving active form name");
    p.link.setProgressWindowShown(false);
    p.link.showProgress("step");
    std::string line;
    p.link.readLine(line, 16);  // nothing comes
    ASSERT_TRUE(p.link.silent());
    p.link.endProgress();  // the inner exchange ends...
    p.link.setProgressWindowShown(true);
    p.link.endProgress();  // ... and so does the whole
    EXPECT_EQ(p.ui.events, (Events{"window Communicating ...: Store form A", "close",
                                   "window Communicating ...: Receiving active form name", "text step",
                                   "window error Error: No printer response", "beep"}));
    // The next failure is a new one.
    p.link.readLine(line, 16);
    p.link.endProgress();
    EXPECT_EQ(p.ui.events.back(), "beep");
    EXPECT_EQ(p.ui.events.size(), 8u);
}

}  // namespace
}  // namespace tavrin
