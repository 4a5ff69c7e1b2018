#include "service/watch_folder.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "data/sha256.h"
#include "service/print_service.h"

namespace tavrin::service {

namespace {

// A file still younger than this that is not whole JSON may still be being written.
constexpr auto kWriteGrace = std::chrono::seconds(2);

bool isJobFile(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    constexpr std::string_view kResult = ".result.json";
    return path.extension() == ".json" && name.front() != '.' &&
           !(name.size() > kResult.size() && name.compare(name.size() - kResult.size(), kResult.size(), kResult) == 0);
}

}  // namespace

WatchFolder::WatchFolder(PrintService& service, std::filesystem::path folder, std::chrono::milliseconds interval)
    : service_(service), folder_(std::move(folder)), interval_(interval) {}

WatchFolder::~WatchFolder() { stop(); }

std::string WatchFolder::start() {
    for (const char* sub : {"done", "failed"}) {
        std::error_code error;
        std::filesystem::create_directories(folder_ / sub, error);
        if (error) return "Can't make " + (folder_ / sub).string() + ": " + error.message();
    }
    thread_ = std::thread([this] {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            lock.unlock();
            scan();
            lock.lock();
            wake_.wait_for(lock, interval_, [this] { return stopping_; });
        }
    });
    return {};
}

void WatchFolder::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void WatchFolder::scan() {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (auto it = std::filesystem::directory_iterator(folder_, error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error))
        if (it->is_regular_file(error) && isJobFile(it->path())) files.push_back(it->path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) take(file);
}

void WatchFolder::take(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    if (const auto it = waiting_.find(name); it != waiting_.end()) {
        const auto job = service_.storedJob(it->second);
        if (job && !isFinished(job->state)) return;
        const Answer answer = service_.job(it->second);
        settle(file, job && job->state == kJobDone ? "done" : "failed", answer.body);
        waiting_.erase(it);
        return;
    }
    const std::size_t limit = service_.options().limits.bodyBytes;
    std::ifstream in(file, std::ios::binary);
    std::string body;
    body.resize(limit + 1);
    in.read(body.data(), static_cast<std::streamsize>(body.size()));
    body.resize(static_cast<std::size_t>(in.gcount()));
    Answer answer;
    if (body.size() > limit) {
        answer = errorAnswer(413, "The file holds more than " + std::to_string(limit) + " bytes");
    } else {
        const std::string key = "watch:" + name + ":" +
                                sha256Hex({reinterpret_cast<const std::uint8_t*>(body.data()), body.size()}).substr(0, 32);
        answer = service_.submit(body, key);
        if (answer.status == 400) {
            std::error_code error;
            const auto age = std::filesystem::file_time_type::clock::now() - std::filesystem::last_write_time(file, error);
            if (!error && age < kWriteGrace) return;
        }
    }
    if (answer.status == 202) {
        waiting_[name] = answer.job;
        take(file);  // a job finished before (the same file again) settles at once
        return;
    }
    settle(file, "failed", answer.body);
}

void WatchFolder::settle(const std::filesystem::path& file, const std::string& state, const std::string& result) {
    const auto target = folder_ / state;
    const std::string stem = file.stem().string();
    // The result first: a service killed between the two finds the job file again and
    // writes the same result.
    const auto resultFile = target / (stem + ".result.json");
    const auto partial = target / ("." + stem + ".result.json.part");
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << result << "\n";
    }
    std::error_code error;
    std::filesystem::rename(partial, resultFile, error);
    std::filesystem::rename(file, target / file.filename(), error);
}

}  // namespace tavrin::service
