// Recovery copies: one per editor, found again after the editor died, claimed by one start.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "document/recent_files.h"
#include "editing/recovery.h"
#include "editing/undo_history.h"

namespace tavrin {
namespace {

// The number of a process that has ended.
int deadProcessId() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return static_cast<int>(child);
}

LabelDocument labelWith(int x) {
    LabelDocument document;
    document.figures.appendFigure(RectangleRecord{x, 10, 20, 20, kColourBlack}.encode(), FigureKind::Rectangle);
    return document;
}

TEST(Recovery, CopiesOfDeadEditorsAreFoundClaimedOnceAndRestoredExactly) {
    const auto folder = std::filesystem::path(testing::TempDir()) / "recovery-test";
    std::filesystem::remove_all(folder);
    const int dead = deadProcessId();

    RecoveryStore running(folder, static_cast<int>(getpid()));
    ASSERT_TRUE(running.write(labelWith(1), "/labels/running.qlb", 100));
    RecoveryStore crashed(folder, dead);
    ASSERT_TRUE(crashed.write(labelWith(2), "/labels/crashed.qlb", 200));
    ASSERT_TRUE(crashed.write(labelWith(3), "/labels/crashed.qlb", 300)) << "a later copy replaces the earlier";

    RecoveryStore starting(folder, deadProcessId());
    const auto orphans = starting.orphans();
    ASSERT_EQ(orphans.size(), 1u) << "a running editor's copy is not an orphan";
    EXPECT_EQ(std::tuple(orphans[0].processId, orphans[0].sourceFile, orphans[0].savedAt),
              std::tuple(dead, "/labels/crashed.qlb", std::time_t{300}));

    const auto claimed = starting.claim(orphans[0]);
    ASSERT_TRUE(claimed);
    RecoveryStore other(folder, deadProcessId());
    EXPECT_FALSE(other.claim(orphans[0])) << "two starts never share a copy";

    LabelDocument restored;
    ASSERT_TRUE(RecoveryStore::restore(*claimed, restored));
    EXPECT_TRUE(sameLabel(restored, labelWith(3)));
    RecoveryStore::discard(*claimed);
    running.remove();
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST(RecentFiles, NewestFirstOnceEachAtMostEight) {
    const auto file = std::filesystem::path(testing::TempDir()) / "recent-test" / "recent-labels";
    std::filesystem::remove_all(file.parent_path());
    RecentFiles recent(file);
    for (int i = 0; i < 10; ++i) recent.add("/labels/" + std::to_string(i) + ".qlb");
    recent.add("/labels/5.qlb");
    recent.add("/bad\nname.qlb");
    ASSERT_TRUE(recent.save());
    RecentFiles again(file);
    again.load();
    // The name with a line break is not kept; 1 and 0 fall off the end.
    EXPECT_EQ(again.files(), (std::vector<std::string>{"/labels/5.qlb", "/labels/9.qlb", "/labels/8.qlb", "/labels/7.qlb",
                                                       "/labels/6.qlb", "/labels/4.qlb", "/labels/3.qlb", "/labels/2.qlb"}));
}

}  // namespace
}  // namespace tavrin
