#pragma once
// Sub-commands of tavrin-label register themselves from their own files, so adding one
// touches nothing else.
#include <string>
#include <vector>

namespace tavrin::cli {

using CommandFunction = int (*)(const std::vector<std::string>& arguments);

struct Command {
    const char* name;
    const char* usage;  // one line, shown by `tavrin-label help`
    CommandFunction run;
};

std::vector<Command>& commands();

struct RegisterCommand {
    RegisterCommand(const char* name, const char* usage, CommandFunction run) {
        commands().push_back({name, usage, run});
    }
};

// Prints "tavrin-label: message" on stderr and returns the exit status for a failure.
int fail(const std::string& message);

}  // namespace tavrin::cli
