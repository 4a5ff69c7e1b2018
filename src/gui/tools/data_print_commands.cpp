#include "tools/data_print_commands.h"

#include <QAction>
#include <QMenu>

#include "app/main_window.h"
#include "tools/barcode_check_marks.h"
#include "tools/data_print_dialog.h"

namespace tavrin {

void installDataPrintCommands(TZRedit& window) {
    new BarcodeCheckMarks(window);
    auto* menu = window.findChild<QMenu*>(QStringLiteral("ZR_Print"));
    if (menu == nullptr) return;
    menu->addSeparator();
    QAction* action = menu->addAction(QStringLiteral("Print from Data File..."));
    action->setObjectName(QStringLiteral("PrintFromDataM"));
    QObject::connect(action, &QAction::triggered, &window, [&window] {
        auto* dialog = window.findChild<TDataPrintDlg*>();
        if (dialog == nullptr) dialog = new TDataPrintDlg(window);
        // Modal while open, so the label cannot change under a preview or a run.
        dialog->setModal(true);
        dialog->show();
        dialog->raise();
    });
}

}  // namespace tavrin
