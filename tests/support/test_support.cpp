#include "support/test_support.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavrin::test {

TempDir::TempDir() {
    static std::atomic<int> serial{0};
    path_ = std::filesystem::temp_directory_path() /
            ("tavrin-test-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

namespace {
// Print runs are journalled: those of the tests, and of the programs they start, go into a
// journal of this process's own, never the user's.
struct OwnJournal {
    TempDir dir;
    OwnJournal() { ::setenv("TAVRIN_JOURNAL", (dir / "journal.sqlite").c_str(), 0); }
};
const OwnJournal ownJournal;
}  // namespace

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void writeFile(const std::filesystem::path& path, std::string_view text) {
    writeFile(path, Bytes(text.begin(), text.end()));
}

std::string readText(const std::filesystem::path& path) {
    const Bytes bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) ::setenv(name, value, 1);
    else ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
}

std::string asUnprivileged(const std::function<std::string()>& query) {
    if (::geteuid() != 0) return query();
    int ends[2];
    if (::pipe(ends) != 0) throw std::runtime_error("pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        const std::string answer = query();
        ::_exit(::write(ends[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size()) ? 0 : 1);
    }
    ::close(ends[1]);
    std::string answer;
    char chunk[256];
    for (pollfd p{ends[0], POLLIN, 0}; ::poll(&p, 1, 30000) > 0;) {
        const ssize_t n = ::read(ends[0], chunk, sizeof chunk);
        if (n <= 0) break;
        answer.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(ends[0]);
    waitOrKill(child, std::chrono::seconds(30));
    return answer;
}

BackgroundProgram::BackgroundProgram(const std::string& program, const std::vector<std::string>& arguments,
                                     const std::filesystem::path& input, const std::filesystem::path& errorLog)
    : errorLog_(errorLog.empty() ? dir_ / "err" : errorLog) {
    const auto outPath = dir_ / "out", errPath = errorLog_;
    std::fflush(nullptr);  // or the child's freopen would write this process's buffered output again
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const char* errMode = errorLog.empty() ? "w" : "a";
        if (!std::freopen(outPath.c_str(), "w", stdout) || !std::freopen(errPath.c_str(), errMode, stderr)) ::_exit(127);
        if (!input.empty() && !std::freopen(input.c_str(), "r", stdin)) ::_exit(127);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
}

BackgroundProgram::~BackgroundProgram() {
    if (pid_ > 0) waitOrKill(pid_, std::chrono::milliseconds(0));
}

CommandResult BackgroundProgram::finish(std::chrono::milliseconds grace) {
    const int status = waitOrKill(pid_, grace);
    pid_ = -1;
    CommandResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    const auto out = readFile(dir_ / "out"), err = readFile(errorLog_);
    result.out.assign(out.begin(), out.end());
    result.err.assign(err.begin(), err.end());
    return result;
}

CommandResult runProgram(const std::string& program, const std::vector<std::string>& arguments) {
    return BackgroundProgram(program, arguments).finish(std::chrono::seconds(30));
}

CommandResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& input) {
    return BackgroundProgram(program, arguments, input.empty() ? "/dev/null" : input).finish(std::chrono::seconds(30));
}

int waitOrKill(int pid, std::chrono::milliseconds grace) {
    const auto deadline = std::chrono::steady_clock::now() + grace;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return status;
        if (done < 0 && errno != EINTR) return -1;
        if (std::chrono::steady_clock::now() >= deadline) break;
        ::usleep(10000);
    }
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    return status;
}

SimulatorProcess::SimulatorProcess(const std::string& executable, const std::filesystem::path& output,
                                   const std::vector<std::string>& options)
    : output_(output) {
    std::vector<std::string> arguments{executable, "--output", output.string()};
    arguments.insert(arguments.end(), options.begin(), options.end());
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv;
        for (auto& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(executable.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    const auto readLine = [fd = out[0]](std::string& line) {
        char c = 0;
        for (pollfd p{fd, POLLIN, 0}; ::poll(&p, 1, 10000) > 0 && ::read(fd, &c, 1) == 1 && c != '\n';) line += c;
        return c == '\n';
    };
    // The device path is the first line (once it is there the terminal is up), the address the next.
    const bool up = readLine(device_);
    if (up && std::find(options.begin(), options.end(), "--listen") != options.end()) readLine(address_);
    ::close(out[0]);
    if (!up || device_.empty()) {
        stop();
        throw std::runtime_error("the simulator did not start");
    }
}

SimulatorProcess::~SimulatorProcess() { stop(); }

bool SimulatorProcess::stop() {
    if (pid_ <= 0) return true;
    ::kill(pid_, SIGTERM);
    const int status = waitOrKill(pid_, std::chrono::seconds(5));
    pid_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void SimulatorProcess::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitOrKill(pid_, std::chrono::seconds(5));
    pid_ = -1;
}

std::filesystem::path SimulatorProcess::label(int n) const {
    char name[32];
    std::snprintf(name, sizeof name, "label-%04d.png", n);
    return output_ / name;
}

PseudoTerminal::PseudoTerminal() {
    fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd_ >= 0 && ::grantpt(fd_) == 0 && ::unlockpt(fd_) == 0 && ::fcntl(fd_, F_SETFL, O_NONBLOCK) == 0)
        device_ = ::ptsname(fd_);
}

PseudoTerminal::~PseudoTerminal() {
    if (fd_ >= 0) ::close(fd_);
}

std::string PseudoTerminal::drain(int quietMs) {
    std::string out;
    char buffer[4096];
    pollfd entry{fd_, POLLIN, 0};
    while (::poll(&entry, 1, quietMs) > 0 && (entry.revents & POLLIN)) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

bool PseudoTerminal::writeAll(std::string_view bytes, const std::atomic<bool>& stop) {
    while (!bytes.empty()) {
        if (stop) return false;
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 20);
        } else {
            ::usleep(5000);  // nobody has the terminal open yet
        }
    }
    return true;
}

std::vector<std::string> printedLabels(const std::vector<std::filesystem::path>& outputs) {
    static const std::regex printed(R"(^printed label-\d+\.png \([^)]*\)(.*)$)");
    static const std::regex value(R"(([VC]\d\d)="([^"]*)\")");
    std::vector<std::string> labels;
    for (const auto& output : outputs) {
        if (!std::filesystem::exists(output / "received.log")) continue;
        std::istringstream lines(readText(output / "received.log"));
        for (std::string line; std::getline(lines, line);) {
            std::smatch m;
            if (!std::regex_match(line, m, printed)) continue;
            std::string& label = labels.emplace_back();
            const std::string values = m[1];
            for (std::sregex_iterator it(values.begin(), values.end(), value), end; it != end; ++it)
                label += (label.empty() ? "" : " ") + (*it)[1].str() + "=" + (*it)[2].str();
        }
    }
    return labels;
}

ByteBuilder& ByteBuilder::u8(unsigned value) {
    bytes_.push_back(static_cast<std::uint8_t>(value));
    return *this;
}
ByteBuilder& ByteBuilder::be16(int value) {
    const auto v = static_cast<std::uint16_t>(value);
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
    return *this;
}
ByteBuilder& ByteBuilder::le16(int value) {
    const auto v = static_cast<std::uint16_t>(value);
    bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    return *this;
}
ByteBuilder& ByteBuilder::text(std::string_view characters) {
    bytes_.insert(bytes_.end(), characters.begin(), characters.end());
    return *this;
}
ByteBuilder& ByteBuilder::field(std::string_view characters, std::size_t width) {
    if (characters.size() > width) throw std::logic_error("fixture field too long");
    text(characters);
    return zeros(width - characters.size());
}
ByteBuilder& ByteBuilder::zeros(std::size_t count) {
    bytes_.insert(bytes_.end(), count, 0);
    return *this;
}
ByteBuilder& ByteBuilder::bytes(const Bytes& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
}

}  // namespace tavrin::test
