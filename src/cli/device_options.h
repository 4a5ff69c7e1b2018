#pragma once
// The options every command that talks to a printer takes, declared once.
#include <chrono>

#include "document/app_config.h"
#include "link/printer_link.h"
#include "options.h"

namespace tavrin::cli {

inline constexpr Option kPortOption{
    .name = "--port", .value = "DEVICE", .kind = ValueKind::Device,
    .help = "the printer: /dev/ttyUSB0, /dev/usb/lp0, tcp://HOST:PORT (9100 by default) or cups://QUEUE"};
inline constexpr Option kBaudOption{.name = "--baud", .value = "N", .kind = ValueKind::Choice,
                                    .help = "the serial line's speed, 115200 when not given",
                                    .choices = "2400 4800 9600 19200 38400 57600 115200"};
inline constexpr Option kXonXoffOption{.name = "--xonxoff", .help = "XON/XOFF flow control instead of hardware"};
inline constexpr Option kSilenceOption{.name = "--silence-ms", .value = "N", .kind = ValueKind::Number,
                                       .help = "how long a silent printer is waited for, in milliseconds",
                                       .low = 1, .high = 60000};

// --baud and --xonxoff over the usual settings.
inline LinkSettings linkSettingsFrom(const Arguments& arguments) {
    LinkSettings settings;
    if (arguments.has("--baud"))
        for (std::size_t i = 0; i < kBaudRates.size(); ++i)
            if (std::to_string(kBaudRates[i]) == arguments.value("--baud")) settings.baudIndex = static_cast<int>(i);
    if (arguments.has("--xonxoff")) settings.protocol = 1;
    return settings;
}

inline std::chrono::milliseconds silenceFrom(const Arguments& arguments) {
    return std::chrono::milliseconds(arguments.number("--silence-ms").value_or(0));
}

}  // namespace tavrin::cli
