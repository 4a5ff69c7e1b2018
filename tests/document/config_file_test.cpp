// ZREDITW.CFG reading and writing, and where it lives. Fixtures are typed by hand as the file's text.
#include <unistd.h>

#include <gtest/gtest.h>

#include "document/config_file.h"
#include "document/program_paths.h"
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

Loaded readText(std::optional<std::string> text, int translationChoiceCount = 2) {
    TempDir dir;
    if (text) test::writeFile(dir / "ZREDITW.CFG", *text);
    Loaded loaded;
    loaded.opened = readConfiguration(dir / "ZREDITW.CFG", loaded.setup, loaded.config, translationChoiceCount);
    return loaded;
}

TEST(ConfigFileRead, BlanksAndControlBytesAreDroppedAndKeysIgnoreCase) {
    const auto [opened, s, c] = readText(
        "left margin = 20\r\n"
        "  Top\tMargin=\x01 -30 \r\n"
        "width = 1 = 400\n"           // the value follows the last "="
        "LENGTH 500\r\n"              // no "=": skipped
        "COLOUR = 5\r\n"              // unknown key
        "= 300\r\n"
        "\r\n"
        "Date Format = dd/mn/y3\r\n"  // copied without the format check
        "WORK DIRECTORY = /home/ann/my labels\r\n"
        "com3 device = /dev/ttyACM1\r\nCOM9 DEVICE = /dev/x\r\noem code page = CP437\r\n"
        "offset = -8");               // last line without a line end
    EXPECT_TRUE(opened);
    EXPECT_EQ((std::array{s.leftMargin, s.topMargin, s.width, s.length, s.offset}), (std::array{20, -30, 400, 200, -8}));
    EXPECT_EQ(s.dateFormat, "dd/mn/y3");
    EXPECT_EQ(c.workDirectory, "/home/ann/mylabels");
    EXPECT_EQ(c.portDevices, (std::array<std::string, kPortCount>{"", "", "/dev/ttyACM1"}));
    EXPECT_EQ(c.oemCodePage, "CP437");
    EXPECT_EQ(c.ansiCodePage, "");
    EXPECT_FALSE(readText(std::nullopt).opened);  // no file: nothing read
}

TEST(ConfigFileRead, ValuesAreClampedAsTheTableSays) {
    using S = LabelSetup;
    const std::tuple<const char*, int S::*, int> setupCases[] = {
        {"WIDTH = 10", &S::width, 80}, {"WIDTH = 700", &S::width, 608}, {"WIDTH = ", &S::width, 80},
        {"WIDTH = 99999999999999", &S::width, 608}, {"WIDTH = -99999999999999", &S::width, 80},
        {"LENGTH = 300mm", &S::length, 300}, {"LENGTH = 2000", &S::length, 1640},
        {"LEFT MARGIN = -700", &S::leftMargin, -608}, {"TOP MARGIN = 1700", &S::topMargin, 1640},
        {"OFFSET = -200", &S::offset, -80}, {"OFFSET = +12", &S::offset, 12}, {"ORIENTATION = -5", &S::orientation, 1},
        {"DARKNESS = 16", &S::darkness, 15}, {"DARKNESS = -1", &S::darkness, 15}, {"SPEED = -3", &S::speed, 6},
        {"LABEL GAP = 101", &S::labelGap, 100},
        {"PAPER TYPE = -1", &S::paperType, 2}, {"LANGUAGE = 3", &S::language, 3}, {"LANGUAGE = 7", &S::language, 0}};
    for (const auto& [line, field, expected] : setupCases)
        EXPECT_EQ(readText(std::string(line) + "\r\n").setup.*field, expected) << line;
    using A = AppConfig;
    const std::tuple<const char*, int A::*, int> configCases[] = {
        {"PORT = 0", &A::port, 7}, {"PORT = 1", &A::port, 0}, {"PORT = 8", &A::port, 7}, {"PORT = 9", &A::port, 7},
        {"BAUDS = 19200", &A::baudIndex, 3}, {"BAUDS = 9601", &A::baudIndex, 2},
        {"PICTURE NUMBER = 12345", &A::pictureNumber, 2345},
        {"PICTURE NUMBER = -5", &A::pictureNumber, 9999}, {"TRANSLATION = 3", &A::translation, 3},
        {"TRANSLATION = 4", &A::translation, 0} /* of 4 choices */, {"TRANSLATION = -1", &A::translation, 0},
        {"GRID STEP = 60", &A::gridStep, 40}, {"GRID STEP = 1", &A::gridStep, 4}, {"SHOW GRID = 2", &A::showGrid, 1}};
    for (const auto& [line, field, expected] : configCases)
        EXPECT_EQ(readText(std::string(line) + "\r\n", 4).config.*field, expected) << line;
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
    ASSERT_TRUE(writeConfiguration(dir / "ZREDITW.CFG",
                                   {.width = 608, .leftMargin = -16, .offset = -8, .orientation = 1, .labelGap = 0},
                                   {.port = 2, .baudIndex = 2, .pictureNumber = 42, .translation = 3, .showGrid = 1,
                                    .gridStep = 16, .workDirectory = {}}));
    EXPECT_EQ(test::readText(dir / "ZREDITW.CFG"),
              "WIDTH = 608\r\nLENGTH = 200\r\nLEFT MARGIN = -16\r\nTOP MARGIN = 0\r\nOFFSET = -8\r\n"
              "ORIENTATION = 1\r\nDARKNESS = 8\r\nSPEED = 4\r\nLANGUAGE = 0\r\nLABEL GAP = 0\r\n"
              "PAPER TYPE = 0\r\nPORT = 3\r\nBAUDS = 9600\r\nPROTOCOL = 0\r\nDIRECT GRAPHICS = 0\r\n"
              "PICTURE NUMBER = 42\r\nTRANSLATION = 3\r\nSHOW GRID = 1\r\nGRID STEP = 16\r\n"
              "TOOLBAR POS = 0\r\nDATE FORMAT = DD-MN-Y4\r\nTIME FORMAT = H:M:S\r\nWORK DIRECTORY = \r\n");
}

TEST(ConfigFileWrite, WhatIsWrittenReadsBackTheSame) {
    TempDir dir;
    const LabelSetup setup{.topMargin = -40, .offset = -8, .darkness = 15, .dateFormat = "Y4/MN/DD", .timeFormat = "H.M"};
    AppConfig config{.port = 7, .baudIndex = 0, .protocol = 1, .directGraphics = 1, .toolbarLeft = 1,
                     .workDirectory = "/srv/labels\r\n2024",  // a line break must not start a new line
                     .portDevices = {{"/dev/ttyUSB0", "", "", "", "", "", "", "/tmp/printer"}},
                     .ansiCodePage = "CP1252"};
    ASSERT_TRUE(writeConfiguration(dir / "sub" / "ZREDITW.CFG", setup, config));  // folder created
    EXPECT_TRUE(test::readText(dir / "sub" / "ZREDITW.CFG").ends_with(  // devices last, only those set
        "WORK DIRECTORY = /srv/labels2024\r\nCOM1 DEVICE = /dev/ttyUSB0\r\nCOM8 DEVICE = /tmp/printer\r\n"
        "ANSI CODE PAGE = CP1252\r\n"));
    Loaded back;
    ASSERT_TRUE(readConfiguration(dir / "sub" / "ZREDITW.CFG", back.setup, back.config, 2));
    EXPECT_EQ(back.setup, setup);
    config.workDirectory = "/srv/labels2024";
    EXPECT_EQ(back.config, config);
}

// A failure is reported with the file (a read-only file, a folder that cannot be written, or a
// replacement that fails part way, is the safe file's test).
TEST(ConfigFileWrite, AFailedWriteIsReportedWithTheFile) {
    TempDir dir;
    test::writeFile(dir / "file", "x");
    const fs::path underAFile = dir / "file" / "ZREDITW.CFG";
    const Result result = writeConfiguration(underAFile, {}, {});
    EXPECT_EQ(result.kind(), FailureKind::CannotWrite);
    EXPECT_EQ(result.message(), "Can't write " + underAFile.string() + ": Not a directory");
    EXPECT_EQ(test::readText(dir / "file"), "x");
}

struct Folders {
    TempDir root;
    fs::path program = root / "bin", data = root / "data", user = root / "config" / "tavrin-label-editor";
    Folders() {
        for (const auto& folder : {program, data, user}) fs::create_directories(folder);
    }
    ProgramPaths paths() const { return ProgramPaths(program, data, user); }
};

TEST(ProgramPaths, SettingsAreTheUsersUnlessTheInstallationIsPortable) {
    Folders f;
    // A file beside an installed program is somebody else's: neither read nor written.
    test::writeFile(f.program / "ZREDITW.CFG", "WIDTH = 400\r\n");
    EXPECT_EQ(f.paths().configWritePath(), f.user / "ZREDITW.CFG");
    EXPECT_EQ(f.paths().configReadPath(), f.user / "ZREDITW.CFG");
    EXPECT_EQ(ProgramPaths(f.program, f.data, f.user, true).configWritePath(), f.program / "ZREDITW.CFG");
    EXPECT_EQ(ProgramPaths(f.program, f.data, {}).configWritePath(), fs::path()) << "no home: nothing kept";
    EXPECT_FALSE(writeConfiguration({}, {}, {}));

    // Portable: a settings file already there, in a folder of this user's outside the system's.
    EXPECT_TRUE(ProgramPaths::portableFolder(f.program));
    EXPECT_FALSE(ProgramPaths::portableFolder(f.data)) << "no settings file there";
    const auto portableForOthers = [&] {
        return test::asUnprivileged([&] { return ProgramPaths::portableFolder(f.program) ? "yes" : "no"; });
    };
    fs::permissions(f.root.path(), fs::perms::others_exec, fs::perm_options::add);  // nobody may look in
    if (geteuid() == 0) {
        EXPECT_EQ(portableForOthers(), "no") << "the folder is root's, not nobody's";
    }
    for (const char* folder : {"/usr/bin", "/usr/local/bin", "/bin", "/opt/tavrin/bin", "/usr/lib/../bin", "/"})
        EXPECT_TRUE(ProgramPaths::systemFolder(folder)) << folder;
    for (const fs::path& folder : {f.program, fs::path("/home/ann/tavrin")})
        EXPECT_FALSE(ProgramPaths::systemFolder(folder)) << folder;
}

TEST(ProgramPaths, TranslationFilesAreSortedByNameAndCountedOnce) {
    Folders f;
    for (const char* name : {"B.TRN", "a.trn", "notes.txt"}) test::writeFile(f.program / name, "p");
    fs::create_directories(f.program / "D.TRN");  // a folder, not a table
    for (const char* name : {"B.TRN", "A.TRN"}) test::writeFile(f.data / name, "d");
    const std::vector<fs::path> expected = {f.data / "A.TRN", f.program / "B.TRN", f.program / "a.trn"};
    EXPECT_EQ(f.paths().translationFiles(), expected);
}

TEST(ProgramPaths, DataFilesBesideTheProgramComeFirst) {
    Folders f;
    EXPECT_EQ(f.paths().residentFontPath(), f.program / "ZREDIT.FNT");  // named even when missing
    for (const auto& folder : {f.data, f.program}) {
        test::writeFile(folder / "ZREDIT.FNT", "x");
        fs::create_directories(folder / "help");
        EXPECT_EQ(f.paths().residentFontPath(), folder / "ZREDIT.FNT");
        EXPECT_EQ(f.paths().helpFolder(), folder / "help");
    }
}

TEST(ProgramPaths, FoldersOfTheRunningProgram) {
    using test::ScopedEnv;
    EXPECT_EQ(ProgramPaths::findProgramFolder(nullptr), fs::canonical(fs::path(TAVRIN_BINARY_DIR) / "tests"));
    {
        ScopedEnv data("TAVRIN_DATA_DIR", "/opt/labels/data");
        EXPECT_EQ(ProgramPaths::findDataFolder("/usr/bin"), fs::path("/opt/labels/data"));
    }
    {
        ScopedEnv data("TAVRIN_DATA_DIR", nullptr);
        EXPECT_EQ(ProgramPaths::findDataFolder("/no/such/bin"), fs::path(TAVRIN_SOURCE_DATA_DIR));
        ScopedEnv xdg("XDG_CONFIG_HOME", "/home/ann/.cfg");
        EXPECT_EQ(ProgramPaths::findUserConfigFolder(), fs::path("/home/ann/.cfg/tavrin-label-editor"));
    }
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr), home("HOME", "/home/ann");
    EXPECT_EQ(ProgramPaths::findUserConfigFolder(), fs::path("/home/ann/.config/tavrin-label-editor"));
}

}  // namespace
}  // namespace tavrin
