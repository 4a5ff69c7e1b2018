#pragma once
// The service's jobs, kept in the print journal's database beside its runs: a job is
// accepted only once its row here is committed (synchronously, so a power cut cannot take
// back a job a client was told about), and each job points at the journal run that prints
// it, from which a restarted service goes on. The label's bytes are kept with the job, so
// a label file changed or removed after the job was accepted prints the label accepted.
#include <filesystem>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace tavrin::service {

inline constexpr std::string_view kJobQueued = "queued";
inline constexpr std::string_view kJobPrinting = "printing";
inline constexpr std::string_view kJobDone = "done";
inline constexpr std::string_view kJobFailed = "failed";
inline constexpr std::string_view kJobCancelled = "cancelled";

bool isJobState(std::string_view state);
bool isFinished(std::string_view state);

struct ServiceJob {
    long long id = 0;
    std::string key;  // empty: none given
    std::string printer;
    std::string label;  // the name within the labels folder
    std::string labelHash;
    std::string rows;  // JSON: [{"name": "value", ...}, ...]
    long long rowCount = 0;
    unsigned copies = 1;
    std::string state{kJobQueued};
    long long run = 0;  // the journal run printing it, 0 before it started
    std::string error;
    // Rows that may have printed twice: sent before a kill or a lost printer and not
    // confirmed, then sent again. "3,4".
    std::string uncertain;
    std::string created, finished;
};

class JobStore {
public:
    explicit JobStore(const std::filesystem::path& database);
    ~JobStore();
    JobStore(const JobStore&) = delete;
    JobStore& operator=(const JobStore&) = delete;

    bool isOpen() const { return db_ != nullptr; }
    std::string error() const;

    // Stores the job and its label's bytes and fills in its id. A job with the same key
    // already stored is returned instead, `existing` set. Empty on failure (error() says
    // why). Jobs added at the same time from several threads share one transaction, so a
    // burst of clients waits for one write to the disk, not for one each.
    std::optional<ServiceJob> add(ServiceJob job, std::string_view labelBytes, bool& existing);
    std::optional<ServiceJob> job(long long id);
    std::optional<ServiceJob> jobWithKey(std::string_view key);
    // Newest first; `state` empty for all.
    std::vector<ServiceJob> jobs(std::string_view state, std::size_t limit);
    // The oldest job of the printer that is neither finished nor cancelled.
    std::optional<ServiceJob> nextUnfinished(std::string_view printer);
    long long unfinishedCount(std::string_view printer);
    std::optional<std::string> labelBytes(std::string_view hash);

    bool setState(long long id, std::string_view state, std::string_view error = {});
    bool setRun(long long id, long long run);
    bool setUncertain(long long id, std::string_view rows);

private:
    struct Pending;
    void commit(const std::vector<Pending*>& batch);
    bool fail(std::string_view what);
    std::vector<ServiceJob> select(const std::string& where, const std::vector<std::string>& values, std::size_t limit);

    std::filesystem::path path_;
    sqlite3* db_ = nullptr;
    mutable std::mutex mutex_;  // the connection
    std::string error_;
    std::mutex queueMutex_;
    std::condition_variable committed_;
    std::vector<Pending*> queue_;
    bool committing_ = false;
};

}  // namespace tavrin::service
