// The print journal's records and the hashes that tie a run to its label and data.
#include <gtest/gtest.h>

#include "data/print_journal.h"
#include "data/sha256.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

TEST(Sha256, MatchesTheStandardsExamples) {
    const auto hex = [](std::string_view text) {
        return sha256Hex({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    };
    EXPECT_EQ(hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
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
