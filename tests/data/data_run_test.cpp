// Runs of data rows over the link against a printer that counts what it prints, answers
// when asked, and can fall silent or refuse bytes part way.
#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "support/fake_printer.h"
#include "data/data_run.h"
#include "printer/printer_fixtures.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

// Takes the bytes line by line without keeping them (unless asked), prints on P lines,
// answers FA while alive.
class CountingTransport : public SerialTransport {
public:
    bool open(const std::string&, const SerialSettings&) override { return opened = true; }
    bool isOpen() const override { return opened; }
    void close() override { opened = false; }
    std::uint32_t bytesWaiting() override {
        if (clock != nullptr && *clock < answerAt) return 0;  // still printing
        return static_cast<std::uint32_t>(input.size() - inputAt);
    }
    bool readByte(std::uint8_t& byte) override {
        if (inputAt >= input.size()) return false;
        byte = static_cast<std::uint8_t>(input[inputAt++]);
        return true;
    }
    bool writeByte(std::uint8_t byte) override {
        // A port that goes dead as the next row begins.
        if (refuseAfterPrints >= 0 && prints >= refuseAfterPrints && byte == '?') refusing = true;
        if (refusing) return false;
        if (refuseOnceAt >= 0 && bytes == refuseOnceAt) {
            refuseOnceAt = -1;
            return false;
        }
        ++bytes;
        if (keep) written += static_cast<char>(byte);
        if (byte != '\n') {
            if (line.size() < 256) line += static_cast<char>(byte);
            return true;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with("P1,")) ++prints;
        if (line.starts_with("FS")) ++stores;
        if (line == "FA" && (silentAfterPrints < 0 || prints <= silentAfterPrints)) {
            if (inputAt == input.size()) input.clear(), inputAt = 0;
            input += "TLDATA\r\n";
            if (clock != nullptr) answerAt = *clock + answerDelay;
        }
        line.clear();
        return true;
    }
    void flush() override {}

    bool opened = false, keep = false, refusing = false;
    long long prints = 0, stores = 0, bytes = 0;
    long long silentAfterPrints = -1, refuseAfterPrints = -1, refuseOnceAt = -1;
    // With a clock: each answer comes this many milliseconds after its question.
    const long long* clock = nullptr;
    long long answerDelay = 0, answerAt = 0;
    std::string written, line, input;
    std::size_t inputAt = 0;
};

struct RunFixture {
    RunFixture() {
        document.variables[0] = test::makeSlot(20, kJustifyLeft, ' ', "Name", "x", 0);
        document.counters[0] = test::makeSlot(4, kJustifyRight, '0', "Serial", "1", 1);
        test::addRectangle(document, 10, 20, 30, 40, 0);
        // A clock that runs only when looked at: silence costs no real time.
        LinkTiming timing;
        timing.now = [this] { return std::chrono::milliseconds(now++); };
        timing.sleep = [this](std::chrono::milliseconds d) { now += d.count(); };
        timing.pollInterval = std::chrono::milliseconds(0);
        link.setTiming(timing);
    }
    DataRunResult print(const std::string& rows, DataRunOptions options = {}) {
        test::writeFile(dir / "rows.csv", rows);
        source.file = dir / "rows.csv";
        check = checkDataFile(source, document, translation);
        return runDataPrint(link, document, source, check, translation, options);
    }
    test::TempDir dir;
    LabelDocument document;
    Translation translation;
    DataSource source;
    DataCheck check;
    CountingTransport transport;
    QuietLinkUi ui;
    long long now = 0;
    PrinterLink link{transport, ui};
};

std::string rowsOf(int count) {
    std::string text = "Name\n";
    for (int i = 1; i <= count; ++i) text += "item " + std::to_string(i) + "\n";
    return text;
}

TEST(DataRun, StoresTheLabelOnceThenSendsEachRowsValuesAndPrintLine) {
    RunFixture r;
    r.transport.keep = true;
    r.source.copiesColumn = "Qty";
    const DataRunResult result = r.print("name,QTY,serial\nTea,2,\nJam,1,50\n");
    EXPECT_TRUE(result.completed) << result.message;
    EXPECT_EQ(result.rowsPrinted, 2);
    EXPECT_EQ(r.transport.stores, 1);
    const std::string& w = r.transport.written;
    const std::size_t rows = w.find("FR\"TLDATA\"\r\n");
    ASSERT_NE(rows, std::string::npos);
    // An empty serial counts on from the label's value; the next row sets its own.
    EXPECT_EQ(w.substr(rows), "FR\"TLDATA\"\r\n?\r\nTea\r\n1\nP1,2\r\n?\r\nJam\r\n50\nP1,1\r\n\r\nFA\r\n");
}

TEST(DataRun, StopsAndFailuresEndWithTheLastRowThePrinterConfirmed) {
    const struct {
        const char* what;
        long long stopAt = 0, silentAfter = -1, refuseAfter = -1, confirmEvery = 1;
        long long lastPrinted;
        const char* message;
    } cases[] = {
        {"stopped before row 4", 4, -1, -1, 1, 3, "Stopped"},
        {"stopped, answers every 50", 4, -1, -1, 50, 3, "Stopped"},
        {"silent after 5 prints", 0, 5, -1, 1, 5, kNoPrinterResponse},
        {"silent after 7, answers every 3", 0, 7, -1, 3, 6, kNoPrinterResponse},
        {"refuses bytes after 5 prints", 0, -1, 5, 1, 5, "Can't write to comm. port"},
    };
    for (const auto& c : cases) {
        RunFixture r;
        r.transport.silentAfterPrints = c.silentAfter;
        r.transport.refuseAfterPrints = c.refuseAfter;
        DataRunOptions options;
        options.confirmEvery = c.confirmEvery;
        options.rows = *RowSelection::parse("1-10");
        options.beforeRow = [&](long long row, long long, long long) { return row != c.stopAt; };
        const DataRunResult result = r.print(rowsOf(20), options);
        EXPECT_FALSE(result.completed) << c.what;
        EXPECT_EQ(result.lastRowPrinted, c.lastPrinted) << c.what;
        EXPECT_EQ(result.firstRowNotPrinted, c.lastPrinted + 1) << c.what;
        EXPECT_EQ(result.message, c.message) << c.what;
        EXPECT_GE(r.transport.prints, result.rowsPrinted) << c.what;
    }
}

TEST(DataRun, WaitsForAnswersAsLongAsTheLabelsBeforeThemTakeToPrint) {
    for (const long long perLabel : {3000LL, 0LL}) {
        RunFixture r;
        r.transport.clock = &r.now;
        r.transport.answerDelay = 5000;  // two labels at 2.5 s: longer than the 3 s silence limit
        DataRunOptions options;
        options.confirmEvery = 2;
        options.timePerLabel = std::chrono::milliseconds(perLabel);
        const DataRunResult result = r.print(rowsOf(4), options);
        EXPECT_EQ(result.completed, perLabel > 0) << perLabel;
        EXPECT_EQ(result.lastRowPrinted, perLabel > 0 ? 4 : 0) << perLabel;
    }
}

TEST(DataRun, AStopAskedForInTheMiddleOfARowLetsTheRowEnd) {
    RunFixture r;
    r.transport.keep = true;
    const DataRunResult whole = r.print(rowsOf(3));  // to learn where row 2 begins
    ASSERT_TRUE(whole.completed);
    const std::size_t row2 = r.transport.written.find("?\r\nitem 2");
    ASSERT_NE(row2, std::string::npos);

    RunFixture stopped;
    stopped.transport.refuseOnceAt = static_cast<long long>(row2) + 5;  // inside row 2's values
    int asked = 0;
    DataRunOptions options;
    options.takeStopRequest = [&] { return ++asked == 1; };
    const DataRunResult result = stopped.print(rowsOf(3), options);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(result.lastRowPrinted, 2);
    EXPECT_EQ(stopped.transport.prints, 2);
    EXPECT_EQ(result.message, "Stopped");
}

long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

TEST(DataRun, TenThousandRowsGoThroughTheLinkInFlatMemory) {
    RunFixture r;
    test::writeFile(r.dir / "rows.csv", std::string_view("Name,Notes\n"));
    {
        // About 10 MB of rows: a reader that kept them would show.
        std::ofstream out(r.dir / "rows.csv", std::ios::app | std::ios::binary);
        const std::string notes(1000, 'n');
        for (int i = 1; i <= 10000; ++i) out << "item " << i << ",\"" << notes << "\"\r\n";
    }
    r.source.file = r.dir / "rows.csv";
    r.check = checkDataFile(r.source, r.document, r.translation);
    ASSERT_EQ(r.check.rowCount, 10000);
    const long before = residentBytes();
    long long calls = 0;
    DataRunOptions options;
    options.beforeRow = [&](long long, long long index, long long total) { return ++calls, index <= total; };
    const DataRunResult result = runDataPrint(r.link, r.document, r.source, r.check, r.translation, options);
    const long growth = residentBytes() - before;
    EXPECT_TRUE(result.completed) << result.message;
    EXPECT_EQ(result.lastRowPrinted, 10000);
    EXPECT_EQ(r.transport.prints, 10000);
    EXPECT_EQ(calls, 10000);
    EXPECT_LT(growth, 4L << 20) << "resident memory grew by " << growth << " bytes";
    // Each row carries its values and P line only (the notes feed nothing).
    EXPECT_LT(r.transport.bytes, 10000 * 40 + 2000);
}

}  // namespace
}  // namespace tavrin
