// help-pictures OUT_DIR LABEL.qlb: pictures of the editor's windows for the help pages.
// Each window is opened the way the user opens it, grabbed once it is on screen, and
// closed again; windows not built into this editor are left out. Run it through
// scripts/help-pictures, which also makes the PNGs small.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <vector>

#include "app/main_window.h"
#include "tools/picture_browser.h"

namespace {

using namespace tavrin;

// The window that opened last: the modal one, else a visible dialog (the floating toolbar
// is a window of its own and is not one).
QWidget* openedWindow(const QWidget* mainWindow) {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != mainWindow && w->isVisible() && qobject_cast<QDialog*>(w) != nullptr) found = w;
    return found;
}

// The main window with the windows that belong to it on screen (the floating toolbar),
// drawn where they stand.
QPixmap grabWithToolbar(QWidget& mainWindow) {
    QRect area = mainWindow.frameGeometry();
    std::vector<QWidget*> parts{&mainWindow};
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == &mainWindow || !w->isVisible() || qobject_cast<QDialog*>(w) != nullptr) continue;
        parts.push_back(w);
        area = area.united(w->frameGeometry());
    }
    QPixmap picture(area.size());
    picture.fill(QColor(0x80, 0x80, 0x80));
    QPainter painter(&picture);
    for (QWidget* w : parts) painter.drawPixmap(w->geometry().topLeft() - area.topLeft(), w->grab());
    return picture;
}

// Opens a window with `open`, saves its picture as OUT_DIR/name.png and closes it.
bool capture(const QString& folder, const QString& name, const QWidget* mainWindow, const std::function<void()>& open) {
    bool done = false;
    bool saved = false;
    QTimer::singleShot(600, [&] {
        QWidget* window = openedWindow(mainWindow);
        if (window != nullptr) {
            saved = window->grab().save(folder + "/" + name + ".png");
            if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->reject();
            else window->close();
        }
        done = true;
    });
    open();
    while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("%s %s\n", saved ? "made" : "could not make", qPrintable(name + ".png"));
    return saved;
}

const Figure* firstOfKind(TZRedit& window, FigureKind kind) {
    for (const Figure& figure : window.session().document().figures)
        if (figure.kind == kind) return &figure;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: help-pictures OUT_DIR LABEL.qlb\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    // A program folder of its own, so the pictures show the default settings.
    QTemporaryDir home;
    const std::filesystem::path programFolder = home.path().toStdString();
    StartupOptions options{ProgramPaths(programFolder, ProgramPaths::findDataFolder(programFolder), programFolder),
                           QString::fromLocal8Bit(argv[2]), {}, {}};
    TZRedit window(options);
    bool started = false;
    QObject::connect(&window, &TZRedit::startedUp, [&started] { started = true; });
    window.show();
    while (!started) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    int failures = 0;
    const auto grabMain = [&](const QString& name) {
        QCoreApplication::processEvents();
        if (!grabWithToolbar(window).save(folder + "/" + name + ".png")) ++failures;
        std::printf("made %s.png\n", qPrintable(name));
    };
    grabMain("editor");

    const struct {
        FigureKind kind;
        const char* name;
    } figures[] = {{FigureKind::Text, "text"},         {FigureKind::Barcode, "barcode"},
                   {FigureKind::Rectangle, "rectangle"}, {FigureKind::DiagonalLine, "line"},
                   {FigureKind::Box, "box"},           {FigureKind::Picture, "picture"}};
    for (const auto& f : figures) {
        const Figure* figure = firstOfKind(window, f.kind);
        if (figure == nullptr) continue;
        if (!capture(folder, f.name, &window, [&] { window.editFigure(figure); })) ++failures;
    }

    // Menu items whose windows this editor has; an item still disabled is skipped.
    window.selectAll();
    const struct {
        const char* action;
        const char* name;
    } items[] = {{"LabelSetupM", "setup"},   {"AlignM", "align"},       {"EditfromListM", "object-list"},
                 {"VariablesM", "variables"}, {"SettingsM", "settings"}, {"ColorBWM", "converter"},
                 {"TtfToQftM", "truetype"},   {"TestPrintM", "test-print"}};
    for (const auto& item : items) {
        QAction* action = window.action(item.action);
        if (action == nullptr || !action->isEnabled()) {
            std::printf("skipped %s.png: %s is not available\n", item.name, item.action);
            continue;
        }
        if (!capture(folder, item.name, &window, [action] { action->trigger(); })) ++failures;
    }
    window.unselectAll();

    TOpenPictDlg browser({".BMP", ".PCX", ".PNG"}, &window);
    browser.showFolder(QString::fromStdString((options.paths.dataFolder() / "samples").string()));
    if (!capture(folder, "picture-browser", &window, [&browser] { browser.exec(); })) ++failures;

    window.session().markSaved();
    window.close();
    return failures == 0 ? 0 : 1;
}
