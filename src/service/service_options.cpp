#include "service/service_options.h"

#include <algorithm>
#include <fstream>

namespace tavrin::service {

namespace {

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

bool parseNumber(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty() || text.size() > 12 || !std::all_of(text.begin(), text.end(), ::isdigit)) return false;
    value = std::stoll(text);
    return value >= low && value <= high;
}

// One setting, by its option's name without the dashes; `fromFile` for the messages.
std::string apply(const std::string& name, const std::string& value, ServiceOptions& options) {
    long long number = 0;
    if (name == "labels") options.labels = value;
    else if (name == "state") options.state = value;
    else if (name == "watch") options.watch = value;
    else if (name == "token-file") options.tokenFile = value;
    else if (name == "listen") {
        if (!parseListen(value, options.host, options.port)) return "--listen wants HOST:PORT, such as 127.0.0.1:8631";
    } else if (name == "printer") {
        const auto equals = value.find('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == value.size())
            return "--printer wants NAME=DEVICE, such as dock1=tcp://10.0.0.7:9100";
        options.printers.emplace_back(value.substr(0, equals), value.substr(equals + 1));
    } else if (name == "silence-ms") {
        if (!parseNumber(value, 1, 600000, number)) return "--silence-ms must be 1 to 600000";
        options.silence = std::chrono::milliseconds(number);
    } else if (name == "retry-ms") {
        if (!parseNumber(value, 1, 600000, number)) return "--retry-ms must be 1 to 600000";
        options.retry = std::chrono::milliseconds(number);
    } else if (name == "max-request") {
        if (!parseNumber(value, 1024, 64LL * 1024 * 1024, number)) return "--max-request must be 1024 to 67108864 bytes";
        options.limits.bodyBytes = static_cast<std::size_t>(number);
    } else if (name == "max-rows") {
        if (!parseNumber(value, 1, 1000000, number)) return "--max-rows must be 1 to 1000000";
        options.limits.rows = static_cast<std::size_t>(number);
    } else {
        return "unknown option --" + name;
    }
    return {};
}

bool plainName(const std::string& name) {
    return !name.empty() && name.size() <= 64 && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
    });
}

}  // namespace

bool parseListen(const std::string& text, std::string& host, int& port) {
    std::string h = "127.0.0.1";
    std::string p = text;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find("]:");
        if (close == std::string::npos) return false;
        h = text.substr(1, close - 1);
        p = text.substr(close + 2);
    } else if (const auto colon = text.rfind(':'); colon != std::string::npos) {
        h = text.substr(0, colon);
        p = text.substr(colon + 1);
    }
    long long number = 0;
    if (h.empty() || !parseNumber(p, 0, 65535, number)) return false;
    host = h;
    port = static_cast<int>(number);
    return true;
}

std::string parseServiceArguments(const std::vector<std::string>& arguments, ServiceOptions& options) {
    // The file first, wherever --config stands, so that the command line wins.
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i] == "--config")
            if (std::string bad = readServiceConfig(arguments[i + 1], options); !bad.empty()) return bad;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a.rfind("--", 0) != 0 || a.size() < 3) return "unexpected argument " + a;
        std::string name = a.substr(2);
        std::string value;
        if (const auto equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return a + " wants a value";
        }
        if (name == "config") continue;
        if (std::string bad = apply(name, value, options); !bad.empty()) return bad;
    }
    return {};
}

std::string readServiceConfig(const std::filesystem::path& file, ServiceOptions& options) {
    std::ifstream in(file);
    if (!in) return "Can't read the configuration file " + file.string();
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string text = trimmed(line.substr(0, line.find('#')));
        if (text.empty()) continue;
        const auto equals = text.find('=');
        const std::string where = file.string() + ":" + std::to_string(number) + ": ";
        if (equals == std::string::npos) return where + "a setting is NAME = VALUE";
        const std::string name = trimmed(text.substr(0, equals));
        if (name == "config") return where + "a configuration file cannot name another";
        if (std::string bad = apply(name, trimmed(text.substr(equals + 1)), options); !bad.empty())
            return where + bad.substr(bad.rfind("--", 0) == 0 ? 2 : 0);
    }
    return {};
}

std::string checkServiceOptions(const ServiceOptions& options) {
    if (options.labels.empty()) return "no --labels folder";
    std::error_code error;
    if (!std::filesystem::is_directory(options.labels, error)) return "The labels folder " + options.labels.string() + " is not a folder";
    if (options.printers.empty()) return "no --printer NAME=DEVICE";
    for (std::size_t i = 0; i < options.printers.size(); ++i) {
        const std::string& name = options.printers[i].first;
        if (!plainName(name)) return "The printer name \"" + name + "\" must be letters, digits, '-', '_' or '.'";
        for (std::size_t j = 0; j < i; ++j)
            if (options.printers[j].first == name) return "The printer name \"" + name + "\" is given twice";
    }
    if (!options.watch.empty() && !std::filesystem::is_directory(options.watch, error))
        return "The watch folder " + options.watch.string() + " is not a folder";
    return {};
}

}  // namespace tavrin::service
