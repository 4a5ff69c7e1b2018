#pragma once
// Drives the printer windows against tavrin-printer-sim: a main window whose Com1 is the
// simulator, and a way to act inside the next modal window once it is on screen.
#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>

#include "app/main_window.h"
#include "support/test_support.h"

namespace tavrin::test {

// Runs `act` once inside the modal window of that object name (with a text, only the message
// window showing it), as soon as it is the active modal window; `act` closes it when done.
class OnModal {
public:
    OnModal(QString objectName, std::function<void(QWidget*)> act, QString text = {})
        : name_(std::move(objectName)), text_(std::move(text)), act_(std::move(act)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(10);
    }
    bool ran() const { return ran_; }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible() || modal->objectName() != name_) return;
        if (!text_.isEmpty()) {
            auto* label = modal->findChild<QLabel*>("MsgText");
            if (label == nullptr || label->text() != text_) return;
        }
        timer_.stop();
        ran_ = true;
        act_(modal);
    }

    QString name_;
    QString text_;
    std::function<void(QWidget*)> act_;
    QTimer timer_;
    bool ran_ = false;
};

class PrinterWindowFixture {
public:
    explicit PrinterWindowFixture(std::vector<std::string> options = {}) {
        programFolder = std::filesystem::path(folder.path().toStdString()) / "program";
        std::filesystem::create_directories(programFolder);
        // The printer is known by a name of this test's own, which goes when it stops: its
        // /dev/pts number is handed to the next terminal any other test opens, and a window
        // still using it would talk to that test's printer.
        printerDevice = path("printer").string();
        options.insert(options.end(), {"--link", printerDevice});
        simulator = std::make_unique<SimulatorProcess>(TAVRIN_PRINTER_SIM_EXE, path("sim"), options);
    }

    std::filesystem::path path(const std::string& name) const {
        return std::filesystem::path(folder.path().toStdString()) / name;
    }

    // Com1 is pointed at the simulator unless the test reads the configuration as it came.
    std::unique_ptr<TZRedit> start(bool useSimulator = true) {
        StartupOptions options{ProgramPaths(programFolder, TAVRIN_SOURCE_DATA_DIR, programFolder / "user"), {}, {}};
        auto window = std::make_unique<TZRedit>(options);
        window->setFileChooser({[this](auto...) { return chosenFile; }, [this](auto...) { return chosenFile; }});
        if (useSimulator) {
            window->config().port = 0;
            window->config().portDevices[0] = printerDevice;
        }
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    // What the simulator logged as received command lines ("< LINE").
    std::string received() const { return readText(path("sim") / "received.log"); }

    QTemporaryDir folder;
    std::filesystem::path programFolder;
    std::unique_ptr<SimulatorProcess> simulator;
    std::string printerDevice;  // Com1's device
    QString chosenFile;
};

}  // namespace tavrin::test
