#include "app/command_modules.h"

#include "app/main_window.h"
#include "tools/data_print_commands.h"
#include "editor/picture_commands.h"
#include "tools/converter_commands.h"
#include "tools/font_commands.h"
#include "tools/print_commands.h"
#include "tools/proof_commands.h"
#include "tools/storage_commands.h"
#include "tools/tools_commands.h"

namespace tavrin {

void installCommandModules(TZRedit& window) {
    // One line per concern, in menu order.
    installStorageCommands(window);
    installPrintCommands(window);
    installPictureCommands(window);
    installToolsCommands(window);
    installConverterCommands(window);
    installFontCommands(window);
    installDataPrintCommands(window);
    installProofCommands(window);
}

}  // namespace tavrin
