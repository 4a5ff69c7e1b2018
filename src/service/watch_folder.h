#pragma once
// Jobs for systems that can only write files: NAME.json in the watched folder holds what a
// POST /v1/jobs would, and ends in done/ or failed/ beside NAME.result.json. A file is taken
// under a key made of its name and content (unless it names its own), so a service killed
// before moving it takes the same job again, not a second one. Writers should write under
// another name (or a dot name) and rename: a file that is not yet whole JSON is waited for
// a little before it is refused.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace tavrin::service {

class PrintService;

class WatchFolder {
public:
    WatchFolder(PrintService& service, std::filesystem::path folder,
                std::chrono::milliseconds interval = std::chrono::milliseconds(500));
    ~WatchFolder();
    WatchFolder(const WatchFolder&) = delete;
    WatchFolder& operator=(const WatchFolder&) = delete;

    // Makes done/ and failed/ and starts looking; empty, or why not.
    std::string start();
    void stop();
    // One look at the folder (what the thread does every interval).
    void scan();

private:
    void take(const std::filesystem::path& file);
    void settle(const std::filesystem::path& file, const std::string& state, const std::string& result);

    PrintService& service_;
    std::filesystem::path folder_;
    std::chrono::milliseconds interval_;
    std::map<std::string, long long> waiting_;  // file name -> job
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};

}  // namespace tavrin::service
