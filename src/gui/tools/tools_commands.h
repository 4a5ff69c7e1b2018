#pragma once
// The Tools menu's printer windows: settings and diagnostic (also on the toolbar), and the
// terminal.
#include "app/command_table.h"

namespace tavrin {

class TZRedit;

CommandTable toolsCommands(TZRedit& window);

}  // namespace tavrin
