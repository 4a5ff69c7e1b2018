// Downloads through the printer link to the printer simulator on a pseudo-terminal: a
// 48 KB picture (GM) and a 40 KB label font (ES), each byte written and flushed on its
// own as the link always does. Each round ends with a list query, so the time includes
// the simulator taking in every byte. Reported: bytes per second, and the share of the
// wall time this program spent on the processor (the rest is the terminal and the
// simulator).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "link/link_ui.h"
#include "link/posix_serial_transport.h"
#include "link/printer_link.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

// The simulator from this build, printing into a folder of its own.
class Simulator {
public:
    Simulator() : folder_(makeFolder()), process_(TAVRIN_PRINTER_SIM_EXE, folder_ / "out") {}
    ~Simulator() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    const std::string& device() const { return process_.device(); }

private:
    static std::filesystem::path makeFolder() {
        char folder[] = "/tmp/bench-link-XXXXXX";
        if (!::mkdtemp(folder)) throw std::runtime_error("mkdtemp");
        return folder;
    }
    std::filesystem::path folder_;
    test::SimulatorProcess process_;
};

// A PCX header and literal row bytes (all below the run marker), 48 KB in all.
std::vector<std::uint8_t> picture48k() {
    std::vector<std::uint8_t> pcx(48 * 1024);
    pcx[0] = 0x0A;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 1;
    for (std::size_t i = 128; i < pcx.size(); ++i) pcx[i] = static_cast<std::uint8_t>((i * 37) % 0xC0);
    return pcx;
}

// Label font data of 205 characters, 48 rows of 4 bytes: 3 + 205 x (3 + 192) = 39 978 bytes.
std::vector<std::uint8_t> font40k() {
    const int count = 205, rows = 48, bytesPerRow = 4;
    std::vector<std::uint8_t> font{static_cast<std::uint8_t>(count), 0, static_cast<std::uint8_t>(rows)};
    for (int c = 0; c < count; ++c) {
        font.insert(font.end(), {static_cast<std::uint8_t>(c + 32), 32, static_cast<std::uint8_t>(bytesPerRow)});
        for (int b = 0; b < rows * bytesPerRow; ++b) font.push_back(static_cast<std::uint8_t>(c * 7 + b));
    }
    return font;
}

double processorSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Sends `head` and `payload`, then asks for a list with `query` and waits for its names.
void download(benchmark::State& state, const std::string& head, const std::vector<std::uint8_t>& payload,
              const std::string& query) {
    static Simulator simulator;
    PosixSerialTransport transport;
    QuietLinkUi ui;
    PrinterLink link(transport, ui);
    link.setPortDevice(0, simulator.device());

    double busy = 0, wall = 0;
    for (auto _ : state) {
        const double wallStart = wallSeconds(), busyStart = processorSeconds();
        if (!link.openPort()) {
            state.SkipWithError("cannot open the simulator's terminal");
            return;
        }
        link.writeText(head);
        link.writeBytes(payload);
        link.writeText(query);
        std::string line;
        link.readLine(line, 16);
        const int names = std::atoi(line.c_str());
        for (int i = 0; i < names && !link.silent(); ++i) link.readLine(line, 32);
        link.closePort();
        busy += processorSeconds() - busyStart;
        wall += wallSeconds() - wallStart;
        if (link.silent() || names != 1) {
            state.SkipWithError("the simulator did not take the download");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(head.size() + payload.size()));
    state.counters["cpu_share"] = wall > 0 ? busy / wall : 0;
}

void BM_DownloadPicture48K(benchmark::State& state) {
    const auto pcx = picture48k();
    download(state, "GM\"BENCH\"" + std::to_string(pcx.size()) + "\n", pcx, "\r\nUG\r\n");
}
BENCHMARK(BM_DownloadPicture48K)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_DownloadFont40K(benchmark::State& state) {
    download(state, "ES\"B\"", font40k(), "\r\n\r\nUE\r\n");
}
BENCHMARK(BM_DownloadFont40K)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace tavrin
