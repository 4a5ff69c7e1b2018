#pragma once
// The one argument reader of tavrin-label. Each command declares its options and operands
// in a table; reading the command line, `--help`, `tavrin-label help`, the manual page's
// OPTIONS and the bash completion are all made from those tables, so none can fall behind.
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::cli {

// What a value stands for; the shell completes it accordingly.
enum class ValueKind {
    Text,      // anything; nothing to complete
    Number,    // a whole number within the option's range
    Choice,    // one of the words in `choices`
    File,      // any file to read
    Output,    // a file to write ("-" for standard output)
    Label,     // .qlb
    Form,      // .ejf
    LabelFont, // .qft
    Picture,   // .pcx, .bmp
    Photo,     // .bmp, .jpg, .png
    FontSource,// .ttf, .otf, or a family name
    Data,      // .csv, .tsv, .txt
    Device,    // a serial, USB, network or print queue device
};

struct Option {
    const char* name;                  // "--data"
    const char* value = nullptr;       // the value's name in usage ("ROWS.csv"); null for a flag
    ValueKind kind = ValueKind::Text;
    const char* help = "";
    const char* shortName = nullptr;   // "-o"
    const char* choices = nullptr;     // the words of a Choice, blank separated
    long long low = 0, high = 0;       // the range of a Number
    bool required = false;             // every use of the command needs it
};

struct Operand {
    const char* name;                  // "FILE.qlb|-"
    ValueKind kind = ValueKind::Text;
    const char* choices = nullptr;
    bool optional = false;
};

class Arguments;
using CommandRun = int (*)(const Arguments& arguments);

struct CommandDefinition {
    const char* name;
    const char* summary;               // what it does, one line
    std::span<const Operand> operands;
    std::span<const Option> options;
    CommandRun run = nullptr;
    // A command whose first operand names one of these (printer list ...); its own options
    // come before that name.
    std::span<const CommandDefinition> subcommands = {};
};

// A command line read against a CommandDefinition.
class Arguments {
public:
    const CommandDefinition* command = nullptr;
    const Arguments* parent = nullptr;  // the command's, for a sub-command

    bool has(std::string_view option) const { return values_.count(std::string(option)) > 0; }
    // The value given (the last one if repeated); empty when not given.
    std::string value(std::string_view option) const;
    std::optional<long long> number(std::string_view option) const;
    const std::vector<std::string>& values(std::string_view option) const;
    const std::vector<std::string>& operands() const { return operands_; }
    // Operand n, or empty when there are fewer.
    std::string operand(std::size_t n) const { return n < operands_.size() ? operands_[n] : std::string(); }

    // For the reader.
    std::map<std::string, std::vector<std::string>, std::less<>> values_;
    std::vector<std::string> operands_;
};

// Reads `words` against the command's table; empty on success, else what is wrong (a
// usage error). `--help` or `-h` sets helpAsked and stops.
std::string readArguments(const CommandDefinition& command, const std::vector<std::string>& words, Arguments& out,
                          bool& helpAsked);

// "tavrin-label render FILE.qlb|- -o OUT [OPTIONS]", for usage lines.
std::string synopsis(const CommandDefinition& command, const CommandDefinition* parent = nullptr);
// The full help of one command: usage, summary, options, sub-commands.
std::string helpText(const CommandDefinition& command, const CommandDefinition* parent = nullptr);
// How an option is written in help: "-o, --output OUT"; and its help with its range or choices.
std::string optionLabel(const Option& option);
std::string optionHelp(const Option& option);

// Prints "tavrin-label: message" and the command's usage on stderr; the status of a usage error.
int usageError(const Arguments& arguments, const std::string& message);

// Runs a command from its words (everything after its name): reads them, answers --help,
// reports a usage error, or calls the command (or its sub-command).
int runCommand(const CommandDefinition& command, const std::vector<std::string>& words);

// The exit statuses: 0 success, 1 failure, 2 a wrong command line.
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

}  // namespace tavrin::cli
