#include "e2e/e2e_support.h"

#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace tavrin::e2e {

SimulatorProcess::SimulatorProcess(const std::filesystem::path& output, const std::vector<std::string>& options)
    : output_(output) {
    std::vector<std::string> arguments{TAVRIN_PRINTER_SIM_EXE, "--output", output.string()};
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
        ::execv(TAVRIN_PRINTER_SIM_EXE, argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    // The device path is the first line; once it is there the terminal is up.
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n') device_ += c;
    ::close(out[0]);
    if (device_.empty()) throw std::runtime_error("the simulator did not start");
}

SimulatorProcess::~SimulatorProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::filesystem::path SimulatorProcess::label(int n) const {
    char name[32];
    std::snprintf(name, sizeof name, "label-%04d.png", n);
    return output_ / name;
}

RealLink::RealLink(const std::string& device) {
    link.setPortDevice(0, device);
    LinkTiming timing = LinkTiming::system();
    timing.silenceLimit = kSilence;
    link.setTiming(timing);
    transport.setIoTimeout(kSilence);
}

test::CommandResult runPrinterCommand(const std::string& device, const std::vector<std::string>& subCommand) {
    std::vector<std::string> arguments{"printer", "--port", device, "--silence-ms",
                                       std::to_string(kSilence.count())};
    arguments.insert(arguments.end(), subCommand.begin(), subCommand.end());
    return test::runProgram(TAVRIN_LABEL_EXE, arguments);
}

}  // namespace tavrin::e2e
