// ZREDITW.CFG reading and writing. Fixtures are typed by hand as the file's text.
#include "document/config_file.h"

#include <csignal>
#include <filesystem>
#include <string>
#include <tuple>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct Loaded {
    bool opened = false;
    LabelSetup setup;
    AppConfig config;
};

Loaded readText(std::string_view text, int translationChoiceCount = 2) {
    TempDir dir;
    test::writeFile(dir / "ZREDITW.CFG", text);
    Loaded loaded;
    loaded.opened = readConfiguration(dir / "ZREDITW.CFG", loaded.setup, loaded.config, translationChoiceCount);
    return loaded;
}

std::string fileText(const fs::path& path) {
    const auto bytes = test::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(ConfigFileRead, MissingFileKeepsTheDefaults) {
    TempDir dir;
    LabelSetup setup;
    AppConfig config;
    EXPECT_FALSE(readConfiguration(dir / "ZREDITW.CFG", setup, config, 2));
    EXPECT_EQ(setup.width, 384);
    EXPECT_EQ(setup.length, 200);
    EXPECT_EQ(setup.offset, 8);
    EXPECT_EQ(setup.darkness, 8);
    EXPECT_EQ(setup.speed, 4);
    EXPECT_EQ(setup.labelGap, 24);
    EXPECT_EQ(setup.dateFormat, "DD-MN-Y4");
    EXPECT_EQ(setup.timeFormat, "H:M:S");
    EXPECT_EQ(config.port, 0);  // COM1
    EXPECT_EQ(config.baudIndex, 6);
    EXPECT_EQ(baudRate(config.baudIndex), 115200);
    EXPECT_EQ(config.gridStep, 8);
    EXPECT_EQ(config.pictureNumber, 1);
    EXPECT_EQ(config.workDirectory, "");
}

TEST(ConfigFileRead, BlanksAndControlBytesAreDroppedAndKeysIgnoreCase) {
    const Loaded loaded = readText(
        "left margin = 20\r\n"
        "  Top\tMargin=\x01 -30 \r\n"
        "width = 1 = 400\n"           // the value follows the last "="
        "LENGTH 500\r\n"              // no "=": skipped
        "COLOUR = 5\r\n"              // unknown key
        "= 300\r\n"
        "\r\n"
        "Date Format = dd/mn/y3\r\n"  // copied without the format check
        "WORK DIRECTORY = /home/ann/my labels\r\n"
        "offset = -8");               // last line without a line end
    EXPECT_TRUE(loaded.opened);
    EXPECT_EQ(loaded.setup.leftMargin, 20);
    EXPECT_EQ(loaded.setup.topMargin, -30);
    EXPECT_EQ(loaded.setup.width, 400);
    EXPECT_EQ(loaded.setup.length, 200);
    EXPECT_EQ(loaded.setup.dateFormat, "dd/mn/y3");
    EXPECT_EQ(loaded.config.workDirectory, "/home/ann/mylabels");
    EXPECT_EQ(loaded.setup.offset, -8);
}

TEST(ConfigFileRead, ValuesAreClampedAsTheTableSays) {
    using S = LabelSetup;
    const std::tuple<const char*, int S::*, int> setupCases[] = {
        {"WIDTH = 10", &S::width, 80},           {"WIDTH = 700", &S::width, 608},
        {"WIDTH = 99999999999999", &S::width, 608}, {"WIDTH = -99999999999999", &S::width, 80},
        {"WIDTH = ", &S::width, 80},             {"LENGTH = 300mm", &S::length, 300},
        {"LENGTH = 2000", &S::length, 1640},     {"LEFT MARGIN = -700", &S::leftMargin, -608},
        {"TOP MARGIN = 1700", &S::topMargin, 1640}, {"OFFSET = -200", &S::offset, -80},
        {"OFFSET = +12", &S::offset, 12},        {"ORIENTATION = -5", &S::orientation, 1},
        {"DARKNESS = 16", &S::darkness, 15},     {"DARKNESS = -1", &S::darkness, 15},
        {"SPEED = -3", &S::speed, 6},            {"LABEL GAP = 101", &S::labelGap, 100},
        {"LABEL GAP = -1", &S::labelGap, 100},   {"PAPER TYPE = -1", &S::paperType, 2},
        {"LANGUAGE = 3", &S::language, 3},       {"LANGUAGE = 7", &S::language, 0},
    };
    for (const auto& [line, field, expected] : setupCases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(readText(std::string(line) + "\r\n").setup.*field, expected);
    }
    using A = AppConfig;
    const std::tuple<const char*, int A::*, int> configCases[] = {
        {"PORT = 0", &A::port, 7},               {"PORT = 1", &A::port, 0},
        {"PORT = 8", &A::port, 7},               {"PORT = 9", &A::port, 7},
        {"PORT = -2", &A::port, 7},              {"BAUDS = 19200", &A::baudIndex, 3},
        {"BAUDS = 9601", &A::baudIndex, 2},      {"BAUDS = fast", &A::baudIndex, 2},
        {"PICTURE NUMBER = 12345", &A::pictureNumber, 2345}, {"PICTURE NUMBER = -5", &A::pictureNumber, 9999},
        {"TRANSLATION = 3", &A::translation, 3}, {"TRANSLATION = 4", &A::translation, 0},  // 4 choices
        {"TRANSLATION = -1", &A::translation, 0}, {"GRID STEP = 60", &A::gridStep, 40},
        {"GRID STEP = 1", &A::gridStep, 4},      {"SHOW GRID = 2", &A::showGrid, 1},
    };
    for (const auto& [line, field, expected] : configCases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(readText(std::string(line) + "\r\n", 4).config.*field, expected);
    }
}

TEST(ConfigFileRead, LongLinesAndFormatsAreCut) {
    // 14 + 113 = 127 kept characters; the blanks do not count, the rest is a line of its own.
    const Loaded loaded = readText("WORK DIRECTORY = " + std::string(113, 'a') + "WIDTH=500\r\n" +
                                   "TIME FORMAT = H:M:S:H:M:S:H:M:S\r\n");
    EXPECT_EQ(loaded.config.workDirectory, std::string(113, 'a'));
    EXPECT_EQ(loaded.setup.width, 500);
    EXPECT_EQ(loaded.setup.timeFormat, "H:M:S:H:M:S:H:M");  // 15 characters
}

TEST(ConfigFileWrite, WritesTheKeysInOrderWithCrLf) {
    TempDir dir;
    LabelSetup setup;
    setup.width = 608;
    setup.leftMargin = -16;
    setup.offset = -8;
    setup.orientation = 1;
    setup.labelGap = 0;
    AppConfig config;
    config.port = 2;
    config.baudIndex = 2;
    config.pictureNumber = 42;
    config.translation = 3;
    config.showGrid = 1;
    config.gridStep = 16;
    ASSERT_TRUE(writeConfiguration(dir / "ZREDITW.CFG", setup, config));
    EXPECT_EQ(fileText(dir / "ZREDITW.CFG"),
              "WIDTH = 608\r\nLENGTH = 200\r\nLEFT MARGIN = -16\r\nTOP MARGIN = 0\r\nOFFSET = -8\r\n"
              "ORIENTATION = 1\r\nDARKNESS = 8\r\nSPEED = 4\r\nLANGUAGE = 0\r\nLABEL GAP = 0\r\n"
              "PAPER TYPE = 0\r\nPORT = 3\r\nBAUDS = 9600\r\nPROTOCOL = 0\r\nDIRECT GRAPHICS = 0\r\n"
              "PICTURE NUMBER = 42\r\nTRANSLATION = 3\r\nSHOW GRID = 1\r\nGRID STEP = 16\r\n"
              "TOOLBAR POS = 0\r\nDATE FORMAT = DD-MN-Y4\r\nTIME FORMAT = H:M:S\r\nWORK DIRECTORY = \r\n");
}

TEST(ConfigFileWrite, WhatIsWrittenReadsBackTheSame) {
    TempDir dir;
    LabelSetup setup;
    setup.offset = -8;
    setup.topMargin = -40;
    setup.darkness = 15;
    setup.dateFormat = "Y4/MN/DD";
    setup.timeFormat = "H.M";
    AppConfig config;
    config.port = 7;
    config.baudIndex = 0;
    config.protocol = 1;
    config.directGraphics = 1;
    config.toolbarLeft = 1;
    config.workDirectory = "/srv/labels\r\n2024";  // a line break must not start a new line
    ASSERT_TRUE(writeConfiguration(dir / "sub" / "ZREDITW.CFG", setup, config));  // folder created

    LabelSetup readSetup;
    AppConfig readConfig;
    ASSERT_TRUE(readConfiguration(dir / "sub" / "ZREDITW.CFG", readSetup, readConfig, 2));
    EXPECT_EQ(readSetup, setup);
    config.workDirectory = "/srv/labels2024";
    EXPECT_EQ(readConfig, config);
}

// The old file must survive any failed write, and no temporary file may be left behind.
class ConfigFileFailedWrite : public ::testing::Test {
protected:
    void SetUp() override { test::writeFile(path, oldText); }
    void expectOldFileIntact() {
        EXPECT_EQ(fileText(path), oldText);
        int entries = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path())) ++entries;
        EXPECT_EQ(entries, 1);
    }
    TempDir dir;
    fs::path path = dir / "ZREDITW.CFG";
    const std::string oldText = "WIDTH = 500\r\n";
};

TEST_F(ConfigFileFailedWrite, DiskFullMidwayKeepsTheOldFile) {
    // A file size limit makes write() fail part way, even for root.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ConfigWriteResult result = writeConfiguration(path, LabelSetup{}, AppConfig{});
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.message.empty());
    expectOldFileIntact();
}

// Root ignores permission bits, so as root the write runs in a child that gives them up.
bool writeFails(const fs::path& path) {
    if (geteuid() != 0) return !writeConfiguration(path, LabelSetup{}, AppConfig{});
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        _exit(writeConfiguration(path, LabelSetup{}, AppConfig{}) ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(ConfigFileFailedWrite, UnwritableFolderOrReadOnlyFileKeepsTheOldFile) {
    using fs::perms;
    fs::permissions(dir.path(), perms::all);
    fs::permissions(path, perms::owner_read | perms::group_read | perms::others_read);
    EXPECT_TRUE(writeFails(path));
    fs::permissions(path, perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
    fs::permissions(dir.path(), perms::owner_read | perms::owner_exec | perms::group_read | perms::group_exec |
                                    perms::others_read | perms::others_exec);
    EXPECT_TRUE(writeFails(path));
    fs::permissions(dir.path(), perms::owner_all);
    expectOldFileIntact();
}

}  // namespace
}  // namespace tavrin
