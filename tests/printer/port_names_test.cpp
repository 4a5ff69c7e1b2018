// Which device "Com n" opens, and "--port" on the command line.
#include <gtest/gtest.h>

#include "printer/port_names.h"

namespace tavrin {
namespace {

using Arguments = std::vector<std::string>;

TEST(PortNames, ConfiguredDeviceThenCommandLineOverrideTheDefault) {
    PortDevices devices;
    EXPECT_EQ(portName(0), "Com1");
    EXPECT_EQ(portName(7), "Com8");
    EXPECT_EQ(portDevice(devices, 0), "/dev/ttyS0");
    EXPECT_EQ(portDevice(devices, 7), "/dev/ttyS7");

    devices.configured[2] = "/dev/ttyUSB0";
    EXPECT_EQ(portDevice(devices, 2), "/dev/ttyUSB0");
    EXPECT_EQ(portDevice(devices, 1), "/dev/ttyS1");

    devices.commandLine = "/dev/pts/4";
    EXPECT_EQ(portDevice(devices, 2), "/dev/pts/4");
    EXPECT_EQ(portDevice(devices, 1), "/dev/pts/4");

    // No port outside Com1..Com8, whatever else is set.
    EXPECT_EQ(portDevice(devices, -1), "");
    EXPECT_EQ(portDevice(devices, 8), "");
    EXPECT_EQ(defaultPortDevice(8), "");
}

TEST(PortNames, PortArgumentIsTakenOutOfTheCommandLine) {
    PortArguments a = takePortArgument({"--port", "/dev/ttyUSB1", "label.qlb"});
    EXPECT_EQ(a.device, "/dev/ttyUSB1");
    EXPECT_EQ(a.rest, Arguments{"label.qlb"});
    EXPECT_EQ(a.error, "");

    a = takePortArgument({"label.qlb", "--port=/dev/pts/2"});
    EXPECT_EQ(a.device, "/dev/pts/2");
    EXPECT_EQ(a.rest, Arguments{"label.qlb"});

    a = takePortArgument({"label.qlb"});
    EXPECT_EQ(a.device, "");
    EXPECT_EQ(a.rest, Arguments{"label.qlb"});

    // A missing device is an error, and the next option is not taken for one.
    for (const Arguments& missing : {Arguments{"--port"}, Arguments{"--port="}, Arguments{"--port", "--help"}}) {
        a = takePortArgument(missing);
        EXPECT_EQ(a.device, "");
        EXPECT_NE(a.error, "");
    }
    EXPECT_EQ(takePortArgument({"--port", "--help"}).rest, Arguments{"--help"});
}

}  // namespace
}  // namespace tavrin
