#pragma once
// The store-as window: the objects of one kind the printer holds, a name edit and "Store".
// It stays open after a store and then shows the printer's new list.
#include <QDialog>

#include "printer/storage_operations.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavrin {

class TStoreDlg : public QDialog {
    Q_OBJECT
public:
    TStoreDlg(PrinterStorage& storage, QWidget* parent);

    // Receives the printer's list of the kind and, when it came, shows the window modally
    // under the title; stores take what `sources` names.
    void execute(const QString& title, int kind, const StoreSources& sources);

private:
    void showList();
    void entryPressed();
    void StoreBtClick();

    PrinterStorage& storage_;
    StoreSources sources_;
    QLabel* heading_ = nullptr;
    QListWidget* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    QPushButton* store_ = nullptr;
};

}  // namespace tavrin
