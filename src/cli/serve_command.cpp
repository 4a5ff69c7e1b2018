// tavrin-label serve: the print service, for warehouse and order systems that print labels
// on request over HTTP (or by dropping files into a watched folder).
#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "command_registry.h"
#include "data_rows.h"
#include "service/http_front.h"
#include "service/print_service.h"
#include "service/watch_folder.h"

#ifndef TAVRIN_VERSION
#define TAVRIN_VERSION "1.13"
#endif

namespace tavrin::cli {
namespace {

// The same names serve a configuration file's settings, so the reader keeps them in this
// order: --config first, so that the command line adds to the file and wins over it.
constexpr Option kOptions[] = {
    {"--config", "FILE", ValueKind::File, "settings of the same names, one NAME = VALUE per line"},
    {"--labels", "DIR", ValueKind::Text, "the folder of the labels jobs may name"},
    {"--printer", "NAME=DEVICE", ValueKind::Text, "a printer and its device; repeat for more printers"},
    {"--listen", "HOST:PORT", ValueKind::Text, "where to answer (default 127.0.0.1:8631)"},
    {"--token-file", "FILE", ValueKind::File, "every request must carry this bearer token"},
    {"--watch", "DIR", ValueKind::Text, "take NAME.json files dropped here as jobs"},
    {"--state", "DIR", ValueKind::Text, "the journal's folder (default: the user's state folder)"},
    {"--silence-ms", "MS", ValueKind::Text, "how long a printer may stay silent (default 3000)"},
    {"--retry-ms", "MS", ValueKind::Text, "how often a printer that went away is tried again (default 2000)"},
    {"--max-request", "BYTES", ValueKind::Text, "the largest request taken (default 1 MB)"},
    {"--max-rows", "N", ValueKind::Text, "the most rows one job may hold"},
};

// systemd's StateDirectory=, else the user's state folder.
std::filesystem::path defaultStateFolder() {
    if (const char* state = std::getenv("STATE_DIRECTORY"); state != nullptr && state[0] == '/') {
        const std::string first(state, std::string_view(state).find(':') == std::string_view::npos
                                           ? std::string_view(state).size()
                                           : std::string_view(state).find(':'));
        return first;
    }
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/')
        return std::filesystem::path(state) / "tavrin-label-editor" / "service";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "/tmp") / ".local" / "state" / "tavrin-label-editor" / "service";
}

int run(const Arguments& arguments) {
    // Settings that are files or repeat keep their own reader, shared with the configuration file.
    std::vector<std::string> words;
    for (const Option& option : kOptions)
        for (const std::string& value : arguments.values(option.name)) {
            words.emplace_back(option.name);
            words.push_back(value);
        }
    service::ServiceOptions options;
    std::string problem = service::parseServiceArguments(words, options);
    if (!problem.empty()) return problem.rfind("--", 0) == 0 ? usageError(arguments, problem) : fail(problem);
    if (problem = service::checkServiceOptions(options); !problem.empty()) {
        if (problem.rfind("no --", 0) == 0) return usageError(arguments, problem);
        return fail(problem);
    }
    if (options.state.empty()) options.state = defaultStateFolder();
    std::string token;
    if (!options.tokenFile.empty()) {
        token = service::readTokenFile(options.tokenFile.string(), problem);
        if (token.empty()) return fail(problem);
    }

    // The signals that end the service are taken by this thread alone, after the others
    // have started with them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // A journal on a full or size-limited disk is an error to report, not a reason to die.
    std::signal(SIGXFSZ, SIG_IGN);

    const Translation translation = configuredTranslation();
    service::PrintService printService(options, translation, TAVRIN_VERSION);
    if (problem = printService.start(); !problem.empty()) return fail(problem);
    service::HttpFront front(printService, token);
    if (problem = front.bind(options.host, options.port); !problem.empty()) return fail(problem);
    std::optional<service::WatchFolder> watch;
    if (!options.watch.empty()) {
        watch.emplace(printService, options.watch);
        if (problem = watch->start(); !problem.empty()) return fail(problem);
    }
    std::string printers;
    for (const auto& [name, device] : options.printers) printers += " " + name + "=" + device;
    std::fprintf(stderr, "tavrin-label serve: listening on %s:%d%s, state in %s, printers:%s\n", options.host.c_str(),
                 front.port(), token.empty() ? "" : " (token required)", options.state.c_str(), printers.c_str());
    std::fflush(stderr);
    std::thread http([&] { front.run(); });

    int signal = 0;
    sigwait(&stopSignals, &signal);
    std::fprintf(stderr, "tavrin-label serve: stopping (signal %d): finishing the labels in progress\n", signal);
    std::fflush(stderr);
    front.stop();
    http.join();
    if (watch) watch->stop();
    printService.stop();
    std::fprintf(stderr, "tavrin-label serve: stopped\n");
    return 0;
}

constexpr CommandDefinition kServe{"serve", "a print service: labels printed on request over HTTP/JSON or from a watched folder",
                             {}, kOptions, run};
RegisterCommand registration(kServe);

}  // namespace
}  // namespace tavrin::cli
