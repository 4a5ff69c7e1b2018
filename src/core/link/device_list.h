#pragma once
// The serial and printer devices present on this machine, offered in the settings so a
// plugged-in USB adapter or USB printer can be picked by name, and what a port's device is.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// USB serial adapters (ttyUSB*), USB modems and boards (ttyACM*), USB printers (usb/lp*) and
// the built-in serial lines (ttyS*) under `devRoot`, in that order and numerically within
// each kind. Only names that exist now are listed.
std::vector<std::string> listPrinterDevices(const std::filesystem::path& devRoot = "/dev");

// One line on the device a port opens: "/dev/ttyUSB0 (present)", "/dev/ttyS3 (not found)",
// or what a network or print-queue device is, which cannot be checked without trying it.
std::string deviceStatusText(std::string_view device);

}  // namespace tavrin
