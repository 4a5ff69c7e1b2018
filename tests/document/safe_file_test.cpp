// Replacing a file's contents never turns a link or a device into a plain file, nor
// overrides a file's protection.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace
}  // namespace tavrin
