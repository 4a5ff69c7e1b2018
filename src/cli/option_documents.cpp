// The manual page's OPTIONS section and the bash completion's tables, written from the
// commands' option tables when the program is built (`tavrin-label --dump-options man|bash`).
#include "option_documents.h"

#include <algorithm>
#include <cstring>

#include "command_registry.h"

namespace tavrin::cli {
namespace {

std::string roff(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else if (c == '"') out += "\\(dq";
        else out += c;
    }
    return out;
}

// What the shell completes a value of this kind to; the completion script knows the words.
std::string completionOf(ValueKind kind, const char* choices) {
    switch (kind) {
        case ValueKind::Text:
        case ValueKind::Number: return "none";
        case ValueKind::Choice: {
            std::string words = choices;
            std::replace(words.begin(), words.end(), ' ', '|');
            return "words:" + words;
        }
        case ValueKind::File:
        case ValueKind::Output: return "file";
        case ValueKind::Label: return "file:qlb";
        case ValueKind::Form: return "file:ejf";
        case ValueKind::LabelFont: return "file:qft";
        case ValueKind::Picture: return "file:pcx|bmp";
        case ValueKind::Photo: return "file:bmp|jpg|jpeg|png";
        case ValueKind::FontSource: return "file:ttf|otf|ttc";
        case ValueKind::Data: return "file:csv|tsv|txt";
        case ValueKind::Device: return "device";
    }
    return "none";
}

std::vector<Command> sortedCommands() {
    std::vector<Command> list = commands();
    std::sort(list.begin(), list.end(), [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    return list;
}

void manOptionList(std::string& out, const CommandDefinition& command, const CommandDefinition* parent) {
    out += ".SS " + roff(parent != nullptr ? std::string(parent->name) + " " + command.name : command.name) + "\n";
    out += ".B " + roff(synopsis(command, parent)) + "\n.br\n" + roff(command.summary) + "\n";
    for (const Option& o : command.options) {
        out += ".TP\n";
        if (o.shortName != nullptr) out += "\\fB" + roff(o.shortName) + "\\fR, ";
        out += "\\fB" + roff(o.name) + "\\fR";
        if (o.value != nullptr) out += " \\fI" + roff(o.value) + "\\fR";
        out += "\n" + roff(optionHelp(o)) + "\n";
    }
    for (const CommandDefinition& sub : command.subcommands) manOptionList(out, sub, &command);
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

void bashTables(const CommandDefinition& command, const std::string& key, std::string& options, std::string& values,
                std::string& operands, std::string& subcommands) {
    std::string names = "--help";
    for (const Option& o : command.options) {
        names += std::string(" ") + o.name;
        if (o.shortName != nullptr) names += std::string(" ") + o.shortName;
        if (o.value == nullptr) continue;
        const std::string kind = quoted(completionOf(o.kind, o.choices));
        values += "  [" + quoted(key + " " + o.name) + "]=" + kind + "\n";
        if (o.shortName != nullptr) values += "  [" + quoted(key + " " + o.shortName) + "]=" + kind + "\n";
    }
    options += "  [" + quoted(key) + "]=" + quoted(names) + "\n";
    std::string kinds;
    for (const Operand& operand : command.operands)
        kinds += (kinds.empty() ? "" : " ") + completionOf(operand.kind, operand.choices);
    operands += "  [" + quoted(key) + "]=" + quoted(kinds) + "\n";
    if (command.subcommands.empty()) return;
    std::string subs;
    for (const CommandDefinition& sub : command.subcommands) {
        subs += (subs.empty() ? "" : " ") + std::string(sub.name);
        bashTables(sub, key + " " + sub.name, options, values, operands, subcommands);
    }
    subcommands += "  [" + quoted(key) + "]=" + quoted(subs) + "\n";
}

}  // namespace

std::string manPageOptions() {
    // Long usage lines read better unjustified.
    std::string out = ".ad l\n";
    for (const Command& c : sortedCommands()) {
        if (c.definition != nullptr) {
            manOptionList(out, *c.definition, nullptr);
        } else {
            out += ".SS " + roff(c.name) + "\n.B " + roff(std::string("tavrin-label ") + c.usage) + "\n";
        }
    }
    return out + ".ad b\n";
}

std::string bashCompletionTables() {
    std::string names, options, values, operands, subcommands;
    for (const Command& c : sortedCommands()) {
        names += (names.empty() ? "" : " ") + std::string(c.name);
        if (c.definition != nullptr) bashTables(*c.definition, c.name, options, values, operands, subcommands);
        else operands += "  [" + quoted(c.name) + "]='file'\n";
    }
    return "_tavrin_label_commands=" + quoted(names) + "\n" +
           "declare -gA _tavrin_label_options=(\n" + options + ")\n" +
           "declare -gA _tavrin_label_values=(\n" + values + ")\n" +
           "declare -gA _tavrin_label_operands=(\n" + operands + ")\n" +
           "declare -gA _tavrin_label_subcommands=(\n" + subcommands + ")\n";
}

}  // namespace tavrin::cli
