#include "app/command_table.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include <iterator>

#include "app/toolbar.h"

namespace tavrin {

namespace {

struct MenuEntry {
    MenuGroup firstGroup;
    const char* name;
    const char* title;
};

// The menu bar in its order; each menu holds the groups from its first to the next menu's.
constexpr MenuEntry kMenus[] = {
    {MenuGroup::FileLabel, "ZR_File", "&File"},     {MenuGroup::EditHistory, "EditM", "&Edit"},
    {MenuGroup::ViewWindow, "ViewM", "&View"},      {MenuGroup::PrintLabel, "ZR_Print", "&Print"},
    {MenuGroup::Draw, "DrawM", "&Draw"},            {MenuGroup::ToolsPrinter, "ZR_Tools", "&Tools"},
    {MenuGroup::Help, "ZR_Help", "&Help"},
};
static_assert(kMenus[0].firstGroup == MenuGroup{0});
constexpr bool menusInGroupOrder() {
    for (std::size_t i = 1; i < std::size(kMenus); ++i)
        if (kMenus[i - 1].firstGroup >= kMenus[i].firstGroup) return false;
    return kMenus[std::size(kMenus) - 1].firstGroup < MenuGroup::ToolbarOnly;
}
static_assert(menusInGroupOrder(), "menus follow the order of their groups");

}  // namespace

CommandSet::CommandSet(QMenuBar& bar, TZRToolbar& toolbar, const std::vector<CommandTable>& tables, QObject* owner)
    : QObject(owner) {
    setObjectName(QStringLiteral("Commands"));
    for (const CommandTable& table : tables)
        for (const Command& command : table) bound_.push_back({command});
    build(bar, toolbar, owner);
    refresh();
}

void CommandSet::build(QMenuBar& bar, TZRToolbar& toolbar, QObject* owner) {
    QMenu* menu = nullptr;
    std::size_t nextMenu = 0;
    for (int group = 0; group < static_cast<int>(MenuGroup::ToolbarOnly); ++group) {
        if (nextMenu < std::size(kMenus) && static_cast<int>(kMenus[nextMenu].firstGroup) == group) {
            const MenuEntry& entry = kMenus[nextMenu++];
            menu = bar.addMenu(QString::fromLatin1(entry.title));
            menu->setObjectName(QString::fromLatin1(entry.name));
            menu->menuAction()->setObjectName(menu->objectName());
        }
        // A line before a group only when both it and an earlier group of the menu have items.
        bool first = true;
        for (Bound& bound : bound_) {
            if (static_cast<int>(bound.command.group) != group) continue;
            if (first && !menu->isEmpty()) menu->addSeparator();
            first = false;
            bindItem(*menu, bound, owner);
        }
    }

    for (std::size_t i = 0; i < bound_.size(); ++i) {
        Bound& bound = bound_[i];
        if (bound.action != nullptr) {
            connect(bound.action, &QAction::triggered, this,
                    [this, i](bool checked) { run(bound_[i], *bound_[i].action, checked); });
        }
        if (bound.command.button == nullptr) continue;
        bound.button = toolbar.button(QString::fromLatin1(bound.command.button));
        if (bound.button == nullptr) {
            qWarning("No toolbar button %s for its command", bound.command.button);
            continue;
        }
        connect(bound.button, &QAbstractButton::clicked, this, [this, i] { run(bound_[i], *bound_[i].button, false); });
    }
}

void CommandSet::bindItem(QMenu& menu, Bound& bound, QObject* owner) {
    const Command& command = bound.command;
    const QString caption = QString::fromLatin1(command.caption);
    const QString name = QString::fromLatin1(command.name);
    if (command.kind == ItemKind::Submenu) {
        bound.submenu = menu.addMenu(caption);
        bound.submenu->setObjectName(name);
        bound.submenu->menuAction()->setObjectName(name);
        return;
    }
    QAction* action = menu.addAction(caption);
    action->setObjectName(name);
    action->setParent(owner);
    action->setShortcuts(command.shortcuts);
    if (command.kind == ItemKind::Hidden) {
        action->setVisible(false);
        return;
    }
    if (!command.run) qWarning("Menu item %s has nothing to run", command.name);
    action->setCheckable(command.kind == ItemKind::Toggle || command.kind == ItemKind::ToggleOn);
    action->setChecked(command.kind == ItemKind::ToggleOn);
    bound.action = action;
}

void CommandSet::run(const Bound& bound, const QObject& source, bool checked) {
    if (!bound.command.run) return;
    if (watcher_ && !watcher_(source)) return;
    bound.command.run(checked);
}

void CommandSet::refresh() {
    for (const Bound& bound : bound_) {
        if (!bound.command.enabled) continue;
        const bool enabled = bound.command.enabled();
        if (bound.action != nullptr) bound.action->setEnabled(enabled);
        if (bound.submenu != nullptr) bound.submenu->setEnabled(enabled);
        if (bound.button != nullptr) bound.button->setEnabled(enabled);
    }
}

QMenu* CommandSet::submenu(const char* name) const {
    for (const Bound& bound : bound_)
        if (bound.submenu != nullptr && bound.submenu->objectName() == QLatin1String(name)) return bound.submenu;
    return nullptr;
}

}  // namespace tavrin
