#include "app/command_modules.h"

#include "app/main_window.h"
#include "tools/converter_commands.h"

namespace tavrin {

void installCommandModules(TZRedit& window) {
    // One line per concern, in menu order.
    installConverterCommands(window);
}

}  // namespace tavrin
