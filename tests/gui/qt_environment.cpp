// The GUI suite's one application object, and its ear on Qt: a warning the editor causes
// (a caption without "[*]", a bad connection, a layout set twice) fails the running test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QString>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <memory>

namespace tavrin {
namespace {

// Said by Qt itself about the test platform, whatever the application does.
bool outsideOurControl(const QString& message) {
    // The offscreen platform has no window manager to pass size hints to.
    return message.contains("This plugin does not support");
}

QtMessageHandler defaultHandler = nullptr;

void failOnWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    defaultHandler(type, context, message);
    if ((type == QtWarningMsg || type == QtCriticalMsg) && !outsideOurControl(message))
        ADD_FAILURE() << "Qt " << (type == QtWarningMsg ? "warning" : "critical") << ": " << message.toStdString();
}

// One application object for the whole suite, as the program has: Qt objects expect it,
// and a process may hold only one. Windows go off screen when no platform is chosen.
struct QtApplicationEnvironment : testing::Environment {
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // A session's runtime folder, which Qt warns about when a test runner has none.
        if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
            runtime = (std::filesystem::temp_directory_path() / ("test_gui-runtime-" + std::to_string(getpid()))).string();
            std::filesystem::create_directories(runtime);
            std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
            setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        }
        defaultHandler = qInstallMessageHandler(failOnWarnings);
        application = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override {
        application.reset();
        qInstallMessageHandler(defaultHandler);
        if (!runtime.empty()) std::filesystem::remove_all(runtime);
    }
    std::string runtime;
    char name[9] = "test_gui";
    char* argv[2] = {name, nullptr};
    int argc = 1;
    std::unique_ptr<QApplication> application;
};
[[maybe_unused]] testing::Environment* const environment = testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
}  // namespace tavrin
