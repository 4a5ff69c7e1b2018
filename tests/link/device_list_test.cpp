// The devices offered in the settings, from a fake device folder.
#include <gtest/gtest.h>

#include "link/device_list.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

TEST(DeviceList, ListsSerialAndPrinterDevicesByKindAndNumber) {
    test::TempDir dev;
    std::filesystem::create_directories(dev.path() / "usb");
    for (const char* name : {"ttyS10", "ttyS2", "ttyUSB1", "ttyUSB0", "ttyACM0", "usb/lp0", "usb/hiddev0", "ttyS",
                             "ttyUSBx", "tty0", "null", "ttyACM1.lock"})
        test::writeFile(dev.path() / name, std::string_view{});
    const std::string root = dev.path().string();
    const std::vector<std::string> expected = {root + "/ttyUSB0", root + "/ttyUSB1", root + "/ttyACM0",
                                               root + "/usb/lp0", root + "/ttyS2",   root + "/ttyS10"};
    EXPECT_EQ(listPrinterDevices(dev.path()), expected);
    EXPECT_TRUE(listPrinterDevices(dev.path() / "missing").empty());
}

TEST(DeviceList, NetworkAndQueueDevicesAreNamedNotLookedFor) {
    EXPECT_EQ(deviceStatusText("tcp://printer:9100"), "tcp://printer:9100 (network printer)");
    EXPECT_EQ(deviceStatusText("cups://labels"), "cups://labels (print queue)");
}

}  // namespace
}  // namespace tavrin
