// Where the configuration, the resident font, the translation tables and the help live.
#include "document/program_paths.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr) ::setenv(name, value, 1);
        else ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Runs `query` as it is for an ordinary user: directly, or as root in a child process that
// becomes "nobody", since root ignores permission bits.
template <class Query>
fs::path asUnprivileged(Query query) {
    if (geteuid() != 0) return query();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        const std::string answer = query().string();
        _exit(write(pipeEnds[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size()) ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::string answer;
    char chunk[256];
    for (ssize_t n; (n = read(pipeEnds[0], chunk, sizeof chunk)) > 0;) answer.append(chunk, static_cast<std::size_t>(n));
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
    return answer;
}

struct Folders {
    TempDir root;
    fs::path program = root / "bin";
    fs::path data = root / "data";
    fs::path user = root / "config" / "tavrin-label-editor";
    Folders() {
        fs::create_directories(program);
        fs::create_directories(data);
        fs::create_directories(user);
    }
    ProgramPaths paths() const { return ProgramPaths(program, data, user); }
};

TEST(ProgramPaths, ConfigurationGoesBesideTheProgramWhenItsFolderIsWritable) {
    Folders f;
    EXPECT_EQ(f.paths().configWritePath(), f.program / "ZREDITW.CFG");
    EXPECT_EQ(f.paths().configReadPath(), f.program / "ZREDITW.CFG");  // neither exists yet

    test::writeFile(f.user / "ZREDITW.CFG", "WIDTH = 500\r\n");
    EXPECT_EQ(f.paths().configReadPath(), f.user / "ZREDITW.CFG");  // the only one there is
    test::writeFile(f.program / "ZREDITW.CFG", "WIDTH = 400\r\n");
    EXPECT_EQ(f.paths().configReadPath(), f.program / "ZREDITW.CFG");
}

TEST(ProgramPaths, ConfigurationGoesToTheUserFolderWhenTheProgramFolderIsNotWritable) {
    Folders f;
    const ProgramPaths missingFolder(f.root / "no-such-folder", f.data, f.user);
    EXPECT_FALSE(missingFolder.programFolderWritable());
    EXPECT_EQ(missingFolder.configWritePath(), f.user / "ZREDITW.CFG");

    // As root the folder's permissions are checked by a child that gives up root.
    test::writeFile(f.program / "ZREDITW.CFG", "WIDTH = 400\r\n");
    fs::permissions(f.program, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const auto readPath = [&] { return asUnprivileged([&] { return f.paths().configReadPath(); }); };
    EXPECT_EQ(readPath(), f.program / "ZREDITW.CFG");  // shipped beside the program
    test::writeFile(f.user / "ZREDITW.CFG", "WIDTH = 500\r\n");
    EXPECT_EQ(readPath(), f.user / "ZREDITW.CFG");  // what the user saved wins
    fs::permissions(f.program, fs::perms::owner_all);
}

TEST(ProgramPaths, TranslationFilesAreSortedByNameAndCountedOnce) {
    Folders f;
    test::writeFile(f.program / "B.TRN", "p");
    test::writeFile(f.program / "a.trn", "p");
    test::writeFile(f.program / "notes.txt", "p");
    fs::create_directories(f.program / "D.TRN");  // a folder, not a table
    test::writeFile(f.data / "B.TRN", "d");
    test::writeFile(f.data / "A.TRN", "d");
    const std::vector<fs::path> expected = {f.data / "A.TRN", f.program / "B.TRN", f.program / "a.trn"};
    EXPECT_EQ(f.paths().translationFiles(), expected);
}

TEST(ProgramPaths, DataFilesBesideTheProgramComeFirst) {
    Folders f;
    EXPECT_EQ(f.paths().residentFontPath(), f.program / "ZREDIT.FNT");  // named even when missing
    test::writeFile(f.data / "ZREDIT.FNT", "d");
    fs::create_directories(f.data / "help");
    EXPECT_EQ(f.paths().residentFontPath(), f.data / "ZREDIT.FNT");
    EXPECT_EQ(f.paths().helpFolder(), f.data / "help");
    test::writeFile(f.program / "ZREDIT.FNT", "p");
    fs::create_directories(f.program / "help");
    EXPECT_EQ(f.paths().residentFontPath(), f.program / "ZREDIT.FNT");
    EXPECT_EQ(f.paths().helpFolder(), f.program / "help");
}

TEST(ProgramPaths, FoldersOfTheRunningProgram) {
    EXPECT_EQ(ProgramPaths::findProgramFolder(nullptr), fs::canonical(fs::path(TAVRIN_BINARY_DIR) / "tests"));
    {
        ScopedEnv data("TAVRIN_DATA_DIR", "/opt/labels/data");
        EXPECT_EQ(ProgramPaths::findDataFolder("/usr/bin"), fs::path("/opt/labels/data"));
    }
    {
        ScopedEnv data("TAVRIN_DATA_DIR", nullptr);
        EXPECT_EQ(ProgramPaths::findDataFolder("/no/such/bin"), fs::path(TAVRIN_SOURCE_DATA_DIR));
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/home/ann/.cfg");
        EXPECT_EQ(ProgramPaths::findUserConfigFolder(), fs::path("/home/ann/.cfg/tavrin-label-editor"));
    }
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", "/home/ann");
    EXPECT_EQ(ProgramPaths::findUserConfigFolder(), fs::path("/home/ann/.config/tavrin-label-editor"));
}

}  // namespace
}  // namespace tavrin
