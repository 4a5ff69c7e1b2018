// tavrin-label: labels from the command line (inspect, render, export, print).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command_registry.h"
#include "option_documents.h"

namespace tavrin::cli {

std::vector<Command>& commands() {
    static std::vector<Command> all;
    return all;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "tavrin-label: %s\n", message.c_str());
    return kExitFailure;
}

namespace {
#ifndef TAVRIN_VERSION
#define TAVRIN_VERSION "1.12"
#endif

int usage(FILE* out) {
    auto list = commands();
    std::sort(list.begin(), list.end(),
              [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    std::fprintf(out, "TAVRIN Label Editor v " TAVRIN_VERSION " - command line\nusage:\n");
    for (const auto& c : list) {
        const std::string line = c.definition != nullptr ? synopsis(*c.definition) : std::string("tavrin-label ") + c.usage;
        std::fprintf(out, "  %s\n", line.c_str());
        if (c.definition != nullptr) std::fprintf(out, "      %s\n", c.definition->summary);
    }
    std::fprintf(out, "\n  tavrin-label COMMAND --help   the options of one command\n"
                      "  tavrin-label --version\n"
                      "A file name \"-\" reads standard input; \"-o -\" writes to standard output.\n"
                      "Exit status: 0 done, 1 failed, 2 a wrong command line.\n");
    return out == stdout ? 0 : kExitUsage;
}

// The build writes the manual's OPTIONS and the bash completion's tables with this.
int dumpOptions(const std::vector<std::string>& arguments) {
    const std::string format = arguments.size() == 1 ? arguments[0] : "";
    if (format != "man" && format != "bash") {
        std::fprintf(stderr, "tavrin-label: --dump-options wants man or bash\n");
        return kExitUsage;
    }
    const std::string text = format == "man" ? manPageOptions() : bashCompletionTables();
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : fail("cannot write to standard output");
}
}  // namespace

}  // namespace tavrin::cli

int main(int argc, char** argv) {
    using namespace tavrin::cli;
    if (argc < 2) return usage(stderr);
    const std::string name = argv[1];
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    if (name == "help" || name == "--help" || name == "-h") return usage(stdout);
    if (name == "--version" || name == "-V") {
        std::printf("tavrin-label (TAVRIN Label Editor) %s\n", TAVRIN_VERSION);
        return 0;
    }
    if (name == "--dump-options") return dumpOptions(arguments);
    for (const auto& c : commands()) {
        if (name != c.name) continue;
        if (c.definition != nullptr) return runCommand(*c.definition, arguments);
        for (const std::string& a : arguments) {
            if (a == "--") break;
            if (a == "-h" || a == "--help") {
                std::printf("usage: tavrin-label %s\n", c.usage);
                return 0;
            }
        }
        return c.readsItsOwnWords(arguments);
    }
    std::fprintf(stderr, "tavrin-label: unknown command \"%s\"\n", name.c_str());
    return usage(stderr);
}
