#pragma once
// The printer simulator as a child process on a pseudo-terminal, a link to it through the
// real serial transport, and the command line run against it.
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "printer/link_ui.h"
#include "printer/posix_serial_transport.h"
#include "printer/printer_link.h"
#include "support/test_support.h"

namespace tavrin::e2e {

// How long a silent printer is waited for here; the simulator answers within a few
// milliseconds, so this only costs time in the tests about silence.
inline constexpr std::chrono::milliseconds kSilence{400};

// The simulator started from this build.
class SimulatorProcess : public test::SimulatorProcess {
public:
    explicit SimulatorProcess(const std::filesystem::path& output, const std::vector<std::string>& options = {})
        : test::SimulatorProcess(TAVRIN_PRINTER_SIM_EXE, output, options) {}
};

// A link over the real terminal transport to a device, with the short silence limit.
struct RealLink {
    explicit RealLink(const std::string& device);
    PosixSerialTransport transport;
    QuietLinkUi ui;
    PrinterLink link{transport, ui};
};

// tavrin-label printer --port DEVICE --silence-ms ... with the given sub-command.
test::CommandResult runPrinterCommand(const std::string& device, const std::vector<std::string>& subCommand);

}  // namespace tavrin::e2e
