#include "editor/object_list_commands.h"

#include "app/main_window.h"
#include "editor/object_list_dialog.h"

namespace tavrin {

CommandTable objectListCommands(TZRedit& window) {
    auto* list = new TFigListDlg(window.session(), window.translation(),
                                 [&window](const Figure* figure) { window.editFigure(figure); }, &window);
    return {{MenuGroup::ViewWindow, "EditfromListM", "&Object List", {Qt::CTRL | Qt::Key_M}, [list] { list->openList(); }}};
}

}  // namespace tavrin
