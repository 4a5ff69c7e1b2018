#pragma once
// Menu items and toolbar buttons as data. Each concern of the editor (the frame's own file,
// edit, view and draw commands, printing, the printer's storage, pictures, the object list,
// tools, fonts, data runs) lists its commands in one table; the main window builds its menus
// and connects its toolbar from the tables, so no item is shown without the code it runs.
#include <QKeySequence>
#include <QList>
#include <QObject>

#include <concepts>
#include <functional>
#include <utility>
#include <vector>

class QAbstractButton;
class QAction;
class QMenu;
class QMenuBar;

namespace tavrin {

class TZRToolbar;

// The groups of the menus, in menu order; a line separates each group from the next in the
// same menu. A menu starts at its first group (see kMenus in command_table.cpp).
enum class MenuGroup {
    FileLabel,
    FileSetup,
    FilePrinterLists,
    FilePrinterStore,
    FileRecent,
    FileExit,
    EditHistory,
    EditSelection,
    EditArrange,
    ViewWindow,
    ViewZoom,
    PrintLabel,
    PrintData,
    Draw,
    ToolsPrinter,
    ToolsConverters,
    ToolsFonts,
    Help,
    ToolbarOnly,  // a toolbar button with no menu item
};

enum class ItemKind {
    Action,
    Toggle,    // a check item, off at start; its handler gets the new state
    ToggleOn,  // the same, on at start
    Submenu,   // filled by its owner; the enabled rule applies to it as a whole
    Hidden,    // kept in the menu's shape but never shown, and runs nothing
};

// What a command runs: a plain handler, or for a check item one given its new state.
class CommandHandler {
public:
    CommandHandler() = default;
    template <std::invocable F>
    CommandHandler(F run) : run_([run = std::move(run)](bool) { run(); }) {}
    template <typename F>
        requires(std::invocable<F, bool> && !std::invocable<F>)
    CommandHandler(F run) : run_(std::move(run)) {}

    explicit operator bool() const { return static_cast<bool>(run_); }
    void operator()(bool checked) const { run_(checked); }

private:
    std::function<void(bool)> run_;
};

struct Command {
    MenuGroup group;
    const char* name;     // the item's object name; null for a toolbar button alone
    const char* caption;  // with an "&" letter of its own in its menu
    QList<QKeySequence> shortcuts;  // the menu shows the first
    CommandHandler run;
    std::function<bool()> enabled = {};  // none: always enabled
    const char* button = nullptr;        // the toolbar button that runs it too
    ItemKind kind = ItemKind::Action;
};

using CommandTable = std::vector<Command>;

// The commands of one main window: builds its menus from the tables (within a group, items
// keep the order of the tables and of each table) and connects its toolbar's buttons.
class CommandSet : public QObject {
public:
    // Actions are made children of owner, so that the window finds them by object name.
    CommandSet(QMenuBar& bar, TZRToolbar& toolbar, const std::vector<CommandTable>& tables, QObject* owner);

    // Applies every enabled rule again; the window calls it after each change.
    void refresh();
    QMenu* submenu(const char* name) const;

    // While set, every command reached from an item or a button is first shown to the
    // watcher with what was clicked; it runs only when the watcher returns true. Tests walk
    // the menus this way without opening the windows the commands open.
    void setWatcher(std::function<bool(const QObject& source)> watcher) { watcher_ = std::move(watcher); }

private:
    struct Bound {
        Command command;
        QAction* action = nullptr;
        QMenu* submenu = nullptr;
        QAbstractButton* button = nullptr;
    };

    void build(QMenuBar& bar, TZRToolbar& toolbar, QObject* owner);
    void bindItem(QMenu& menu, Bound& bound, QObject* owner);
    void run(const Bound& bound, const QObject& source, bool checked);

    std::vector<Bound> bound_;
    std::function<bool(const QObject&)> watcher_;
};

}  // namespace tavrin
