// tavrin-printer-sim as a process on a real pseudo-terminal.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "support/test_support.h"

namespace {

class Simulator {
public:
    explicit Simulator(const std::vector<std::string>& options) {
        int out[2];
        if (::pipe(out) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            std::vector<char*> argv{const_cast<char*>(TAVRIN_PRINTER_SIM_EXE)};
            for (const auto& o : options) argv.push_back(const_cast<char*>(o.c_str()));
            argv.push_back(nullptr);
            ::execv(TAVRIN_PRINTER_SIM_EXE, argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        char c = 0;
        while (::read(out[0], &c, 1) == 1 && c != '\n') device_ += c;
        ::close(out[0]);
    }
    ~Simulator() {
        if (fd_ >= 0) ::close(fd_);
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    const std::string& device() const { return device_; }
    int open() {
        fd_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        ::tcgetattr(fd_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd_, TCSANOW, &t);
        return fd_;
    }
    std::string exchange(const std::string& command, std::size_t expected) {
        EXPECT_EQ(::write(fd_, command.data(), command.size()), static_cast<ssize_t>(command.size()));
        std::string reply;
        while (reply.size() < expected) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 3000) <= 0) break;  // the link's silence limit
            char buffer[256];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0) break;
            reply.append(buffer, static_cast<std::size_t>(n));
        }
        return reply;
    }

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    std::string device_;
};

TEST(SimulatorProcess, AnswersOnItsTerminalAndPrintsToItsFolder) {
    tavrin::test::TempDir dir;
    Simulator sim({"--output", (dir / "out").string(), "--link", (dir / "printer").string()});
    ASSERT_EQ(sim.device().rfind("/dev/pts/", 0), 0u) << sim.device();
    EXPECT_EQ(std::filesystem::read_symlink(dir / "printer").string(), sim.device());
    ASSERT_GE(sim.open(), 0);
    EXPECT_EQ(sim.exchange("\r\nUF\r\n", 3), "0\r\n");
    sim.exchange("\r\nN\r\nQ80,24\r\nq80\r\nLO0,0,10,10\r\nP1\r\n", 0);
    EXPECT_EQ(sim.exchange("\r\nUG\r\n", 3), "0\r\n");  // answered after the print, so it is done
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / "label-0001.png"));
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / "received.log"));
}

TEST(SimulatorProcess, SilentFaultNeverAnswers) {
    tavrin::test::TempDir dir;
    Simulator sim({"--output", dir.path().string(), "--fault", "silent"});
    ASSERT_GE(sim.open(), 0);
    EXPECT_EQ(sim.exchange("\r\nUF\r\n", 1), "");
}

}  // namespace
