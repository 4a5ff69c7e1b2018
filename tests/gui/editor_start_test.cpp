// The editor's command line: what it accepts, and how the program starts from it — usage
// errors and a missing display end it before any window or hand-off.
#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include <unistd.h>

#include "app/editor_arguments.h"
#include "app/single_instance.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

TEST(EditorArguments, OptionsTakeTheirValueEitherWayAndMistakesAreNamed) {
    struct Case {
        std::vector<std::string> arguments;
        std::string error;  // a part of the message; empty: accepted
    };
    const Case cases[] = {
        {{"--port-device", "1=/dev/ttyUSB0", "shelf.qlb", "--new-instance"}, ""},
        {{"--port-device=2=tcp://127.0.0.1:9100", "--portable"}, ""},
        {{"--", "-odd name.qlb"}, ""},
        {{"--port-device", "9=/dev/x"}, "--port-device: \"9=/dev/x\""},
        {{"--port-device", "1="}, "--port-device: \"1=\""},
        {{"--port-device"}, "--port-device needs a value"},
        {{"--new-instance=yes"}, "--new-instance takes no value"},
        {{"a.qlb", "b.qlb"}, "\"b.qlb\""},
    };
    for (const Case& c : cases) {
        const EditorArguments parsed = parseEditorArguments(c.arguments);
        if (c.error.empty()) {
            EXPECT_EQ(parsed.error, "") << c.arguments.front();
        } else {
            EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
        }
    }
    const EditorArguments first = parseEditorArguments(cases[0].arguments);
    EXPECT_EQ(first.label, "shelf.qlb");
    EXPECT_EQ(first.portDevices, (std::map<int, std::string>{{1, "/dev/ttyUSB0"}}));
    EXPECT_TRUE(first.newInstance);
    const EditorArguments second = parseEditorArguments(cases[1].arguments);
    EXPECT_EQ(second.portDevices, (std::map<int, std::string>{{2, "tcp://127.0.0.1:9100"}}));
    EXPECT_TRUE(second.portable);
    EXPECT_EQ(parseEditorArguments(cases[2].arguments).label, "-odd name.qlb");
}

// The program itself, as a second start beside an editor listening for this display.
TEST(EditorProgram, StartsOnlyWithAGoodCommandLineAndADisplay) {
    test::TempDir home;
    const test::ScopedEnv homeEnv("HOME", home.path().c_str()), config("XDG_CONFIG_HOME", nullptr);
    const test::ScopedEnv wayland("WAYLAND_DISPLAY", nullptr), display("DISPLAY", ":77");
    SingleInstance running(SingleInstance::sessionName(getuid(), "", ":77"));
    ASSERT_TRUE(running.listen());
    QStringList handed;
    QObject::connect(&running, &SingleInstance::raiseRequested, [&](const QString& file) { handed << file; });
    const auto start = [](std::vector<std::string> arguments) { return test::runProgram(TAVRIN_EDITOR_EXE, arguments); };

    for (const auto& arguments : {std::vector<std::string>{"shelf.qlb", "--bogus"}, {"--port-device", "9", "shelf.qlb"}}) {
        const test::CommandResult refused = start(arguments);
        EXPECT_EQ(refused.exitCode, 2) << refused.err;
        EXPECT_NE(refused.err.find("usage:"), std::string::npos);
        EXPECT_NE(refused.err.find(arguments[1]), std::string::npos) << "names the mistake: " << refused.err;
    }
    const test::CommandResult handOver = start({"shelf.qlb"});
    EXPECT_EQ(handOver.exitCode, 0) << handOver.err;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !handed.isEmpty(); }, 5000));
    EXPECT_EQ(handed, QStringList{QDir::current().absoluteFilePath("shelf.qlb")}) << "only the good start handed over";

    const test::ScopedEnv noDisplay("DISPLAY", nullptr), defaultPlatform("QT_QPA_PLATFORM", nullptr);
    const test::CommandResult headless = start({"shelf.qlb"});
    EXPECT_EQ(headless.exitCode, 1);
    EXPECT_NE(headless.err.find("No display"), std::string::npos) << headless.err;
    EXPECT_NE(headless.err.find("tavrin-label"), std::string::npos) << "points scripts to the command line";
}

}  // namespace
}  // namespace tavrin
