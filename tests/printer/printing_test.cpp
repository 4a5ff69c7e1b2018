// Test prints, prints of the active form, value exchanges and the raster test print
// against a scripted printer. Expected bytes are written out by hand from the command
// texts; the immediate job's own lines are the form writer's tests' business.
#include <gtest/gtest.h>

#include "support/fake_printer.h"
#include "printer/printing.h"
#include "support/label_builders.h"

namespace tavrin {
namespace {

using test::FakePrinter;
using test::makeSlot;

TEST(PrintQuantity, OnlyWholeNumbersFromOneTo999Replace) {
    const std::pair<const char*, unsigned> cases[] = {{"999", 999}, {"1", 1}, {" 12", 12}, {"0", 4}, {"1000", 4},
                                                      {"1x", 4},    {"", 4},  {"-3", 4},   {"99999999999999999999", 4}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(validateQuantity(text, 4), expected) << text;
}

TEST(TestPrint, SendsTheJobWithItsCopiesAndAdvancesCountersOnce) {
    FakePrinter p;
    LabelDocument d;
    test::addRectangle(d, 10, 20, 30, 40, 0);
    d.counters[0] = makeSlot(4, kJustifyRight, '0', "Up", "0009", 1);
    d.counters[2] = makeSlot(4, kJustifyRight, '0', "Down", "0", -1);
    d.counters[5] = makeSlot(4, kJustifyRight, '0', "Odd", "x7", 5);
    EXPECT_TRUE(testPrint(p.link, d, 2).sent);
    EXPECT_TRUE(p.transport.written.ends_with("\r\nP2\r\n"));
    EXPECT_EQ(d.counters[0].valueText(), "10");
    EXPECT_EQ(d.counters[2].valueText(), "-1");
    EXPECT_EQ(d.counters[5].valueText(), "5");  // no leading digits count as 0
    FakePrinter fontsOnly;  // font entries alone are nothing to print
    LabelDocument fonts;
    test::addFont(fonts, 'A', {1, 0, 8});
    EXPECT_EQ(testPrint(fontsOnly.link, fonts, 1).message, (UserMessage{"Error", "Nothing to print"}));
    EXPECT_EQ(fontsOnly.transport.openCount, 0);
}

TEST(TestPrint, RefusedOrUnopenedPortLeavesTheCountersAlone) {
    FakePrinter p;
    LabelDocument d;
    test::addRectangle(d, 0, 0, 8, 8, 0);
    d.counters[0] = makeSlot(3, kJustifyNone, ' ', "N", "5", 1);
    p.transport.refuseFrom = 4;
    p.transport.refusals = 1;
    EXPECT_FALSE(testPrint(p.link, d, 1).sent);
    EXPECT_TRUE(p.link.refused());
    EXPECT_EQ(p.transport.written, "\r\nN\r");  // nothing after the refusal
    EXPECT_FALSE(p.transport.opened);
    EXPECT_EQ(p.ui.events.back(), "beep");  // the progress window turned into the error
    EXPECT_EQ(d.counters[0].valueText(), "5");
    FakePrinter closed;
    closed.transport.openFails = true;
    EXPECT_FALSE(testPrint(closed.link, d, 1).sent);
    EXPECT_EQ(d.counters[0].valueText(), "5");
}

LabelDocument labelWithValues() {
    LabelDocument d;
    d.variables[1] = makeSlot(5, kJustifyLeft, ' ', "Name", "ABC");
    d.variables[4] = makeSlot(5, kJustifyLeft, ' ', "Empty", "");
    d.counters[0] = makeSlot(4, kJustifyRight, '0', "Serial", "0007", 2);
    d.counters[3] = makeSlot(4, kJustifyRight, '0', "Blank", "", 1);
    return d;
}

TEST(StoredFormValues, EmptyValuesTravelAsBlankAndZeroAndSetsAdvanceTheCounters) {
    const std::string values = "?\r\nABC\r\n \r\n0007\n0\r\n";
    FakePrinter p;
    LabelDocument d = labelWithValues();
    EXPECT_TRUE(sendStoredFormValues(p.link, d));
    EXPECT_EQ(p.transport.written, "\r\n" + values);
    EXPECT_FALSE(p.transport.opened);
    p.transport.written.clear();
    EXPECT_TRUE(printStoredFormWithValues(p.link, d, "F1", 3, 2).sent);
    EXPECT_EQ(p.transport.written, "\r\nFR\"F1\"\r\n" + values + "P3,2\r\n");
    EXPECT_EQ(d.counters[0].valueText(), "13");  // 3 sets: 3 steps of 2
    EXPECT_EQ(d.counters[3].valueText(), "3");
    p.transport.written.clear();  // without values: no "?" block, and no progress window
    EXPECT_TRUE(printStoredForm(p.link, "LABEL1", 3, 2).sent);
    EXPECT_EQ(p.transport.written, "\r\nFR\"LABEL1\"\r\n\n\rP3,2\r\n");
    EXPECT_TRUE(p.ui.events.empty());
    FakePrinter refused;
    LabelDocument kept = labelWithValues();
    refused.transport.refuseFrom = 14;  // inside the values
    refused.transport.refusals = 1;
    EXPECT_FALSE(printStoredFormWithValues(refused.link, kept, "F1", 3, 2).sent);
    EXPECT_EQ(refused.transport.written, "\r\nFR\"F1\"\r\n?\r\nA");
    EXPECT_EQ(kept.counters[0].valueText(), "0007");
}

TEST(StoredFormValues, StoredBackInRowOrderAndCut) {
    LabelDocument d = labelWithValues();
    storeValues(d, {"X", std::string(70, 'y'), "42", "9"});
    EXPECT_EQ(d.variables[1].valueText(), "X");
    EXPECT_EQ(d.variables[4].valueText(), std::string(63, 'y'));
    EXPECT_EQ(d.counters[0].valueText(), "42");
    EXPECT_EQ(d.counters[3].valueText(), "9");
    EXPECT_TRUE(hasVariablesOrCounters(d));
    EXPECT_FALSE(hasVariablesOrCounters(LabelDocument{}));
}

TEST(ActiveForm, EmptyReplyMeansNoFormAndSilenceStopsBeforeVariables) {
    FakePrinter p;
    PrinterStorage storage(p.link);
    LabelDocument d;
    p.transport.replyTo("\r\nFA\r\n", "\r\n");
    p.transport.replyTo("\r\n\nVI\r\n", std::string(1, '\0'));
    ASSERT_TRUE(receiveActiveFormAndVariables(storage, d));
    EXPECT_EQ(printDialogTitle(storage.activeFormName()), "Print");
    EXPECT_EQ(printDialogTitle("LABEL1"), "Print - LABEL1");
    const int opened = p.transport.openCount;
    const PrintOutcome none = printStoredForm(p.link, storage.activeFormName(), 1, 1);
    EXPECT_EQ(none.message, (UserMessage{"Error", "No form is selected"}));
    EXPECT_EQ(p.transport.openCount, opened);
    FakePrinter silent;
    PrinterStorage quiet(silent.link);
    EXPECT_FALSE(receiveActiveFormAndVariables(quiet, d));
    EXPECT_EQ(silent.transport.written, "\r\nFA\r\n");
    EXPECT_EQ(silent.ui.events.back(), "beep");
}

// The picture's rows come whole or the test print is not started.
TEST(BitmapTest, ShortRowsAreRefusedBeforeThePortOpens) {
    FakePrinter p;
    const std::vector<std::uint8_t> rows(7, 0x11);  // two rows of 4 bytes needed for 10 dots
    EXPECT_FALSE(PrintBitmapTest(p.link, rows, 10, 2, 12));
    EXPECT_EQ(p.transport.openCount, 0);
}

}  // namespace
}  // namespace tavrin
