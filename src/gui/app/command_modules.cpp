#include "app/command_modules.h"

#include "app/main_window.h"
#include "tools/print_commands.h"

namespace tavrin {

void installCommandModules(TZRedit& window) {
    // One line per concern, in menu order.
    installPrintCommands(window);
}

}  // namespace tavrin
