#include "options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "command_registry.h"

namespace tavrin::cli {

std::string Arguments::value(std::string_view option) const {
    const auto it = values_.find(option);
    return it == values_.end() || it->second.empty() ? std::string() : it->second.back();
}

std::optional<long long> Arguments::number(std::string_view option) const {
    const auto it = values_.find(option);
    if (it == values_.end() || it->second.empty()) return std::nullopt;
    return std::strtoll(it->second.back().c_str(), nullptr, 10);
}

const std::vector<std::string>& Arguments::values(std::string_view option) const {
    static const std::vector<std::string> none;
    const auto it = values_.find(option);
    return it == values_.end() ? none : it->second;
}

namespace {

const Option* findOption(const CommandDefinition& command, std::string_view word) {
    for (const Option& o : command.options)
        if (word == o.name || (o.shortName != nullptr && word == o.shortName)) return &o;
    return nullptr;
}

bool isChoice(const char* choices, std::string_view word) {
    std::string_view list = choices == nullptr ? "" : choices;
    while (!list.empty()) {
        const auto blank = list.find(' ');
        if (list.substr(0, blank) == word) return true;
        if (blank == std::string_view::npos) break;
        list.remove_prefix(blank + 1);
    }
    return false;
}

std::string oneOf(const char* choices) {
    std::string text = choices;
    const auto last = text.rfind(' ');
    if (last != std::string::npos) text.replace(last, 1, " or ");
    for (auto at = text.find(' '); at != std::string::npos && at < text.rfind(" or "); at = text.find(' ', at + 2))
        text.replace(at, 1, ", ");
    return text;
}

bool namesAFile(ValueKind kind) {
    return kind != ValueKind::Text && kind != ValueKind::Number && kind != ValueKind::Choice;
}

// Empty when the value suits the option, else why not.
std::string checkValue(const Option& option, const std::string& value) {
    if (value.empty() && namesAFile(option.kind)) return std::string(option.name) + " needs " + option.value + ", not nothing";
    if (option.kind == ValueKind::Number) {
        char* end = nullptr;
        errno = 0;
        const long long n = std::strtoll(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || errno != 0 || n < option.low || n > option.high)
            return std::string(option.name) + " wants a number from " + std::to_string(option.low) + " to " +
                   std::to_string(option.high) + ", not \"" + value + "\"";
    } else if (option.kind == ValueKind::Choice && !isChoice(option.choices, value)) {
        return std::string(option.name) + " wants " + oneOf(option.choices) + ", not \"" + value + "\"";
    }
    return {};
}

}  // namespace

std::string readArguments(const CommandDefinition& command, const std::vector<std::string>& words, Arguments& out,
                          bool& helpAsked) {
    out.command = &command;
    helpAsked = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const bool looksLikeOption = !optionsEnded && word.size() > 1 && word[0] == '-';
        if (!looksLikeOption) {
            out.operands_.push_back(word);
            // A sub-command reads the rest with its own table.
            if (!command.subcommands.empty()) {
                out.operands_.insert(out.operands_.end(), words.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                     words.end());
                break;
            }
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        if (word == "--help" || word == "-h") {
            helpAsked = true;
            return {};
        }
        // --name=value; a short option takes its value as the next word only.
        const auto equals = word.rfind("--", 0) == 0 ? word.find('=') : std::string::npos;
        const std::string name = word.substr(0, equals);
        const Option* option = findOption(command, name);
        if (option == nullptr) return "unknown option " + name;
        std::string value;
        if (option->value == nullptr) {
            if (equals != std::string::npos) return std::string(option->name) + " takes no value";
        } else if (equals != std::string::npos) {
            value = word.substr(equals + 1);
        } else if (i + 1 < words.size()) {
            value = words[++i];
        } else {
            return std::string(option->name) + " needs " + option->value;
        }
        if (option->value != nullptr) {
            if (std::string bad = checkValue(*option, value); !bad.empty()) return bad;
        }
        out.values_[option->name].push_back(value);
    }
    if (helpAsked) return {};
    // "printer list --help" shows the sub-command's help without a --port.
    if (!command.subcommands.empty())
        for (const std::string& word : out.operands_) {
            if (word == "--") break;
            if (word == "--help" || word == "-h") return {};
        }
    for (const Option& o : command.options)
        if (o.required && !out.has(o.name))
            return std::string("no ") + (o.shortName != nullptr ? o.shortName : o.name) + " " + o.value;
    if (!command.subcommands.empty()) return {};
    std::size_t needed = 0;
    for (const Operand& operand : command.operands) needed += operand.optional ? 0 : 1;
    if (out.operands_.size() < needed) return std::string("no ") + command.operands[out.operands_.size()].name;
    if (out.operands_.size() > command.operands.size()) return "unexpected argument \"" + out.operands_[command.operands.size()] + "\"";
    for (std::size_t n = 0; n < out.operands_.size(); ++n) {
        const Operand& operand = command.operands[n];
        const std::string& word = out.operands_[n];
        if (operand.kind == ValueKind::Choice && !isChoice(operand.choices, word))
            return std::string(command.name) + " wants " + oneOf(operand.choices) + ", not \"" + word + "\"";
        if (word.empty() && namesAFile(operand.kind))
            return std::string("an empty file name where ") + operand.name + " belongs";
    }
    return {};
}

std::string optionHelp(const Option& option) {
    std::string help = option.help;
    if (option.kind == ValueKind::Number && option.high < 1'000'000'000)
        help += " (" + std::to_string(option.low) + " to " + std::to_string(option.high) + ")";
    if (option.kind == ValueKind::Choice) help += std::string(" (") + oneOf(option.choices) + ")";
    return help;
}

std::string optionLabel(const Option& option) {
    std::string label = option.shortName != nullptr ? std::string(option.shortName) + ", " : "";
    label += option.name;
    if (option.value != nullptr) label += std::string(" ") + option.value;
    return label;
}

namespace {
// The command's own part of a usage line: its name, required options, operands.
std::string commandPart(const CommandDefinition& command, bool withSubcommand) {
    std::string text = command.name;
    for (const Operand& operand : command.operands)
        text += operand.optional ? std::string(" [") + operand.name + "]" : std::string(" ") + operand.name;
    bool optional = false;
    for (const Option& o : command.options) {
        if (!o.required) {
            optional = true;
            continue;
        }
        text += std::string(" ") + (o.shortName != nullptr ? o.shortName : o.name) + " " + o.value;
    }
    if (optional) text += " [OPTIONS]";
    if (withSubcommand && !command.subcommands.empty()) text += " SUB-COMMAND";
    return text;
}

void addHelpLine(std::string& text, std::string line, const char* help) {
    line = "  " + line;
    line += line.size() < 30 ? std::string(30 - line.size(), ' ') : "\n" + std::string(30, ' ');
    text += line + help + "\n";
}
}  // namespace

std::string synopsis(const CommandDefinition& command, const CommandDefinition* parent) {
    std::string text = "tavrin-label ";
    if (parent != nullptr) text += commandPart(*parent, false) + " ";
    return text + commandPart(command, true);
}

std::string helpText(const CommandDefinition& command, const CommandDefinition* parent) {
    std::string text = "usage: " + synopsis(command, parent) + "\n" + command.summary + "\n";
    if (!command.options.empty()) text += "\noptions:\n";
    for (const Option& o : command.options) addHelpLine(text, optionLabel(o), optionHelp(o).c_str());
    if (!command.subcommands.empty()) text += "\nsub-commands (each answers --help):\n";
    for (const CommandDefinition& sub : command.subcommands) addHelpLine(text, commandPart(sub, true), sub.summary);
    return text;
}

int usageError(const Arguments& arguments, const std::string& message) {
    const CommandDefinition* parent = arguments.parent != nullptr ? arguments.parent->command : nullptr;
    std::fprintf(stderr, "tavrin-label: %s\nusage: %s\n", message.c_str(),
                 synopsis(*arguments.command, parent).c_str());
    return kExitUsage;
}

namespace {

int runWith(const CommandDefinition& command, const std::vector<std::string>& words, const Arguments* parent) {
    Arguments arguments;
    arguments.parent = parent;
    bool helpAsked = false;
    const std::string problem = readArguments(command, words, arguments, helpAsked);
    const CommandDefinition* parentDefinition = parent != nullptr ? parent->command : nullptr;
    if (helpAsked) {
        std::fputs(helpText(command, parentDefinition).c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : fail("cannot write to standard output");
    }
    if (!problem.empty()) return usageError(arguments, problem);
    if (command.subcommands.empty()) return command.run(arguments);
    if (arguments.operands().empty()) return usageError(arguments, "no sub-command");
    const std::string& name = arguments.operands().front();
    for (const CommandDefinition& sub : command.subcommands)
        if (name == sub.name)
            return runWith(sub, {arguments.operands().begin() + 1, arguments.operands().end()}, &arguments);
    return usageError(arguments, "unknown sub-command " + name);
}

}  // namespace

int runCommand(const CommandDefinition& command, const std::vector<std::string>& words) {
    return runWith(command, words, nullptr);
}

}  // namespace tavrin::cli
