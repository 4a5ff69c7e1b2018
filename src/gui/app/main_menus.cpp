// The main window's menus and toolbar buttons, and what each one runs.
#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSet>

#include "app/main_window.h"
#include "app/toolbar.h"
#include "editor/label_view.h"

namespace tavrin {

namespace {

struct MenuItem {
    const char* name;  // object name
    const char* text;
    QKeySequence shortcut;
};

QMenu* addMenu(QMenuBar* bar, const char* name, const char* title) {
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QAction* addItem(QMenu* menu, QObject* owner, const MenuItem& item) {
    QAction* action = menu->addAction(item.text);
    action->setObjectName(item.name);
    action->setParent(owner);
    if (!item.shortcut.isEmpty()) action->setShortcut(item.shortcut);
    return action;
}

// Items whose windows are not part of the editor yet: shown, so the menu has its final shape,
// but disabled.
constexpr const char* kNotYetAvailable[] = {
    "FormM",     "GraphicsM",   "FontsM",    "StoreCurrentM", "StoreFormM", "StoreGraphicsM", "StoreFontM",
    "TestPrintM", "PrintM",     "VariablesM", "NewValuesM",   "PictureM",   "EditfromListM",  "SettingsM",
    "TerminalM", "ColorBWM",    "TtfToQftM", "NewFontM",      "RemoveFontM"};
constexpr const char* kButtonsNotYetAvailable[] = {"PictBt",     "FilesBt",    "TPrintBt",  "PrintBt",
                                                   "VarBt",      "NewValuesBt", "SettingsBt"};

// The letter after a single "&" ("&&" is a literal ampersand), lower case; 0 when none.
QChar mnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1].toLower();
        ++i;
    }
    return {};
}

}  // namespace

void addMissingMnemonics(QMenu* menu) {
    QSet<QChar> taken;
    for (const QAction* item : menu->actions())
        if (const QChar letter = mnemonicOf(item->text()); !letter.isNull()) taken.insert(letter);
    for (QAction* item : menu->actions()) {
        if (item->isSeparator() || item->text().isEmpty() || !mnemonicOf(item->text()).isNull()) continue;
        QString text = item->text();
        // A word's first letter reads best; any other letter will do.
        qsizetype chosen = -1;
        for (const bool wordStartsOnly : {true, false}) {
            for (qsizetype i = 0; i < text.size() && chosen < 0; ++i) {
                const bool wordStart = i == 0 || text[i - 1] == ' ';
                if (text[i].isLetterOrNumber() && (wordStart || !wordStartsOnly) && !taken.contains(text[i].toLower()))
                    chosen = i;
            }
        }
        if (chosen < 0) continue;
        taken.insert(text[chosen].toLower());
        item->setText(text.insert(chosen, '&'));
    }
    for (QAction* item : menu->actions())
        if (item->menu() != nullptr) addMissingMnemonics(item->menu());
}

QAction* TZRedit::action(const char* objectName) const { return findChild<QAction*>(objectName); }

void TZRedit::buildMenus() {
    QMenuBar* bar = menuBar();
    const auto add = [this](QMenu* menu, const MenuItem& item, auto slot) {
        QAction* a = addItem(menu, this, item);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };

    QMenu* file = addMenu(bar, "ZR_File", "&File");
    add(file, {"NewLabelM", "&New Label", QKeySequence::New}, [this] { newLabel(); });
    add(file, {"LoadLabelM", "&Open Label", QKeySequence::Open}, [this] { openLabel(); });
    add(file, {"SaveAsLabelM", "&Save as Label", QKeySequence::Save}, [this] { saveAsLabel(); });
    add(file, {"SaveAsFormM", "Save as &Form", {}}, [this] { saveAsForm(); });
    file->addSeparator();
    add(file, {"LabelSetupM", "&Label Setup", {}}, [this] { labelSetup(false); });
    file->addSeparator();
    for (const MenuItem& item : {MenuItem{"FormM", "Forms &in Printer", {}}, MenuItem{"GraphicsM", "&Graphics in Printer", {}},
                                 MenuItem{"FontsM", "Fon&ts in Printer", {}}})
        addItem(file, this, item);
    file->addSeparator();
    for (const MenuItem& item :
         {MenuItem{"StoreCurrentM", "Store &Current Label", {}}, MenuItem{"StoreFormM", "Store Form to &Printer", {}},
          MenuItem{"StoreGraphicsM", "Store Gr&aphics to Printer", {}}, MenuItem{"StoreFontM", "Sto&re Font to Printer", {}}})
        addItem(file, this, item);
    file->addSeparator();
    QMenu* recent = file->addMenu("R&ecent Labels");
    recent->setObjectName("RecentM");
    file->addSeparator();
    add(file, {"ExitM", "E&xit", QKeySequence(Qt::CTRL | Qt::Key_Q)}, [this] { close(); });

    QMenu* edit = addMenu(bar, "EditM", "&Edit");
    add(edit, {"UndoM", "&Undo", QKeySequence::Undo}, [this] { undo(); });
    QAction* redoAction = add(edit, {"RedoM", "&Redo", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, [this] { redo(); });
    redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addSeparator();
    add(edit, {"SelectAllM", "Select &All", QKeySequence(Qt::CTRL | Qt::Key_A)}, [this] { selectAll(); });
    add(edit, {"UnselectM", "U&nselect All", QKeySequence(Qt::CTRL | Qt::Key_U)}, [this] { unselectAll(); });
    add(edit, {"CopyM", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C)}, [this] { copySelection(); });
    add(edit, {"PasteM", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V)}, [this] { pasteFigures(); });
    add(edit, {"DeleteM", "&Delete", QKeySequence(Qt::Key_Delete)}, [this] { deleteSelection(); });
    edit->addSeparator();
    add(edit, {"AlignM", "Align to &Grid", QKeySequence(Qt::CTRL | Qt::Key_J)}, [this] { alignToGrid(); });
    add(edit, {"MovetoTopM", "Move to &Top", QKeySequence(Qt::CTRL | Qt::Key_T)}, [this] { moveToTop(); });
    add(edit, {"MovetoBottomM", "Move to &Bottom", QKeySequence(Qt::CTRL | Qt::Key_B)}, [this] { moveToBottom(); });

    QMenu* view = addMenu(bar, "ViewM", "&View");
    QAction* toolbarItem = add(view, {"ToolbarM", "&Toolbar", {}}, [this](bool on) {
        if (on) {
            placeToolbar();
            toolbar_->show();
        } else {
            toolbar_->hide();
        }
    });
    toolbarItem->setCheckable(true);
    toolbarItem->setChecked(true);
    QAction* grid = add(view, {"GridM", "&Grid", {}}, [this](bool on) {
        config_.showGrid = on ? 1 : 0;
        applyCanvasOptions();
        redrawAll();
    });
    grid->setCheckable(true);
    QAction* margins = add(view, {"MarginsM", "&Margins", {}}, [this](bool on) {
        session_->canvasOptions().showMargins = on;
        redrawAll();
    });
    margins->setCheckable(true);
    margins->setChecked(true);
    QAction* tracking = add(view, {"ScrollTrackingM", "&Scroll Tracking", {}}, [this](bool on) {
        view_->horizontalScrollBar()->setTracking(on);
        view_->verticalScrollBar()->setTracking(on);
    });
    tracking->setCheckable(true);
    tracking->setChecked(true);
    QAction* left = add(view, {"LeftToolbarM", "Toolbar from &Left Side", {}}, [this](bool on) {
        config_.toolbarLeft = on ? 1 : 0;
        placeToolbar();
        redrawAll();
    });
    left->setCheckable(true);
    addItem(view, this, {"EditfromListM", "&Object List", QKeySequence(Qt::CTRL | Qt::Key_M)});
    view->addSeparator();
    QAction* zoomIn = add(view, {"ZoomInM", "Zoom &In", QKeySequence(Qt::CTRL | Qt::Key_Plus)},
                          [this] { setZoom(view_->zoom() + 1); });
    zoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    add(view, {"ZoomOutM", "Zoom O&ut", QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [this] { setZoom(view_->zoom() - 1); });
    add(view, {"ActualSizeM", "&Actual Size", QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { setZoom(1); });

    QMenu* print = addMenu(bar, "ZR_Print", "&Print");
    addItem(print, this, {"TestPrintM", "&Test Print", QKeySequence(Qt::Key_F2)});
    addItem(print, this, {"PrintM", "&Print", QKeySequence(Qt::Key_F3)});
    addItem(print, this, {"VariablesM", "&Define Variables", {}});
    addItem(print, this, {"NewValuesM", "&Update Variables", QKeySequence(Qt::Key_F4)});

    QMenu* draw = addMenu(bar, "DrawM", "&Draw");
    const MenuItem tools[] = {{"TextM", "&Text", {}},        {"BarcodeM", "&Barcode", {}}, {"RectangleM", "&Rectangle", {}},
                              {"LineM", "Diagonal &Line", {}}, {"BoxM", "Bo&x", {}},         {"PictureM", "&Picture", {}}};
    for (int i = 0; i < 6; ++i) add(draw, tools[i], [this, i] { setTool(static_cast<Tool>(i)); });

    QMenu* toolsMenu = addMenu(bar, "ZR_Tools", "&Tools");
    addItem(toolsMenu, this, {"SettingsM", "&Settings", {}});
    addItem(toolsMenu, this, {"TerminalM", "T&erminal", {}});
    toolsMenu->addSeparator();
    addItem(toolsMenu, this, {"ColorBWM", "&Color to Black && White Converter", {}});
    addItem(toolsMenu, this, {"TtfToQftM", "&TrueType to Label Font Converter", {}});
    toolsMenu->addSeparator();
    addItem(toolsMenu, this, {"NewFontM", "&Add New Font", {}});
    addItem(toolsMenu, this, {"RemoveFontM", "&Remove Font", {}});

    QMenu* help = addMenu(bar, "ZR_Help", "&Help");
    addItem(help, this, {"AboutM", "A&bout", {}});
    add(help, {"ZReditHelpM", "Label Editor &Help", QKeySequence::HelpContents}, [this] { showHelp(); });

    for (const char* name : kNotYetAvailable) action(name)->setEnabled(false);
}

void TZRedit::rebuildRecentMenu() {
    auto* recent = findChild<QMenu*>("RecentM");
    if (recent == nullptr) return;
    recent->clear();
    int number = 1;
    for (const std::string& file : recent_.files()) {
        const QString name = QString::fromStdString(file);
        QAction* item = recent->addAction(QString("&%1 %2").arg(number++).arg(name));
        connect(item, &QAction::triggered, this, [this, name] { openRecentFile(name); });
    }
    recent->setEnabled(!recent_.files().empty());
}

void TZRedit::connectToolbar() {
    const auto button = [this](const char* name, auto slot) {
        if (auto* b = toolbar_->findChild<QAbstractButton*>(name)) connect(b, &QAbstractButton::clicked, this, slot);
    };
    button("TextBt", [this] { setTool(Tool::Text); });
    button("BarcBt", [this] { setTool(Tool::Barcode); });
    button("RectBt", [this] { setTool(Tool::Rectangle); });
    button("LineBt", [this] { setTool(Tool::DiagonalLine); });
    button("BoxBt", [this] { setTool(Tool::Box); });
    button("AlignBt", [this] { alignToGrid(); });
    button("SetupBt", [this] { labelSetup(); });
    for (const char* name : kButtonsNotYetAvailable)
        if (auto* b = toolbar_->findChild<QAbstractButton*>(name)) b->setEnabled(false);
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
    action("ZoomInM")->setEnabled(view_->zoom() < LabelView::kMaxZoom);
    action("ZoomOutM")->setEnabled(view_->zoom() > LabelView::kMinZoom);
}

void TZRedit::updateActions() {
    action("UndoM")->setEnabled(session_->canUndo());
    action("RedoM")->setEnabled(session_->canRedo());
    setWindowModified(session_->modified());
}

}  // namespace tavrin
