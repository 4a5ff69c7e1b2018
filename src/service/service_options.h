#pragma once
// What `tavrin-label serve` is told, on its command line or in a configuration file of the
// same settings ("labels = /srv/labels", "printer = dock1=tcp://10.0.0.7:9100", one per
// line, "#" starting a comment); the command line adds to the file and wins over it.
#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "service/job_request.h"

namespace tavrin::service {

inline constexpr int kDefaultPort = 8631;

struct ServiceOptions {
    std::filesystem::path labels;
    std::vector<std::pair<std::string, std::string>> printers;  // name, device
    std::string host = "127.0.0.1";
    int port = kDefaultPort;
    std::filesystem::path tokenFile;
    std::filesystem::path watch;
    std::filesystem::path state;
    RequestLimits limits;
    // How long a printer may stay silent before it counts as gone, and how often one that
    // went away is tried again.
    std::chrono::milliseconds silence{3000};
    std::chrono::milliseconds retry{2000};
};

// Reads the arguments after "serve" into `options`; empty, or what is wrong.
std::string parseServiceArguments(const std::vector<std::string>& arguments, ServiceOptions& options);
// Reads a configuration file's settings into `options`; empty, or what is wrong (with the
// file and line).
std::string readServiceConfig(const std::filesystem::path& file, ServiceOptions& options);
// "HOST:PORT", "[::1]:PORT" or "PORT"; false when it is none of them.
bool parseListen(const std::string& text, std::string& host, int& port);
// What must hold before the service starts: a labels folder, at least one printer, names
// that are unique and plain. Empty, or what is wrong.
std::string checkServiceOptions(const ServiceOptions& options);

}  // namespace tavrin::service
