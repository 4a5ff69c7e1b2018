#pragma once
// The labels opened or saved last, newest first, kept between runs in a small text file
// (one path a line) in the user's configuration folder.
#include <filesystem>
#include <string>
#include <vector>

namespace tavrin {

inline constexpr std::size_t kRecentFileLimit = 8;
inline constexpr const char* kRecentFilesName = "recent-labels";

class RecentFiles {
public:
    explicit RecentFiles(std::filesystem::path file) : file_(std::move(file)) {}

    // A missing or unreadable list is an empty one.
    void load();
    // Writes the list; a failure leaves the old file whole.
    bool save() const;

    const std::vector<std::string>& files() const { return files_; }
    // To the front; once only; at most kRecentFileLimit kept.
    void add(const std::string& path);
    void remove(const std::string& path);

private:
    std::filesystem::path file_;
    std::vector<std::string> files_;
};

}  // namespace tavrin
