// A 10,000-row data run of the sample label into the printer simulator, from the command
// line as a user runs it, with the print journal off and on side by side in each round.
// Reported: the wall time of each, the share the journal adds, the command line's own
// processor time, and how far its resident memory grew over a one-row run (its peak as the
// system counts it).
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace tavrin {
namespace {

constexpr int kRows = 10000;

struct Outcome {
    double seconds = 0;
    double processorSeconds = 0;  // the command line's own, user and system
    long peakKilobytes = 0;
    bool ok = false;
};

// Runs the command line and waits for it, with its own peak resident memory.
Outcome runPrint(const std::vector<std::string>& arguments) {
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(TAVRIN_LABEL_EXE)};
        for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (!std::freopen("/dev/null", "w", stdout)) ::_exit(127);
        ::execv(TAVRIN_LABEL_EXE, argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    Outcome outcome;
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.peakKilobytes = usage.ru_maxrss;
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    outcome.processorSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    outcome.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return outcome;
}

void BM_TenThousandRowsJournalOffAndOn(benchmark::State& state) {
    test::TempDir dir;
    test::SimulatorProcess simulator(TAVRIN_PRINTER_SIM_EXE, dir / "out");
    const std::string sample = std::string(TAVRIN_SOURCE_DATA_DIR) + "/samples/sample.qlb";
    {
        // The sample's serial has four digits: each row gives its own.
        std::ofstream rows(dir / "rows.csv");
        rows << "Lot number,Serial\n";
        for (int i = 1; i <= kRows; ++i) rows << "L" << i << "," << (i % 9000 + 1) << "\n";
        std::ofstream one(dir / "one.csv");
        one << "Lot number,Serial\nL1,1\n";
    }
    const auto print = [&](const char* data, bool journal) {
        std::vector<std::string> arguments{"print", sample, "--port", simulator.device(), "--data", (dir / data).string()};
        if (journal) arguments.insert(arguments.end(), {"--journal", (dir / "journal.sqlite").string()});
        else arguments.push_back("--no-journal");
        return runPrint(arguments);
    };
    const Outcome small = print("one.csv", true);
    double off = 0, on = 0, processorOff = 0, processorOn = 0;
    long growth = 0;
    for (auto _ : state) {
        // Which goes first alternates, so that a printer or a machine that slows down as
        // it goes favours neither.
        static int round = 0;
        const bool journalFirst = round++ % 2 == 1;
        const Outcome first = print("rows.csv", journalFirst);
        const Outcome second = print("rows.csv", !journalFirst);
        const Outcome& without = journalFirst ? second : first;
        const Outcome& with = journalFirst ? first : second;
        if (!small.ok || !without.ok || !with.ok) {
            state.SkipWithError("a run did not print every row");
            return;
        }
        state.SetIterationTime(with.seconds);
        off += without.seconds;
        on += with.seconds;
        processorOff += without.processorSeconds;
        processorOn += with.processorSeconds;
        growth = std::max(growth, with.peakKilobytes - small.peakKilobytes);
    }
    const auto rounds = static_cast<double>(state.iterations());
    state.counters["s_journal_off"] = off / rounds;
    state.counters["s_journal_on"] = on / rounds;
    state.counters["journal_share_pct"] = off > 0 ? (on - off) / off * 100 : 0;
    // The wall time follows the simulator, which draws every label; the processor time of
    // the command line shows the journal's own work apart from it.
    state.counters["cpu_s_journal_off"] = processorOff / rounds;
    state.counters["cpu_s_journal_on"] = processorOn / rounds;
    state.counters["rss_growth_kB"] = static_cast<double>(growth);
    state.counters["rows_per_s"] = benchmark::Counter(kRows * rounds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TenThousandRowsJournalOffAndOn)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

}  // namespace
}  // namespace tavrin
