// The print service run as it is deployed, against simulated printers: jobs posted at once
// to several printers print every label exactly once, retries with a key print nothing
// more, refusals come with their codes and print nothing, and neither a killed service nor
// a printer that goes away loses a job or prints a confirmed label twice.
#include <set>

#include "service/service_support.h"

namespace tavrin::service::test {
namespace {

using tavrin::test::SimulatorProcess;

// A labels folder with the sample label, a state folder and the service's log.
struct ServiceFolders {
    ServiceFolders() {
        std::filesystem::create_directories(dir / "labels");
        std::filesystem::copy_file(kSample, dir / "labels" / "sample.qlb");
    }
    std::vector<std::string> arguments(const std::vector<std::pair<std::string, std::string>>& printers,
                                       std::vector<std::string> more = {}) const {
        std::vector<std::string> a{"--labels", (dir / "labels").string(), "--state", (dir / "state").string(),
                                   "--silence-ms", "500", "--retry-ms", "200"};
        for (const auto& [name, device] : printers) a.insert(a.end(), {"--printer", name + "=" + device});
        a.insert(a.end(), more.begin(), more.end());
        return a;
    }
    TempDir dir;
};

// Two printers on terminals; a printer on the network is APrinterThatGoesAway's.
TEST(Service, ConcurrentJobsPrintEachLabelOnceAndRetriesPrintNothingMore) {
    ServiceFolders f;
    const SimulatorProcess sims[] = {tavrin::test::startSimulator(f.dir / "out0"), tavrin::test::startSimulator(f.dir / "out1")};
    const std::vector<std::pair<std::string, std::string>> printers{{"p0", sims[0].device()}, {"p1", sims[1].device()}};
    ServiceProcess service(f.dir / "serve.log", f.arguments(printers));
    ASSERT_GT(service.port(), 0) << service.logText();

    // Four clients, each posting three jobs of three rows, every job to both printers in turn;
    // each job posted twice under its key, as a client that lost the first answer would.
    std::vector<std::thread> clients;
    std::mutex mutex;
    std::map<std::string, long long> idOfKey;
    std::vector<std::string> problems;
    for (int c = 0; c < 4; ++c) {
        clients.emplace_back([&, c] {
            Client client(service.port());
            for (int j = 0; j < 3; ++j) {
                const std::string key = "c" + std::to_string(c) + "j" + std::to_string(j);
                const Json job = sampleJob("p" + std::to_string((c + j) % 2), key + "-", 3, key);
                const Reply first = client.post(job), again = client.post(job);
                std::lock_guard lock(mutex);
                if (first.status != 202 || again.status != 202 || first.body["id"] != again.body["id"])
                    problems.push_back(key + ": " + first.body.dump() + " / " + again.body.dump());
                else idOfKey[key] = first.body["id"];
            }
        });
    }
    for (auto& t : clients) t.join();
    ASSERT_TRUE(problems.empty()) << problems.front();
    Client client(service.port());
    for (const auto& [key, id] : idOfKey) {
        const Json job = client.waitFinished(id);
        EXPECT_EQ(job["state"], "done") << job.dump();
        EXPECT_EQ(job["confirmed"], 3) << job.dump();
        EXPECT_EQ(job["key"], key);
    }
    // A key already done returns its job and prints nothing.
    const Reply late = client.post(sampleJob("p0", "c0j0-", 3, "c0j0"));
    EXPECT_EQ(late.body["id"], idOfKey["c0j0"]);
    EXPECT_EQ(late.body["state"], "done");

    std::vector<std::filesystem::path> outputs{f.dir / "out0", f.dir / "out1"};
    const auto counts = countOf(printedLabels(outputs));
    EXPECT_EQ(counts.size(), 36u);
    for (const auto& [key, id] : idOfKey)
        for (int r = 1; r <= 3; ++r) {
            const std::string label = "V00=" + key + "-" + std::to_string(r) + " C00=" + std::to_string(r);
            EXPECT_EQ(times(counts, label), 1) << label;
        }
    // Both printers worked, and each label went to the printer its job named.
    for (int p = 0; p < 2; ++p)
        for (const std::string& label : printedLabels({outputs[p]})) {
            const int c = label[5] - '0', j = label[7] - '0';
            EXPECT_EQ((c + j) % 2, p) << label;
        }
    const Reply list = client.get("/v1/jobs?state=done");
    EXPECT_EQ(list.body["jobs"].size(), 12u);
    const Reply listed = client.get("/v1/printers");
    ASSERT_EQ(listed.body["printers"].size(), 2u);
    EXPECT_EQ(listed.body["printers"][1], Json({{"name", "p1"}, {"device", printers[1].second}, {"state", "idle"}, {"queued", 0}}));
    // One line per job on standard error, and a clean stop.
    EXPECT_EQ(service.end(SIGTERM), 0);
    const std::string log = service.logText();
    EXPECT_NE(log.find("job 1 (c"), std::string::npos) << log;
    EXPECT_NE(log.find(": done, 3 of 3 rows confirmed"), std::string::npos) << log;
}

TEST(Service, RefusalsComeWithTheirCodesAndPrintNothing) {
    ServiceFolders f;
    const auto sim = tavrin::test::startSimulator(f.dir / "out");
    tavrin::test::writeFile(f.dir / "token", "s3cret\n");
    // A link that leads out of the labels folder, to a real label.
    std::filesystem::create_directories(f.dir / "elsewhere");
    std::filesystem::copy_file(kSample, f.dir / "elsewhere" / "out.qlb");
    std::filesystem::create_symlink(f.dir / "elsewhere" / "out.qlb", f.dir / "labels" / "link.qlb");
    ServiceProcess service(f.dir / "serve.log",
                           f.arguments({{"p", sim.device()}}, {"--token-file", (f.dir / "token").string(), "--max-request", "4096"}));
    ASSERT_GT(service.port(), 0) << service.logText();
    Client client(service.port(), "s3cret");

    Json tooLong = sampleJob("p", "x", 1);
    tooLong["rows"][0]["Lot number"] = "ABCDEFGHIJKLMNOP";
    Json unknownName = sampleJob("p", "x", 1);
    unknownName["rows"][0]["Weight"] = "3 kg";
    // Skipped as a blank record, it would shift every later row's serial.
    Json emptyRow = sampleJob("p", "x", 1);
    emptyRow["rows"] = Json::array({Json{{"Lot number", "A1"}}, Json{{"Lot number", ""}}});
    const struct {
        std::string body;
        int status;
        const char* says;
    } cases[] = {
        {Json({{"label", "link.qlb"}, {"printer", "p"}, {"rows", {{{"Lot number", "a"}}}}}).dump(), 404, "No label"},
        {Json({{"label", "sample.qlb"}, {"printer", "nope"}, {"rows", {{{"Lot number", "a"}}}}}).dump(), 404, "No printer"},
        {tooLong.dump(), 422, "holds 10 characters"},
        {unknownName.dump(), 422, "\"Weight\" matches no variable"},
        {emptyRow.dump(), 422, "Row 2 holds no value"},
        {"{\"label\":\"sample.qlb\",\"printer\":\"p\",\"rows\":[{\"Lot number\":\"" + std::string(5000, 'a') + "\"}]}", 413, "too large"},
    };
    for (const auto& c : cases) {
        const Reply r = client.post(c.body);
        EXPECT_EQ(r.status, c.status) << c.body.substr(0, 200) << " -> " << r.body.dump();
        EXPECT_TRUE(mentions(r.body, c.says)) << c.says << " in " << r.body.dump();
    }
    // Without the token, or with a wrong one, nothing is answered but 401 (which tokens match
    // is the request suite's).
    for (const std::string& token : {std::string(), std::string("s3cre")}) {
        Client stranger(service.port(), token);
        EXPECT_EQ(stranger.get("/v1/health").status, 401) << token;
        EXPECT_EQ(stranger.post(sampleJob("p", "t", 1)).status, 401) << token;
    }
    EXPECT_EQ(client.get("/v1/jobs/12345").status, 404);
    EXPECT_EQ(client.get("/v1/nothing").status, 404);
    EXPECT_EQ(client.get("/v1/health").body["status"], "ok");
    // The labels list names only what lies inside the folder.
    const Reply labels = client.get("/v1/labels");
    ASSERT_EQ(labels.body["labels"].size(), 1u) << labels.body.dump();
    EXPECT_EQ(labels.body["labels"][0]["variables"][0]["prompt"], "Lot number");
    EXPECT_EQ(labels.body["labels"][0]["counters"][0]["slot"], "C00");
    EXPECT_EQ(client.get("/v1/jobs").body["jobs"].size(), 0u);
    EXPECT_EQ(service.end(SIGTERM), 0);
    EXPECT_TRUE(printedLabels({f.dir / "out"}).empty());
}

// Stopped while a slow printer works through a job and started again: the job ends done,
// every row printed, none recorded as sent before the stop printed again. SIGTERM lets the
// label in progress finish and be confirmed, so nothing may print twice; after SIGKILL the
// printer's answer after the restart confirms what was sent, and a row prints twice only
// where the job's status says it may have.
class ServiceStopped : public ::testing::TestWithParam<int> {};

TEST_P(ServiceStopped, AndStartedAgainGoesOnWithoutLosingOrRepeatingLabels) {
    ServiceFolders f;
    const auto sim = tavrin::test::startSimulator(f.dir / "out", {"--fault", "slow", "--slow-ms", "3"});
    const auto args = f.arguments({{"p", sim.device()}}, {"--silence-ms", "3000"});
    long long id = 0, queuedId = 0;
    long long sentAtKill = 0;
    {
        ServiceProcess service(f.dir / "serve.log", args);
        ASSERT_GT(service.port(), 0) << service.logText();
        Client client(service.port());
        id = client.post(sampleJob("p", "K", 24, "kill-me")).body["id"];
        queuedId = client.post(sampleJob("p", "Q", 2)).body["id"];
        // Killed between confirmations: rows sent that the printer has not confirmed yet.
        Json job;
        for (int i = 0; i < 400 && sentAtKill < 6; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            job = client.get("/v1/jobs/" + std::to_string(id)).body;
            ASSERT_TRUE(job.is_object()) << service.logText();
            sentAtKill = job.value("sent", 0LL);
        }
        ASSERT_GE(sentAtKill, 6);
        ASSERT_LT(job.value("confirmed", 0LL), sentAtKill);
        const int status = service.end(GetParam());
        if (GetParam() == SIGTERM) {
            EXPECT_EQ(status, 0) << service.logText();
        }
    }
    const auto printedBefore = printedLabels({f.dir / "out"}).size();
    ServiceProcess again(f.dir / "serve.log", args);
    ASSERT_GT(again.port(), 0) << again.logText();
    Client client(again.port());
    const Json job = client.waitFinished(id, std::chrono::seconds(50));
    EXPECT_EQ(job["state"], "done") << job.dump();
    EXPECT_EQ(job["confirmed"], 24);
    EXPECT_EQ(client.waitFinished(queuedId)["state"], "done");
    const auto labels = printedLabels({f.dir / "out"});
    const auto counts = countOf(labels);
    std::set<int> uncertain;
    for (const auto& r : job["uncertain"]) uncertain.insert(r.get<int>());
    for (int r = 1; r <= 24; ++r) {
        const std::string label = "V00=K" + std::to_string(r) + " C00=" + std::to_string(r);
        const int n = times(counts, label);
        EXPECT_GE(n, 1) << label << " never printed";
        if (r <= sentAtKill || !uncertain.count(r)) {
            EXPECT_EQ(n, 1) << label;
        }
    }
    EXPECT_LE(uncertain.size(), GetParam() == SIGTERM ? 0u : 1u) << job.dump();
    EXPECT_GT(labels.size(), printedBefore);
    EXPECT_EQ(times(counts, "V00=Q1 C00=1"), 1);
}

INSTANTIATE_TEST_SUITE_P(BySignal, ServiceStopped, ::testing::Values(SIGTERM, SIGKILL),
                         [](const ::testing::TestParamInfo<int>& signal) {
                             return std::string(signal.param == SIGTERM ? "Term" : "Kill");
                         });

// A network printer that goes away while jobs wait: it shows offline, keeps its queue and
// prints it once it is back on the same address.
TEST(Service, APrinterThatGoesAwayIsOfflineAndResumesWhenBack) {
    ServiceFolders f;
    auto sim = tavrin::test::startListeningSimulator(f.dir / "out1");
    const std::string address = sim.address();
    ServiceProcess service(f.dir / "serve.log", f.arguments({{"dock", address}}));
    ASSERT_GT(service.port(), 0) << service.logText();
    Client client(service.port());
    EXPECT_EQ(client.waitFinished(client.post(sampleJob("dock", "A", 2)).body["id"])["state"], "done");
    sim.kill();
    const long long b = client.post(sampleJob("dock", "B", 3)).body["id"];
    const long long c = client.post(sampleJob("dock", "C", 1)).body["id"];
    Json printer;
    for (int i = 0; i < 200; ++i) {
        printer = client.get("/v1/printers").body["printers"][0];
        if (printer["state"] == "offline") break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(printer["state"], "offline") << printer.dump();
    EXPECT_EQ(client.get("/v1/jobs/" + std::to_string(c)).body["state"], "queued");
    // Cancelled while it waits, a job never prints.
    EXPECT_EQ(client.remove("/v1/jobs/" + std::to_string(c)).body["state"], "cancelled");
    EXPECT_EQ(client.remove("/v1/jobs/" + std::to_string(c)).status, 409);
    const std::string port = address.substr(address.rfind(':') + 1);
    const auto back = tavrin::test::startListeningSimulator(f.dir / "out2", {}, port);
    EXPECT_EQ(client.waitFinished(b)["state"], "done");
    EXPECT_EQ(client.get("/v1/printers").body["printers"][0]["state"], "idle");
    EXPECT_EQ(printedLabels({f.dir / "out1", f.dir / "out2"}),
              (std::vector<std::string>{"V00=A1 C00=1", "V00=A2 C00=2", "V00=B1 C00=1", "V00=B2 C00=2", "V00=B3 C00=3"}));
    EXPECT_NE(service.logText().find("printer dock (" + address + ") offline"), std::string::npos) << service.logText();
}

TEST(Service, TheWatchFolderTakesJobFilesAndFilesTheirResults) {
    ServiceFolders f;
    const auto sim = tavrin::test::startSimulator(f.dir / "out");
    std::filesystem::create_directories(f.dir / "in");
    Json twoCopies = sampleJob("p", "W", 2);
    twoCopies["copies"] = 2;
    tavrin::test::writeFile(f.dir / "in" / "order-1.json", twoCopies.dump());
    tavrin::test::writeFile(f.dir / "in" / "bad.json", Json({{"label", "sample.qlb"}, {"printer", "p"}, {"rows", {{{"Nope", "1"}}}}}).dump());
    tavrin::test::writeFile(f.dir / "in" / ".partial.json", "{");
    ServiceProcess service(f.dir / "serve.log", f.arguments({{"p", sim.device()}}, {"--watch", (f.dir / "in").string()}));
    ASSERT_GT(service.port(), 0) << service.logText();
    const auto done = f.dir / "in" / "done" / "order-1.result.json";
    for (int i = 0; i < 400 && !std::filesystem::exists(done); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(std::filesystem::exists(done));
    EXPECT_TRUE(std::filesystem::exists(f.dir / "in" / "done" / "order-1.json"));
    EXPECT_EQ(Json::parse(tavrin::test::readText(done))["confirmed"], 2);
    const Json refused = Json::parse(tavrin::test::readText(f.dir / "in" / "failed" / "bad.result.json"));
    EXPECT_TRUE(mentions(refused, "\"Nope\" matches no variable")) << refused.dump();
    EXPECT_TRUE(std::filesystem::exists(f.dir / "in" / ".partial.json"));
    // The same file dropped again is the same job: nothing prints twice.
    std::filesystem::copy_file(f.dir / "in" / "done" / "order-1.json", f.dir / "in" / "order-1.json");
    for (int i = 0; i < 100 && std::filesystem::exists(f.dir / "in" / "order-1.json"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(std::filesystem::exists(f.dir / "in" / "order-1.json"));
    EXPECT_EQ(printedLabels({f.dir / "out"}),
              (std::vector<std::string>{"V00=W1 C00=1", "V00=W1 C00=1", "V00=W2 C00=2", "V00=W2 C00=2"}));
}

}  // namespace
}  // namespace tavrin::service::test
