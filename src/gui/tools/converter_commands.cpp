#include "tools/converter_commands.h"

#include <QAction>

#include "app/main_window.h"
#include "app/place_dialog.h"
#include "tools/color_to_bw_dialog.h"

namespace tavrin {

void openColorToBW(TZRedit& window) {
    TColorToBW dialog(window, &window);
    placeDialog(&dialog, &window, -1, 0);
    dialog.exec();
}

void installConverterCommands(TZRedit& window) {
    QAction* item = window.action("ColorBWM");
    if (item == nullptr) return;
    item->setEnabled(true);
    QObject::connect(item, &QAction::triggered, &window, [&window] { openColorToBW(window); });
}

}  // namespace tavrin
