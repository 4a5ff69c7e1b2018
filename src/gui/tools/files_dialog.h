#pragma once
// The "Files and Forms" hub: the label file commands and the printer's storage in one panel
// of buttons.
#include <QDialog>

namespace tavrin {

class TZRedit;
class StorageCommands;

class TFilesDlg : public QDialog {
    Q_OBJECT
public:
    TFilesDlg(TZRedit& window, StorageCommands& commands);

    void execute();
};

}  // namespace tavrin
