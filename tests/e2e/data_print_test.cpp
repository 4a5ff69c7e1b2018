// A data file printed on the simulated printer from the command line: every print is what
// `render --data --row N` draws for its row.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace tavrin {
namespace {

using e2e::kSample;
using e2e::readOneBitPng;

test::CommandResult printRows(const std::string& device, const std::vector<std::string>& more) {
    std::vector<std::string> arguments{"print", kSample, "--port", device, "--silence-ms",
                                       std::to_string(e2e::kSilence.count())};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return test::runProgram(TAVRIN_LABEL_EXE, arguments);
}

TEST(DataPrintEndToEnd, EachPrintIsTheRenderOfItsRow) {
    test::TempDir dir;
    const auto sim = test::startSimulator(dir / "out");
    // The sample label's variable is "Lot number", its counter "Serial".
    const auto rows = dir / "rows.csv";
    test::writeFile(rows, "\xEF\xBB\xBF" "LOT NUMBER;Qty;Serial;Ignored\r\n\"A;1\";1;100;x\r\n\r\nB\"2;2;;y\r\n"
                          "\"multi\r\nline\";1;7;z\r\n");
    const auto r = printRows(sim.device(), {"--data", rows.string(), "--copies-column", "qty"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "printed 3 rows\n");
    EXPECT_NE(r.err.find("Column \"Ignored\" matches no variable or counter"), std::string::npos) << r.err;
    // Row 2 has two copies.
    const int rowOfLabel[] = {1, 2, 2, 3};
    for (int label = 1; label <= 4; ++label) {
        const int row = rowOfLabel[label - 1];
        const auto png = dir / ("row" + std::to_string(row) + ".png");
        const auto rendered = test::runProgram(TAVRIN_LABEL_EXE, {"render", kSample, "--print", "--data", rows.string(),
                                                                  "--row", std::to_string(row), "-o", png.string()});
        ASSERT_EQ(rendered.exitCode, 0) << rendered.err;
        EXPECT_TRUE(readOneBitPng(sim.label(label)) == readOneBitPng(png)) << "label " << label << ", row " << row;
    }
    EXPECT_FALSE(std::filesystem::exists(sim.label(5)));
    // Different rows print differently.
    EXPECT_FALSE(readOneBitPng(sim.label(1)) == readOneBitPng(sim.label(4)));
}

// Direct jobs carry the pictures as rasters: this printer has none stored.
TEST(DataPrintEndToEnd, RowsFromStandardInputAndARangeAsDirectJobs) {
    test::TempDir dir;
    const auto sim = test::startSimulator(dir / "out");
    test::writeFile(dir / "rows.tsv", "Lot number\tSerial\nr1\t1\nr2\t2\nr3\t3\nr4\t4\n");
    const std::string command = std::string(TAVRIN_LABEL_EXE) + " print " + kSample + " --port " + sim.device() +
                                " --direct-graphics --data - --rows 2-3 < " + (dir / "rows.tsv").string();
    const auto r = test::runProgram("/bin/sh", {"-c", command});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "printed 2 rows\n");
    const auto png = dir / "row3.png";
    ASSERT_EQ(test::runProgram(TAVRIN_LABEL_EXE, {"render", kSample, "--print", "--data", (dir / "rows.tsv").string(),
                                                  "--row", "3", "-o", png.string()}).exitCode, 0);
    EXPECT_TRUE(readOneBitPng(sim.label(2)) == readOneBitPng(png));
    EXPECT_FALSE(std::filesystem::exists(sim.label(3)));
}

TEST(DataPrintEndToEnd, ThroughTheFormActiveInThePrinter) {
    test::TempDir dir;
    const auto sim = test::startSimulator(dir / "out");
    ASSERT_EQ(e2e::runPrinterCommand(sim.device(), {"store-label", kSample, "SAMPLE"}).exitCode, 0);
    test::writeFile(dir / "rows.csv", "Serial,Lot number\n5,first\n6,second\n");
    const auto r = test::runProgram(TAVRIN_LABEL_EXE, {"print", "--active-form", "--port", sim.device(), "--data",
                                                       (dir / "rows.csv").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "printed 2 rows\n");
    const auto png = dir / "row2.png";
    ASSERT_EQ(test::runProgram(TAVRIN_LABEL_EXE, {"render", kSample, "--print", "--data", (dir / "rows.csv").string(),
                                                  "--row", "2", "-o", png.string()}).exitCode, 0);
    EXPECT_TRUE(readOneBitPng(sim.label(2)) == readOneBitPng(png));
    // Nothing else was stored: the run used the form that was there.
    EXPECT_EQ(e2e::runPrinterCommand(sim.device(), {"list", "forms"}).out, "SAMPLE\n");
}

TEST(DataPrintEndToEnd, ProblemsStopTheRunBeforeAnythingPrintsAndSilenceNamesTheLastRow) {
    test::TempDir dir;
    const auto sim = test::startSimulator(dir / "out");
    test::writeFile(dir / "short.csv", "Lot number,Serial\nA,1\nB\n");
    auto r = printRows(sim.device(), {"--data", (dir / "short.csv").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Row 2: no value for \"Serial\""), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "received.log") &&
                 test::readText(dir / "out" / "received.log").find("FS") != std::string::npos);

    const auto silent = test::startSimulator(dir / "silent", {"--fault", "silent"});
    test::writeFile(dir / "rows.csv", "Lot number\nA\nB\n");
    r = printRows(silent.device(), {"--data", (dir / "rows.csv").string(), "--label-ms", "1"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("No printer response; last row printed: 0 (go on with --rows 1-)"), std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace tavrin
