// tavrin-label-editor [FILE.qlb] [--port-device N=DEVICE] [--new-instance] [--portable]
#include <QApplication>

#include "app/editor_arguments.h"
#include "app/hand_off.h"
#include "app/main_window.h"
#include "app/single_instance.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kNoDisplay =
    "tavrin-label-editor: No display: the editor needs a graphical session (DISPLAY or WAYLAND_DISPLAY); "
    "for scripts use tavrin-label\n";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Qt's own platforms for X11 and Wayland need the session's display; offscreen, minimal,
// vnc, eglfs and the like do not.
bool displayMissing() {
    const std::string platform = environment("QT_QPA_PLATFORM");
    const bool needsSession = platform.empty() || platform.starts_with("xcb") || platform.starts_with("wayland");
    return needsSession && environment("DISPLAY").empty() && environment("WAYLAND_DISPLAY").empty();
}

// A display that is named but cannot be reached makes Qt give up with a fatal message and an
// abort; the user gets the reason and a failure exit instead.
QtMessageHandler qtDefaultHandler = nullptr;
void startupMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        qtDefaultHandler(type, context, message);
        return;
    }
    // Qt has said why just before; the user still needs to hear what to do.
    std::fprintf(stderr,
                 "tavrin-label-editor: Can't open the display \"%s\": the editor needs a graphical session "
                 "(DISPLAY or WAYLAND_DISPLAY); for scripts use tavrin-label\n",
                 environment("DISPLAY").c_str());
    std::fflush(stderr);
    ::_exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before the window system is needed: the usage, the version and usage errors
    // work without a display and never reach a running editor.
    const tavrin::EditorArguments arguments = tavrin::parseEditorArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!arguments.error.empty()) {
        std::fprintf(stderr, "tavrin-label-editor: %s\n%s", arguments.error.c_str(), tavrin::editorUsage().c_str());
        return 2;
    }
    if (arguments.help) {
        std::fputs(tavrin::editorUsage().c_str(), stdout);
        return 0;
    }
    if (arguments.version) {
        std::printf("tavrin-label-editor (TAVRIN Label Editor) %s\n", TAVRIN_VERSION);
        return 0;
    }
    if (displayMissing()) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }

    tavrin::ProgramPaths paths = tavrin::ProgramPaths::forThisProcess(argv[0], arguments.portable);
    if (arguments.portable && !paths.portable())
        std::fprintf(stderr, "tavrin-label-editor: %s is a system folder; the settings stay in %s\n",
                     paths.programFolder().c_str(), paths.configWritePath().c_str());

    // Qt sees only the program's name: the arguments are ours, and a label called "-style"
    // stays a label.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    qtDefaultHandler = qInstallMessageHandler(startupMessageHandler);
    QApplication application(qtArgc, qtArgv);
    qInstallMessageHandler(nullptr);
    QApplication::setApplicationName(tavrin::TZRedit::kApplicationTitle);
    QApplication::setApplicationVersion(TAVRIN_VERSION);

    const QString label = QString::fromLocal8Bit(arguments.label.c_str());
    tavrin::SingleInstance instance;
    if (!arguments.newInstance) {
        if (instance.askRunningInstance(label)) return 0;
        instance.listen();
    }

    tavrin::TZRedit window(tavrin::StartupOptions{std::move(paths), label, arguments.portDevices,
                                                  tavrin::RecoveryStore::defaultFolder()});
    tavrin::connectHandOff(instance, window);
    // Closed as a user would close it, so the settings are written as at any exit.
    if (arguments.exitAfterStart)
        QObject::connect(&window, &tavrin::TZRedit::startedUp, &window, &QWidget::close, Qt::QueuedConnection);
    window.show();
    return application.exec();
}
