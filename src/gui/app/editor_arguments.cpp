#include "app/editor_arguments.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "document/app_config.h"

namespace tavrin {

const std::vector<EditorOption>& editorOptions() {
    static const std::vector<EditorOption> options = {
        {"--port-device", nullptr, "N=DEVICE", "Com N opens DEVICE for this run, e.g. 1=/dev/ttyUSB0"},
        {"--new-instance", nullptr, nullptr, "start another editor instead of handing over to the running one"},
        {"--portable", nullptr, nullptr, "keep the settings in ZREDITW.CFG beside the program"},
        {"--help", "-h", nullptr, "this text"},
        {"--version", "-V", nullptr, "the version"},
        {"--exit-after-start", nullptr, nullptr, nullptr},
    };
    return options;
}

std::string editorUsage() {
    std::string usage = "usage: tavrin-label-editor [FILE.qlb] [--port-device N=DEVICE] [--new-instance] [--portable]\n"
                        "  FILE.qlb                 the label to open (a running editor is handed it)\n";
    for (const EditorOption& option : editorOptions()) {
        if (option.meaning == nullptr) continue;
        std::string names = option.letter != nullptr ? std::string(option.letter) + ", " + option.name : option.name;
        if (option.value != nullptr) names += std::string(" ") + option.value;
        names.resize(std::max<std::size_t>(names.size() + 1, 25), ' ');
        usage += "  " + names + option.meaning + "\n";
    }
    return usage;
}

namespace {

const EditorOption* findOption(const std::string& name) {
    for (const EditorOption& option : editorOptions())
        if (name == option.name || (option.letter != nullptr && name == option.letter)) return &option;
    return nullptr;
}

// N=DEVICE with N a port number 1..8 and a device name.
bool addPortDevice(const std::string& value, std::map<int, std::string>& devices) {
    const auto equals = value.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == value.size()) return false;
    int port = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + equals, port);
    if (ec != std::errc() || end != value.data() + equals || port < 1 || port > kPortCount) return false;
    devices[port] = value.substr(equals + 1);
    return true;
}

}  // namespace

EditorArguments parseEditorArguments(const std::vector<std::string>& arguments) {
    EditorArguments result;
    const auto fail = [&result](std::string message) {
        result.error = std::move(message);
        return result;
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            if (!result.label.empty()) return fail("only one label file can be opened: \"" + argument + "\"");
            result.label = argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = argument;
        std::optional<std::string> attached;
        if (const auto equals = argument.find('='); argument.starts_with("--") && equals != std::string::npos) {
            name = argument.substr(0, equals);
            attached = argument.substr(equals + 1);
        }
        const EditorOption* option = findOption(name);
        if (option == nullptr) return fail("unknown option \"" + name + "\"");
        std::string value;
        if (option->value != nullptr) {
            if (attached) value = *attached;
            else if (i + 1 < arguments.size()) value = arguments[++i];
            else return fail(std::string(option->name) + " needs a value: " + option->value);
        } else if (attached) {
            return fail(std::string(option->name) + " takes no value");
        }
        const std::string_view which = option->name;
        if (which == "--port-device") {
            if (!addPortDevice(value, result.portDevices))
                return fail("--port-device: \"" + value + "\" is not N=DEVICE with N from 1 to " +
                            std::to_string(kPortCount));
        } else if (which == "--new-instance") {
            result.newInstance = true;
        } else if (which == "--portable") {
            result.portable = true;
        } else if (which == "--help") {
            result.help = true;
        } else if (which == "--version") {
            result.version = true;
        } else if (which == "--exit-after-start") {
            result.exitAfterStart = true;
        }
    }
    return result;
}

}  // namespace tavrin
