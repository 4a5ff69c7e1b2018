#pragma once
// A link to the printer simulator through the real serial transport, and the command line
// run against it (the simulator itself: test::startSimulator).
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "link/device_link.h"
#include "render/image_io.h"
#include "support/test_support.h"

namespace tavrin::e2e {

// How long a silent printer is waited for here; the simulator answers within a few
// milliseconds, so this only costs time in the tests about silence.
inline constexpr std::chrono::milliseconds kSilence{400};

// A link to a device through the transport the program itself picks for it (the terminal
// or the network), with the short silence limit.
struct RealLink : DeviceLink {
    explicit RealLink(const std::string& device) : DeviceLink(device, {}, kSilence) {}
};

// tavrin-label printer --port DEVICE --silence-ms ... with the given sub-command.
inline test::CommandResult runPrinterCommand(const std::string& device, const std::vector<std::string>& subCommand) {
    std::vector<std::string> arguments{"printer", "--port", device, "--silence-ms", std::to_string(kSilence.count())};
    arguments.insert(arguments.end(), subCommand.begin(), subCommand.end());
    return test::runLabel(arguments);
}

// A printed or rendered PNG as dots.
inline Bitmap readOneBitPng(const std::filesystem::path& path) {
    ScreenImage image;
    const Result read = readPng(path, image);
    EXPECT_TRUE(read) << read.message();
    return toOneBit(image);
}

}  // namespace tavrin::e2e
