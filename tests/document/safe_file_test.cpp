// Replacing a file's contents never turns a link or a device into a plain file, nor
// overrides a file's protection, and a replacement that fails leaves the old file whole.
// Every file the program writes goes through it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "document/safe_file.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

TEST(SafeFile, LinksKeepPointingAndDevicesStayDevices) {
    test::TempDir dir;
    const test::Bytes bytes = {'n', 'e', 'w'};
    test::writeFile(dir / "target", test::Bytes{'o', 'l', 'd', '!'});
    std::filesystem::create_symlink("target", dir / "link");
    ASSERT_TRUE(replaceFileContents(dir / "link", bytes));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_EQ(test::readFile(dir / "target"), bytes);

    // A pipe (as a device would) gets the bytes written into it and stays a pipe.
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const int reader = ::open((dir / "pipe").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(replaceFileContents(dir / "pipe", bytes));
    struct stat after {};
    ASSERT_EQ(::stat((dir / "pipe").c_str(), &after), 0);
    EXPECT_TRUE(S_ISFIFO(after.st_mode));
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 3);
    EXPECT_EQ(std::string(got, 3), "new");
    ::close(reader);
    EXPECT_FALSE(replaceFileContents(dir.path(), bytes));  // a folder is never replaced
}

TEST(SafeFile, AFileItsOwnerMadeReadOnlyIsNotReplaced) {
    test::TempDir dir;
    // Anyone may write the folder, so only the file's own protection stands in the way.
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    test::writeFile(dir / "kept", "old");
    ::chmod((dir / "kept").c_str(), 0444);
    EXPECT_EQ(test::asUnprivileged([&] { return replaceFileContents(dir / "kept", "new") ? "replaced" : "refused"; }),
              "refused");
    EXPECT_EQ(test::readText(dir / "kept"), "old");
}

// A write that fails part way (a file size limit, as a full disk would, and even for root)
// or cannot start (a folder that cannot be written) leaves the old file and nothing beside it.
TEST(SafeFile, AFailedReplacementKeepsTheOldFileAndLeavesNoTemporary) {
    test::TempDir dir;
    const auto path = dir / "kept";
    test::writeFile(path, "old");
    const auto expectOldFileAlone = [&] {
        EXPECT_EQ(test::readText(path), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    };
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit small{64, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool replaced = static_cast<bool>(replaceFileContents(path, std::string(1000, 'n')));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(replaced);
    expectOldFileAlone();
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_EQ(test::asUnprivileged([&] { return replaceFileContents(path, "new") ? "replaced" : "refused"; }),
              "refused");
    ::chmod(dir.path().c_str(), 0700);
    expectOldFileAlone();
}

}  // namespace
}  // namespace tavrin
