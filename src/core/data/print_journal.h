#pragma once
// The print journal: every run of rows, from the editor, the command line or a service, as
// it goes — what was printed with what, on which printer, and per row whether it was sent
// and whether the printer confirmed it. Kept with SQLite in write-ahead-log mode and written
// in short transactions, so a process killed mid-run leaves a journal that opens and holds
// every row it had recorded. A run can be resumed from it after a restart.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tavrin {

enum class RowState : int { Queued = 0, Sent = 1, Confirmed = 2 };

// How a run ended, as the journal keeps it; a run whose process went away while it was
// "running" was interrupted (see isInterrupted).
inline constexpr std::string_view kRunRunning = "running";
inline constexpr std::string_view kRunCompleted = "completed";
inline constexpr std::string_view kRunStopped = "stopped";
inline constexpr std::string_view kRunFailed = "failed";

struct JournalRun {
    long long id = 0;
    std::string started, finished;  // UTC, "2026-03-05T14:07:09Z"
    std::string user, host;
    long long pid = 0;
    std::string origin;  // "command line", "editor", ...
    std::string labelPath, labelHash, dataPath, dataHash;
    std::string device;
    std::string rowsChosen = "all";
    std::string copiesColumn;
    std::string mode = "form";  // form, direct, direct graphics, active form
    std::string formName;       // a form named by the user, kept in the printer
    int baudRate = 0, protocol = 0;
    long long total = 0;  // rows chosen
    std::string state{kRunRunning};
    std::string message;
    // What the run stored in the printer for itself, to be deleted again: "F:NAME G:NAME E:X".
    std::string printerObjects;
    // Counted from the rows.
    long long sent = 0, confirmed = 0, lastSent = 0, lastConfirmed = 0;
};

struct JournalRow {
    long long row = 0;
    std::string values;  // JSON object: slot name -> value as sent
    unsigned copies = 1;
    RowState state = RowState::Sent;
    std::string sentAt, confirmedAt;
};

// True when the run says it is running but its process is gone (killed, crashed), on this
// machine; such a run can only be resumed.
bool isInterrupted(const JournalRun& run);

class PrintJournal {
public:
    // $TAVRIN_JOURNAL, else $XDG_STATE_HOME/tavrin-label-editor/journal.sqlite, else
    // ~/.local/state/tavrin-label-editor/journal.sqlite.
    static std::filesystem::path defaultPath();

    // Opens the journal, creating it (and its folder) unless readOnly; error() says why not.
    explicit PrintJournal(std::filesystem::path path, bool readOnly = false);
    ~PrintJournal();
    PrintJournal(const PrintJournal&) = delete;
    PrintJournal& operator=(const PrintJournal&) = delete;

    bool isOpen() const { return db_ != nullptr; }
    const std::filesystem::path& path() const { return path_; }
    // The last failure: the journal's file and SQLite's reason.
    const std::string& error() const { return error_; }

    // Each write is one transaction; false (and error() set) when it could not be made.
    // beginRun returns the new run's number, 0 on failure.
    long long beginRun(const JournalRun& run);
    bool reopenRun(long long run, long long pid);
    bool setPrinterObjects(long long run, std::string_view objects);
    bool rowSent(long long run, long long row, std::string_view values, unsigned copies);
    // Rows from..to of the run that were sent become confirmed.
    bool rowsConfirmed(long long run, long long from, long long to);
    bool finishRun(long long run, std::string_view state, std::string_view message);

    // Newest first; `limit` 0 for all.
    std::vector<JournalRun> runs(std::size_t limit = 0);
    std::optional<JournalRun> run(long long id);
    std::vector<JournalRow> rows(long long run);
    // Runs on this device that left objects of their own in the printer and are not
    // running any more.
    std::vector<JournalRun> runsWithPrinterObjects(std::string_view device);
    // The newest run of this label and data that did not end complete, if any.
    std::optional<JournalRun> lastUnfinished(std::string_view labelHash, std::string_view dataHash);

private:
    bool fail(std::string_view what);
    bool exec(const char* sql);
    sqlite3_stmt* prepare(sqlite3_stmt*& cache, const char* sql);
    bool readRun(sqlite3_stmt* statement, JournalRun& run);

    std::filesystem::path path_;
    sqlite3* db_ = nullptr;
    std::string error_;
    sqlite3_stmt* insertRow_ = nullptr;
    sqlite3_stmt* confirmRows_ = nullptr;
};

// The time now in UTC as the journal writes it: "2026-12-06T21:22:08Z".
std::string utcNow();

// Text as a JSON string, quotes included.
std::string jsonQuoted(std::string_view utf8);

}  // namespace tavrin
