#include "tools/tools_commands.h"

#include <QAbstractButton>
#include <QAction>

#include "app/main_window.h"
#include "app/toolbar.h"
#include "tools/settings_dialog.h"
#include "tools/terminal_dialog.h"

namespace tavrin {

void installToolsCommands(TZRedit& window) {
    // Made once with the window and reused.
    auto* settings = new TSettingsDlg(window);
    auto* terminal = new TTerminalDlg(window);
    if (QAction* item = window.action("SettingsM")) {
        item->setEnabled(true);
        QObject::connect(item, &QAction::triggered, settings, [settings] { settings->execute(); });
    }
    if (QAction* item = window.action("TerminalM")) {
        item->setEnabled(true);
        QObject::connect(item, &QAction::triggered, terminal, [terminal] { terminal->execute(); });
    }
    if (auto* button = window.toolbar()->findChild<QAbstractButton*>(QStringLiteral("SettingsBt"))) {
        button->setEnabled(true);
        QObject::connect(button, &QAbstractButton::clicked, settings, [settings] { settings->execute(); });
    }
}

}  // namespace tavrin
