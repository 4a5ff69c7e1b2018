// tavrin-label as a new user types it: --help and --version, "-" for standard input and
// output, and failures that say which file or device and why.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "support/test_support.h"

namespace tavrin {
namespace {

const std::string kSample = TAVRIN_SOURCE_DIR "/data/samples/sample.qlb";

// The command names `tavrin-label help` lists, so that commands added later are covered.
std::vector<std::string> listedCommands() {
    const auto r = test::runProgram(TAVRIN_LABEL_EXE, {"help"});
    std::vector<std::string> names;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        const std::string prefix = "  tavrin-label ";
        if (line.rfind(prefix, 0) != 0) continue;
        const std::string name = line.substr(prefix.size(), line.find(' ', prefix.size()) - prefix.size());
        if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') names.push_back(name);
    }
    return names;
}

TEST(CommandLineConventions, EveryCommandAnswersHelpWithItsUsage) {
    const auto names = listedCommands();
    ASSERT_GE(names.size(), 10u);
    for (const std::string& name : names) {
        for (const char* flag : {"-h", "--help"}) {
            const auto r = test::runProgram(TAVRIN_LABEL_EXE, {name, flag});
            EXPECT_EQ(r.exitCode, 0) << name << " " << flag << ": " << r.err;
            EXPECT_EQ(r.out.rfind("usage: tavrin-label " + name, 0), 0u) << name << " " << flag << ": " << r.out;
        }
    }
    // Sub-commands of printer too, without a printer being asked anything.
    const auto r = test::runProgram(TAVRIN_LABEL_EXE, {"printer", "--port", "/nonexistent/tty", "list", "--help"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("list forms|graphics|fonts"), std::string::npos) << r.out;
}

TEST(CommandLineConventions, VersionAndUnknownCommands) {
    for (const char* flag : {"--version", "-V"}) {
        const auto r = test::runProgram(TAVRIN_LABEL_EXE, {flag});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out.rfind("tavrin-label (TAVRIN Label Editor) 1.", 0), 0u) << r.out;
    }
    const auto r = test::runProgram(TAVRIN_LABEL_EXE, {"--verison"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("unknown command \"--verison\""), std::string::npos) << r.err;
}

// Runs a shell command line; the exit status.
int shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CommandLineConventions, DashReadsStandardInputAndWritesStandardOutput) {
    test::TempDir dir;
    const std::string exe = TAVRIN_LABEL_EXE;
    const std::string in = "'" + kSample + "'";
    const auto path = [&](const char* name) { return "'" + (dir / name).string() + "'"; };
    const struct {
        const char* what;
        std::string throughStreams;  // the same work with "-" for the files ...
        std::string throughFiles;    // ... and with named files
        const char* streamOut;
        const char* fileOut;
    } cases[] = {
        {"render", exe + " render - --print -o - < " + in + " > " + path("a.png"),
         exe + " render " + in + " --print -o " + path("b.png"), "a.png", "b.png"},
        {"export-form", exe + " export-form - -o - < " + in + " > " + path("a.ejf"),
         exe + " export-form " + in + " -o " + path("b.ejf"), "a.ejf", "b.ejf"},
        {"commands", exe + " commands - --print -o - < " + in + " > " + path("a.cmd"),
         exe + " commands " + in + " --print -o " + path("b.cmd"), "a.cmd", "b.cmd"},
        {"import-form", exe + " import-form - -o - < " + path("b.ejf") + " > " + path("a.qlb"),
         exe + " import-form " + path("b.ejf") + " -o " + path("b.qlb"), "a.qlb", "b.qlb"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(shell(c.throughFiles), 0) << c.what;
        ASSERT_EQ(shell(c.throughStreams), 0) << c.what;
        const std::string viaStreams = test::readText(dir / c.streamOut);
        EXPECT_FALSE(viaStreams.empty()) << c.what;
        EXPECT_EQ(viaStreams, test::readText(dir / c.fileOut)) << c.what;
    }
    // info names standard input as its file and is otherwise the same.
    ASSERT_EQ(shell(exe + " info - < " + in + " > " + path("a.json")), 0);
    const auto named = test::runProgram(exe, {"info", kSample});
    std::string fromStdin = test::readText(dir / "a.json");
    const std::string dashField = "\"file\": \"-\"";
    ASSERT_NE(fromStdin.find(dashField), std::string::npos) << fromStdin;
    fromStdin.replace(fromStdin.find(dashField), dashField.size(), "\"file\": \"" + kSample + "\"");
    EXPECT_EQ(fromStdin, named.out);
    // Nothing is left behind in the temporary folder for standard input or output.
    const std::string tmp = (dir / "tmp").string();
    std::filesystem::create_directory(tmp);
    ASSERT_EQ(shell("TMPDIR='" + tmp + "' " + exe + " render - -o - < " + in + " > /dev/null"), 0);
    EXPECT_TRUE(std::filesystem::is_empty(tmp));
    // Empty standard input is a damaged label like any other.
    EXPECT_NE(shell(exe + " info - < /dev/null 2> " + path("err")), 0);
    EXPECT_NE(test::readText(dir / "err").find("Invalid label file: standard input"), std::string::npos)
        << test::readText(dir / "err");
}

TEST(CommandLineConventions, FailuresNameTheFileOrDeviceAndTheReason) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "folder.qlb");
    const std::string missing = (dir / "missing.qlb").string();
    const std::string noFolder = (dir / "no" / "such" / "out.ejf").string();
    const std::string folder = (dir / "folder.qlb").string();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"info", missing}, "Can't open input file: " + missing + " (No such file or directory)"},
        {{"render", missing, "-o", (dir / "x.png").string()},
         "Can't open input file: " + missing + " (No such file or directory)"},
        {{"export-form", folder, "-o", (dir / "x.ejf").string()}, folder + " (Is a directory)"},
        {{"export-form", kSample, "-o", noFolder}, "Can't open output file: " + noFolder + " (No such file or directory)"},
        {{"import-form", missing, "-o", (dir / "x.qlb").string()}, missing + " (No such file or directory)"},
        {{"printer", "--port", (dir / "ttyUSB9").string(), "list", "forms"},
         "Can't open communication port " + (dir / "ttyUSB9").string() + ": No such file or directory"},
        {{"printer", "--port", "/dev/null", "memory"}, "Can't open communication port /dev/null: not a serial port"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto r = test::runProgram(TAVRIN_LABEL_EXE, arguments);
        EXPECT_NE(r.exitCode, 0) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << "wanted: " << message << "\ngot: " << r.err;
    }
}

}  // namespace
}  // namespace tavrin
