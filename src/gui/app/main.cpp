// tavrin-label-editor [FILE.qlb] [--port-device N=DEVICE] [--new-instance] [--exit-after-start]
#include <QApplication>
#include <QStringList>

#include "app/main_window.h"
#include "app/single_instance.h"

#include <cstdio>
#include <cstring>

#ifndef TAVRIN_VERSION
#define TAVRIN_VERSION "1.12"
#endif

namespace {
constexpr const char* kUsage =
    "usage: tavrin-label-editor [FILE.qlb] [--port-device N=DEVICE] [--new-instance]\n"
    "  FILE.qlb              the label to open (a running editor is handed it)\n"
    "  --port-device N=DEV   Com N opens DEV for this run, e.g. 1=/dev/ttyUSB0\n"
    "  --new-instance        start another editor instead of handing over to the running one\n"
    "  -h, --help            this text;  -V, --version  the version\n";
}  // namespace

int main(int argc, char** argv) {
    // Answered before the window system is needed, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-V") == 0) {
            std::printf("tavrin-label-editor (TAVRIN Label Editor) %s\n", TAVRIN_VERSION);
            return 0;
        }
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(tavrin::TZRedit::kApplicationTitle);
    QApplication::setApplicationVersion(TAVRIN_VERSION);

    tavrin::StartupOptions options{tavrin::ProgramPaths::forThisProcess(argv[0]), {}, {},
                                   tavrin::RecoveryStore::defaultFolder()};
    bool newInstance = false;
    bool exitAfterStart = false;  // start-up timing and smoke tests
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--new-instance") {
            newInstance = true;
        } else if (argument == "--exit-after-start") {
            exitAfterStart = true;
        } else if (argument == "--port-device" && i + 1 < arguments.size()) {
            // N=DEVICE: Com N opens DEVICE for this run (the virtual printer of `make run`).
            const QString value = arguments[++i];
            const qsizetype equals = value.indexOf('=');
            bool ok = false;
            const int port = value.left(equals).toInt(&ok);
            if (equals > 0 && ok) options.sessionPortDevices[port] = value.mid(equals + 1).toStdString();
        } else if (options.commandLineLabel.isEmpty()) {
            options.commandLineLabel = argument;
        }
    }

    tavrin::SingleInstance instance;
    if (!newInstance) {
        if (instance.askRunningInstance(options.commandLineLabel)) return 0;
        instance.listen();
    }

    tavrin::TZRedit window(options);
    QObject::connect(&instance, &tavrin::SingleInstance::raiseRequested, &window, [&window](const QString& fileName) {
        window.showNormal();
        window.raise();
        window.activateWindow();
        window.openHandedOverFile(fileName);
    });
    if (exitAfterStart) QObject::connect(&window, &tavrin::TZRedit::startedUp, &application, &QApplication::quit);
    window.show();
    return application.exec();
}
