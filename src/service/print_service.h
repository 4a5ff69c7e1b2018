#pragma once
// The print service: labels from a folder printed on request, each printer with one worker
// taking its jobs in order, printers working in parallel. A job is accepted once the job
// store has it on disk; its worker prints it as a data run recorded in the print journal,
// so a service killed at any moment goes on, when started again, from each job's first
// unconfirmed label. A printer that stops answering is marked offline and keeps its queue;
// its worker tries it again now and then and goes on where the job stood.
//
// The answers are HTTP statuses with JSON bodies, so that the HTTP front and the watch
// folder give the same answers; nothing here knows HTTP itself.
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/print_journal.h"
#include "link/device_link.h"
#include "printer/translation.h"
#include "service/job_store.h"
#include "service/service_options.h"

namespace tavrin::service {

struct Answer {
    int status = 200;
    std::string body;  // JSON
    long long job = 0;  // the job it is about, if any
};

// {"error": message} with the status, and any problems.
Answer errorAnswer(int status, std::string_view message, const std::vector<std::string>& problems = {});

class PrintService {
public:
    PrintService(ServiceOptions options, const Translation& translation, std::string version);
    ~PrintService();
    PrintService(const PrintService&) = delete;
    PrintService& operator=(const PrintService&) = delete;

    // Opens the state folder and its journal and starts the printers' workers. Empty, or
    // why the service cannot run.
    std::string start();
    // Each worker finishes the label in progress; unfinished jobs stay for the next start.
    void stop();

    const ServiceOptions& options() const { return options_; }

    Answer health() const;
    Answer printers();
    Answer labels();
    // A job's JSON; `defaultKey` stands for a key the request does not give.
    Answer submit(std::string_view body, std::string_view defaultKey = {});
    Answer job(long long id);
    Answer jobs(std::string_view state);
    Answer cancel(long long id);
    // The job as the store holds it now.
    std::optional<ServiceJob> storedJob(long long id);

private:
    struct Printer;
    class LabelCache;
    enum class Outcome { Finished, Again, Offline };

    void work(Printer& printer);
    Outcome printJob(Printer& printer, DeviceLink& link, PrintJournal& journal, ServiceJob job);
    bool cancelAsked(Printer& printer, long long job);
    Printer* printer(std::string_view name);
    std::string jobJson(const ServiceJob& job);
    void log(const std::string& line);
    void finishJob(const ServiceJob& job, std::string_view state, const std::string& error);

    ServiceOptions options_;
    const Translation& translation_;
    std::string version_;
    std::unique_ptr<JobStore> store_;
    std::unique_ptr<LabelCache> labels_;
    std::vector<std::unique_ptr<Printer>> printers_;
    std::filesystem::path journalPath_;
    std::mutex statusMutex_;
    std::unique_ptr<PrintJournal> statusJournal_;
    std::atomic<bool> stopping_{false};
    int lockFd_ = -1;
    std::mutex logMutex_;
};

}  // namespace tavrin::service
