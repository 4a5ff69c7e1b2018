#include "link/port_names.h"

#include "link/printer_link.h"

namespace tavrin {

namespace {

constexpr std::string_view kPortOption = "--port";

bool validPort(int portIndex) { return portIndex >= 0 && portIndex < kPortCount; }

}  // namespace

PortDevices portDevicesFrom(const AppConfig& config, std::string commandLine) {
    return PortDevices{config.portDevices, std::move(commandLine)};
}

void applyPortDevices(PrinterLink& link, const PortDevices& devices) {
    for (int port = 0; port < kPortCount; ++port) link.setPortDevice(port, portDevice(devices, port));
}

std::string portName(int portIndex) { return "Com" + std::to_string(portIndex + 1); }

std::string defaultPortDevice(int portIndex) {
    if (!validPort(portIndex)) return {};
    return "/dev/ttyS" + std::to_string(portIndex);
}

std::string portDevice(const PortDevices& devices, int portIndex) {
    if (!validPort(portIndex)) return {};
    if (!devices.commandLine.empty()) return devices.commandLine;
    const std::string& configured = devices.configured[static_cast<std::size_t>(portIndex)];
    return configured.empty() ? defaultPortDevice(portIndex) : configured;
}

PortArguments takePortArgument(const std::vector<std::string>& arguments) {
    PortArguments result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == kPortOption) {
            // A following option is not a device: "--port --help" is a missing device.
            if (i + 1 >= arguments.size() || arguments[i + 1].empty() ||
                arguments[i + 1].starts_with("--")) {
                result.error = "--port needs a device, e.g. --port /dev/ttyUSB0";
                continue;
            }
            result.device = arguments[++i];
        } else if (argument.starts_with(std::string(kPortOption) + "=")) {
            std::string device = argument.substr(kPortOption.size() + 1);
            if (device.empty())
                result.error = "--port needs a device, e.g. --port /dev/ttyUSB0";
            else
                result.device = std::move(device);
        } else {
            result.rest.push_back(argument);
        }
    }
    return result;
}

}  // namespace tavrin
