#pragma once
// A proof file is written under a temporary name beside its own and takes that name only
// when complete, so a run that fails or is stopped halfway never destroys the file it was
// to replace. Devices and pipes (/dev/stdout) are written in place.
#include <cstdio>
#include <filesystem>
#include <string>

namespace tavrin {

class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();  // an unfinished temporary file is removed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // "" on success, else "Can't write TARGET: reason".
    std::string open(const std::filesystem::path& target);
    std::FILE* file() const { return file_; }
    // Writes through, remembering the system's reason for the first failure.
    bool write(const void* data, std::size_t size);
    // The message for the first failed write; "" when none failed.
    std::string writeError() const { return error_ != 0 ? failure(error_) : std::string(); }
    // Flushes, closes and gives the file its name.
    std::string commit();

private:
    std::string failure(int error) const;

    std::filesystem::path target_;
    std::filesystem::path temporary_;  // empty when writing in place
    std::FILE* file_ = nullptr;
    int error_ = 0;
};

}  // namespace tavrin
