// tavrin-label: labels from the command line (inspect, render, export, print).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command_registry.h"

namespace tavrin::cli {

std::vector<Command>& commands() {
    static std::vector<Command> all;
    return all;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "tavrin-label: %s\n", message.c_str());
    return 1;
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
    for (const auto& c : list) std::fprintf(out, "  tavrin-label %s\n", c.usage);
    std::fprintf(out, "\n  tavrin-label COMMAND --help   the usage of one command\n"
                      "  tavrin-label --version\n"
                      "A file name \"-\" reads standard input; \"-o -\" writes to standard output.\n");
    return out == stdout ? 0 : 2;
}
}  // namespace

}  // namespace tavrin::cli

int main(int argc, char** argv) {
    using namespace tavrin::cli;
    if (argc < 2) return usage(stderr);
    const std::string name = argv[1];
    if (name == "help" || name == "--help" || name == "-h") return usage(stdout);
    if (name == "--version" || name == "-V") {
        std::printf("tavrin-label (TAVRIN Label Editor) %s\n", TAVRIN_VERSION);
        return 0;
    }
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    for (const auto& c : commands()) {
        if (name != c.name) continue;
        // -h or --help anywhere before "--" asks for the command's usage, so every command
        // and sub-command answers it without parsing it itself.
        for (const std::string& a : arguments) {
            if (a == "--") break;
            if (a == "-h" || a == "--help") {
                std::printf("usage: tavrin-label %s\n", c.usage);
                return 0;
            }
        }
        return c.run(arguments);
    }
    std::fprintf(stderr, "tavrin-label: unknown command \"%s\"\n", name.c_str());
    return usage(stderr);
}
