#include "document/recent_files.h"

#include <algorithm>
#include <sstream>

#include "document/safe_file.h"

namespace tavrin {

void RecentFiles::load() {
    files_.clear();
    const auto bytes = readWholeFile(file_);
    if (!bytes) return;
    std::istringstream text(std::string(bytes->begin(), bytes->end()));
    for (std::string line; std::getline(text, line) && files_.size() < kRecentFileLimit;) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && std::find(files_.begin(), files_.end(), line) == files_.end()) files_.push_back(line);
    }
}

bool RecentFiles::save() const {
    if (file_.empty()) return false;  // no user folder to keep the list in
    std::string text;
    for (const std::string& file : files_) text += file + "\n";
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    return static_cast<bool>(replaceFileContents(file_, text));
}

void RecentFiles::add(const std::string& path) {
    // A path with a line break could not be read back as one entry.
    if (path.empty() || path.find_first_of("\r\n") != std::string::npos) return;
    remove(path);
    files_.insert(files_.begin(), path);
    if (files_.size() > kRecentFileLimit) files_.resize(kRecentFileLimit);
}

void RecentFiles::remove(const std::string& path) { std::erase(files_, path); }

}  // namespace tavrin
