// tavrin-printer-sim: a virtual label printer on a pseudo-terminal, and with --listen on a
// TCP port too. The editor and tavrin-label talk to it through their ordinary serial or
// network code; it prints labels as PNG files.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

#include "document/program_paths.h"
#include "render/image_io.h"
#include "render/resident_font.h"
#include "tcp_listener.h"
#include "virtual_printer.h"

namespace fs = std::filesystem;
using namespace tavrin;

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void onSignal(int) { stopRequested = 1; }

const char* kUsage =
    "usage: tavrin-printer-sim [options]\n"
    "  --link PATH        also make PATH a symbolic link to the terminal device\n"
    "  --output DIR       folder for printed labels and the log (default: sim-output)\n"
    "  --store DIR        keep the printer's memory in DIR across restarts\n"
    "  --fault KIND       silent | truncate | garbage | slow (may be repeated)\n"
    "  --slow-ms N        pause per received byte with --fault slow (default 2)\n"
    "  --listen [HOST:]PORT  also serve the printer over TCP (HOST 127.0.0.1 by default;\n"
    "                     port 0 takes a free one), one connection at a time\n"
    "  -h, --help         this text;  -V, --version  the version\n"
    "The terminal's device path is printed on the first line of standard output, the TCP\n"
    "address (tcp://HOST:PORT) on the second with --listen.\n";

// How long a reply waits for the host to make room before the rest of it is dropped. We
// hold our own end of the terminal open, so a reply the host leaves unread stays queued
// for ever: without a limit the printer would stop answering, and stop ending on SIGTERM.
constexpr auto kUnreadReplyLimit = std::chrono::seconds(5);
// Set when a reply was dropped: later replies are dropped at once, until the host sends
// something again.
bool hostStalled = false;

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    auto deadline = std::chrono::steady_clock::now() + kUnreadReplyLimit;
    while (size > 0 && !stopRequested && !hostStalled) {
        const ssize_t n = ::write(fd, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            deadline = std::chrono::steady_clock::now() + kUnreadReplyLimit;
        } else if (n == 0 || errno == EAGAIN) {
            if (std::chrono::steady_clock::now() >= deadline) hostStalled = true;
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 100);  // a signal ends the wait early; the loop then sees the stop
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return size == 0;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path link, output = "sim-output";
    std::optional<fs::path> store;
    sim::Faults faults;
    bool slow = false;
    std::optional<std::string> listen;
    int slowMs = 2;
    const auto usageError = [](const std::string& message) {
        std::fprintf(stderr, "tavrin-printer-sim: %s\n%s", message.c_str(), kUsage);
        return 2;
    };
    for (int i = 1; i < argc; ++i) {
        // "--name value" and "--name=value" alike.
        std::string a = argv[i];
        std::optional<std::string> attached;
        if (const auto equals = a.find('='); a.starts_with("--") && equals != std::string::npos) {
            attached = a.substr(equals + 1);
            a.resize(equals);
        }
        const auto value = [&]() -> std::optional<std::string> {
            if (attached) return attached;
            if (i + 1 < argc) return std::string(argv[++i]);
            return std::nullopt;
        };
        if (a == "--help" || a == "-h" || a == "--version" || a == "-V") {
            if (attached) return usageError(a + " takes no value");
            if (a == "--help" || a == "-h") {
                std::fputs(kUsage, stdout);
            } else {
                std::printf("tavrin-printer-sim (TAVRIN Label Editor) %s\n", TAVRIN_VERSION);
            }
            return 0;
        }
        if (a != "--link" && a != "--output" && a != "--store" && a != "--slow-ms" && a != "--listen" && a != "--fault")
            return usageError("unknown option \"" + a + "\"");
        const std::optional<std::string> v = value();
        if (!v) return usageError(a + " needs a value");
        if (a == "--link") link = *v;
        else if (a == "--output") output = *v;
        else if (a == "--store") store = fs::path(*v);
        else if (a == "--listen") listen = *v;
        else if (a == "--slow-ms") {
            char* end = nullptr;
            const long ms = std::strtol(v->c_str(), &end, 10);
            if (v->empty() || *end != '\0' || ms < 0 || ms > 60'000)
                return usageError("--slow-ms: \"" + *v + "\" is not a number of milliseconds (0 to 60000)");
            slowMs = static_cast<int>(ms);
        } else if (*v == "silent") faults.silent = true;
        else if (*v == "truncate") faults.truncateReplies = true;
        else if (*v == "garbage") faults.garbage = true;
        else if (*v == "slow") slow = true;
        else return usageError("unknown fault \"" + *v + "\"");
    }

    std::error_code ec;
    fs::create_directories(output, ec);
    if (store) fs::create_directories(*store, ec);
    std::ofstream log(output / "received.log", std::ios::app);
    if (!log) {
        std::fprintf(stderr, "tavrin-printer-sim: cannot write to %s\n", output.c_str());
        return 1;
    }

    ResidentFonts fonts;
    const auto fontPath = ProgramPaths::forThisProcess(argv[0]).residentFontPath();
    if (fonts.load(fontPath) != 0)
        std::fprintf(stderr, "tavrin-printer-sim: cannot read %s; resident-font text prints blank\n", fontPath.c_str());

    // Before the device is announced, so a stop that follows at once still ends us cleanly.
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        std::fprintf(stderr, "tavrin-printer-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    const std::string device = ::ptsname(master);
    // Hold the terminal open ourselves, raw, so it stays up between the host's sessions
    // and the bytes pass unchanged whatever the host sets.
    const int slave = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    termios raw{};
    if (slave >= 0 && ::tcgetattr(slave, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    if (!link.empty()) {
        fs::remove(link, ec);
        fs::create_symlink(device, link, ec);
        if (ec) std::fprintf(stderr, "tavrin-printer-sim: cannot link %s: %s\n", link.c_str(), ec.message().c_str());
    }
    std::printf("%s\n", device.c_str());
    std::fflush(stdout);
    sim::TcpListener tcp;
    if (listen) {
        sim::ListenAddress address;
        std::string error;
        if (!sim::parseListenAddress(*listen, address, error) || !tcp.listen(address, error)) {
            std::fprintf(stderr, "tavrin-printer-sim: %s\n", error.c_str());
            return 2;
        }
        std::printf("%s\n", tcp.address().c_str());
        std::fflush(stdout);
    }
    // The terminal and the network port feed one printer; a reply goes back the way its
    // command came.
    std::mutex printerMutex;
    bool replyOverTcp = false;

    sim::PrinterMemory memory(store);
    int printedCount = 0;
    sim::VirtualPrinter printer(
        memory, fonts.loaded() ? &fonts : nullptr,
        [&, master](std::span<const std::uint8_t> bytes) {
            if (replyOverTcp) tcp.send(bytes);
            else writeAll(master, bytes.data(), bytes.size());
        },
        [&](const sim::PrintedLabel& label) {
            char name[32];
            std::snprintf(name, sizeof name, "label-%04d.png", ++printedCount);
            const auto result = writePng(output / name, label.image);
            log << "printed " << name << " (" << label.source << ", set " << label.set << ", copy " << label.copy
                << (result ? std::string(")") : ") NOT WRITTEN: " + result.message())
                << (label.values.empty() ? "" : " " + label.values) << std::endl;
        });
    printer.setFaults(faults);
    printer.setLog([&log](const std::string& line) { log << "< " << line << std::endl; });

    if (listen)
        tcp.start(
            [&](std::span<const std::uint8_t> bytes) {
                const std::lock_guard lock(printerMutex);
                replyOverTcp = true;
                printer.receive(bytes);
                replyOverTcp = false;
            },
            slow ? 1 : 4096, std::chrono::milliseconds(slow ? slowMs : 0));
    std::uint8_t buffer[4096];
    while (!stopRequested) {
        pollfd p{master, POLLIN, 0};
        const int ready = ::poll(&p, 1, 200);
        if (ready <= 0 || !(p.revents & POLLIN)) continue;
        const ssize_t n = ::read(master, buffer, slow ? 1 : sizeof buffer);
        if (n <= 0) continue;
        hostStalled = false;
        const std::lock_guard lock(printerMutex);
        printer.receive(std::span(buffer, static_cast<std::size_t>(n)));
        if (slow) ::usleep(static_cast<useconds_t>(slowMs) * 1000);
    }
    tcp.stop();
    if (!link.empty()) fs::remove(link, ec);
    if (slave >= 0) ::close(slave);
    ::close(master);
    return 0;
}
