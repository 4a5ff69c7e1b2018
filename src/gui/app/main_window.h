#pragma once
// TZRedit: the editor's frame. It owns the editing session and the label view, builds the
// menus, runs start-up and shut-down, and hands each command to the session or a dialog.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "app/command_table.h"
#include "app/editor_services.h"
#include "document/app_config.h"
#include "document/program_paths.h"
#include "document/recent_files.h"
#include "editing/editor_session.h"
#include "editing/recovery.h"
#include "link/printer_link.h"
#include "printer/translation.h"
#include "render/resident_font.h"

class QAction;
class QTimer;

namespace tavrin {

class LabelView;
class TZRToolbar;
class TTextDlg;
class TBarcodeDlg;
class TBarDlg;
class TBoxDlg;
class TLineDlg;
class TSetupDlg;
class TAlignDlg;
class QtLinkUi;
class DeviceTransport;

struct StartupOptions {
    explicit StartupOptions(ProgramPaths programPaths, QString label = {},
                            std::map<int, std::string> portDevices = {}, std::filesystem::path recovery = {})
        : paths(std::move(programPaths)),
          commandLineLabel(std::move(label)),
          sessionPortDevices(std::move(portDevices)),
          recoveryFolder(std::move(recovery)) {}

    ProgramPaths paths;
    QString commandLineLabel;  // the program's argument, if any
    // "--port-device N=DEVICE": the device Com N opens for this run only (not written back).
    std::map<int, std::string> sessionPortDevices;
    // Where recovery copies of unsaved labels are kept; empty keeps none.
    std::filesystem::path recoveryFolder;
};

class TZRedit : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Label Editor v 1.12";
    static constexpr const char* kApplicationTitle = "TAVRIN Label Editor";

    explicit TZRedit(StartupOptions options, QWidget* parent = nullptr);
    ~TZRedit() override;

    EditorSession& session() { return *session_; }
    AppConfig& config() { return config_; }
    const Translation& translation() const { return translation_; }
    LabelView* labelView() const { return view_; }
    TZRToolbar* toolbar() const { return toolbar_; }
    int fontLoadResult() const { return fontLoadResult_; }
    const QString& commandLineLabel() const { return commandLineLabel_; }
    // The label file last opened or saved; empty for a new label.
    const QString& currentFile() const { return currentFile_; }
    QAction* action(const char* objectName) const;
    CommandSet& commands() { return *commands_; }
    // The printer link of every exchange, set to the configuration's port, rate, protocol
    // and devices each time it is asked for; its progress and errors show in the message window.
    PrinterLink& link();
    // What the windows built on this one are handed instead of it.
    EditorServices services();
    QtLinkUi& linkUi() { return *linkUi_; }
    const ProgramPaths& paths() const { return options_.paths; }
    void setFileChooser(FileChooser chooser) { files_ = std::move(chooser); }
    const FileChooser& fileChooser() const { return files_; }
    // Picture figures have a dialog of their own, which installs itself here: drawing one
    // (at the press point) and editing one (right click).
    void setPictureHandlers(std::function<void(DotPoint press)> draw, std::function<void(const Figure*)> edit) {
        drawPicture_ = std::move(draw);
        editPicture_ = std::move(edit);
    }
    // Opens the figure's property dialog in edit mode; a confirmed change is one session edit.
    void editFigure(const Figure* figure);

    // The commands, as the menus and the toolbar run them.
    void newLabel();
    void openLabel();
    bool openLabelFile(const QString& fileName);  // command line and files hub: no dialog
    bool saveAsLabel();
    void saveAsForm();
    // From the menu without blocking the window; from the toolbar modally.
    void labelSetup(bool modal = true);
    void selectAll();
    void unselectAll();
    void copySelection();
    void pasteFigures();
    void deleteSelection();
    void alignToGrid();
    void moveToTop();
    void moveToBottom();
    void undo();
    void redo();
    void setTool(Tool tool);
    void setZoom(int zoom);
    void showHelp();
    // A file handed over by a second start of the program: opened after the question about
    // this window's own unsaved changes.
    void openHandedOverFile(const QString& fileName);
    void openRecentFile(const QString& fileName);
    const RecentFiles& recentFiles() const { return recent_; }
    // Writes the recovery copy now when the label has changes not in it yet.
    void writeRecoveryCopy();
    void setRecoveryInterval(int milliseconds);
    // Offers the copies of editors that ended without saving; true when one was restored.
    bool offerRecovery();

    // Asks "Save changes to the label?" when there are unsaved changes; false when the user
    // cancelled (or a save was cancelled or failed), so the caller must not go on.
    bool maySpoilChanges();

    // A setting that changes how the label looks (the translation): redraws it. Changes of
    // the label itself go through session().edit().
    void configurationChanged();
    void placeToolbar();
    void placeLabel();
    void resizeLabelView();
    // Enables Undo and Redo as the history allows and marks the caption when modified.
    void updateActions();
    std::vector<std::string> fontList() const;

    // The file dialogs of the windows built on this one: they start in the work directory.
    // The save dialog adds the extension when none is typed and asks before overwriting.
    QString chooseOpenFile(const QString& title, const QString& filter, QWidget* parent = nullptr);
    QString chooseSaveFile(const QString& title, const QString& filter, const QString& extension);
    // A device chosen in the settings: used at once and written to the configuration at exit.
    void setPortDevice(int portIndex, const std::string& device);
    // Loads the configuration's translation choice again; returns the choice in force.
    int reloadTranslation();

signals:
    // The start timer has run: the window and its toolbar are on screen.
    void startedUp();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void startUp();
    void StartTimerTimer();
    CommandTable frameCommands();
    void buildCommands();
    void connectView();
    void openNewFigureDialog(FigureKind kind, DotPoint press, DotPoint release);
    void applyCanvasOptions();
    void rememberFolder(const QString& fileName);
    void redrawAll();
    void labelReplaced(const QString& fileName);
    void rememberRecent(const QString& fileName);
    void rebuildRecentMenu();

    StartupOptions options_;
    AppConfig config_;
    std::array<std::string, kPortCount> savedPortDevices_{};
    Translation translation_;
    ResidentFonts residentFonts_;
    int fontLoadResult_ = 0;
    QString commandLineLabel_;
    std::unique_ptr<EditorSession> session_;
    LabelView* view_ = nullptr;
    TZRToolbar* toolbar_ = nullptr;
    CommandSet* commands_ = nullptr;
    QTimer* startTimer_ = nullptr;
    FileChooser files_;
    std::function<void(DotPoint)> drawPicture_;
    std::function<void(const Figure*)> editPicture_;
    bool shownOnce_ = false;
    bool placementEnabled_ = false;
    bool closingAfterFontError_ = false;
    bool nudging_ = false;
    bool setupConnected_ = false;
    QString currentFile_;  // the label file last opened or saved; recovery copies name it
    RecentFiles recent_;
    std::unique_ptr<RecoveryStore> recovery_;
    QTimer* recoveryTimer_ = nullptr;
    LabelDocument lastRecovered_;

    // Serial lines through Qt; USB, network and print-queue devices through their own transports.
    std::unique_ptr<DeviceTransport> transport_;
    std::unique_ptr<QtLinkUi> linkUi_;
    std::unique_ptr<PrinterLink> link_;

    TTextDlg* textDialog_ = nullptr;
    TBarcodeDlg* barcodeDialog_ = nullptr;
    TBarDlg* rectangleDialog_ = nullptr;
    TBoxDlg* boxDialog_ = nullptr;
    TLineDlg* lineDialog_ = nullptr;
    TSetupDlg* setupDialog_ = nullptr;
    TAlignDlg* alignDialog_ = nullptr;
};

}  // namespace tavrin
