#pragma once
// Sub-commands of tavrin-label register themselves from their own files, so adding one
// touches nothing else: one line, `RegisterCommand registration(kCommand);`, with the
// command's table of options beside it.
#include <string>
#include <vector>

#include "options.h"

namespace tavrin::cli {

// A command that still reads its own words; it shows `usage` for --help and has no table.
using CommandFunction = int (*)(const std::vector<std::string>& arguments);

struct Command {
    const CommandDefinition* definition = nullptr;  // null for a command that reads its own words
    const char* name = nullptr;
    const char* usage = nullptr;
    CommandFunction readsItsOwnWords = nullptr;
};

std::vector<Command>& commands();

struct RegisterCommand {
    explicit RegisterCommand(const CommandDefinition& definition) { commands().push_back({&definition, definition.name, nullptr, nullptr}); }
    RegisterCommand(const char* name, const char* usage, CommandFunction run) {
        commands().push_back({nullptr, name, usage, run});
    }
};

// Prints "tavrin-label: message" on stderr and returns the exit status for a failure.
int fail(const std::string& message);

}  // namespace tavrin::cli
