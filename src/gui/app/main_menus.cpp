// The main window's own commands (files, editing, view, drawing tools, help) and the parts of
// the frame the commands keep up to date.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>

#include "app/command_modules.h"
#include "app/main_window.h"
#include "app/toolbar.h"
#include "editor/label_view.h"

namespace tavrin {

// The toolbar marks the current drawing tool by its number.
static_assert(toolbarButtonIndex("TextBt") == static_cast<int>(Tool::Text) &&
              toolbarButtonIndex("BarcBt") == static_cast<int>(Tool::Barcode) &&
              toolbarButtonIndex("RectBt") == static_cast<int>(Tool::Rectangle) &&
              toolbarButtonIndex("LineBt") == static_cast<int>(Tool::DiagonalLine) &&
              toolbarButtonIndex("BoxBt") == static_cast<int>(Tool::Box) &&
              toolbarButtonIndex("PictBt") == static_cast<int>(Tool::Picture));

QAction* TZRedit::action(const char* objectName) const { return findChild<QAction*>(objectName); }

CommandTable TZRedit::frameCommands() {
    using enum MenuGroup;
    const auto tool = [this](Tool chosen) { return [this, chosen] { setTool(chosen); }; };
    return {
        {FileLabel, "NewLabelM", "&New Label", {QKeySequence::New}, [this] { newLabel(); }},
        {FileLabel, "LoadLabelM", "&Open Label", {QKeySequence::Open}, [this] { openLabel(); }},
        {FileLabel, "SaveAsLabelM", "&Save as Label", {QKeySequence::Save}, [this] { saveAsLabel(); }},
        {FileLabel, "SaveAsFormM", "Save as &Form", {}, [this] { saveAsForm(); }},
        // From the menu the setup window stays open beside the label; from the toolbar it is modal.
        {FileSetup, "LabelSetupM", "&Label Setup", {}, [this] { labelSetup(false); }},
        {ToolbarOnly, nullptr, nullptr, {}, [this] { labelSetup(); }, {}, "SetupBt"},
        {FileRecent, "RecentM", "R&ecent Labels", {}, {}, [this] { return !recent_.files().empty(); }, nullptr,
         ItemKind::Submenu},
        {FileExit, "ExitM", "E&xit", {Qt::CTRL | Qt::Key_Q}, [this] { close(); }},

        {EditHistory, "UndoM", "&Undo", {QKeySequence::Undo}, [this] { undo(); }, [this] { return session_->canUndo(); }},
        {EditHistory, "RedoM", "&Redo", {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y}, [this] { redo(); },
         [this] { return session_->canRedo(); }},
        {EditSelection, "SelectAllM", "Select &All", {Qt::CTRL | Qt::Key_A}, [this] { selectAll(); }},
        {EditSelection, "UnselectM", "U&nselect All", {Qt::CTRL | Qt::Key_U}, [this] { unselectAll(); }},
        {EditSelection, "CopyM", "&Copy", {Qt::CTRL | Qt::Key_C}, [this] { copySelection(); }},
        {EditSelection, "PasteM", "&Paste", {Qt::CTRL | Qt::Key_V}, [this] { pasteFigures(); }},
        {EditSelection, "DeleteM", "&Delete", {Qt::Key_Delete}, [this] { deleteSelection(); }},
        {EditArrange, "AlignM", "Align to &Grid", {Qt::CTRL | Qt::Key_J}, [this] { alignToGrid(); }, {}, "AlignBt"},
        {EditArrange, "MovetoTopM", "Move to &Top", {Qt::CTRL | Qt::Key_T}, [this] { moveToTop(); }},
        {EditArrange, "MovetoBottomM", "Move to &Bottom", {Qt::CTRL | Qt::Key_B}, [this] { moveToBottom(); }},

        {ViewWindow, "ToolbarM", "&Toolbar", {},
         [this](bool on) {
             if (on) placeToolbar();
             toolbar_->setVisible(on);
         },
         {}, nullptr, ItemKind::ToggleOn},
        {ViewWindow, "GridM", "&Grid", {},
         [this](bool on) {
             config_.showGrid = on ? 1 : 0;
             applyCanvasOptions();
             redrawAll();
         },
         {}, nullptr, ItemKind::Toggle},
        {ViewWindow, "MarginsM", "&Margins", {},
         [this](bool on) {
             session_->canvasOptions().showMargins = on;
             redrawAll();
         },
         {}, nullptr, ItemKind::ToggleOn},
        {ViewWindow, "ScrollTrackingM", "&Scroll Tracking", {},
         [this](bool on) {
             view_->horizontalScrollBar()->setTracking(on);
             view_->verticalScrollBar()->setTracking(on);
         },
         {}, nullptr, ItemKind::ToggleOn},
        {ViewWindow, "LeftToolbarM", "Toolbar from &Left Side", {},
         [this](bool on) {
             config_.toolbarLeft = on ? 1 : 0;
             placeToolbar();
             redrawAll();
         },
         {}, nullptr, ItemKind::Toggle},
        {ViewZoom, "ZoomInM", "Zoom &In", {Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal},
         [this] { setZoom(view_->zoom() + 1); }, [this] { return view_->zoom() < LabelView::kMaxZoom; }},
        {ViewZoom, "ZoomOutM", "Zoom O&ut", {Qt::CTRL | Qt::Key_Minus}, [this] { setZoom(view_->zoom() - 1); },
         [this] { return view_->zoom() > LabelView::kMinZoom; }},
        {ViewZoom, "ActualSizeM", "&Actual Size", {Qt::CTRL | Qt::Key_0}, [this] { setZoom(1); }},

        {Draw, "TextM", "&Text", {}, tool(Tool::Text), {}, "TextBt"},
        {Draw, "BarcodeM", "&Barcode", {}, tool(Tool::Barcode), {}, "BarcBt"},
        {Draw, "RectangleM", "&Rectangle", {}, tool(Tool::Rectangle), {}, "RectBt"},
        {Draw, "LineM", "Diagonal &Line", {}, tool(Tool::DiagonalLine), {}, "LineBt"},
        {Draw, "BoxM", "Bo&x", {}, tool(Tool::Box), {}, "BoxBt"},

        {Help, "AboutM", "A&bout", {}, {}, {}, nullptr, ItemKind::Hidden},
        {Help, "ZReditHelpM", "Label Editor &Help", {QKeySequence::HelpContents}, [this] { showHelp(); }},
    };
}

void TZRedit::buildCommands() {
    std::vector<CommandTable> tables{frameCommands()};
    for (CommandTable& table : commandModules(*this)) tables.push_back(std::move(table));
    commands_ = new CommandSet(*menuBar(), *toolbar_, tables, this);
}

void TZRedit::rebuildRecentMenu() {
    QMenu* recent = commands_->submenu("RecentM");
    recent->clear();
    int number = 1;
    for (const std::string& file : recent_.files()) {
        const QString name = QString::fromStdString(file);
        QAction* item = recent->addAction(QString("&%1 %2").arg(number++).arg(name));
        connect(item, &QAction::triggered, this, [this, name] { openRecentFile(name); });
    }
    commands_->refresh();
}

void TZRedit::connectView() {
    connect(view_, &LabelView::statusAt, this, [this](int x, int y) {
        const LabelSetup& setup = session_->document().setup;
        toolbar_->showStatus(x, y, setup.leftMargin, setup.topMargin);
    });
    connect(view_, &LabelView::statusCleared, this, [this] { toolbar_->clearStatus(); });
    connect(view_, &LabelView::newFigureRequested, this, &TZRedit::openNewFigureDialog);
    connect(view_, &LabelView::editFigureRequested, this, &TZRedit::editFigure);
    connect(view_, &LabelView::documentChanged, this, [this] {
        session_->commit();
        updateActions();
    });
    connect(view_, &LabelView::backgroundClicked, this, [this] { setTool(Tool::Select); });
    connect(view_, &LabelView::mouseReleased, this, [this] { setTool(session_->mouse().tool()); });
    connect(view_, &LabelView::zoomRequested, this, [this](int steps) { setZoom(view_->zoom() + steps); });
}

void TZRedit::setTool(Tool tool) {
    session_->mouse().setTool(tool);
    toolbar_->setCurrentTool(static_cast<int>(tool));
    // A drawing tool shows on the window; the label keeps its crosshair.
    setCursor(tool == Tool::Select ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void TZRedit::setZoom(int zoom) {
    view_->setZoom(zoom);
    commands_->refresh();
}

void TZRedit::updateActions() {
    commands_->refresh();
    setWindowModified(session_->modified());
}

}  // namespace tavrin
