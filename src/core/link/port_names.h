#pragma once
// Which device each of the ports "Com1".."Com8" opens. A port may be given its own device
// in the configuration; a device named on the command line stands in for every port, so a
// single run can be pointed at another line (a USB adapter, the printer simulator) without
// touching the saved settings.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "document/app_config.h"

namespace tavrin {

struct PortDevices {
    // By port index; an empty entry keeps the port's default device.
    std::array<std::string, kPortCount> configured{};
    // From "--port DEVICE"; when set it wins over everything else.
    std::string commandLine;
};

// The configured devices with the command line's device, if any.
PortDevices portDevicesFrom(const AppConfig& config, std::string commandLine = {});

// The name the port list shows: "Com1".."Com8".
std::string portName(int portIndex);
// The device a port opens when nothing else is said: /dev/ttyS0 for "Com1", and so on.
std::string defaultPortDevice(int portIndex);
// The device port `portIndex` opens; empty for an index outside 0..7, which cannot be
// opened.
std::string portDevice(const PortDevices& devices, int portIndex);

// The command line with "--port DEVICE" (or "--port=DEVICE") taken out of it.
struct PortArguments {
    std::string device;              // the last one given; empty when none
    std::vector<std::string> rest;   // the other arguments, in order
    std::string error;               // set when "--port" has no device
};
PortArguments takePortArgument(const std::vector<std::string>& arguments);

class PrinterLink;
// Gives every port of the link the device it opens.
void applyPortDevices(PrinterLink& link, const PortDevices& devices);

}  // namespace tavrin
