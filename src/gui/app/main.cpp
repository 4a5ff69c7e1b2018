// tavrin-label-editor [FILE.qlb] [--port-device N=DEVICE] [--new-instance] [--exit-after-start]
#include <QApplication>
#include <QStringList>

#include "app/main_window.h"
#include "app/single_instance.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(tavrin::TZRedit::kApplicationTitle);
    QApplication::setApplicationVersion("1.12");

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
