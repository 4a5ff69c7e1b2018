#include "tools/converter_commands.h"

#include "app/main_window.h"
#include "app/place_dialog.h"
#include "tools/color_to_bw_dialog.h"

namespace tavrin {

void openColorToBW(TZRedit& window) {
    TColorToBW dialog(window.services(), &window);
    placeDialog(&dialog, &window, -1, 0);
    dialog.exec();
}

CommandTable converterCommands(TZRedit& window) {
    return {{MenuGroup::ToolsConverters, "ColorBWM", "&Color to Black && White Converter", {},
             [&window] { openColorToBW(window); }}};
}

}  // namespace tavrin
