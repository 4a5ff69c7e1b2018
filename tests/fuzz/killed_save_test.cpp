// A save killed at any moment: a child process saves two versions of a file in turn until it
// is killed at a random moment; the file must then read back as one of them, whole, and the
// next save must leave no temporary file of the killed one behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <thread>

#include "document/config_file.h"
#include "document/label_file.h"
#include "document/safe_file.h"
#include "printer/form_file.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using Clock = std::chrono::steady_clock;

// A label of a few hundred kilobytes: pictures of their own names carry their data in the
// file, so a save takes long enough to be killed in the middle of its writing.
LabelDocument largeLabel(std::uint8_t seed) {
    LabelDocument document;
    document.setup.width = 600 + seed;
    for (int p = 0; p < 8; ++p) {
        auto block = std::make_shared<PictureBlock>();
        block->bytes.assign(60000, static_cast<std::uint8_t>(seed + p));
        block->bytes[0] = 1;
        block->bytes[1] = 8;
        const PictureRecord record{.x = p, .y = p, .width = 64, .height = 100,
                                   .dataLength = static_cast<unsigned>(block->bytes.size()),
                                   .name = "PIC" + std::to_string(p)};
        document.figures.appendFigure(record.encode(), FigureKind::Picture).picture = std::move(block);
    }
    for (int t = 0; t < 400; ++t) {
        const TextRecord text{.x = t, .y = seed, .font = 1 + t % 5, .data = "\"text " + std::to_string(t) + "\""};
        document.figures.appendFigure(text.encode(), FigureKind::Text);
    }
    return document;
}

struct Kind {
    const char* name;
    std::function<bool(const std::filesystem::path&, int version)> save;
    std::function<std::string(int version)> expected;  // the file's bytes after a whole save
};

std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::string asText(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

void killSavesAtRandomMoments(const Kind& kind) {
    test::TempDir dir;
    const std::filesystem::path target = dir / "target";
    ASSERT_TRUE(kind.save(target, 0));
    const std::string versions[] = {kind.expected(0), kind.expected(1)};
    ASSERT_NE(versions[0], versions[1]);

    // How long one save takes here, so the kills spread over whole saves.
    const auto started = Clock::now();
    ASSERT_TRUE(kind.save(target, 1));
    ASSERT_TRUE(kind.save(target, 0));
    const auto perSave = std::max<long long>(
        50, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started).count() / 2);

    std::mt19937 random(20261206);
    // Forty kills, or fewer on a machine so busy that they take more than a few seconds.
    const auto deadline = Clock::now() + std::chrono::seconds(4);
    int rounds = 0, killedMidSave = 0;
    while (rounds < 40 && (rounds < 5 || Clock::now() < deadline)) {
        ++rounds;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Never outlives the test, even when the test itself is killed.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            const auto giveUp = Clock::now() + std::chrono::seconds(10);
            for (int version = 1; Clock::now() < giveUp; version ^= 1) kind.save(target, version);
            ::_exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(
            std::uniform_int_distribution<long long>(0, 3 * perSave)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        const auto bytes = readWholeFile(target);
        ASSERT_TRUE(bytes.has_value()) << kind.name << " round " << rounds;
        const std::string text = asText(*bytes);
        ASSERT_TRUE(text == versions[0] || text == versions[1])
            << kind.name << " round " << rounds << ": " << text.size() << " bytes";
        if (folderEntries(dir.path()).size() > 1) ++killedMidSave;

        // The next save clears what the killed one left and is whole itself.
        ASSERT_TRUE(kind.save(target, rounds % 2));
        ASSERT_EQ(folderEntries(dir.path()), std::vector<std::string>{"target"}) << kind.name << " round " << rounds;
        ASSERT_EQ(asText(test::readFile(target)), versions[rounds % 2]);
    }
    // Not a check of timing: it shows in the log how often a kill hit a save in the middle.
    std::printf("%s: %d kills, %d left a temporary file\n", kind.name, rounds, killedMidSave);
}

TEST(KilledSave, LabelFormAndConfigurationAreAlwaysOldOrNewAndNoTemporaryStays) {
    static const LabelDocument labels[] = {largeLabel(0), largeLabel(1)};
    static LabelSetup setups[2];
    static AppConfig configs[2];
    setups[1].width = 512;
    configs[1].workDirectory = std::string(100, 'w');
    static std::string forms[2];
    test::TempDir scratch;
    for (int v = 0; v < 2; ++v) {
        ASSERT_TRUE(saveAsForm(scratch / "form", labels[v]));
        forms[v] = test::readText(scratch / "form");
    }
    const Kind kinds[] = {
        {"label file", [](const std::filesystem::path& path, int v) { return static_cast<bool>(saveLabelFile(path, labels[v])); },
         [](int v) { return asText(encodeLabelFile(labels[v])); }},
        {"form file", [](const std::filesystem::path& path, int v) { return static_cast<bool>(saveAsForm(path, labels[v])); },
         [](int v) { return forms[v]; }},
        {"configuration",
         [](const std::filesystem::path& path, int v) { return static_cast<bool>(writeConfiguration(path, setups[v], configs[v])); },
         [](int v) { return formatConfiguration(setups[v], configs[v]); }},
    };
    for (const Kind& kind : kinds) killSavesAtRandomMoments(kind);
}

// A temporary file that a live save holds is never taken away by another save of the same
// target; one whose save is gone is.
TEST(KilledSave, OnlyTemporariesOfDeadSavesAreCleared) {
    test::TempDir dir;
    const std::filesystem::path target = dir / "a.qlb";
    const test::Bytes bytes = {'x'};
    ASSERT_TRUE(replaceFileContents(target, bytes));
    test::writeFile(dir / ".a.qlb.Zz09Qq", bytes);   // left by a killed save
    test::writeFile(dir / ".a.qlb.Zz09Q", bytes);    // not a name a save makes
    test::writeFile(dir / ".b.qlb.Zz09Qq", bytes);   // another target's
    test::writeFile(dir / "a.qlb.Zz09Qq", bytes);    // not hidden: the user's own file
    // One that a save still running holds locked, as every save holds its own.
    const int live = ::open((dir / ".a.qlb.Live01").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    ASSERT_TRUE(replaceFileContents(target, bytes));
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{".a.qlb.Live01", ".a.qlb.Zz09Q", ".b.qlb.Zz09Qq",
                                                                   "a.qlb", "a.qlb.Zz09Qq"}));
    ::close(live);
    ASSERT_TRUE(replaceFileContents(target, bytes));
    EXPECT_EQ(folderEntries(dir.path()),
              (std::vector<std::string>{".a.qlb.Zz09Q", ".b.qlb.Zz09Qq", "a.qlb", "a.qlb.Zz09Qq"}));
}

}  // namespace
}  // namespace tavrin
