#pragma once
// View > Object List, wired to the main window's session and figure dialogs.
#include "app/command_table.h"

namespace tavrin {

class TZRedit;

CommandTable objectListCommands(TZRedit& window);

}  // namespace tavrin
