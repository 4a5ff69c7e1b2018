#include "proof/pending_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

PendingFile::~PendingFile() {
    if (file_ != nullptr) std::fclose(file_);
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
}

std::string PendingFile::failure(int error) const {
    return "Can't write " + target_.string() + ": " + std::strerror(error != 0 ? error : EIO);
}

std::string PendingFile::open(const std::filesystem::path& target) {
    target_ = target;
    std::error_code ec;
    const auto status = std::filesystem::status(target, ec);
    if (std::filesystem::is_directory(status)) return failure(EISDIR);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        file_ = std::fopen(target.c_str(), "wb");
        return file_ != nullptr ? std::string() : failure(errno);
    }
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return failure(errno);
    temporary_ = name;
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        const int error = errno;
        ::close(fd);
        return failure(error);
    }
    // mkstemp makes the file for its owner alone; a proof is an ordinary document.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    return {};
}

bool PendingFile::write(const void* data, std::size_t size) {
    if (error_ != 0 || file_ == nullptr) return false;
    if (size > 0 && std::fwrite(data, 1, size, file_) != size) {
        error_ = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

std::string PendingFile::commit() {
    if (file_ == nullptr) return failure(EBADF);
    int error = error_;
    if (std::fflush(file_) != 0 && error == 0) error = errno;
    if (std::fclose(file_) != 0 && error == 0) error = errno;
    file_ = nullptr;
    if (error != 0) return failure(error);
    if (temporary_.empty()) return {};
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return failure(errno);
    temporary_.clear();
    return {};
}

}  // namespace tavrin
