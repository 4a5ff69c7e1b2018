#include "link/device_list.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <utility>

namespace tavrin {

namespace {

// The number after `prefix` in a device name; -1 when the rest is not all digits.
long deviceNumber(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return -1;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.size() > 6) return -1;
    long number = 0;
    for (const char c : digits) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

void collect(const std::filesystem::path& folder, std::string_view prefix, std::vector<std::string>& out) {
    std::error_code error;
    std::vector<std::pair<long, std::string>> found;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const long number = deviceNumber(name, prefix);
        if (number >= 0) found.emplace_back(number, it->path().string());
    }
    std::sort(found.begin(), found.end());
    for (auto& entry : found) out.push_back(std::move(entry.second));
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

std::vector<std::string> listPrinterDevices(const std::filesystem::path& devRoot) {
    std::vector<std::string> devices;
    collect(devRoot, "ttyUSB", devices);
    collect(devRoot, "ttyACM", devices);
    collect(devRoot / "usb", "lp", devices);
    collect(devRoot, "ttyS", devices);
    return devices;
}

std::string deviceStatusText(std::string_view device) {
    if (startsWith(device, "tcp://")) return std::string(device) + " (network printer)";
    if (startsWith(device, "cups://")) return std::string(device) + " (print queue)";
    std::error_code error;
    const bool present = std::filesystem::exists(std::filesystem::path(device), error);
    return std::string(device) + (present ? " (present)" : " (not found)");
}

}  // namespace tavrin
