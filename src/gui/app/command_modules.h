#pragma once
// The concerns that add commands to the main window (printing, the printer's storage,
// pictures, the object list, tools, converters, fonts, data runs). Each makes its windows
// and returns its table of menu items and toolbar buttons; the frame builds the menus from them.
#include <vector>

#include "app/command_table.h"

namespace tavrin {

class TZRedit;

std::vector<CommandTable> commandModules(TZRedit& window);

}  // namespace tavrin
