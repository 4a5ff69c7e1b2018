#pragma once
// Replacing a file so that a failure never leaves it half-written: the bytes go to a
// temporary file beside it, are flushed to disk, and only then take the old file's name.
// Every file this program writes goes this way, whole (replaceFileContents) or as a stream
// (FileReplacement, for writers that produce their output piece by piece).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace tavrin {

// A file being replaced. A device, a pipe or a socket is written in place (that is what
// writing to it means); a symbolic link keeps pointing where it did and its target gets the
// new contents. Until commit() succeeds the old file is untouched, and an unfinished
// temporary file is removed when this goes away.
class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Refuses a folder, and a file its owner may not write: renaming over a read-only file
    // would defeat its protection. Failures say "Can't write PATH: the system's reason".
    Result open(const std::filesystem::path& target);
    // Writes through; after the first failure nothing more is written and commit() fails
    // with that failure's reason.
    Result write(std::span<const std::uint8_t> bytes);
    // The first write's failure, or success.
    Result written() const { return error_ == 0 ? Result::success() : failure(error_); }
    // Syncs, closes and gives the temporary file the target's name.
    Result commit();

private:
    Result failure(int error) const;
    void abandon();

    std::filesystem::path target_;
    std::string temporary_;  // empty when writing in place
    int fd_ = -1;
    int lock_ = -1;
    int error_ = 0;
};

// The whole file at once, as FileReplacement does it.
Result replaceFileContents(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
// Text is written as its bytes.
Result replaceFileContents(const std::filesystem::path& path, std::string_view text);

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path);

}  // namespace tavrin
