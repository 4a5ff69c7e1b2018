// The devices of the ports in the configuration file: kept only when set, read back.
#include <gtest/gtest.h>

#include "document/config_file.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

TEST(ConfigPortDevices, WrittenLastOnlyWhenSetAndReadBack) {
    LabelSetup setup;
    AppConfig config;
    const std::string plain = formatConfiguration(setup, config);
    EXPECT_EQ(plain.find("DEVICE"), std::string::npos);

    config.portDevices[0] = "/dev/ttyUSB0";
    config.portDevices[7] = "/tmp/printer";
    const std::string text = formatConfiguration(setup, config);
    EXPECT_EQ(text, plain + "COM1 DEVICE = /dev/ttyUSB0\r\nCOM8 DEVICE = /tmp/printer\r\n");

    test::TempDir dir;
    test::writeFile(dir / "ZREDITW.CFG", "com3 device = /dev/ttyACM1\r\nCOM9 DEVICE = /dev/x\r\n" + text);
    AppConfig back;
    ASSERT_TRUE(readConfiguration(dir / "ZREDITW.CFG", setup, back, 2));
    EXPECT_EQ(back.portDevices[0], "/dev/ttyUSB0");
    EXPECT_EQ(back.portDevices[2], "/dev/ttyACM1");
    EXPECT_EQ(back.portDevices[7], "/tmp/printer");
    EXPECT_EQ(back.portDevices[1], "");
}

}  // namespace
}  // namespace tavrin
