// A 10,000-row data run of the sample label into the printer simulator, from the command
// line as a user runs it, with the print journal off and on side by side in each round.
// Reported: the wall time of each, the share the journal adds, and how far the command
// line's resident memory grew over a one-row run (its peak as the system counts it).
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
    double off = 0, on = 0;
    long growth = 0;
    for (auto _ : state) {
        const Outcome without = print("rows.csv", false);
        const Outcome with = print("rows.csv", true);
        if (!small.ok || !without.ok || !with.ok) {
            state.SkipWithError("a run did not print every row");
            return;
        }
        state.SetIterationTime(with.seconds);
        off += without.seconds;
        on += with.seconds;
        growth = std::max(growth, with.peakKilobytes - small.peakKilobytes);
    }
    const auto rounds = static_cast<double>(state.iterations());
    state.counters["s_journal_off"] = off / rounds;
    state.counters["s_journal_on"] = on / rounds;
    state.counters["journal_share_pct"] = off > 0 ? (on - off) / off * 100 : 0;
    state.counters["rss_growth_kB"] = static_cast<double>(growth);
    state.counters["rows_per_s"] = benchmark::Counter(kRows * rounds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TenThousandRowsJournalOffAndOn)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

}  // namespace
}  // namespace tavrin
