#include "tools/data_print_commands.h"

#include "app/main_window.h"
#include "tools/barcode_check_marks.h"
#include "tools/data_print_dialog.h"

namespace tavrin {

CommandTable dataPrintCommands(TZRedit& window) {
    new BarcodeCheckMarks(window);
    const auto open = [&window] {
        auto* dialog = window.findChild<TDataPrintDlg*>();
        if (dialog == nullptr) dialog = new TDataPrintDlg(window);
        // Modal while open, so the label cannot change under a preview or a run.
        dialog->setModal(true);
        dialog->show();
        dialog->raise();
    };
    return {{MenuGroup::PrintData, "PrintFromDataM", "Print &from Data File...", {}, open}};
}

}  // namespace tavrin
