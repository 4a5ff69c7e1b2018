#include "service/print_service.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "data/data_check.h"
#include "data/data_run.h"
#include "data/sha256.h"
#include "document/label_file.h"
#include "link/transport_factory.h"
#include "printer/screen_text.h"
#include "service/job_check.h"

namespace tavrin::service {

namespace {

using Json = nlohmann::ordered_json;

enum class PrinterState { Idle, Printing, Offline };

const char* stateName(PrinterState state) {
    switch (state) {
        case PrinterState::Printing: return "printing";
        case PrinterState::Offline: return "offline";
        case PrinterState::Idle: break;
    }
    return "idle";
}

std::string sha256Of(std::string_view bytes) {
    return sha256Hex({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

// "3,4,9" and back: the rows a job may have printed twice.
std::set<long long> rowSet(const std::string& text) {
    std::set<long long> rows;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty()) rows.insert(std::atoll(item.c_str()));
    return rows;
}

std::string rowText(const std::set<long long>& rows) {
    std::string out;
    for (const long long row : rows) out += (out.empty() ? "" : ",") + std::to_string(row);
    return out;
}

Json slotsJson(const LabelDocument& label, bool counters, const Translation& translation) {
    Json list = Json::array();
    const int count = counters ? kCounterCount : kVariableCount;
    for (int i = 0; i < count; ++i) {
        const Variable& v = counters ? label.counters[static_cast<std::size_t>(i)] : label.variables[static_cast<std::size_t>(i)];
        if (!v.isDefined()) continue;
        Json slot = {{"slot", slotName(counters, i)},
                     {"prompt", printerToScreen(v.promptText(), translation)},
                     {"length", v.length},
                     {"value", printerToScreen(v.valueText(), translation)}};
        if (counters) slot["step"] = v.counterStep();
        list.push_back(std::move(slot));
    }
    return list;
}

}  // namespace

Answer errorAnswer(int status, std::string_view message, const std::vector<std::string>& problems) {
    Json body = {{"error", std::string(message)}};
    if (!problems.empty()) body["problems"] = problems;
    return {status, body.dump(), 0};
}

// A label's file read once and kept while its size and time stay the same: requests for one
// label do not read and decode it each time.
class PrintService::LabelCache {
public:
    struct Entry {
        std::filesystem::path file;
        std::filesystem::file_time_type time;
        std::uintmax_t size = 0;
        std::string bytes;
        std::string hash;
        LabelDocument document;
    };

    explicit LabelCache(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // The label, or an answer saying why not.
    std::shared_ptr<const Entry> get(std::string_view name, Answer& refusal) {
        const auto file = labelInFolder(folder_, name);
        if (!file) {
            refusal = errorAnswer(404, "No label \"" + std::string(name) + "\" in the labels folder");
            return nullptr;
        }
        std::error_code error;
        const auto time = std::filesystem::last_write_time(*file, error);
        const auto size = std::filesystem::file_size(*file, error);
        {
            std::lock_guard lock(mutex_);
            const auto it = entries_.find(*file);
            if (it != entries_.end() && it->second->time == time && it->second->size == size) return it->second;
        }
        auto entry = std::make_shared<Entry>();
        entry->file = *file;
        entry->time = time;
        entry->size = size;
        std::ifstream in(*file, std::ios::binary);
        entry->bytes.assign(std::istreambuf_iterator<char>(in), {});
        const auto* data = reinterpret_cast<const std::uint8_t*>(entry->bytes.data());
        const Result decoded = decodeLabelFile({data, entry->bytes.size()}, entry->document);
        if (!in.good() && !in.eof()) {
            refusal = errorAnswer(500, "Can't read the label " + file->string());
            return nullptr;
        }
        if (!decoded) {
            refusal = errorAnswer(422, decoded.message() + ": " + std::string(name));
            return nullptr;
        }
        entry->hash = sha256Of(entry->bytes);
        std::lock_guard lock(mutex_);
        entries_[*file] = entry;
        return entry;
    }

    // The label files' names within the folder, its sub-folders included.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        std::error_code error;
        const auto root = std::filesystem::canonical(folder_, error);
        if (error) return out;
        for (auto it = std::filesystem::recursive_directory_iterator(root, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            const std::string name = it->path().lexically_relative(root).generic_string();
            if (it.depth() > 8) it.disable_recursion_pending();
            if (labelInFolder(root, name)) out.push_back(name);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    std::filesystem::path folder_;
    std::mutex mutex_;
    std::map<std::filesystem::path, std::shared_ptr<const Entry>> entries_;
};

struct PrintService::Printer {
    std::string name, device;
    std::atomic<PrinterState> state{PrinterState::Idle};
    std::thread thread;
    std::mutex mutex;
    std::condition_variable wake;
    bool woken = false;
    long long current = 0;      // the job in hand
    long long cancelAsked = 0;  // a job to end between labels
};

PrintService::PrintService(ServiceOptions options, const Translation& translation, std::string version)
    : options_(std::move(options)), translation_(translation), version_(std::move(version)),
      labels_(std::make_unique<LabelCache>(options_.labels)) {}

PrintService::~PrintService() {
    stop();
    if (lockFd_ >= 0) ::close(lockFd_);
}

std::string PrintService::start() {
    std::error_code error;
    std::filesystem::create_directories(options_.state, error);
    if (error) return "Can't make the state folder " + options_.state.string() + ": " + error.message();
    // Two services on one journal would print each other's jobs.
    const auto lockPath = options_.state / "serve.lock";
    lockFd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) return "Can't open " + lockPath.string() + ": " + std::strerror(errno);
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0)
        return "Another service uses the state folder " + options_.state.string();
    journalPath_ = options_.state / "journal.sqlite";
    store_ = std::make_unique<JobStore>(journalPath_);
    if (!store_->isOpen()) return store_->error();
    statusJournal_ = std::make_unique<PrintJournal>(journalPath_);
    if (!statusJournal_->isOpen()) return statusJournal_->error();
    for (const auto& [name, device] : options_.printers) {
        auto printer = std::make_unique<Printer>();
        printer->name = name;
        printer->device = device;
        printers_.push_back(std::move(printer));
    }
    for (const ServiceJob& job : store_->jobs(kJobPrinting, 0)) store_->setState(job.id, kJobQueued, job.error);
    for (auto& printer : printers_) printer->thread = std::thread([this, p = printer.get()] { work(*p); });
    return {};
}

void PrintService::stop() {
    stopping_ = true;
    for (auto& printer : printers_) {
        {
            std::lock_guard lock(printer->mutex);
            printer->woken = true;
        }
        printer->wake.notify_all();
    }
    for (auto& printer : printers_)
        if (printer->thread.joinable()) printer->thread.join();
}

void PrintService::log(const std::string& line) {
    std::lock_guard lock(logMutex_);
    std::fprintf(stderr, "tavrin-label serve: %s\n", line.c_str());
    std::fflush(stderr);
}

PrintService::Printer* PrintService::printer(std::string_view name) {
    for (auto& p : printers_)
        if (p->name == name) return p.get();
    return nullptr;
}

Answer PrintService::health() const {
    return {200, Json{{"status", "ok"}, {"version", version_}}.dump(), 0};
}

Answer PrintService::printers() {
    Json list = Json::array();
    for (auto& p : printers_)
        list.push_back({{"name", p->name},
                        {"device", p->device},
                        {"state", stateName(p->state)},
                        {"queued", store_->unfinishedCount(p->name) - (p->state == PrinterState::Printing ? 1 : 0)}});
    return {200, Json{{"printers", list}}.dump(), 0};
}

Answer PrintService::labels() {
    Json list = Json::array();
    for (const std::string& name : labels_->names()) {
        Answer refusal;
        const auto entry = labels_->get(name, refusal);
        if (!entry) {
            list.push_back({{"name", name}, {"error", Json::parse(refusal.body)["error"]}});
            continue;
        }
        list.push_back({{"name", name},
                        {"variables", slotsJson(entry->document, false, translation_)},
                        {"counters", slotsJson(entry->document, true, translation_)}});
    }
    return {200, Json{{"labels", list}}.dump(), 0};
}

Answer PrintService::submit(std::string_view body, std::string_view defaultKey) {
    JobRequest request;
    if (const auto refusal = parseJobRequest(body, options_.limits, request))
        return errorAnswer(refusal->status, refusal->message);
    if (request.key.empty()) request.key = defaultKey;
    // A retry is answered with its job even when the label or the printers changed since.
    if (!request.key.empty())
        if (const auto known = store_->jobWithKey(request.key))
            return {202, Json{{"id", known->id}, {"state", known->state}}.dump(), known->id};
    if (!printer(request.printer)) return errorAnswer(404, "No printer \"" + request.printer + "\" in this service");
    Answer refusal;
    const auto label = labels_->get(request.label, refusal);
    if (!label) return refusal;
    const std::vector<std::string> problems = jobRefusals(label->document, request.rows, request.copies, translation_);
    if (!problems.empty()) return errorAnswer(422, "The label cannot print these rows; nothing queued", problems);

    ServiceJob job;
    job.key = request.key;
    job.printer = request.printer;
    job.label = request.label;
    job.labelHash = label->hash;
    job.rows = rowsToJson(request.rows);
    job.rowCount = static_cast<long long>(request.rows.size());
    job.copies = request.copies;
    bool existing = false;
    const auto stored = store_->add(job, label->bytes, existing);
    if (!stored) {
        log(store_->error());
        return errorAnswer(503, store_->error() + "; nothing queued");
    }
    if (!existing) {
        Printer* p = printer(stored->printer);
        {
            std::lock_guard lock(p->mutex);
            p->woken = true;
        }
        p->wake.notify_all();
    }
    return {202, Json{{"id", stored->id}, {"state", stored->state}}.dump(), stored->id};
}

std::optional<ServiceJob> PrintService::storedJob(long long id) { return store_->job(id); }

std::string PrintService::jobJson(const ServiceJob& job) {
    long long sent = 0, confirmed = 0;
    if (job.run > 0) {
        std::lock_guard lock(statusMutex_);
        if (const auto run = statusJournal_->run(job.run)) {
            sent = run->sent;
            confirmed = run->confirmed;
        }
    }
    const std::set<long long> uncertain = rowSet(job.uncertain);
    Json body = {{"id", job.id},
                 {"state", job.state},
                 {"label", job.label},
                 {"printer", job.printer},
                 {"key", job.key},
                 {"rows", job.rowCount},
                 {"copies", job.copies},
                 {"sent", sent},
                 {"confirmed", confirmed},
                 {"error", job.error},
                 {"uncertain", std::vector<long long>(uncertain.begin(), uncertain.end())},
                 {"created", job.created},
                 {"finished", job.finished}};
    return body.dump();
}

Answer PrintService::job(long long id) {
    const auto job = store_->job(id);
    if (!job) return errorAnswer(404, "No job " + std::to_string(id));
    return {200, jobJson(*job), id};
}

Answer PrintService::jobs(std::string_view state) {
    if (!state.empty() && !isJobState(state))
        return errorAnswer(400, "state must be queued, printing, done, failed or cancelled");
    std::string body = "{\"jobs\":[";
    bool first = true;
    for (const ServiceJob& job : store_->jobs(state, 1000)) {
        body += (first ? "" : ",") + jobJson(job);
        first = false;
    }
    return {200, body + "]}", 0};
}

Answer PrintService::cancel(long long id) {
    auto job = store_->job(id);
    if (!job) return errorAnswer(404, "No job " + std::to_string(id));
    if (isFinished(job->state)) return errorAnswer(409, "Job " + std::to_string(id) + " is " + job->state + " already");
    Printer* p = printer(job->printer);
    bool inHand = false;
    if (p) {
        std::lock_guard lock(p->mutex);
        inHand = p->current == id;
        if (inHand) p->cancelAsked = id;
    }
    if (!inHand) {
        finishJob(*job, kJobCancelled, "");
    } else {
        p->wake.notify_all();
        // Its worker ends it after the label in progress.
        for (int i = 0; i < 200 && job && !isFinished(job->state); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            job = store_->job(id);
        }
    }
    job = store_->job(id);
    return {job && isFinished(job->state) ? 200 : 202, jobJson(*job), id};
}

bool PrintService::cancelAsked(Printer& printer, long long job) {
    std::lock_guard lock(printer.mutex);
    return printer.cancelAsked == job;
}

void PrintService::finishJob(const ServiceJob& job, std::string_view state, const std::string& error) {
    if (!store_->setState(job.id, state, error)) log(store_->error());
    std::string line = "job " + std::to_string(job.id) + (job.key.empty() ? "" : " (" + job.key + ")") + " " +
                       job.label + " on " + job.printer + ": " + std::string(state);
    if (job.run > 0 || state == kJobDone) {
        std::lock_guard lock(statusMutex_);
        if (const auto stored = store_->job(job.id); stored && stored->run > 0)
            if (const auto run = statusJournal_->run(stored->run))
                line += ", " + std::to_string(run->confirmed) + " of " + std::to_string(job.rowCount) + " rows confirmed";
    }
    if (!error.empty()) line += ": " + error;
    log(line);
}

void PrintService::work(Printer& p) {
    PrintJournal journal(journalPath_);
    while (!stopping_) {
        std::optional<ServiceJob> job;
        {
            std::unique_lock lock(p.mutex);
            job = store_->nextUnfinished(p.name);
            if (!job) {
                p.wake.wait_for(lock, std::chrono::seconds(1), [&] { return p.woken || stopping_.load(); });
                p.woken = false;
                continue;
            }
            p.current = job->id;
        }
        // A link of its own for each attempt: what it reports is about this attempt only.
        DeviceLink link(p.device, {}, options_.silence);
        const Outcome outcome = printJob(p, link, journal, *job);
        std::unique_lock lock(p.mutex);
        p.current = 0;
        if (outcome == Outcome::Offline) {
            const long long id = job->id;
            p.wake.wait_for(lock, options_.retry, [&] { return stopping_.load() || p.cancelAsked == id; });
        }
    }
}

PrintService::Outcome PrintService::printJob(Printer& p, DeviceLink& link, PrintJournal& journal, ServiceJob job) {
    if (cancelAsked(p, job.id)) {
        finishJob(job, kJobCancelled, "");
        return Outcome::Finished;
    }
    LabelDocument label;
    const auto bytes = store_->labelBytes(job.labelHash);
    const Result decoded =
        bytes ? decodeLabelFile({reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()}, label)
              : Result::failure(FailureKind::Invalid, "The label kept with the job is missing");
    if (!decoded) {
        finishJob(job, kJobFailed, decoded.message());
        return Outcome::Finished;
    }
    DataRunOptions options;
    if (job.run > 0) {
        const auto previous = journal.run(job.run);
        if (!previous) {
            finishJob(job, kJobFailed, journal.error().empty() ? "Its run is missing from the journal" : journal.error());
            return Outcome::Finished;
        }
        if (previous->state == kRunCompleted) {
            finishJob(job, kJobDone, "");
            return Outcome::Finished;
        }
        // Rows that went out unconfirmed are sent again after a lost printer; after a kill,
        // the row on its way may have gone whole without being recorded.
        std::set<long long> uncertain = rowSet(job.uncertain);
        const std::size_t before = uncertain.size();
        if (isInterrupted(*previous)) {
            if (previous->lastSent < job.rowCount) uncertain.insert(previous->lastSent + 1);
        } else {
            for (long long row = previous->lastConfirmed + 1; row <= previous->lastSent; ++row) uncertain.insert(row);
        }
        if (uncertain.size() != before) {
            job.uncertain = rowText(uncertain);
            store_->setUncertain(job.id, job.uncertain);
        }
        options = optionsFromJournal(*previous);
    } else {
        options.copiesColumn = kCopiesColumn;
        options.record.origin = "service";
        options.record.labelPath = (options_.labels / job.label).string();
        options.record.labelHash = job.labelHash;
        options.record.dataPath = "service job " + std::to_string(job.id);
        options.record.dataHash = sha256Of(job.rows);
        options.record.device = p.device;
        // A queue cannot say which forms the printer holds, so no form is stored for the
        // job: each label goes as a job of its own.
        options.direct = deviceKind(p.device) == DeviceKind::PrintQueue;
    }
    options.journal = &journal;
    options.started = [&](long long run) {
        if (run != job.run && !store_->setRun(job.id, run)) log(store_->error());
        job.run = run;
    };
    options.beforeRow = [&](long long, long long, long long) { return !stopping_ && !cancelAsked(p, job.id); };
    store_->setState(job.id, kJobPrinting, job.error);
    const PrinterState was = p.state;
    if (was != PrinterState::Offline) p.state = PrinterState::Printing;

    ValueMapRows rows = jobRowSource(rowsFromJson(job.rows), job.copies);
    DataRun run(label, rows, translation_, options);
    if (run.check().refused()) {
        p.state = was == PrinterState::Offline ? was : PrinterState::Idle;
        finishJob(job, kJobFailed, run.check().firstRefusal());
        return Outcome::Finished;
    }
    const DataRunResult result = run.print(link.link);
    if (result.completed) {
        if (was == PrinterState::Offline) log("printer " + p.name + " (" + p.device + ") answers again");
        p.state = PrinterState::Idle;
        finishJob(job, kJobDone, "");
        return Outcome::Finished;
    }
    const std::string reason = !link.problem().empty() && result.linkFailed ? link.problem() : result.message;
    if (result.stopped || stopping_) {
        p.state = PrinterState::Idle;
        if (cancelAsked(p, job.id)) {
            finishJob(job, kJobCancelled, "");
            return Outcome::Finished;
        }
        store_->setState(job.id, kJobQueued, "");
        return Outcome::Again;
    }
    if (result.linkFailed || result.journalFailed) {
        if (result.linkFailed) {
            if (p.state != PrinterState::Offline) log("printer " + p.name + " (" + p.device + ") offline: " + reason);
            p.state = PrinterState::Offline;
        } else {
            log("job " + std::to_string(job.id) + " waits: " + reason);
            p.state = PrinterState::Idle;
        }
        store_->setState(job.id, kJobQueued, reason);
        return Outcome::Offline;
    }
    p.state = was == PrinterState::Offline ? was : PrinterState::Idle;
    finishJob(job, kJobFailed, reason);
    return Outcome::Finished;
}

}  // namespace tavrin::service
