#include "tools/tools_commands.h"

#include "app/main_window.h"
#include "tools/settings_dialog.h"
#include "tools/terminal_dialog.h"

namespace tavrin {

namespace {

SettingsServices settingsServices(TZRedit& window) {
    SettingsServices services;
    services.mainWindow = &window;
    services.config = &window.config();
    services.link = [&window]() -> PrinterLink& { return window.link(); };
    services.translationFiles = [&window] { return window.paths().translationFiles(); };
    services.setPortDevice = [&window](int port, const std::string& device) { window.setPortDevice(port, device); };
    services.applied = [&window] {
        window.reloadTranslation();
        window.configurationChanged();
    };
    return services;
}

}  // namespace

CommandTable toolsCommands(TZRedit& window) {
    // Made once with the window and reused.
    auto* settings = new TSettingsDlg(settingsServices(window));
    auto* terminal = new TTerminalDlg(window.services(), &window);
    return {
        {MenuGroup::ToolsPrinter, "SettingsM", "&Settings", {}, [settings] { settings->execute(); }, {}, "SettingsBt"},
        {MenuGroup::ToolsPrinter, "TerminalM", "T&erminal", {}, [terminal] { terminal->execute(); }},
    };
}

}  // namespace tavrin
