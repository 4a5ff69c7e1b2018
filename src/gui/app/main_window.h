#pragma once
// TZRedit: the editor's frame. It owns the editing session and the label view, builds the
// menus, runs start-up and shut-down, and hands each command to the session or a dialog.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "document/app_config.h"
#include "document/program_paths.h"
#include "editing/editor_session.h"
#include "printer/printer_link.h"
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
class QtSerialTransport;

struct StartupOptions {
    ProgramPaths paths;
    QString commandLineLabel;  // the program's argument, if any
    // "--port-device N=DEVICE": the device Com N opens for this run only (not written back).
    std::map<int, std::string> sessionPortDevices;
};

// The file dialogs, replaceable so that tests can answer them.
struct FileChooser {
    std::function<QString(QWidget*, const QString& title, const QString& folder, const QString& filter)> open;
    std::function<QString(QWidget*, const QString& title, const QString& folder, const QString& filter)> save;
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
    QAction* action(const char* objectName) const;
    // The printer link of every exchange, set to the configuration's port, rate, protocol
    // and devices each time it is asked for; its progress and errors show in the message window.
    PrinterLink& link();
    QtLinkUi& linkUi() { return *linkUi_; }
    const ProgramPaths& paths() const { return options_.paths; }
    void setFileChooser(FileChooser chooser) { files_ = std::move(chooser); }

    // The commands, as the menus and the toolbar run them.
    void newLabel();
    void openLabel();
    bool openLabelFile(const QString& fileName);  // command line and files hub: no dialog
    bool saveAsLabel();
    void saveAsForm();
    void labelSetup();
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

    // Asks "Save changes to the label?" when there are unsaved changes; false when the user
    // cancelled (or a save was cancelled or failed), so the caller must not go on.
    bool maySpoilChanges();

    // Ends one change: redraws, records the undo step and updates the menus.
    void changed();
    void placeToolbar();
    void resizeLabelView();
    // Enables Undo and Redo as the history allows and marks the caption when modified.
    void updateActions();
    std::vector<std::string> fontList() const;

    // The file dialogs of the windows built on this one: they start in the work directory.
    // The save dialog adds the extension when none is typed and asks before overwriting.
    QString chooseOpenFile(const QString& title, const QString& filter);
    QString chooseSaveFile(const QString& title, const QString& filter, const QString& extension);
    // A device chosen in the settings: used at once and written to the configuration at exit.
    void setPortDevice(int portIndex, const std::string& device);
    // Loads the configuration's translation choice again; returns the choice in force.
    int reloadTranslation();

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
    void buildMenus();
    void connectToolbar();
    void connectView();
    void openNewFigureDialog(FigureKind kind, DotPoint press, DotPoint release);
    void editFigure(Figure* figure);
    void applyCanvasOptions();
    bool askOverwrite(const QString& fileName);
    void rememberFolder(const QString& fileName);
    void redrawAll();

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
    QTimer* startTimer_ = nullptr;
    FileChooser files_;
    bool shownOnce_ = false;
    bool placementEnabled_ = false;
    bool closingAfterFontError_ = false;
    bool nudging_ = false;

    std::unique_ptr<QtSerialTransport> transport_;
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
