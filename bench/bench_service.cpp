// The print service under load, as a warehouse would load it: four simulated printers,
// fifty clients posting at once twenty jobs each of five labels. Reported: the time to
// accept a job (202) at the 50th and 99th percentile, the service's peak resident memory,
// whether every label printed exactly once (read back from the simulators' logs), and one
// label's overhead in the service: a five-label job through the service against the same
// rows as a data run in this process over the same link, journal and all, on an idle printer.
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>

#include "data/data_run.h"
#include "document/label_file.h"
#include "link/device_link.h"
#include "service/service_support.h"

namespace tavrin::service::test {
namespace {

constexpr int kPrinters = 4, kClients = 50, kJobsPerClient = 20, kLabelsPerJob = 5, kOverheadRounds = 15;

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(p * static_cast<double>(values.size())))];
}

long peakKilobytes(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// POST to done, looked at every millisecond.
double serviceJobSeconds(Client& client, const Json& job) {
    const auto start = std::chrono::steady_clock::now();
    const long long id = client.post(job).body["id"];
    while (client.get("/v1/jobs/" + std::to_string(id)).body["state"] != "done")
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return secondsSince(start);
}

double dataRunSeconds(const std::string& device, const Json& job, const std::filesystem::path& journalPath) {
    LabelDocument label;
    loadLabelFile(kSample, label);
    std::vector<ValueMapRows::Row> rows;
    for (const auto& row : job["rows"]) {
        ValueMapRows::Row values;
        for (const auto& [name, value] : row.items()) values.emplace_back(name, value.get<std::string>());
        rows.push_back(values);
    }
    const auto start = std::chrono::steady_clock::now();
    ValueMapRows source(rows);
    PrintJournal journal(journalPath);
    DataRunOptions options;
    options.journal = &journal;
    const Translation translation;
    DataRun run(label, source, translation, options);
    DeviceLink link(device);
    const bool done = run.print(link.link).completed;
    const double seconds = secondsSince(start);
    if (!done) std::printf("the direct run failed: %s\n", link.problem().c_str());
    return seconds;
}

int benchmark() {
    TempDir dir;
    std::filesystem::create_directories(dir / "labels");
    std::filesystem::copy_file(kSample, dir / "labels" / "sample.qlb");
    std::vector<std::unique_ptr<tavrin::test::SimulatorProcess>> sims;
    std::vector<std::string> arguments{"--labels", (dir / "labels").string(), "--state", (dir / "state").string()};
    std::vector<std::filesystem::path> outputs;
    for (int p = 0; p < kPrinters; ++p) {
        outputs.push_back(dir / ("out" + std::to_string(p)));
        sims.push_back(std::make_unique<tavrin::test::SimulatorProcess>(
            TAVRIN_PRINTER_SIM_EXE, outputs.back(), std::vector<std::string>{"--listen", "127.0.0.1:0"}));
        arguments.insert(arguments.end(), {"--printer", "p" + std::to_string(p) + "=" + sims.back()->address()});
    }
    ServiceProcess service(dir / "serve.log", arguments);
    if (service.port() == 0) {
        std::printf("the service did not start:\n%s", service.logText().c_str());
        return 1;
    }

    // One label's overhead first, on idle printers.
    std::vector<double> through, direct;
    {
        Client client(service.port());
        for (int round = 0; round < kOverheadRounds; ++round) {
            const Json job = sampleJob("p0", "O" + std::to_string(round) + "-", kLabelsPerJob);
            through.push_back(serviceJobSeconds(client, job));
            direct.push_back(dataRunSeconds(sims[1]->address(), job, dir / "direct.sqlite"));
        }
    }

    std::vector<std::vector<double>> accept(kClients);
    std::atomic<int> refused{0};
    std::vector<std::vector<long long>> ids(kClients);
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            Client client(service.port());
            for (int j = 0; j < kJobsPerClient; ++j) {
                const Json job = sampleJob("p" + std::to_string((c + j) % kPrinters),
                                           "c" + std::to_string(c) + "j" + std::to_string(j) + "-", kLabelsPerJob);
                const auto sent = std::chrono::steady_clock::now();
                const Reply reply = client.post(job);
                accept[c].push_back(secondsSince(sent) * 1000);
                if (reply.status != 202) ++refused;
                else ids[c].push_back(reply.body["id"]);
            }
        });
    }
    for (auto& t : clients) t.join();
    const double postSeconds = secondsSince(start);
    std::vector<double> latencies;
    for (const auto& list : accept) latencies.insert(latencies.end(), list.begin(), list.end());
    std::printf("%d clients x %d jobs x %d labels on %d printers (TCP simulators)\n", kClients, kJobsPerClient,
                kLabelsPerJob, kPrinters);
    std::printf("accept (202): p50 %.1f ms, p99 %.1f ms, max %.1f ms; all posted in %.1f s; refused %d\n",
                percentile(latencies, 0.5), percentile(latencies, 0.99), percentile(latencies, 1.0), postSeconds,
                refused.load());
    std::fflush(stdout);
    Client client(service.port());
    int failed = 0;
    for (const auto& list : ids)
        for (const long long id : list)
            if (client.waitFinished(id, std::chrono::seconds(900))["state"] != "done") ++failed;
    const double allSeconds = secondsSince(start);
    const long peak = peakKilobytes(service.pid());

    const auto counts = countOf(printedLabels(outputs));
    int wrong = 0;
    for (int c = 0; c < kClients; ++c)
        for (int j = 0; j < kJobsPerClient; ++j)
            for (int r = 1; r <= kLabelsPerJob; ++r) {
                const std::string label = "V00=c" + std::to_string(c) + "j" + std::to_string(j) + "-" + std::to_string(r) +
                                          " C00=" + std::to_string(r);
                wrong += times(counts, label) != 1;
            }
    const long long expected = static_cast<long long>(kClients) * kJobsPerClient * kLabelsPerJob;
    // The overhead rounds printed their labels twice: through the service and directly.
    const long long overheadLabels = 2LL * kOverheadRounds * kLabelsPerJob;
    const long long printed = static_cast<long long>(printedLabels(outputs).size()) - overheadLabels;

    std::printf("printed: %lld labels of %lld expected in %.1f s; labels not printed exactly once: %d; jobs not done: %d\n",
                printed, expected, allSeconds, wrong, failed);
    std::printf("service peak resident memory: %.1f MB\n", static_cast<double>(peak) / 1024.0);
    const double overhead = (percentile(through, 0.5) - percentile(direct, 0.5)) / kLabelsPerJob * 1000;
    std::printf("one %d-label job: through the service %.1f ms, as a data run in process %.1f ms (medians of %d); "
                "overhead per label %.2f ms\n",
                kLabelsPerJob, percentile(through, 0.5) * 1000, percentile(direct, 0.5) * 1000, kOverheadRounds, overhead);
    return wrong == 0 && failed == 0 && refused == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tavrin::service::test

// Runs once; the options scripts/bench gives every bench program are not for this one.
int main() { return tavrin::service::test::benchmark(); }
