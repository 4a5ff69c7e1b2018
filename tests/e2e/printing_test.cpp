// Printing through the command line to the simulated printer: what it prints is what
// `tavrin-label render --print` draws, and stored-form prints move the counters.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace tavrin {
namespace {

class PrintingEndToEnd : public testing::TestWithParam<test::Over> {};

using test::kSample;
using e2e::readOneBitPng;
using e2e::runPrinterCommand;

TEST_P(PrintingEndToEnd, TestPrintMatchesTheRenderedPrintImageDotForDot) {
    test::TempDir dir;
    const test::Simulator sim(GetParam(), dir / "out");
    // The label's picture is printed from the printer's memory, so store it first.
    ASSERT_EQ(runPrinterCommand(sim.port, {"store-label", kSample, "SAMPLE"}).exitCode, 0);
    auto r = runPrinterCommand(sim.port, {"print-label", kSample});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "printed 1 copy\nV00 \"Lot number\" = \"42\"\nC00 +1 \"Serial\" = \"2\"\n");
    // The pictures travel as rasters here.
    ASSERT_EQ(runPrinterCommand(sim.port, {"print-label", kSample, "--direct-graphics"}).exitCode, 0);
    // The printer answers only after it has finished the prints before.
    ASSERT_EQ(runPrinterCommand(sim.port, {"list", "forms"}).out, "SAMPLE\n");
    r = test::runLabel({"render", kSample, "--print", "-o", (dir / "render.png").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Bitmap expected = readOneBitPng(dir / "render.png");
    EXPECT_GT(expected.countInk(), 0);
    EXPECT_TRUE(readOneBitPng(sim.label(1)) == expected) << "with stored pictures";
    EXPECT_TRUE(readOneBitPng(sim.label(2)) == expected) << "with direct graphics";
    EXPECT_FALSE(std::filesystem::exists(sim.label(3)));
}

TEST_P(PrintingEndToEnd, ActiveFormWithThreeSetsAdvancesCountersByThreeSteps) {
    test::TempDir dir;
    const test::Simulator sim(GetParam(), dir / "out");
    ASSERT_EQ(runPrinterCommand(sim.port, {"store-label", kSample, "SAMPLE"}).exitCode, 0);
    // With values: FR, ?, the values and P in one exchange.
    auto r = runPrinterCommand(sim.port, {"print-form", "--sets", "3", "--set", "C00=0010", "--set", "V00=A1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string values13 = "V00 \"Lot number\" = \"A1\"\nC00 +1 \"Serial\" = \"13\"\n";
    EXPECT_EQ(r.out, "printed form SAMPLE: 3 sets of 1\n" + values13);
    EXPECT_EQ(runPrinterCommand(sim.port, {"variables"}).out, values13);  // the printer counted alike
    // Without values: FR and P alone; the counters start from what the printer reports.
    r = runPrinterCommand(sim.port, {"print-form", "--sets", "3", "--copies", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string values16 = "V00 \"Lot number\" = \"A1\"\nC00 +1 \"Serial\" = \"16\"\n";
    EXPECT_EQ(r.out, "printed form SAMPLE: 3 sets of 2\n" + values16);
    EXPECT_EQ(runPrinterCommand(sim.port, {"variables"}).out, values16);
    EXPECT_TRUE(std::filesystem::exists(sim.label(9)) && !std::filesystem::exists(sim.label(10)));
    EXPECT_NE(runPrinterCommand(sim.port, {"print-form", "--sets", "1000"}).exitCode, 0);
}

TEST_P(PrintingEndToEnd, SilentPrinterAndMissingPortFailWithTheLinkMessage) {
    test::TempDir dir;
    const test::Simulator silent(GetParam(), dir / "out", {"--fault", "silent"});
    const std::tuple<std::string, std::vector<std::string>, const char*> cases[] = {
        {silent.port, {"list", "forms"}, "No printer response"}, {silent.port, {"print-form"}, "No printer response"},
        {silent.port, {"clock", "get"}, "No printer response"}, {silent.port, {"variables"}, "No printer response"},
        {GetParam() == test::Over::Network ? "tcp://127.0.0.1:1" : (dir / "no-such-port").string(), {"list", "forms"},
         "Can't open communication port"}};
    for (const auto& [device, sub, message] : cases) {
        const auto r = runPrinterCommand(device, sub);
        EXPECT_TRUE(r.exitCode != 0 && r.err.find(message) != std::string::npos) << sub[0] << ": " << r.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Over, PrintingEndToEnd, testing::Values(test::Over::Terminal, test::Over::Network),
                         test::overName);

}  // namespace
}  // namespace tavrin
