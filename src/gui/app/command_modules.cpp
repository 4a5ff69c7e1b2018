#include "app/command_modules.h"

#include "editor/object_list_commands.h"
#include "editor/picture_commands.h"
#include "tools/converter_commands.h"
#include "tools/data_print_commands.h"
#include "tools/font_commands.h"
#include "tools/print_commands.h"
#include "tools/proof_commands.h"
#include "tools/storage_commands.h"
#include "tools/tools_commands.h"

namespace tavrin {

std::vector<CommandTable> commandModules(TZRedit& window) {
    // Items that share a menu group appear in this order, after the frame's own.
    return {storageCommands(window), printCommands(window),     pictureCommands(window),
            objectListCommands(window), toolsCommands(window), converterCommands(window),
            fontCommands(window),    dataPrintCommands(window), proofCommands(window)};
}

}  // namespace tavrin
