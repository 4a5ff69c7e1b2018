#include "standard_streams.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "document/safe_file.h"

namespace tavrin::cli {
namespace fs = std::filesystem;

std::string lowerExtension(const std::string& name) {
    std::string extension = fs::path(name).extension().string();
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension;
}

std::string displayName(const std::string& name, bool output) {
    if (!isStandardStream(name)) return name;
    return output ? "standard output" : "standard input";
}

TemporaryFile::~TemporaryFile() {
    if (path_.empty()) return;
    std::error_code ec;
    fs::remove(path_, ec);
}

bool TemporaryFile::create(const std::string& extension) {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                          "/tavrin-label-XXXXXX" + extension;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemps(name.data(), static_cast<int>(extension.size()));
    if (fd < 0) return false;
    ::close(fd);
    path_ = name.data();
    return true;
}

bool TemporaryFile::addExtension(const std::string& extension) {
    fs::path named = path_;
    named += extension;
    std::error_code ec;
    fs::rename(path_, named, ec);
    if (ec) return false;
    path_ = named;
    return true;
}

namespace {
bool copyStream(std::FILE* from, std::FILE* to) {
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, from);
        if (n > 0 && std::fwrite(buffer, 1, n, to) != n) return false;
        if (n < sizeof buffer) return !std::ferror(from);
    }
}
}  // namespace

fs::path inputPath(const std::string& name, TemporaryFile& holder, std::string& error) {
    if (!isStandardStream(name)) return name;
    if (!holder.create("")) {
        error = std::string("cannot store standard input: ") + std::strerror(errno);
        return {};
    }
    std::FILE* file = std::fopen(holder.path().c_str(), "wb");
    const bool copied = file != nullptr && copyStream(stdin, file);
    if (file == nullptr || std::fclose(file) != 0 || !copied) {
        error = "cannot read standard input";
        return {};
    }
    return holder.path();
}

fs::path pictureInputPath(const std::string& name, TemporaryFile& holder, std::string& error) {
    const fs::path path = inputPath(name, holder, error);
    if (path.empty() || !isStandardStream(name)) return path;
    unsigned char head[4] = {};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    const std::size_t n = file != nullptr ? std::fread(head, 1, sizeof head, file) : 0;
    if (file != nullptr) std::fclose(file);
    const char* extension = n >= 2 && head[0] == 'B' && head[1] == 'M'       ? ".bmp"
                            : n >= 2 && head[0] == 0xFF && head[1] == 0xD8   ? ".jpg"
                            : n >= 4 && head[0] == 0x89 && head[1] == 'P'    ? ".png"
                            : n >= 1 && head[0] == 0x0A                      ? ".pcx"
                                                                             : "";
    if (*extension == '\0') {
        error = "standard input holds no BMP, JPEG, PNG or PCX picture";
        return {};
    }
    if (!holder.addExtension(extension)) {
        error = "cannot store standard input: " + std::string(std::strerror(errno));
        return {};
    }
    return holder.path();
}

fs::path outputPath(const std::string& name, const std::string& extension, TemporaryFile& holder,
                    std::string& error) {
    if (!isStandardStream(name)) return name;
    if (!holder.create(extension)) {
        error = std::string("cannot make a temporary file: ") + std::strerror(errno);
        return {};
    }
    return holder.path();
}

std::string finishOutput(const std::string& name, const TemporaryFile& holder) {
    if (!isStandardStream(name)) return {};
    std::FILE* file = std::fopen(holder.path().c_str(), "rb");
    if (file == nullptr) return "cannot write to standard output";
    const bool copied = copyStream(file, stdout);
    std::fclose(file);
    if (!copied || std::fflush(stdout) != 0) return "cannot write to standard output";
    return {};
}

std::string readProblem(const std::string& name) {
    if (isStandardStream(name)) return {};
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file != nullptr) {
        std::fclose(file);
        std::error_code ec;
        if (fs::is_directory(name, ec)) return ": Is a directory";
        return {};
    }
    return std::string(": ") + std::strerror(errno);
}

std::string writeProblem(const std::string& name) {
    if (isStandardStream(name)) return {};
    std::error_code ec;
    if (fs::is_directory(name, ec)) return ": Is a directory";
    if (fs::exists(name, ec)) {
        if (::access(name.c_str(), W_OK) != 0) return std::string(": ") + std::strerror(errno);
        return {};
    }
    fs::path folder = fs::path(name).parent_path();
    if (folder.empty()) folder = ".";
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return std::string(": ") + std::strerror(errno);
    return {};
}

std::string readFailure(const std::string& message, const std::string& name) {
    return message + ": " + displayName(name, false) + readProblem(name);
}

std::string writeFailure(const std::string& message, const std::string& name) {
    return message + ": " + displayName(name, true) + writeProblem(name);
}

std::string writeOutput(const std::string& name, std::string_view bytes) {
    if (isStandardStream(name)) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
            return std::string("cannot write to standard output: ") + std::strerror(errno);
        return {};
    }
    if (!replaceFileContents(name, bytes)) return writeFailure("Can't open output file", name);
    return {};
}

}  // namespace tavrin::cli
