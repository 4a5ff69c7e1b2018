// A data file printed on the simulated printer from the command line: every print is what
// `render --data --row N` draws for its row, serials count on as an uninterrupted run would,
// what would print a wrong label prints nothing, and a run cut short by a dead printer or a
// killed program is counted honestly and resumed from the journal with no label twice and
// none missing.
#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <thread>

#include "e2e/e2e_support.h"

namespace tavrin {
namespace {

using test::kSample;
using e2e::readOneBitPng;

std::vector<std::string> printArguments(const std::string& device, const std::vector<std::string>& more) {
    std::vector<std::string> arguments{"print", kSample, "--port", device, "--silence-ms",
                                       std::to_string(e2e::kSilence.count())};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

test::CommandResult printRows(const std::string& device, const std::vector<std::string>& more) {
    return test::runLabel(printArguments(device, more));
}

// The print image `render --print` draws for one row of the data file.
Bitmap renderedRow(const std::filesystem::path& rows, int row) {
    const auto png = rows.parent_path() / ("row" + std::to_string(row) + ".png");
    const auto r = test::runLabel({"render", kSample, "--print", "--data", rows.string(), "--row",
                                   std::to_string(row), "-o", png.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return readOneBitPng(png);
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
    for (int label = 1; label <= 4; ++label)
        EXPECT_TRUE(readOneBitPng(sim.label(label)) == renderedRow(rows, rowOfLabel[label - 1])) << "label " << label;
    EXPECT_FALSE(std::filesystem::exists(sim.label(5)));
    std::vector<std::string> serials;
    for (const std::string& label : test::printedLabels({dir / "out"})) serials.push_back(label.substr(label.rfind("C00=")));
    EXPECT_EQ(serials, (std::vector<std::string>{"C00=100", "C00=101", "C00=101", "C00=7"}));
}

// Direct jobs carry the pictures as rasters: this printer has none stored.
TEST(DataPrintEndToEnd, RowsFromStandardInputAndARangeAsDirectJobs) {
    test::TempDir dir;
    const auto sim = test::startSimulator(dir / "out");
    test::writeFile(dir / "rows.tsv", "Lot number\tSerial\nr1\t1\nr2\t2\nr3\t3\nr4\t4\n");
    const auto r = test::runLabel({"print", kSample, "--port", sim.device(), "--direct-graphics",
                                   "--data", "-", "--rows", "2-3"}, dir / "rows.tsv");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "printed 2 rows\n");
    EXPECT_TRUE(readOneBitPng(sim.label(2)) == renderedRow(dir / "rows.tsv", 3));
    EXPECT_FALSE(std::filesystem::exists(sim.label(3)));
}

TEST(DataPrintEndToEnd, ThroughTheFormActiveInThePrinter) {
    test::TempDir dir;
    const auto sim = test::startSimulator(dir / "out");
    ASSERT_EQ(e2e::runPrinterCommand(sim.device(), {"store-label", kSample, "SAMPLE"}).exitCode, 0);
    test::writeFile(dir / "rows.csv", "Serial,Lot number\n5,first\n6,second\n");
    const auto r = test::runLabel({"print", "--active-form", "--port", sim.device(), "--data",
                                   (dir / "rows.csv").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "printed 2 rows\n");
    EXPECT_TRUE(readOneBitPng(sim.label(2)) == renderedRow(dir / "rows.csv", 2));
    // Nothing else was stored: the run used the form that was there.
    EXPECT_EQ(e2e::runPrinterCommand(sim.device(), {"list", "forms"}).out, "SAMPLE\n");
}

// Which refusal each problem gets is the data checks' own; here print and check refuse
// alike, and the render of the row shows it with the same problem named.
TEST(DataPrintEndToEnd, RowsThatWouldPrintAWrongLabelPrintNothing) {
    test::TempDir dir;
    const auto sim = test::startSimulator(dir / "out");
    const auto rows = dir / "rows.csv";
    test::writeFile(rows, "Lot number\n\xC3\x9Cn\xC3\xAF" "code \xE2\x82\xAC\n");
    const std::string problem = "Row 1, column \"Lot number\": \"\xC3\x9C\"";
    const auto printed = printRows(sim.device(), {"--data", rows.string()});
    const auto checked = test::runLabel({"check", kSample, "--data", rows.string()});
    const auto rendered = test::runProgram(
        TAVRIN_LABEL_EXE, {"render", kSample, "--data", rows.string(), "--row", "1", "-o", (dir / "row.png").string()});
    EXPECT_NE(printed.exitCode, 0);
    EXPECT_NE(checked.exitCode, 0);
    for (const std::string& err : {printed.err, checked.err, rendered.err}) EXPECT_NE(err.find(problem), std::string::npos) << err;
    EXPECT_NE(printed.err.find("nothing printed"), std::string::npos) << printed.err;
    EXPECT_TRUE(test::printedLabels({dir / "out"}).empty());
}

// A printer that never answers, under a form name of the user's: the rows go, none is
// confirmed, and the message says which may have printed.
TEST(DataPrintEndToEnd, ASilentPrinterIsNeverSaidToHavePrinted) {
    test::TempDir dir;
    const auto silent = test::startSimulator(dir / "silent", {"--fault", "silent"});
    test::writeFile(dir / "rows.csv", "Lot number\nA\nB\n");
    const auto r = printRows(silent.device(), {"--data", (dir / "rows.csv").string(), "--form", "ROWS", "--label-ms", "1"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("No printer response; row 1 sent, none confirmed"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("go on with --rows 2- or --rows 1-"), std::string::npos) << r.err;
}

int labelsPrinted(const test::SimulatorProcess& sim) {
    int n = 0;
    while (std::filesystem::exists(sim.label(n + 1))) ++n;
    return n;
}

void waitForLabels(const test::SimulatorProcess& sim, int count) {
    for (int i = 0; i < 3000 && labelsPrinted(sim) < count; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_GE(labelsPrinted(sim), count);
}

// How each transport reports a printer that died is the link's; here the run's count of it.
TEST(DataPrintEndToEnd, APrinterKilledMidRunEndsItWithTheRowsItConfirmed) {
    test::TempDir dir;
    const auto sim = test::startSimulator(dir / "out", {"--fault", "slow", "--slow-ms", "1"});
    test::writeFile(dir / "rows.csv", test::sampleRows(200, 100));
    test::BackgroundProgram run(TAVRIN_LABEL_EXE, printArguments(sim.device(), {"--data", (dir / "rows.csv").string()}));
    waitForLabels(sim, 30);
    ::kill(sim.pid(), SIGKILL);
    const auto r = run.finish(std::chrono::seconds(30));
    const int printed = labelsPrinted(sim);
    EXPECT_NE(r.exitCode, 0);
    // "printed rows 1-K", then maybe "; row S was sent" or "; rows K+1-S were sent".
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.err, m, std::regex("printed rows 1-(\\d+)(; rows? (\\d+)(-(\\d+))? (were|was) sent)?")))
        << r.err;
    const int confirmed = std::stoi(m[1]);
    const int sent = m[5].matched ? std::stoi(m[5]) : m[3].matched ? std::stoi(m[3]) : confirmed;
    if (m[3].matched) {
        EXPECT_EQ(std::stoi(m[3]), confirmed + 1);
    }
    // What was confirmed printed; what printed was sent.
    EXPECT_LE(confirmed, printed);
    EXPECT_GE(sent, printed);
    EXPECT_NE(r.err.find(kNoPrinterResponse), std::string::npos) << r.err;
}

// The command line killed in the middle of a run: the journal opens, shows the rows, and
// the run goes on from it; every row is printed once with its serial. Killed outright, its
// rows sent whole count once the printer has answered; asked to end, it stops after the
// row on its way and deletes what it stored.
TEST(DataPrintEndToEnd, AKilledRunResumesFromTheJournalWithNoLabelTwiceAndNoneMissing) {
    for (const int signal : {SIGKILL, SIGTERM}) {
        test::TempDir dir;
        const test::ScopedEnv journal("TAVRIN_JOURNAL", (dir / "journal.sqlite").c_str());
        const auto sim = test::startSimulator(dir / "out", {"--fault", "slow", "--slow-ms", "1"});
        test::writeFile(dir / "rows.csv", test::sampleRows(80, 100));
        {
            test::BackgroundProgram run(TAVRIN_LABEL_EXE,
                                        printArguments(sim.device(), {"--data", (dir / "rows.csv").string()}));
            waitForLabels(sim, 25);
            ::kill(run.pid(), signal);
            const auto ended = run.finish(std::chrono::seconds(20));
            if (signal == SIGKILL) {
                EXPECT_EQ(ended.exitCode, 128 + SIGKILL);
            } else {
                EXPECT_NE(ended.err.find("Stopped; printed rows 1-"), std::string::npos) << ended.err;
                EXPECT_EQ(e2e::runPrinterCommand(sim.device(), {"list", "forms"}).out, "");
            }
        }
        const auto listed = test::runLabel({"journal", "--run", "1"});
        ASSERT_EQ(listed.exitCode, 0) << listed.err;
        EXPECT_TRUE(listed.out.starts_with(signal == SIGKILL ? "run 1: interrupted\n" : "run 1: stopped\n")) << listed.out;
        EXPECT_NE(listed.out.find("row 20  confirmed  copies 1  {\"V00\":\"L20\",\"C00\":\"119\"}"), std::string::npos)
            << listed.out;

        const auto resumed = test::runLabel({"print", "--resume", "1", "--silence-ms",
                                             std::to_string(e2e::kSilence.count())});
        ASSERT_EQ(resumed.exitCode, 0) << resumed.err;
        std::vector<std::string> expected;
        for (int i = 1; i <= 80; ++i) expected.push_back("V00=L" + std::to_string(i) + " C00=" + std::to_string(99 + i));
        EXPECT_EQ(test::printedLabels({dir / "out"}), expected) << signal;
        const auto done = test::runLabel({"journal", "--run", "1"});
        EXPECT_TRUE(done.out.starts_with("run 1: completed\n")) << done.out;
        EXPECT_NE(test::runLabel({"print", "--resume", "1"}).exitCode, 0);  // nothing left
    }
}

TEST(DataPrintEndToEnd, AResumeIsRefusedWhenTheDataChangedAndAFullJournalStopsTheRun) {
    test::TempDir dir;
    const test::ScopedEnv journal("TAVRIN_JOURNAL", (dir / "journal.sqlite").c_str());
    const auto sim = test::startSimulator(dir / "out");
    test::writeFile(dir / "rows.csv", test::sampleRows(400, 100));
    // A disk that fills up under the journal (a file size limit): the run stops before the
    // next row with the reason, and says what printed.
    const std::string command = "ulimit -f 128; exec " + std::string(TAVRIN_LABEL_EXE) + " print " + kSample +
                                " --port " + sim.device() + " --data " + (dir / "rows.csv").string();
    const auto full = test::runProgram("/bin/sh", {"-c", command});
    EXPECT_NE(full.exitCode, 0);
    EXPECT_NE(full.err.find("Can't write the print journal " + (dir / "journal.sqlite").string()), std::string::npos)
        << full.err;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(full.err, m, std::regex("printed rows 1-(\\d+)"))) << full.err;
    EXPECT_GE(static_cast<int>(test::printedLabels({dir / "out"}).size()), std::stoi(m[1]));
    EXPECT_LT(std::stoi(m[1]), 400);

    test::writeFile(dir / "rows.csv", test::sampleRows(401, 100));
    const auto refused = test::runLabel({"print", "--resume", "1"});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_NE(refused.err.find("The data file " + (dir / "rows.csv").string() + " changed since run 1 (SHA-256 then "),
              std::string::npos)
        << refused.err;
}

}  // namespace
}  // namespace tavrin
