#pragma once
// `tavrin-label serve` as a child process against simulated printers, and a client for its API.
#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <signal.h>

#include <chrono>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"

namespace tavrin::service::test {

using tavrin::test::printedLabels;
using tavrin::test::TempDir;
using Json = nlohmann::json;

using tavrin::test::kSample;

// The service, its standard error in a file; the address it listens on is read from it.
class ServiceProcess {
public:
    ServiceProcess(const std::filesystem::path& log, std::vector<std::string> arguments) : log_(log) {
        arguments.insert(arguments.begin(), {"serve", "--listen", "127.0.0.1:0"});
        seen_ = logText().size();
        program_ = std::make_unique<tavrin::test::BackgroundProgram>(TAVRIN_LABEL_EXE, arguments, "", log);
        static const std::regex listening(R"(listening on 127\.0\.0\.1:(\d+))");
        for (int i = 0; i < 200 && port_ == 0; ++i) {
            const std::string text = logText();
            // This start's line: the log may hold earlier ones.
            for (std::sregex_iterator it(text.begin(), text.end(), listening), end; it != end; ++it)
                if (static_cast<std::size_t>(it->position()) >= seen_) port_ = std::stoi((*it)[1]);
            if (port_ == 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    int port() const { return port_; }
    int pid() const { return program_ ? program_->pid() : -1; }
    std::string logText() const { return std::filesystem::exists(log_) ? tavrin::test::readText(log_) : ""; }
    // Sends the signal and waits; the exit status (-1 when killed by a signal).
    int end(int signal) {
        if (!program_) return -1;
        ::kill(program_->pid(), signal);
        const int code = program_->finish(std::chrono::seconds(20)).exitCode;
        program_.reset();
        return code < 128 ? code : -1;
    }

private:
    std::filesystem::path log_;
    std::unique_ptr<tavrin::test::BackgroundProgram> program_;  // killed outright when this goes
    int port_ = 0;
    std::size_t seen_ = 0;
};

struct Reply {
    int status = 0;
    Json body;
};

class Client {
public:
    explicit Client(int port, std::string token = {}) : client_("127.0.0.1", port), token_(std::move(token)) {
        client_.set_read_timeout(30, 0);
    }
    Reply get(const std::string& path) { return reply(client_.Get(path.c_str(), headers())); }
    Reply post(const std::string& body) {
        return reply(client_.Post("/v1/jobs", headers(), body, "application/json"));
    }
    Reply post(const Json& job) { return post(job.dump()); }
    Reply remove(const std::string& path) { return reply(client_.Delete(path.c_str(), headers())); }
    // Polls the job until it is done, failed or cancelled.
    Json waitFinished(long long id, std::chrono::seconds limit = std::chrono::seconds(40)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        Json job;
        do {
            job = get("/v1/jobs/" + std::to_string(id)).body;
            const std::string state = job.value("state", "");
            if (state == "done" || state == "failed" || state == "cancelled") return job;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } while (std::chrono::steady_clock::now() < end);
        ADD_FAILURE() << "job " << id << " did not finish: " << job.dump();
        return job;
    }

private:
    httplib::Headers headers() const {
        if (token_.empty()) return {};
        return {{"Authorization", "Bearer " + token_}};
    }
    static Reply reply(const httplib::Result& result) {
        Reply r;
        if (!result) return r;
        r.status = result->status;
        r.body = Json::parse(result->body, nullptr, false);
        return r;
    }
    httplib::Client client_;
    std::string token_;
};

// A job of the sample label: lot numbers `prefix`1.. with serials from 1, `rows` of them.
inline Json sampleJob(const std::string& printer, const std::string& prefix, int rows, const std::string& key = {}) {
    Json job = {{"label", "sample.qlb"}, {"printer", printer}, {"rows", Json::array()}};
    for (int i = 1; i <= rows; ++i) job["rows"].push_back({{"Lot number", prefix + std::to_string(i)}, {"Serial", std::to_string(i)}});
    if (!key.empty()) job["key"] = key;
    return job;
}

// True when the answer's message or one of its problems holds `text`.
inline bool mentions(const Json& body, const std::string& text) {
    if (!body.is_object()) return false;
    if (body.value("error", "").find(text) != std::string::npos) return true;
    for (const auto& problem : body.value("problems", Json::array()))
        if (problem.get<std::string>().find(text) != std::string::npos) return true;
    return false;
}

// How many times each label printed.
inline std::map<std::string, int> countOf(const std::vector<std::string>& labels) {
    std::map<std::string, int> counts;
    for (const auto& label : labels) ++counts[label];
    return counts;
}

inline int times(const std::map<std::string, int>& counts, const std::string& label) {
    const auto it = counts.find(label);
    return it == counts.end() ? 0 : it->second;
}

}  // namespace tavrin::service::test
