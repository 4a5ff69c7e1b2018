// Stopping an exchange from its progress window, and a failure told to the user once.
#include <gtest/gtest.h>

#include "support/fake_printer.h"

namespace tavrin {
namespace {

using test::Events;
using test::FakePrinter;

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
    EXPECT_TRUE(p.link.abortFlag);
    // Stopped by the user is no printer failure: the window closes without a message.
    EXPECT_FALSE(p.link.timeoutFlag);
    p.link.endProgress();
    EXPECT_EQ(p.ui.events.back(), "close");
}

TEST(PrinterLinkCancel, SilenceIsReportedOncePerFailure) {
    FakePrinter p;
    ASSERT_TRUE(p.link.openPort());
    p.link.showProgress("Receiving active form name");
    p.link.progressShowFlag = false;
    std::string line;
    p.link.readLine(line, 16);  // nothing comes
    ASSERT_TRUE(p.link.timeoutFlag);
    p.link.endProgress();  // the inner exchange ends...
    p.link.progressShowFlag = true;
    p.link.endProgress();  // ... and so does the whole
    EXPECT_EQ(p.ui.events, (Events{"window Communicating ...: Receiving active form name",
                                   "window error Error: No printer response", "beep"}));
    // The next failure is a new one.
    p.link.readLine(line, 16);
    p.link.endProgress();
    EXPECT_EQ(p.ui.events.back(), "beep");
    EXPECT_EQ(p.ui.events.size(), 5u);
}

}  // namespace
}  // namespace tavrin
