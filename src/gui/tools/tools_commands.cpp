#include "tools/tools_commands.h"

#include "app/main_window.h"
#include "tools/settings_dialog.h"
#include "tools/terminal_dialog.h"

namespace tavrin {

CommandTable toolsCommands(TZRedit& window) {
    // Made once with the window and reused.
    auto* settings = new TSettingsDlg(window);
    auto* terminal = new TTerminalDlg(window);
    return {
        {MenuGroup::ToolsPrinter, "SettingsM", "&Settings", {}, [settings] { settings->execute(); }, {}, "SettingsBt"},
        {MenuGroup::ToolsPrinter, "TerminalM", "T&erminal", {}, [terminal] { terminal->execute(); }},
    };
}

}  // namespace tavrin
