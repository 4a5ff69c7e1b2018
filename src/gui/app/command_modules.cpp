#include "app/command_modules.h"

#include "app/main_window.h"
#include "tools/storage_commands.h"
#include "tools/tools_commands.h"

namespace tavrin {

void installCommandModules(TZRedit& window) {
    // One line per concern, in menu order.
    installStorageCommands(window);
    installToolsCommands(window);
}

}  // namespace tavrin
