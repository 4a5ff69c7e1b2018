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
int usage(FILE* out) {
    auto list = commands();
    std::sort(list.begin(), list.end(),
              [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    std::fprintf(out, "TAVRIN Label Editor v 1.12 - command line\nusage:\n");
    for (const auto& c : list) std::fprintf(out, "  tavrin-label %s\n", c.usage);
    return out == stdout ? 0 : 2;
}
}  // namespace

}  // namespace tavrin::cli

int main(int argc, char** argv) {
    using namespace tavrin::cli;
    if (argc < 2) return usage(stderr);
    const std::string name = argv[1];
    if (name == "help" || name == "--help" || name == "-h") return usage(stdout);
    for (const auto& c : commands())
        if (name == c.name) return c.run(std::vector<std::string>(argv + 2, argv + argc));
    std::fprintf(stderr, "tavrin-label: unknown command \"%s\"\n", name.c_str());
    return usage(stderr);
}
