#pragma once
// The Tools menu's printer windows: settings and diagnostic, and the terminal.
namespace tavrin {

class TZRedit;

// Hooks "Settings", "Terminal" and the toolbar's settings button into the window.
void installToolsCommands(TZRedit& window);

}  // namespace tavrin
