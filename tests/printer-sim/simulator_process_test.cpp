// tavrin-printer-sim as a process on a real pseudo-terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "support/test_support.h"

namespace {

// The simulator from this build, and a raw terminal to it.
class Simulator : public tavrin::test::SimulatorProcess {
public:
    Simulator(const std::filesystem::path& output, const std::vector<std::string>& options)
        : SimulatorProcess(TAVRIN_PRINTER_SIM_EXE, output, options) {}
    ~Simulator() {
        if (fd_ >= 0) ::close(fd_);
    }
    int open() {
        fd_ = ::open(device().c_str(), O_RDWR | O_NOCTTY);
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
    int fd_ = -1;
};

TEST(SimulatorProcess, AnswersOnItsTerminalAndPrintsToItsFolder) {
    tavrin::test::TempDir dir;
    Simulator sim(dir / "out", {"--link", (dir / "printer").string()});
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
    Simulator sim(dir.path(), {"--fault", "silent"});
    ASSERT_GE(sim.open(), 0);
    EXPECT_EQ(sim.exchange("\r\nUF\r\n", 1), "");
}

}  // namespace
