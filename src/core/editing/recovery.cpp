#include "editing/recovery.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "document/label_file.h"
#include "document/safe_file.h"

namespace tavrin {

namespace {

constexpr const char* kPrefix = "recovery-";
constexpr const char* kInfoExtension = ".info";

std::filesystem::path infoPath(const std::filesystem::path& copy) {
    std::filesystem::path info = copy;
    info.replace_extension(kInfoExtension);
    return info;
}

std::filesystem::path copyFor(const std::filesystem::path& folder, int processId) {
    return folder / (std::string(kPrefix) + std::to_string(processId) + ".qlb");
}

// "recovery-1234.qlb" -> 1234; 0 for any other name.
int processIdOf(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    if (name.rfind(kPrefix, 0) != 0 || path.extension() != ".qlb") return 0;
    const std::string digits = name.substr(std::string(kPrefix).size(), name.size() - 4 - std::string(kPrefix).size());
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::atoi(digits.c_str());
}

std::filesystem::path executableOf(int processId) {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/" + std::to_string(processId) + "/exe", error);
}

}  // namespace

RecoveryStore::RecoveryStore(std::filesystem::path folder, int processId)
    : folder_(std::move(folder)), processId_(processId) {}

std::filesystem::path RecoveryStore::defaultFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/')
        return std::filesystem::path(state) / "tavrin-label-editor";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "/tmp") / ".local" / "state" / "tavrin-label-editor";
}

std::filesystem::path RecoveryStore::copyPath() const { return copyFor(folder_, processId_); }

bool RecoveryStore::write(const LabelDocument& document, const std::string& sourceFile, std::time_t now) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    std::ostringstream info;
    info << "time=" << static_cast<long long>(now) << "\nsource=" << sourceFile << "\n";
    const std::string text = info.str();
    const std::vector<std::uint8_t> label = encodeLabelFile(document);
    // The facts go first: a copy is only ever found through its label file, which then
    // always has facts that are at least as new.
    return replaceFileContents(infoPath(copyPath()), text) && replaceFileContents(copyPath(), label);
}

void RecoveryStore::remove() { discard({copyPath(), 0, {}, processId_}); }

std::vector<RecoveryCopy> RecoveryStore::orphans() const {
    std::vector<RecoveryCopy> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        const int pid = processIdOf(entry.path());
        // This editor's own number counts too: asked before it writes anything, a copy under
        // it is an earlier editor's that happened to run with the same number.
        if (pid == 0 || (pid != processId_ && isSameProgramRunning(pid))) continue;
        RecoveryCopy copy{entry.path(), 0, {}, pid};
        std::ifstream info(infoPath(entry.path()));
        for (std::string line; std::getline(info, line);) {
            if (line.rfind("time=", 0) == 0) copy.savedAt = static_cast<std::time_t>(std::atoll(line.c_str() + 5));
            if (line.rfind("source=", 0) == 0) copy.sourceFile = line.substr(7);
        }
        found.push_back(std::move(copy));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.savedAt > b.savedAt; });
    return found;
}

std::optional<RecoveryCopy> RecoveryStore::claim(const RecoveryCopy& orphan) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    const std::filesystem::path mine = copyPath();
    // rename() is atomic: of two editors claiming the same copy, one finds it gone.
    if (::rename(infoPath(orphan.path).c_str(), infoPath(mine).c_str()) != 0 && errno != ENOENT) return std::nullopt;
    if (::rename(orphan.path.c_str(), mine.c_str()) != 0) return std::nullopt;
    RecoveryCopy claimed = orphan;
    claimed.path = mine;
    claimed.processId = processId_;
    return claimed;
}

bool RecoveryStore::restore(const RecoveryCopy& copy, LabelDocument& document) {
    LabelDocument restored;
    if (!loadLabelFile(copy.path, restored)) return false;
    document = std::move(restored);
    return true;
}

void RecoveryStore::discard(const RecoveryCopy& copy) {
    std::error_code error;
    std::filesystem::remove(copy.path, error);
    std::filesystem::remove(infoPath(copy.path), error);
}

bool isSameProgramRunning(int processId) {
    if (processId <= 0) return false;
    if (::kill(processId, 0) != 0 && errno != EPERM) return false;
    std::error_code error;
    const std::filesystem::path theirs =
        std::filesystem::read_symlink("/proc/" + std::to_string(processId) + "/exe", error);
    // A process that cannot be looked into (another user's) is taken as running.
    if (error) return error == std::errc::permission_denied;
    return theirs == executableOf(static_cast<int>(::getpid()));
}

}  // namespace tavrin
