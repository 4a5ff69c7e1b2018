#include "data/print_journal.h"

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "data/sqlite_statement.h"

namespace tavrin {

namespace {

constexpr int kSchemaVersion = 1;

// The runs and their rows. A row is written once it has gone to the printer and changed
// once the printer confirmed it; a service's queued row is written before it is sent.
constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS runs (
  id INTEGER PRIMARY KEY,
  started TEXT NOT NULL,
  finished TEXT,
  user TEXT NOT NULL,
  host TEXT NOT NULL,
  pid INTEGER NOT NULL,
  origin TEXT NOT NULL,
  label_path TEXT NOT NULL,
  label_sha256 TEXT NOT NULL,
  data_path TEXT NOT NULL,
  data_sha256 TEXT NOT NULL,
  device TEXT NOT NULL,
  rows_chosen TEXT NOT NULL,
  copies_column TEXT NOT NULL,
  mode TEXT NOT NULL,
  form_name TEXT NOT NULL,
  baud_rate INTEGER NOT NULL,
  protocol INTEGER NOT NULL,
  total INTEGER NOT NULL,
  state TEXT NOT NULL,
  message TEXT NOT NULL,
  printer_objects TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS rows (
  run INTEGER NOT NULL REFERENCES runs(id),
  row INTEGER NOT NULL,
  vals TEXT NOT NULL,
  copies INTEGER NOT NULL,
  state INTEGER NOT NULL,
  sent TEXT,
  confirmed TEXT,
  PRIMARY KEY (run, row)
) WITHOUT ROWID;
)";

constexpr const char* kRunColumns =
    "id, started, finished, user, host, pid, origin, label_path, label_sha256, data_path, data_sha256, device, "
    "rows_chosen, copies_column, mode, form_name, baud_rate, protocol, total, state, message, printer_objects, "
    "(SELECT count(*) FROM rows WHERE run = runs.id AND state >= 1), "
    "(SELECT count(*) FROM rows WHERE run = runs.id AND state = 2), "
    "(SELECT max(row) FROM rows WHERE run = runs.id AND state >= 1), "
    "(SELECT max(row) FROM rows WHERE run = runs.id AND state = 2)";

std::string hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "localhost";
    return name;
}

using sqlite::bind;
using sqlite::Statement;
using sqlite::text;

}  // namespace

std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string jsonQuoted(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", b);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

bool isInterrupted(const JournalRun& run) {
    if (run.state != kRunRunning || run.host != hostName()) return false;
    if (run.pid <= 0 || run.pid == ::getpid()) return run.pid != ::getpid();
    if (::kill(static_cast<pid_t>(run.pid), 0) != 0 && errno == ESRCH) return true;
    // A number the system gave to another program since does not keep the run alive.
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/" + std::to_string(run.pid) + "/exe", error);
    return !error && exe.filename().string().find("tavrin-label") == std::string::npos;
}

std::filesystem::path PrintJournal::defaultPath() {
    if (const char* chosen = std::getenv("TAVRIN_JOURNAL"); chosen != nullptr && chosen[0] != '\0') return chosen;
    std::filesystem::path folder;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
        folder = state;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::filesystem::path(home != nullptr ? home : "/tmp") / ".local" / "state";
    }
    return folder / "tavrin-label-editor" / "journal.sqlite";
}

PrintJournal::PrintJournal(std::filesystem::path path, bool readOnly) : path_(std::move(path)) {
    if (!readOnly) {
        std::error_code ignored;
        if (path_.has_parent_path()) std::filesystem::create_directories(path_.parent_path(), ignored);
    }
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        fail("open");
        sqlite3_close(db_);
        db_ = nullptr;
        return;
    }
    sqlite3_busy_timeout(db_, 5000);
    // A small page cache: a run of any length keeps the process small.
    exec("PRAGMA cache_size = -256");
    if (readOnly) return;
    // Write-ahead log: a commit is one append, and a reader never blocks the run. NORMAL
    // keeps every commit through a killed process; only a power cut may lose the last few.
    if (!exec("PRAGMA journal_mode = WAL") || !exec("PRAGMA synchronous = NORMAL") || !exec(kSchema) ||
        !exec(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str())) {
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

PrintJournal::~PrintJournal() {
    sqlite3_finalize(insertRow_);
    sqlite3_finalize(confirmRows_);
    if (db_) sqlite3_close(db_);
}

bool PrintJournal::fail(std::string_view what) {
    const char* reason = db_ ? sqlite3_errmsg(db_) : "out of memory";
    error_ = "Can't " + std::string(what) + " the print journal " + path_.string() + ": " + reason;
    return false;
}

bool PrintJournal::exec(const char* sql) {
    if (!db_) return false;
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    sqlite3_free(message);
    return fail("write");
}

sqlite3_stmt* PrintJournal::prepare(sqlite3_stmt*& cache, const char* sql) {
    if (!db_) return nullptr;
    if (cache == nullptr && sqlite3_prepare_v2(db_, sql, -1, &cache, nullptr) != SQLITE_OK) {
        fail("write");
        return nullptr;
    }
    sqlite3_reset(cache);
    sqlite3_clear_bindings(cache);
    return cache;
}

long long PrintJournal::beginRun(const JournalRun& run) {
    if (!db_) return 0;
    Statement s(db_,
                "INSERT INTO runs (started, user, host, pid, origin, label_path, label_sha256, data_path, data_sha256, "
                "device, rows_chosen, copies_column, mode, form_name, baud_rate, protocol, total, state, message, "
                "printer_objects) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,'','')");
    if (!s) return fail("write"), 0;
    std::string user = run.user;
    if (user.empty()) {
        const passwd* entry = ::getpwuid(::getuid());
        user = entry ? entry->pw_name : std::to_string(::getuid());
    }
    const std::string started = run.started.empty() ? utcNow() : run.started;
    const std::string host = run.host.empty() ? hostName() : run.host;
    bind(s.get(), 1, started);
    bind(s.get(), 2, user);
    bind(s.get(), 3, host);
    sqlite3_bind_int64(s.get(), 4, run.pid != 0 ? run.pid : ::getpid());
    bind(s.get(), 5, run.origin);
    bind(s.get(), 6, run.labelPath);
    bind(s.get(), 7, run.labelHash);
    bind(s.get(), 8, run.dataPath);
    bind(s.get(), 9, run.dataHash);
    bind(s.get(), 10, run.device);
    bind(s.get(), 11, run.rowsChosen);
    bind(s.get(), 12, run.copiesColumn);
    bind(s.get(), 13, run.mode);
    bind(s.get(), 14, run.formName);
    sqlite3_bind_int(s.get(), 15, run.baudRate);
    sqlite3_bind_int(s.get(), 16, run.protocol);
    sqlite3_bind_int64(s.get(), 17, run.total);
    bind(s.get(), 18, run.state);
    if (sqlite3_step(s.get()) != SQLITE_DONE) return fail("write"), 0;
    return sqlite3_last_insert_rowid(db_);
}

bool PrintJournal::reopenRun(long long run, long long pid) {
    if (!db_) return false;
    Statement s(db_, "UPDATE runs SET state = 'running', finished = NULL, message = '', pid = ?, host = ? WHERE id = ?");
    if (!s) return fail("write");
    sqlite3_bind_int64(s.get(), 1, pid);
    bind(s.get(), 2, hostName());
    sqlite3_bind_int64(s.get(), 3, run);
    return sqlite3_step(s.get()) == SQLITE_DONE || fail("write");
}

bool PrintJournal::setPrinterObjects(long long run, std::string_view objects) {
    if (!db_) return false;
    Statement s(db_, "UPDATE runs SET printer_objects = ? WHERE id = ?");
    if (!s) return fail("write");
    bind(s.get(), 1, objects);
    sqlite3_bind_int64(s.get(), 2, run);
    return sqlite3_step(s.get()) == SQLITE_DONE || fail("write");
}

bool PrintJournal::rowSent(long long run, long long row, std::string_view values, unsigned copies) {
    sqlite3_stmt* s = prepare(insertRow_,
                              "INSERT OR REPLACE INTO rows (run, row, vals, copies, state, sent, confirmed) "
                              "VALUES (?, ?, ?, ?, 1, ?, NULL)");
    if (!s) return false;
    sqlite3_bind_int64(s, 1, run);
    sqlite3_bind_int64(s, 2, row);
    bind(s, 3, values);
    sqlite3_bind_int(s, 4, static_cast<int>(copies));
    bind(s, 5, utcNow());
    const bool ok = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_reset(s);
    return ok || fail("write");
}

bool PrintJournal::rowsConfirmed(long long run, long long from, long long to) {
    sqlite3_stmt* s = prepare(confirmRows_,
                              "UPDATE rows SET state = 2, confirmed = ? WHERE run = ? AND row BETWEEN ? AND ? AND state = 1");
    if (!s) return false;
    bind(s, 1, utcNow());
    sqlite3_bind_int64(s, 2, run);
    sqlite3_bind_int64(s, 3, from);
    sqlite3_bind_int64(s, 4, to);
    const bool ok = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_reset(s);
    return ok || fail("write");
}

bool PrintJournal::finishRun(long long run, std::string_view state, std::string_view message) {
    if (!db_) return false;
    Statement s(db_, "UPDATE runs SET state = ?, message = ?, finished = ? WHERE id = ?");
    if (!s) return fail("write");
    bind(s.get(), 1, state);
    bind(s.get(), 2, message);
    bind(s.get(), 3, utcNow());
    sqlite3_bind_int64(s.get(), 4, run);
    return sqlite3_step(s.get()) == SQLITE_DONE || fail("write");
}

bool PrintJournal::readRun(sqlite3_stmt* s, JournalRun& run) {
    const int status = sqlite3_step(s);
    if (status != SQLITE_ROW) {
        if (status != SQLITE_DONE) fail("read");
        return false;
    }
    run.id = sqlite3_column_int64(s, 0);
    run.started = text(s, 1);
    run.finished = text(s, 2);
    run.user = text(s, 3);
    run.host = text(s, 4);
    run.pid = sqlite3_column_int64(s, 5);
    run.origin = text(s, 6);
    run.labelPath = text(s, 7);
    run.labelHash = text(s, 8);
    run.dataPath = text(s, 9);
    run.dataHash = text(s, 10);
    run.device = text(s, 11);
    run.rowsChosen = text(s, 12);
    run.copiesColumn = text(s, 13);
    run.mode = text(s, 14);
    run.formName = text(s, 15);
    run.baudRate = sqlite3_column_int(s, 16);
    run.protocol = sqlite3_column_int(s, 17);
    run.total = sqlite3_column_int64(s, 18);
    run.state = text(s, 19);
    run.message = text(s, 20);
    run.printerObjects = text(s, 21);
    run.sent = sqlite3_column_int64(s, 22);
    run.confirmed = sqlite3_column_int64(s, 23);
    run.lastSent = sqlite3_column_int64(s, 24);
    run.lastConfirmed = sqlite3_column_int64(s, 25);
    return true;
}

std::vector<JournalRun> PrintJournal::runs(std::size_t limit) {
    std::vector<JournalRun> out;
    if (!db_) return out;
    std::string sql = std::string("SELECT ") + kRunColumns + " FROM runs ORDER BY id DESC";
    if (limit > 0) sql += " LIMIT " + std::to_string(limit);
    Statement s(db_, sql);
    if (!s) return fail("read"), out;
    JournalRun run;
    while (readRun(s.get(), run)) out.push_back(run);
    return out;
}

std::optional<JournalRun> PrintJournal::run(long long id) {
    if (!db_) return std::nullopt;
    Statement s(db_, std::string("SELECT ") + kRunColumns + " FROM runs WHERE id = ?");
    if (!s) return fail("read"), std::nullopt;
    sqlite3_bind_int64(s.get(), 1, id);
    JournalRun run;
    if (!readRun(s.get(), run)) return std::nullopt;
    return run;
}

std::vector<JournalRow> PrintJournal::rows(long long run) {
    std::vector<JournalRow> out;
    if (!db_) return out;
    Statement s(db_, "SELECT row, vals, copies, state, sent, confirmed FROM rows WHERE run = ? ORDER BY row");
    if (!s) return fail("read"), out;
    sqlite3_bind_int64(s.get(), 1, run);
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(s.get())) == SQLITE_ROW) {
        JournalRow row;
        row.row = sqlite3_column_int64(s.get(), 0);
        row.values = text(s.get(), 1);
        row.copies = static_cast<unsigned>(sqlite3_column_int(s.get(), 2));
        row.state = static_cast<RowState>(sqlite3_column_int(s.get(), 3));
        row.sentAt = text(s.get(), 4);
        row.confirmedAt = text(s.get(), 5);
        out.push_back(std::move(row));
    }
    if (status != SQLITE_DONE) fail("read");
    return out;
}

std::vector<JournalRun> PrintJournal::runsWithPrinterObjects(std::string_view device) {
    std::vector<JournalRun> out;
    if (!db_) return out;
    Statement s(db_, std::string("SELECT ") + kRunColumns + " FROM runs WHERE device = ? AND printer_objects != ''");
    if (!s) return fail("read"), out;
    bind(s.get(), 1, device);
    JournalRun run;
    while (readRun(s.get(), run))
        if (run.state != kRunRunning || isInterrupted(run)) out.push_back(run);
    return out;
}

std::optional<JournalRun> PrintJournal::lastUnfinished(std::string_view labelHash, std::string_view dataHash) {
    if (!db_) return std::nullopt;
    Statement s(db_, std::string("SELECT ") + kRunColumns +
                         " FROM runs WHERE label_sha256 = ? AND data_sha256 = ? ORDER BY id DESC LIMIT 1");
    if (!s) return fail("read"), std::nullopt;
    bind(s.get(), 1, labelHash);
    bind(s.get(), 2, dataHash);
    JournalRun run;
    if (!readRun(s.get(), run) || run.state == kRunCompleted) return std::nullopt;
    return run;
}

}  // namespace tavrin
