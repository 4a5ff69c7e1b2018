#pragma once
// The windows of each concern (printing, the printer's storage, tools, pictures, fonts) hook
// themselves into the main window here: each finds its menu items and toolbar buttons by
// object name, enables them and connects them, so the frame itself stays small.
namespace tavrin {

class TZRedit;

void installCommandModules(TZRedit& window);

}  // namespace tavrin
