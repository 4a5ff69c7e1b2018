// Runs of data rows over the link against a printer that counts what it prints, answers
// when asked, and can fall silent or refuse bytes part way; the journal's records and the
// hashes that tie a run to its label and data.
#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <unistd.h>

#include "data/data_run.h"
#include "data/sha256.h"
#include "support/label_builders.h"
#include "support/fake_printer.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

// The scripted printer that also prints on P lines and answers lists and FA while alive.
class CountingTransport : public test::FakeTransport {
public:
    std::uint32_t bytesWaiting() override {
        return clock != nullptr && *clock < answerAt ? 0 : FakeTransport::bytesWaiting();  // still printing
    }
    bool writeByte(std::uint8_t byte) override {
        // A port that goes dead as the next row begins.
        if (refuseAfterPrints >= 0 && prints >= refuseAfterPrints && byte == '?')
            refuseFrom = 0, refusals = std::numeric_limits<int>::max();
        if (!FakeTransport::writeByte(byte)) return false;
        if (byte != '\n') {
            if (line.size() < 256) line += static_cast<char>(byte);
            return true;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with("P1,")) ++prints;
        if (line.starts_with("FS")) ++stores;
        const bool alive = !mute && (silentAfterPrints < 0 || prints <= silentAfterPrints);
        if (alive && (line == "FA" || line == "UF" || line == "UG" || line == "UE")) {
            if (line == "FA") {
                arrive(activeForm + "\r\n");
            } else {
                const auto& names = line == "UF" ? forms : line == "UG" ? graphics : fonts;
                arrive(std::to_string(names.size()) + "\r\n");
                for (const std::string& n : names) arrive(n + "\r\n");
            }
            if (clock != nullptr) answerAt = *clock + answerDelay;
        }
        line.clear();
        return true;
    }

    bool mute = false;
    long long prints = 0, stores = 0, silentAfterPrints = -1, refuseAfterPrints = -1;
    std::vector<std::string> forms, graphics, fonts;
    std::string activeForm, line;
    // With a clock: each answer comes this many milliseconds after its question.
    const long long* clock = nullptr;
    long long answerDelay = 0, answerAt = 0;
};

struct RunFixture {
    RunFixture() {
        document.variables[0] = test::makeSlot(20, kJustifyLeft, ' ', "Name", "x", 0);
        document.counters[0] = test::makeSlot(4, kJustifyRight, '0', "Serial", "1", 1);
        test::addText(document, 10, 10, 3, 0, "V00C00");
        link.setTiming(clock.timing(transport));
    }
    DataRunResult print(const std::string& rows) { return print(rows, options); }
    DataRunResult print(const std::string& rows, const DataRunOptions& with) {
        test::writeFile(dir / "rows.csv", rows);
        source.emplace(dir / "rows.csv", translation.ansiCodePage());
        DataRun run(document, *source, translation, with);
        return run.print(link);
    }
    DataRunOptions options;
    test::TempDir dir;
    LabelDocument document;
    Translation translation;
    std::optional<DataFileRows> source;
    CountingTransport transport;
    QuietLinkUi ui;
    test::FakeClock clock;
    PrinterLink link{transport, ui};
};

std::string rowsOf(int count) {
    std::string text = "Name\n";
    for (int i = 1; i <= count; ++i) text += "item " + std::to_string(i) + "\n";
    return text;
}

TEST(DataRun, StoresUnderNamesThePrinterDoesNotHoldSendsEachRowAndDeletesThem) {
    RunFixture r;
    r.transport.forms = {"TLDATA", "MINE"};
    r.transport.graphics = {"LOGO"};
    r.transport.activeForm = "MINE";
    test::addPicture(r.document, 0, 0, "LOGO", std::make_shared<PictureBlock>(PictureBlock{{1, 1, 0xFF}}), 8, 1);
    r.options.copiesColumn = "Qty";
    const DataRunResult result = r.print("name,QTY,serial\nTea,2,\nJam,1,50\n");
    EXPECT_TRUE(result.completed) << result.message;
    EXPECT_EQ(result.confirmed.text(), "1-2");
    EXPECT_EQ(r.transport.stores, 1);
    const std::string& w = r.transport.written;
    EXPECT_NE(w.find("FS\"TLDATA1\"\r\n"), std::string::npos);
    EXPECT_NE(w.find("GM\"TLP\""), std::string::npos);
    EXPECT_EQ(w.find("FK\"TLDATA\""), std::string::npos);  // the user's form and picture stay
    EXPECT_EQ(w.find("GK\"LOGO\""), std::string::npos);
    const std::size_t rows = w.find("FR\"TLDATA1\"\r\n");
    ASSERT_NE(rows, std::string::npos);
    // An empty serial counts on from the label's value; the next row sets its own. The
    // first row is confirmed on its own. Then the run's objects go, and the form active
    // before is active again.
    EXPECT_EQ(w.substr(rows), "FR\"TLDATA1\"\r\n?\r\nTea\r\n1\nP1,2\r\n\r\nFA\r\n?\r\nJam\r\n50\nP1,1\r\n\r\nFA\r\n"
                              "\r\nFK\"TLDATA1\"\r\n\r\nGK\"TLP\"\r\n\r\nFR\"MINE\"\r\n");
}

TEST(DataRun, ReportsConfirmedRowsApartFromRowsSentButNotConfirmed) {
    const struct {
        const char* what;
        long long stopAt = 0, silentAfter = -1, refuseAfter = -1, confirmEvery = 1;
        const char* form;
        const char* message;
        const char* report;
    } cases[] = {
        {"stopped before row 4", 4, -1, -1, 1, "", "Stopped", "printed rows 1-3; go on with --rows 4-10"},
        {"stopped, answers every 50", 4, -1, -1, 50, "", "Stopped", "printed rows 1-3; go on with --rows 4-10"},
        // After the first row the printer is asked every few rows.
        {"silent after 6, answers every 3", 0, 6, -1, 3, "", kNoPrinterResponse,
         "printed rows 1-4; rows 5-7 were sent but not confirmed — check the last labels before going on; "
         "go on with --rows 8-10 or --rows 5-10"},
        {"never answers", 0, 0, -1, 4, "MYFORM", kNoPrinterResponse,
         "row 1 sent, none confirmed — check the labels before going on; go on with --rows 2-10 or --rows 1-10"},
        {"refuses bytes after 5 prints", 0, -1, 5, 1, "", "Can't write to comm. port",
         "printed rows 1-5; go on with --rows 6-10"},
    };
    for (const auto& c : cases) {
        RunFixture r;
        r.transport.silentAfterPrints = c.silentAfter;
        r.transport.refuseAfterPrints = c.refuseAfter;
        r.options.confirmEvery = c.confirmEvery;
        r.options.formName = c.form;
        r.options.rows = *RowSelection::parse("1-10");
        r.options.beforeRow = [&](long long row, long long, long long) { return row != c.stopAt; };
        const DataRunResult result = r.print(rowsOf(20));
        EXPECT_FALSE(result.completed) << c.what;
        EXPECT_EQ(result.message, c.message) << c.what;
        EXPECT_EQ(runReport(result), c.report) << c.what;
        EXPECT_GE(r.transport.prints, result.confirmed.count()) << c.what;
        EXPECT_EQ(r.transport.prints, result.confirmed.count() + result.unconfirmed.count()) << c.what;
    }
}

TEST(DataRun, RefusesBeforeAnythingIsSentUnlessToldToPrintAnyway) {
    for (const bool anyway : {false, true}) {
        RunFixture r;
        r.options.printAnyway = anyway;
        const DataRunResult result = r.print("Foo,Bar\n1,2\n3,4\n");
        EXPECT_EQ(result.refused, !anyway);
        EXPECT_EQ(r.transport.written.empty(), !anyway);
        EXPECT_EQ(r.transport.prints, anyway ? 2 : 0);
    }
    // A printer that cannot answer which names it holds gets nothing stored.
    RunFixture silent;
    silent.transport.mute = true;
    const DataRunResult result = silent.print(rowsOf(2));
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(silent.transport.stores, 0);
    EXPECT_EQ(runReport(result), "nothing printed; go on with --rows 1-");
}

TEST(DataRun, WaitsForAnswersAsLongAsTheLabelsBeforeThemTakeToPrint) {
    for (const long long perLabel : {3000LL, 0LL}) {
        RunFixture r;
        r.transport.clock = &r.clock.now;
        r.transport.answerDelay = 5000;  // two labels at 2.5 s: longer than the 3 s silence limit
        r.options.formName = "FORM";
        r.options.confirmEvery = 2;
        r.options.timePerLabel = std::chrono::milliseconds(perLabel);
        const DataRunResult result = r.print(rowsOf(4));
        EXPECT_EQ(result.completed, perLabel > 0) << perLabel;
        EXPECT_EQ(result.confirmed.last(), perLabel > 0 ? 4 : 0) << perLabel;
    }
}

TEST(DataRun, AStopAskedForInTheMiddleOfARowLetsTheRowEnd) {
    RunFixture r;
    const DataRunResult whole = r.print(rowsOf(3));  // to learn where row 2 begins
    ASSERT_TRUE(whole.completed);
    const std::size_t row2 = r.transport.written.find("?\r\nitem 2");
    ASSERT_NE(row2, std::string::npos);

    RunFixture stopped;
    stopped.transport.refuseFrom = row2 + 5, stopped.transport.refusals = 1;  // inside row 2's values
    int asked = 0;
    stopped.options.takeStopRequest = [&] { return ++asked == 1; };
    const DataRunResult result = stopped.print(rowsOf(3));
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.confirmed.last(), 2);
    EXPECT_EQ(stopped.transport.prints, 2);
    EXPECT_EQ(result.message, "Stopped");
}

// A run recorded row by row, cut short, then resumed from its journal as the command line
// and the editor do: every row printed once, each with the serial an uninterrupted run gives.
TEST(DataRun, ResumesFromTheJournalWithoutAGapOrATwice) {
    RunFixture r;
    PrintJournal journal(r.dir / "journal.sqlite");
    ASSERT_TRUE(journal.isOpen()) << journal.error();
    r.transport.silentAfterPrints = 5;
    r.options.confirmEvery = 2;
    r.options.journal = &journal;
    r.options.record.labelHash = "L", r.options.record.dataHash = "D";
    const DataRunResult first = r.print("Name,Serial\na,0500\nb,\nc,\nd,\ne,\nf,\ng,\nh,\n");
    ASSERT_FALSE(first.completed);
    EXPECT_EQ(first.confirmed.text() + " " + first.unconfirmed.text(), "1-5 6-7");
    const std::optional<JournalRun> recorded = journal.run(first.runId);
    ASSERT_TRUE(recorded);
    EXPECT_EQ(std::tuple(recorded->state, recorded->lastConfirmed, recorded->lastSent), std::tuple(kRunFailed, 5, 7));
    EXPECT_EQ(journal.rows(first.runId)[4].values, "{\"V00\":\"e\",\"C00\":\"504\"}");
    EXPECT_EQ(journal.lastUnfinished("L", "D")->id, first.runId);

    // The printer is back; the run goes on where its confirmed rows end.
    r.transport.silentAfterPrints = -1;
    r.transport.written.clear();
    DataRunOptions again = optionsFromJournal(*recorded);
    again.journal = &journal;
    const DataRunResult second = r.print("Name,Serial\na,0500\nb,\nc,\nd,\ne,\nf,\ng,\nh,\n", again);
    EXPECT_TRUE(second.completed) << second.message;
    EXPECT_EQ(second.confirmed.text(), "6-8");
    EXPECT_NE(r.transport.written.find("?\r\nf\r\n505\n"), std::string::npos);
    EXPECT_EQ(journal.run(first.runId)->state, kRunCompleted);
    EXPECT_FALSE(journal.lastUnfinished("L", "D"));
    EXPECT_TRUE(r.print("Name\na\n", again).refused);  // nothing left to resume
}

TEST(DataRun, ARunDeletesWhatRunsCutShortLeftInThePrinter) {
    RunFixture r;
    PrintJournal journal(r.dir / "journal.sqlite");
    r.options.journal = &journal;
    r.transport.silentAfterPrints = 0;
    const DataRunResult cut = r.print(rowsOf(3));
    ASSERT_FALSE(cut.completed);
    EXPECT_EQ(journal.run(cut.runId)->printerObjects, "F:TLDATA");
    r.transport.silentAfterPrints = -1;
    r.transport.written.clear();
    EXPECT_TRUE(r.print(rowsOf(3)).completed);
    EXPECT_TRUE(r.transport.written.starts_with("\r\nFK\"TLDATA\"\r\n\r\nUF\r\n")) << r.transport.written.substr(0, 40);
    EXPECT_EQ(journal.run(cut.runId)->printerObjects, "");
}

TEST(DataRun, AJournalThatCannotBeWrittenStopsTheRunBeforeItStarts) {
    RunFixture r;
    test::writeFile(r.dir / "file", "x");
    PrintJournal journal(r.dir / "file" / "journal.sqlite");  // a folder that is a file
    EXPECT_FALSE(journal.isOpen());
    EXPECT_NE(journal.error().find((r.dir / "file" / "journal.sqlite").string()), std::string::npos) << journal.error();
    r.options.journal = &journal;
    const DataRunResult result = r.print(rowsOf(2));
    EXPECT_TRUE(result.refused);
    EXPECT_EQ(result.message, journal.error());
    EXPECT_TRUE(r.transport.written.empty());
}

TEST(DataRun, APrintQueueIsNeverAskedAndNeedsANamedForm) {
    for (const std::string form : {"", "MYFORM"}) {
        RunFixture r;
        r.link.setPortDevice(0, "cups://labels");
        r.options.formName = form;
        const DataRunResult result = r.print(rowsOf(3));
        EXPECT_EQ(result.refused, form.empty()) << result.message;
        EXPECT_EQ(r.transport.written.find("FA"), std::string::npos);
        EXPECT_EQ(r.transport.prints, form.empty() ? 0 : 3);
        if (!form.empty()) {
            EXPECT_EQ(runReport(result), "rows 1-3 sent to a print queue, which cannot confirm them");
        }
    }
}

long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

TEST(DataRun, TenThousandRowsGoThroughTheLinkInFlatMemory) {
    RunFixture r;
    r.document.counters[0].length = 5;  // room for serial 10000
    test::writeFile(r.dir / "rows.csv", std::string_view("Name,Notes\n"));
    {
        // About 10 MB of rows: a reader that kept them would show.
        std::ofstream out(r.dir / "rows.csv", std::ios::app | std::ios::binary);
        const std::string notes(1000, 'n');
        for (int i = 1; i <= 10000; ++i) out << "item " << i << ",\"" << notes << "\"\r\n";
    }
    DataFileRows rows(r.dir / "rows.csv", r.translation.ansiCodePage());
    const long before = residentBytes();
    long long calls = 0;
    r.options.beforeRow = [&](long long, long long index, long long total) { return ++calls, index <= total; };
    DataRun run(r.document, rows, r.translation, r.options);
    ASSERT_EQ(run.check().rowCount, 10000);
    const DataRunResult result = run.print(r.link);
    [[maybe_unused]] const long growth = residentBytes() - before;
    EXPECT_TRUE(result.completed) << result.message;
    EXPECT_EQ((std::array{result.confirmed.last(), r.transport.prints, calls}), (std::array{10000LL, 10000LL, 10000LL}));
#ifndef __SANITIZE_ADDRESS__  // the address sanitizer keeps freed blocks resident in its quarantine
    EXPECT_LT(growth, 4L << 20) << "resident memory grew by " << growth << " bytes";
#endif
    // Each row carries its values and P line only (the notes feed nothing).
    EXPECT_LT(r.transport.written.size(), 10000u * 40 + 2000);
}

TEST(Sha256, MatchesTheStandardsExamples) {
    const auto hex = [](std::string_view text) {
        return sha256Hex({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    };
    EXPECT_EQ(hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // A million a's, fed in pieces that straddle the 64-byte blocks, and read from a file.
    const std::string million(1000000, 'a');
    test::TempDir dir;
    test::writeFile(dir / "a", million);
    EXPECT_EQ(sha256OfFile(dir / "a"), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    Sha256 pieces;
    for (std::size_t at = 0; at < million.size(); at += 77)
        pieces.add({reinterpret_cast<const std::uint8_t*>(million.data()) + at, std::min<std::size_t>(77, million.size() - at)});
    EXPECT_EQ(pieces.hex(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    EXPECT_FALSE(sha256OfFile(dir / "missing"));
}

TEST(PrintJournal, RecordsRunsAndRowsThatAnotherReaderSeesAtOnce) {
    test::TempDir dir;
    EXPECT_FALSE(PrintJournal(dir / "journal.sqlite", true).isOpen());  // reading creates nothing
    PrintJournal journal(dir / "journal.sqlite");
    ASSERT_TRUE(journal.isOpen()) << journal.error();
    JournalRun facts;
    facts.labelPath = "label.qlb", facts.dataPath = "rows.csv", facts.total = 3;
    const long long first = journal.beginRun(facts);
    const long long second = journal.beginRun(facts);
    ASSERT_GT(second, first);
    ASSERT_TRUE(journal.rowSent(first, 1, "{\"V00\":\"\xC3\x9C \\\"q\\\"\"}", 2));
    ASSERT_TRUE(journal.rowSent(first, 2, "{}", 1));
    ASSERT_TRUE(journal.rowsConfirmed(first, 1, 1));
    ASSERT_TRUE(journal.finishRun(first, kRunFailed, "No printer response"));

    // The run's process is still writing: a reader has every committed row.
    PrintJournal reader(dir / "journal.sqlite", true);
    const std::vector<JournalRun> runs = reader.runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].id, second);  // newest first
    const JournalRun& run = runs[1];
    EXPECT_EQ(std::tuple(run.state, run.message, run.sent, run.confirmed, run.lastSent, run.lastConfirmed),
              std::tuple(kRunFailed, "No printer response", 2, 1, 2, 1));
    EXPECT_FALSE(run.user.empty());
    EXPECT_FALSE(isInterrupted(runs[0]));  // this process is alive
    const std::vector<JournalRow> rows = reader.rows(first);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(std::tuple(rows[0].values, rows[0].copies, rows[0].state, rows[1].state),
              std::tuple("{\"V00\":\"\xC3\x9C \\\"q\\\"\"}", 2u, RowState::Confirmed, RowState::Sent));
    EXPECT_EQ(jsonQuoted("a\"b\\\n"), "\"a\\\"b\\\\\\u000a\"");
}

}  // namespace
}  // namespace tavrin
