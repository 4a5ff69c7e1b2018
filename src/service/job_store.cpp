#include "service/job_store.h"

#include "data/sqlite_statement.h"

#include "data/print_journal.h"

namespace tavrin::service {

namespace {

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS service_labels (
  sha256 TEXT PRIMARY KEY,
  bytes BLOB NOT NULL
);
CREATE TABLE IF NOT EXISTS service_jobs (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  key TEXT UNIQUE,
  printer TEXT NOT NULL,
  label TEXT NOT NULL,
  label_sha256 TEXT NOT NULL REFERENCES service_labels(sha256),
  rows TEXT NOT NULL,
  row_count INTEGER NOT NULL,
  copies INTEGER NOT NULL,
  state TEXT NOT NULL,
  run INTEGER NOT NULL DEFAULT 0,
  error TEXT NOT NULL DEFAULT '',
  uncertain TEXT NOT NULL DEFAULT '',
  created TEXT NOT NULL,
  finished TEXT
);
CREATE INDEX IF NOT EXISTS service_jobs_waiting ON service_jobs(printer, state, id);
)";

constexpr const char* kColumns =
    "id, coalesce(key, ''), printer, label, label_sha256, rows, row_count, copies, state, run, error, uncertain, "
    "created, coalesce(finished, '')";

using sqlite::Statement;

ServiceJob readJob(const Statement& s) {
    ServiceJob job;
    job.id = s.number(0);
    job.key = s.text(1);
    job.printer = s.text(2);
    job.label = s.text(3);
    job.labelHash = s.text(4);
    job.rows = s.text(5);
    job.rowCount = s.number(6);
    job.copies = static_cast<unsigned>(s.number(7));
    job.state = s.text(8);
    job.run = s.number(9);
    job.error = s.text(10);
    job.uncertain = s.text(11);
    job.created = s.text(12);
    job.finished = s.text(13);
    return job;
}

}  // namespace

bool isJobState(std::string_view state) {
    return state == kJobQueued || state == kJobPrinting || isFinished(state);
}

bool isFinished(std::string_view state) { return state == kJobDone || state == kJobFailed || state == kJobCancelled; }

JobStore::JobStore(const std::filesystem::path& database) : path_(database) {
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        fail("open");
        sqlite3_close(db_);
        db_ = nullptr;
        return;
    }
    sqlite3_busy_timeout(db_, 5000);
    // FULL: a commit is on the disk before the client hears "queued".
    for (const char* sql : {"PRAGMA journal_mode = WAL", "PRAGMA synchronous = FULL", kSchema}) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
            fail("set up");
            sqlite3_close(db_);
            db_ = nullptr;
            return;
        }
    }
}

JobStore::~JobStore() {
    if (db_) sqlite3_close(db_);
}

std::string JobStore::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

bool JobStore::fail(std::string_view what) {
    error_ = "Can't " + std::string(what) + " the print journal " + path_.string() + ": " +
             (db_ ? sqlite3_errmsg(db_) : "out of memory");
    return false;
}

struct JobStore::Pending {
    ServiceJob job;
    std::string_view labelBytes;
    bool existing = false;
    bool ok = false;
    bool done = false;
};

std::optional<ServiceJob> JobStore::add(ServiceJob job, std::string_view labelBytes, bool& existing) {
    Pending mine{std::move(job), labelBytes};
    std::unique_lock lock(queueMutex_);
    queue_.push_back(&mine);
    while (!mine.done) {
        if (committing_) {
            committed_.wait(lock);
            continue;
        }
        // No transaction under way: this thread writes every job waiting, its own among them.
        committing_ = true;
        std::vector<Pending*> batch;
        batch.swap(queue_);
        lock.unlock();
        commit(batch);
        lock.lock();
        for (Pending* p : batch) p->done = true;
        committing_ = false;
        committed_.notify_all();
    }
    existing = mine.existing;
    if (!mine.ok) return std::nullopt;
    return mine.job;
}

void JobStore::commit(const std::vector<Pending*>& batch) {
    std::lock_guard lock(mutex_);
    if (!db_) return;
    Statement find(db_, std::string("SELECT ") + kColumns + " FROM service_jobs WHERE key = ?");
    Statement label(db_, "INSERT OR IGNORE INTO service_labels (sha256, bytes) VALUES (?, ?)");
    Statement insert(db_, "INSERT INTO service_jobs (key, printer, label, label_sha256, rows, row_count, copies, state, "
                          "created) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    bool ok = find && label && insert && sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    const std::string now = utcNow();
    for (Pending* p : batch) {
        if (!ok) break;
        ServiceJob& job = p->job;
        if (!job.key.empty()) {
            sqlite3_reset(find.get());
            if (find.bind(1, job.key).step() == SQLITE_ROW) {
                job = readJob(find);
                p->existing = true;
                continue;
            }
        }
        job.created = now;
        job.state = std::string(kJobQueued);
        sqlite3_reset(label.get());
        label.bind(1, job.labelHash);
        sqlite3_bind_blob(label.get(), 2, p->labelBytes.data(), static_cast<int>(p->labelBytes.size()), SQLITE_TRANSIENT);
        ok = label.step() == SQLITE_DONE;
        if (!ok) break;
        sqlite3_reset(insert.get());
        if (job.key.empty()) sqlite3_bind_null(insert.get(), 1);
        else insert.bind(1, job.key);
        insert.bind(2, job.printer).bind(3, job.label).bind(4, job.labelHash).bind(5, job.rows);
        insert.bind(6, job.rowCount).bind(7, static_cast<long long>(job.copies)).bind(8, job.state).bind(9, job.created);
        ok = insert.step() == SQLITE_DONE;
        if (ok) job.id = sqlite3_last_insert_rowid(db_);
    }
    if (ok && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
        for (Pending* p : batch) p->ok = true;
        return;
    }
    // Nothing of the batch is kept, so no client is told "queued" for a job the disk lacks.
    fail("write");
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

std::vector<ServiceJob> JobStore::select(const std::string& where, const std::vector<std::string>& values, std::size_t limit) {
    std::vector<ServiceJob> out;
    if (!db_) return out;
    std::string sql = std::string("SELECT ") + kColumns + " FROM service_jobs " + where;
    if (limit > 0) sql += " LIMIT " + std::to_string(limit);
    Statement s(db_, sql);
    if (!s) return out;
    for (std::size_t i = 0; i < values.size(); ++i) s.bind(static_cast<int>(i + 1), values[i]);
    while (s.step() == SQLITE_ROW) out.push_back(readJob(s));
    return out;
}

std::optional<ServiceJob> JobStore::job(long long id) {
    std::lock_guard lock(mutex_);
    auto found = select("WHERE id = ?", {std::to_string(id)}, 1);
    if (found.empty()) return std::nullopt;
    return found.front();
}

std::optional<ServiceJob> JobStore::jobWithKey(std::string_view key) {
    std::lock_guard lock(mutex_);
    auto found = select("WHERE key = ?", {std::string(key)}, 1);
    if (found.empty()) return std::nullopt;
    return found.front();
}

std::vector<ServiceJob> JobStore::jobs(std::string_view state, std::size_t limit) {
    std::lock_guard lock(mutex_);
    if (state.empty()) return select("ORDER BY id DESC", {}, limit);
    return select("WHERE state = ? ORDER BY id DESC", {std::string(state)}, limit);
}

std::optional<ServiceJob> JobStore::nextUnfinished(std::string_view printer) {
    std::lock_guard lock(mutex_);
    auto found = select("WHERE printer = ? AND state IN ('queued', 'printing') ORDER BY id", {std::string(printer)}, 1);
    if (found.empty()) return std::nullopt;
    return found.front();
}

long long JobStore::unfinishedCount(std::string_view printer) {
    std::lock_guard lock(mutex_);
    Statement s(db_, "SELECT count(*) FROM service_jobs WHERE printer = ? AND state IN ('queued', 'printing')");
    if (!s || s.bind(1, printer).step() != SQLITE_ROW) return 0;
    return s.number(0);
}

std::optional<std::string> JobStore::labelBytes(std::string_view hash) {
    std::lock_guard lock(mutex_);
    Statement s(db_, "SELECT bytes FROM service_labels WHERE sha256 = ?");
    if (!s || s.bind(1, hash).step() != SQLITE_ROW) return std::nullopt;
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(s.get(), 0));
    return std::string(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(s.get(), 0)));
}

bool JobStore::setState(long long id, std::string_view state, std::string_view error) {
    std::lock_guard lock(mutex_);
    Statement s(db_, "UPDATE service_jobs SET state = ?, error = ?, finished = ? WHERE id = ?");
    if (!s) return fail("write");
    s.bind(1, state).bind(2, error).bind(4, id);
    if (isFinished(state)) s.bind(3, utcNow());
    else sqlite3_bind_null(s.get(), 3);
    return s.step() == SQLITE_DONE || fail("write");
}

bool JobStore::setRun(long long id, long long run) {
    std::lock_guard lock(mutex_);
    Statement s(db_, "UPDATE service_jobs SET run = ? WHERE id = ?");
    return (s && s.bind(1, run).bind(2, id).step() == SQLITE_DONE) || fail("write");
}

bool JobStore::setUncertain(long long id, std::string_view rows) {
    std::lock_guard lock(mutex_);
    Statement s(db_, "UPDATE service_jobs SET uncertain = ? WHERE id = ?");
    return (s && s.bind(1, rows).bind(2, id).step() == SQLITE_DONE) || fail("write");
}

}  // namespace tavrin::service
