#pragma once
// The printer's storage from the editor: the File menu's printer items, the files hub and
// the object list, all sharing one PrinterStorage over the main window's printer link.
#include <QObject>

#include <memory>
#include <optional>
#include <string>

#include "app/command_table.h"
#include "printer/storage_operations.h"

namespace tavrin {

class TZRedit;
class TStoreDlg;
class TObjListDlg;
class TFilesDlg;

class StorageCommands : public QObject {
    Q_OBJECT
public:
    explicit StorageCommands(TZRedit& window);
    ~StorageCommands() override;

    // The one set of storage windows of a main window; null before storageCommands.
    static StorageCommands* of(const TZRedit& window);

    TZRedit& window() { return window_; }
    // The storage over the link, its settings refreshed from the configuration.
    PrinterStorage& storage();
    TObjListDlg& objectList() { return *objectList_; }
    TStoreDlg& storeDialog() { return *storeDialog_; }
    TFilesDlg& filesDialog() { return *filesDialog_; }

    // "Forms in Printer", "Graphics in Printer", "Fonts in Printer": the object list in browse
    // mode; true when a stored form was loaded into the editor from it.
    bool objectsInPrinter(int kind);
    void storeCurrentLabel();
    void storeFormFile();
    void storeFontFile();
    // A PCX or one-bit BMP file, loaded as the printer takes pictures.
    void storeGraphicsFile();

private:
    // The store window over the printer's list of the kind.
    void store(const QString& title, int kind, const StoreSources& sources);

    TZRedit& window_;
    std::unique_ptr<PrinterStorage> storage_;
    TStoreDlg* storeDialog_ = nullptr;
    TObjListDlg* objectList_ = nullptr;
    TFilesDlg* filesDialog_ = nullptr;
};

// The File menu's printer items and the toolbar's files button.
CommandTable storageCommands(TZRedit& window);

// The printer's stored graphics (kListGraphics) or fonts (kListFonts) in the object list as
// a chooser: the name the user extracts, or nothing when the list could not be received or
// the user closed it.
std::optional<std::string> chooseStoredObject(TZRedit& window, int kind);

}  // namespace tavrin
