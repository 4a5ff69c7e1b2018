#pragma once
// The editor's windows driven as a user would: one main window in a folder of its own, and
// one driver for the modal windows the code under test opens.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "app/main_window.h"
#include "render/canvas.h"
#include "support/test_support.h"

namespace tavrin::test {

inline void click(QWidget* window, const char* button) {
    auto* found = window->findChild<QAbstractButton*>(button);
    ASSERT_NE(found, nullptr) << button;
    found->click();
}

inline void type(QWidget* window, const char* edit, const QString& text) {
    auto* found = window->findChild<QLineEdit*>(edit);
    ASSERT_NE(found, nullptr) << edit;
    found->setText(text);
}

// The sample label the program ships.
inline const QString kSampleLabel = QString::fromStdString(kSample);

// A label font file of the characters A, B and C, each one byte wide with 4 dots of ink in
// each of its 16 rows.
inline Bytes threeLetterFont() {
    Bytes font = {3, 0, 16};
    for (std::uint8_t code : {'A', 'B', 'C'}) {
        font.insert(font.end(), {code, 8, 1});
        font.insert(font.end(), 16, 0x3C);
    }
    return font;
}

// Acts in the modal windows the code under test opens, in order, each as soon as it is the
// active modal window: by pressing a button of that name in whatever window shows it, or by
// running `act` in the window of that object name (and message text, when given). A window
// a failed action left open is closed, so a failing test never hangs.
class OnModal {
public:
    using Act = std::function<void(QWidget*)>;

    explicit OnModal(const char* button) : OnModal() { add({{}, button, {}, {}}); }
    OnModal(QString objectName, Act act, QString text = {}) : OnModal() {
        then(std::move(objectName), std::move(act), std::move(text));
    }
    OnModal(const OnModal&) = delete;
    OnModal& operator=(const OnModal&) = delete;

    OnModal& then(QString objectName, Act act, QString text = {}) {
        add({std::move(objectName), {}, std::move(text), std::move(act)});
        return *this;
    }

    // Every step has acted.
    bool ran() const { return steps_.empty(); }
    // The caption and message text of the window last acted in.
    const QString& title() const { return title_; }
    const QString& text() const { return text_; }

private:
    OnModal() { QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); }); }

    struct Step {
        QString objectName;
        QString button;
        QString text;
        Act act;
    };

    void add(Step step) {
        steps_.push_back(std::move(step));
        if (!timer_.isActive()) timer_.start(10);
    }

    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (steps_.empty() || modal == nullptr || !modal->isVisible()) return;
        const Step& step = steps_.front();
        if (!step.objectName.isEmpty() && modal->objectName() != step.objectName) return;
        auto* message = modal->findChild<QLabel*>("MsgText");
        if (!step.text.isEmpty() && (message == nullptr || message->text() != step.text)) return;
        QAbstractButton* button = nullptr;
        if (!step.button.isEmpty()) {
            button = modal->findChild<QAbstractButton*>(step.button);
            if (button == nullptr || !button->isVisible()) return;
        }
        title_ = modal->windowTitle();
        text_ = message != nullptr ? message->text() : QString();
        Act act = button != nullptr ? Act([pressed = QPointer<QAbstractButton>(button)](QWidget*) {
            if (pressed) pressed->click();
        })
                                    : step.act;
        steps_.pop_front();
        const auto run = [window = QPointer<QWidget>(modal), act] {
            if (window == nullptr) return;
            act(window.data());
            auto* dialog = qobject_cast<QDialog*>(window.data());
            if (dialog != nullptr && dialog->isVisible() && ::testing::Test::HasFailure()) dialog->reject();
        };
        if (!steps_.empty()) {
            // This timer does not fire again while its own handler runs: acted on from the
            // event loop, the window the action opens can be answered by the next step.
            QTimer::singleShot(0, modal, run);
            return;
        }
        timer_.stop();
        run();
    }

    std::deque<Step> steps_;
    QTimer timer_;
    QString title_;
    QString text_;
};

// A main window in a folder of its own, its file dialogs answered with chosenFile.
class EditorWindowFixture {
public:
    struct Start {
        QString label;  // the program's argument
        std::filesystem::path data = TAVRIN_SOURCE_DATA_DIR;
        std::map<int, std::string> portDevices;  // --port-device
        bool recovery = false;
    };

    EditorWindowFixture() : programFolder(path("program")) { std::filesystem::create_directories(programFolder); }

    std::filesystem::path path(const std::string& name) const {
        return std::filesystem::path(folder.path().toStdString()) / name;
    }

    std::unique_ptr<TZRedit> start(const Start& how) {
        StartupOptions options{ProgramPaths(programFolder, how.data, programFolder / "user"), how.label, how.portDevices,
                               how.recovery ? programFolder / "recovery" : std::filesystem::path()};
        auto window = std::make_unique<TZRedit>(options);
        const auto answer = [this](QWidget*, const QString& title, auto...) {
            askedTitle = title;
            return chosenFile;
        };
        window->setFileChooser({answer, answer});
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }
    std::unique_ptr<TZRedit> start() { return start(Start{}); }
    std::unique_ptr<TZRedit> start(const QString& label) {
        Start how;
        how.label = label;
        return start(how);
    }

    QTemporaryDir folder;
    std::filesystem::path programFolder;
    QString chosenFile;
    QString askedTitle;  // the title the last file dialog was asked for
};

#ifdef TAVRIN_PRINTER_SIM_EXE
// The same, with the virtual printer on Com1: for the windows whose point is the exchange.
class PrinterWindowFixture : public EditorWindowFixture {
public:
    explicit PrinterWindowFixture(std::vector<std::string> options = {}) {
        // The printer is known by a name of this test's own, which goes when it stops: its
        // /dev/pts number is handed to the next terminal any other test opens, and a window
        // still using it would talk to that test's printer.
        printerDevice = path("printer").string();
        options.insert(options.end(), {"--link", printerDevice});
        simulator = std::make_unique<SimulatorProcess>(TAVRIN_PRINTER_SIM_EXE, path("sim"), options);
    }

    // Com1 is pointed at the simulator unless the test reads the configuration as it came.
    std::unique_ptr<TZRedit> start(bool useSimulator = true) {
        auto window = EditorWindowFixture::start();
        if (useSimulator) {
            window->config().port = 0;
            window->config().portDevices[0] = printerDevice;
        }
        return window;
    }

    // What the simulator logged as received command lines ("< LINE").
    std::string received() const { return readText(path("sim") / "received.log"); }

    std::unique_ptr<SimulatorProcess> simulator;
    std::string printerDevice;  // Com1's device
};
#endif

}  // namespace tavrin::test

namespace tavrin::test {

// The control of that object name in a window; a failure when there is none.
template <typename T = QWidget>
T* child(QWidget* window, const char* name) {
    auto* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// A left-button drag from one point of a widget to another, with a move between.
inline void drag(QWidget* widget, QPoint from, QPoint to) {
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
}

// The print image of the window's label as it stands.
inline Bitmap printImage(TZRedit& window) {
    LabelDocument label = window.session().document();
    RenderContext context = window.session().renderContext();
    context.document = &label;
    return renderPrintImage(label, context);
}

}  // namespace tavrin::test
