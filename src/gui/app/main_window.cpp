#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

#include "app/help_window.h"
#include "app/message_box.h"
#include "app/qt_link_ui.h"
#include "app/qt_serial_transport.h"
#include "app/toolbar.h"
#include "document/config_file.h"
#include "document/label_file.h"
#include "editor/figure_dialogs.h"
#include "editor/label_view.h"
#include "link/port_names.h"
#include "link/transport_factory.h"

namespace tavrin {

namespace {
// The place where Qt shows "*" while the label has unsaved changes.
QString titleWithModifiedMark(const char* title) { return QString(title) + "[*]"; }
}  // namespace

TZRedit::TZRedit(StartupOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      recent_(options_.paths.userConfigFolder().empty() ? std::filesystem::path()
                                                         : options_.paths.userConfigFolder() / kRecentFilesName) {
    setObjectName("ZRedit");
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(titleWithModifiedMark(kApplicationTitle));
    // A quarter of the desktop's width and height in from its top left corner, three quarters
    // of it in size.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->availableGeometry();
        setGeometry(desktop.left() + desktop.width() / 8, desktop.top() + desktop.height() / 8,
                    desktop.width() * 3 / 4, desktop.height() * 3 / 4);
    }
    startUp();
}

TZRedit::~TZRedit() = default;

void TZRedit::startUp() {
    const ProgramPaths& paths = options_.paths;
    const std::vector<std::filesystem::path> translationFiles = paths.translationFiles();

    // A label named on the command line is opened only when it carries the label file's magic.
    if (!options_.commandLineLabel.isEmpty() &&
        fileHasLabelFileMagic(std::filesystem::path(options_.commandLineLabel.toStdString())))
        commandLineLabel_ = options_.commandLineLabel;

    LabelSetup setup;
    readConfiguration(paths.configReadPath(), setup, config_, kTranslationFirstFile + int(translationFiles.size()));
    // Devices given for this run only are put back before the configuration is written.
    savedPortDevices_ = config_.portDevices;
    for (const auto& [port, device] : options_.sessionPortDevices)
        if (port >= 1 && port <= kPortCount) config_.portDevices[static_cast<std::size_t>(port - 1)] = device;

    configureCodePages(translation_, config_);
    config_.translation = translation_.load(config_.translation, translationFiles);

    fontLoadResult_ = residentFonts_.load(paths.residentFontPath());
    if (fontLoadResult_ != 0) commandLineLabel_.clear();

    session_ = std::make_unique<EditorSession>(&residentFonts_, config_.pictureNumber);
    LabelDocument first;
    first.setup = setup;
    first.resetVariables();
    session_->startLabel(std::move(first));

    // The message window and every dialog are made once and reused.
    setMessageBoxMainWindow(this);
    textDialog_ = new TTextDlg(this);
    barcodeDialog_ = new TBarcodeDlg(this);
    rectangleDialog_ = new TBarDlg(this);
    boxDialog_ = new TBoxDlg(this);
    lineDialog_ = new TLineDlg(this);
    setupDialog_ = new TSetupDlg(this);
    alignDialog_ = new TAlignDlg(this);

    view_ = new LabelView(*session_, this);
    setCentralWidget(view_);
    session_->setChangeListener([this] {
        view_->labelResized();
        updateActions();
    });
    // The client area never gets smaller than 400 x 300 pixels.
    view_->setMinimumSize(400, 300);
    toolbar_ = new TZRToolbar(this);
    toolbar_->setMainWindow(this);
    setMessageBoxLabelTopSource([this] { return view_->image()->mapToGlobal(QPoint(0, 0)).y(); });

    transport_ = std::make_unique<DeviceTransport>([](std::chrono::milliseconds ioTimeout) {
        auto serial = std::make_unique<QtSerialTransport>();
        serial->setIoTimeout(ioTimeout);
        return serial;
    });
    linkUi_ = std::make_unique<QtLinkUi>(&sharedMessageBox());
    link_ = std::make_unique<PrinterLink>(*transport_, *linkUi_);

    recent_.load();
    buildCommands();
    rebuildRecentMenu();
    connectView();
    applyCanvasOptions();
    resizeLabelView();
    session_->resetHistory();
    placementEnabled_ = true;
    toolbar_->setFollowing(true);
    updateActions();

    if (!options_.recoveryFolder.empty()) {
        recovery_ = std::make_unique<RecoveryStore>(options_.recoveryFolder, static_cast<int>(QCoreApplication::applicationPid()));
        recoveryTimer_ = new QTimer(this);
        recoveryTimer_->setInterval(30'000);
        connect(recoveryTimer_, &QTimer::timeout, this, &TZRedit::writeRecoveryCopy);
        recoveryTimer_->start();
    }

    startTimer_ = new QTimer(this);
    startTimer_->setObjectName("StartTimer");
    startTimer_->setSingleShot(true);
    startTimer_->setInterval(100);
    connect(startTimer_, &QTimer::timeout, this, &TZRedit::StartTimerTimer);
}

void TZRedit::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    setWindowTitle(titleWithModifiedMark(kCaption));
    if (!commandLineLabel_.isEmpty()) openLabelFile(commandLineLabel_);
    startTimer_->start();
}

void TZRedit::StartTimerTimer() {
    startTimer_->stop();
    action("LeftToolbarM")->setChecked(config_.toolbarLeft != 0);
    action("GridM")->setChecked(config_.showGrid != 0);
    placeToolbar();
    if (action("ToolbarM")->isChecked()) toolbar_->show();
    activateWindow();
    setFocus();
    if (fontLoadResult_ == 0) {
        offerRecovery();
        emit startedUp();
        return;
    }
    const QString path = QString::fromStdString(options_.paths.residentFontPath().string());
    if (fontLoadResult_ == 1)
        messageBox("Error", QString("Can't open font file %1").arg(path), false);
    else
        messageBox("Error", "Can't allocate font memory", false);
    closingAfterFontError_ = true;
    close();
}

void TZRedit::closeEvent(QCloseEvent* event) {
    if (!closingAfterFontError_ && !maySpoilChanges()) {
        event->ignore();
        return;
    }
    // Settings of this run go back to the configuration; devices given for this run only do not.
    config_.showGrid = session_->canvasOptions().showGrid ? 1 : 0;
    AppConfig written = config_;
    written.portDevices = savedPortDevices_;
    writeConfiguration(options_.paths.configWritePath(), session_->document().setup, written);
    // Closed cleanly: whatever was not saved, the user chose to drop.
    if (recovery_) recovery_->remove();
    placementEnabled_ = false;
    toolbar_->setFollowing(false);
    link_->closePort();
    toolbar_->hide();
    event->accept();
}

PrinterLink& TZRedit::link() {
    link_->setSettings({config_.port, config_.baudIndex, config_.protocol});
    applyPortDevices(*link_, portDevicesFrom(config_));
    return *link_;
}

EditorServices TZRedit::services() {
    return {*session_,
            config_,
            translation_,
            [this]() -> PrinterLink& { return link(); },
            [this] { return maySpoilChanges(); },
            [this](LabelDocument label) {
                view_->scrollToOrigin();
                session_->startLabel(std::move(label));
            },
            [this](const QString& title, const QString& filter, const QString& extension) {
                return chooseSaveFile(title, filter, extension);
            },
            [this](QWidget* parent, const QString& title, const QString& filter) {
                return chooseOpenFile(title, filter, parent);
            },
            [this] { return currentFile_; }};
}

void TZRedit::setPortDevice(int portIndex, const std::string& device) {
    if (portIndex < 0 || portIndex >= kPortCount) return;
    const auto index = static_cast<std::size_t>(portIndex);
    config_.portDevices[index] = device;
    savedPortDevices_[index] = device;
}

int TZRedit::reloadTranslation() {
    config_.translation = translation_.load(config_.translation, options_.paths.translationFiles());
    return config_.translation;
}

// The toolbar follows the window by itself; only the label's place beside it is ours.
void TZRedit::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (placementEnabled_) placeLabel();
}

void TZRedit::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (placementEnabled_) placeLabel();
}

void TZRedit::placeToolbar() {
    if (toolbar_ == nullptr || view_ == nullptr) return;
    toolbar_->setToolbarLeft(config_.toolbarLeft != 0);
    toolbar_->placeToolbar();
    placeLabel();
}

void TZRedit::placeLabel() {
    if (view_ == nullptr) return;
    // A toolbar placed inside at the left would cover the label: the label moves out of its way.
    const bool besideToolbar = config_.toolbarLeft != 0 && frameGeometry().left() < 68;
    view_->setLabelOrigin(besideToolbar ? QPoint(72, 4) : QPoint(4, 4));
}

void TZRedit::resizeLabelView() {
    session_->redraw();
    view_->labelResized();
}

void TZRedit::applyCanvasOptions() {
    CanvasOptions& options = session_->canvasOptions();
    options.showGrid = config_.showGrid != 0;
    options.gridStep = std::clamp(config_.gridStep, kMinGridStep, kMaxGridStep);
}

void TZRedit::redrawAll() {
    session_->redraw();
    view_->imageChanged();
}

void TZRedit::configurationChanged() { redrawAll(); }

void TZRedit::keyPressEvent(QKeyEvent* event) {
    int dx = 0, dy = 0;
    switch (event->key()) {
        case Qt::Key_Escape:
            session_->mouse().setCancelFlag();
            return;
        case Qt::Key_Left: dx = -1; break;
        case Qt::Key_Right: dx = 1; break;
        case Qt::Key_Up: dy = -1; break;
        case Qt::Key_Down: dy = 1; break;
        default: QMainWindow::keyPressEvent(event); return;
    }
    if (session_->mouse().dragging()) return;
    const int step = (event->modifiers() & Qt::ShiftModifier) != 0 ? session_->canvasOptions().gridStep : 1;
    if (session_->mouse().nudgeSelection(dx * step, dy * step)) {
        nudging_ = true;
        redrawAll();
    }
}

void TZRedit::keyReleaseEvent(QKeyEvent* event) {
    // A key held down moves in many small steps; it is undone as one.
    if (nudging_ && !event->isAutoRepeat()) {
        nudging_ = false;
        session_->commit();
        updateActions();
    }
    QMainWindow::keyReleaseEvent(event);
}

void TZRedit::setRecoveryInterval(int milliseconds) {
    if (recoveryTimer_ != nullptr) recoveryTimer_->start(milliseconds);
}

void TZRedit::writeRecoveryCopy() {
    if (!recovery_) return;
    if (!session_->modified()) {
        recovery_->remove();
        lastRecovered_ = LabelDocument{};
        return;
    }
    if (sameLabel(session_->document(), lastRecovered_)) return;
    if (recovery_->write(session_->document(), currentFile_.toStdString(), std::time(nullptr)))
        lastRecovered_ = session_->document();
}

bool TZRedit::offerRecovery() {
    if (!recovery_) return false;
    bool restored = false;
    for (const RecoveryCopy& orphan : recovery_->orphans()) {
        const std::optional<RecoveryCopy> copy = recovery_->claim(orphan);
        if (!copy) continue;
        if (restored) {
            // One label at a time: a second copy waits for the next start.
            continue;
        }
        const QString from = copy->sourceFile.empty() ? QString("a new label")
                                                        : QString::fromStdString(copy->sourceFile);
        const QString when = QDateTime::fromSecsSinceEpoch(copy->savedAt).toString("yyyy-MM-dd HH:mm:ss");
        LabelDocument kept = session_->document();
        if (messageBox("Warning", QString("Restore the unsaved changes to %1 kept at %2?").arg(from, when), true) == 1 &&
            RecoveryStore::restore(*copy, kept)) {
            session_->startLabel(std::move(kept));
            session_->markUnsaved();
            currentFile_ = QString::fromStdString(copy->sourceFile);
            updateActions();
            lastRecovered_ = LabelDocument{};
            writeRecoveryCopy();
            restored = true;
        } else {
            RecoveryStore::discard(*copy);
        }
    }
    return restored;
}

void TZRedit::showHelp() {
    const std::filesystem::path index = options_.paths.helpFolder() / "index.html";
    if (!std::filesystem::exists(index)) {
        messageBox("Error", QString("Can't open help file %1").arg(QString::fromStdString(index.string())), false);
        return;
    }
    auto* help = findChild<HelpWindow*>();
    if (help == nullptr) help = new HelpWindow(options_.paths.helpFolder(), this);
    help->show();
    help->raise();
    help->activateWindow();
}

}  // namespace tavrin
