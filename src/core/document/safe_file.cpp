#include "document/safe_file.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {
// The system's reason for a failed write, 0 when all was written.
int writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// The temporary file of a save: "." + the target's name + "." + the six characters mkstemp
// puts in place of XXXXXX.
constexpr std::size_t kTemporarySuffixLength = 6;

bool isTemporaryOf(const std::string& entry, const std::string& prefix) {
    if (entry.size() != prefix.size() + kTemporarySuffixLength || entry.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < entry.size(); ++i) {
        const char c = entry[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// A save that was killed leaves its temporary file. Every save holds a lock on its own
// temporary file until it has taken the target's name, and the system drops the lock when
// the process dies; so a temporary file whose lock can be had belongs to no running save
// and is removed. One that a running save holds is left alone.
void removeStaleTemporaries(const std::filesystem::path& folder, const std::string& prefix) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryOf(entry->d_name, prefix)) continue;
        const std::string path = (folder / entry->d_name).string();
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened {}, named {};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::lstat(path.c_str(), &named) == 0 && sameFile(opened, named))
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

// Creates a temporary file for the target and takes its lock through a second descriptor,
// which stays open until the rename while the first is closed to learn of write errors.
// A sweep of another save may remove the new file before the lock is taken; then the name
// no longer leads to it, and a new one is made.
int createLockedTemporary(std::string& pattern, const std::string& base, int& lock) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        pattern = base;
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) return -1;
        lock = ::open(pattern.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat written {}, locked {}, named {};
        if (lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &written) == 0 &&
            ::fstat(lock, &locked) == 0 && ::lstat(pattern.c_str(), &named) == 0 && sameFile(written, locked) &&
            sameFile(written, named))
            return fd;
        if (lock >= 0) ::close(lock);
        lock = -1;
        // Still ours when the name leads to it; a file another save made under it is not.
        struct stat mine {}, now {};
        if (::fstat(fd, &mine) == 0 && ::lstat(pattern.c_str(), &now) == 0 && sameFile(mine, now))
            ::unlink(pattern.c_str());
        ::close(fd);
    }
    return -1;
}

}  // namespace

FileReplacement::~FileReplacement() { abandon(); }

Result FileReplacement::failure(int error) const {
    return Result::failure(FailureKind::CannotWrite,
                           "Can't write " + target_.string() + ": " + std::strerror(error != 0 ? error : EIO));
}

void FileReplacement::abandon() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    if (lock_ >= 0) ::close(lock_);
    fd_ = lock_ = -1;
    temporary_.clear();
}

Result FileReplacement::open(const std::filesystem::path& requested) {
    abandon();
    target_ = requested;
    error_ = 0;
    std::filesystem::path path = requested;
    struct stat link {};
    if (::lstat(requested.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        std::error_code ec;
        path = std::filesystem::weakly_canonical(requested, ec);
        if (ec) return failure(ec.value());
    }
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return failure(EISDIR);
        if (!S_ISREG(existing.st_mode)) {
            fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
            return fd_ >= 0 ? Result::success() : failure(errno);
        }
        if (::access(path.c_str(), W_OK) != 0) return failure(errno);
    }
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    const std::string prefix = "." + path.filename().string() + ".";
    removeStaleTemporaries(folder, prefix);
    fd_ = createLockedTemporary(temporary_, (folder / (prefix + "XXXXXX")).string(), lock_);
    if (fd_ < 0) {
        const int error = errno;
        temporary_.clear();
        return failure(error);
    }
    // Keep the permissions an existing file had; a new file gets the usual 0666 & ~umask.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        ::fchmod(fd_, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
    }
    target_ = path;
    return Result::success();
}

Result FileReplacement::write(std::span<const std::uint8_t> bytes) {
    if (fd_ < 0 && error_ == 0) error_ = EBADF;
    if (error_ == 0) error_ = writeAll(fd_, bytes);
    return error_ == 0 ? Result::success() : failure(error_);
}

Result FileReplacement::commit() {
    if (fd_ < 0 && error_ == 0) error_ = EBADF;
    if (error_ == 0 && !temporary_.empty() && ::fsync(fd_) != 0) error_ = errno;
    if (fd_ >= 0 && ::close(fd_) != 0 && error_ == 0) error_ = errno;
    fd_ = -1;
    if (error_ == 0 && !temporary_.empty() && ::rename(temporary_.c_str(), target_.c_str()) != 0) error_ = errno;
    if (error_ != 0) {
        abandon();
        return failure(error_);
    }
    temporary_.clear();
    abandon();
    return Result::success();
}

Result replaceFileContents(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    FileReplacement file;
    Result result = file.open(path);
    if (result) result = file.write(bytes);
    return result ? file.commit() : result;
}

Result replaceFileContents(const std::filesystem::path& path, std::string_view text) {
    return replaceFileContents(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(fd);
    return bytes;
}

}  // namespace tavrin
