#include "tools/data_print_commands.h"

#include "app/main_window.h"
#include "tools/barcode_check_marks.h"
#include "tools/data_print_dialog.h"
#include "tools/proof_commands.h"

namespace tavrin {

CommandTable dataPrintCommands(TZRedit& window) {
    new BarcodeCheckMarks(window);
    const auto open = [&window] {
        auto* dialog = window.findChild<TDataPrintDlg*>();
        if (dialog == nullptr) {
            DataPrintHooks hooks{[&window] { return confirmBarcodesBeforePrinting(window); },
                                 [&window](TDataPrintDlg& data, QBoxLayout& buttons, QPushButton& print) {
                                     addProofButtons(window, data, buttons, print);
                                 }};
            dialog = new TDataPrintDlg(window.services(), std::move(hooks), &window);
        }
        // Modal while open, so the label cannot change under a preview or a run.
        dialog->setModal(true);
        dialog->show();
        dialog->raise();
    };
    return {{MenuGroup::PrintData, "PrintFromDataM", "Print &from Data File...", {}, open}};
}

}  // namespace tavrin
