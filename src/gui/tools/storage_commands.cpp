#include "tools/storage_commands.h"

#include <QFileInfo>

#include "app/main_window.h"
#include "app/message_box.h"
#include "graphics/graphics_file.h"
#include "tools/files_dialog.h"
#include "tools/object_list_dialog.h"
#include "tools/store_dialog.h"

namespace tavrin {

StorageCommands::StorageCommands(TZRedit& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("StorageCommands"));
    storage_ = std::make_unique<PrinterStorage>(window.link());
    storeDialog_ = new TStoreDlg(*storage_, &window);
    objectList_ = new TObjListDlg(window.services(), *storage_, &window);
    filesDialog_ = new TFilesDlg(window, *this);
}

StorageCommands::~StorageCommands() = default;

StorageCommands* StorageCommands::of(const TZRedit& window) {
    return window.findChild<StorageCommands*>(QStringLiteral("StorageCommands"), Qt::FindDirectChildrenOnly);
}

PrinterStorage& StorageCommands::storage() {
    window_.link();
    return *storage_;
}

void StorageCommands::store(const QString& title, int kind, const StoreSources& sources) {
    storage();  // the link set to the configuration of now
    storeDialog_->execute(title, kind, sources);
}

bool StorageCommands::objectsInPrinter(int kind) { return objectList_->browse(kind); }

void StorageCommands::storeCurrentLabel() {
    if (window_.session().document().figures.empty()) {
        messageBox(QStringLiteral("Error"), QStringLiteral("Nothing to store"), false);
        return;
    }
    StoreSources sources;
    sources.label = &window_.session().document();
    store(QStringLiteral("Store current label"), kListFormsForLabel, sources);
}

namespace {

// The file a store takes, from the open dialog; its folder becomes the work directory.
QString chooseStoreFile(TZRedit& window, const QString& title, const QString& filter) {
    const QString fileName = window.chooseOpenFile(title, filter);
    if (!fileName.isEmpty()) window.config().workDirectory = QFileInfo(fileName).absolutePath().toStdString();
    return fileName;
}

}  // namespace

void StorageCommands::storeFormFile() {
    const QString fileName = chooseStoreFile(window_, QStringLiteral("Load form"),
                                             QStringLiteral("Label printer forms (*.ejf *.EJF)"));
    if (fileName.isEmpty()) return;
    StoreSources sources;
    sources.file = std::filesystem::path(fileName.toStdString());
    store(QStringLiteral("Store ") + QFileInfo(fileName).fileName(), kListForms, sources);
}

void StorageCommands::storeFontFile() {
    const QString fileName = chooseStoreFile(window_, QStringLiteral("Load font"),
                                             QStringLiteral("Label printer fonts (*.qft *.QFT)"));
    if (fileName.isEmpty()) return;
    StoreSources sources;
    sources.file = std::filesystem::path(fileName.toStdString());
    store(QStringLiteral("Store ") + QFileInfo(fileName).fileName(), kListFonts, sources);
}

void StorageCommands::storeGraphicsFile() {
    const QString fileName = chooseStoreFile(window_, QStringLiteral("Load graphics"),
                                             QStringLiteral("Label printer graphics (*.pcx *.bmp *.PCX *.BMP)"));
    if (fileName.isEmpty()) return;
    // The buffer is large; it lives only while the store window is open.
    auto buffer = std::make_unique<GraphicsBuffer>();
    const GraphicsLoadResult loaded = LoadGraphicsFile(fileName.toStdString(), *buffer);
    if (!loaded) {
        messageBox(QString::fromStdString(loaded.message.title), QString::fromStdString(loaded.message.text), false);
        return;
    }
    StoreSources sources;
    sources.graphics = buffer.get();
    store(QStringLiteral("Store ") + QFileInfo(fileName).fileName(), kListGraphics, sources);
}

CommandTable storageCommands(TZRedit& window) {
    auto* commands = new StorageCommands(window);
    const auto list = [commands](int kind) { return [commands, kind] { commands->objectsInPrinter(kind); }; };
    using enum MenuGroup;
    return {
        {FilePrinterLists, "FormM", "Forms &in Printer", {}, list(kListForms)},
        {FilePrinterLists, "GraphicsM", "&Graphics in Printer", {}, list(kListGraphics)},
        {FilePrinterLists, "FontsM", "Fon&ts in Printer", {}, list(kListFonts)},
        {FilePrinterStore, "StoreCurrentM", "Store &Current Label", {}, [commands] { commands->storeCurrentLabel(); }},
        {FilePrinterStore, "StoreFormM", "Store Form to &Printer", {}, [commands] { commands->storeFormFile(); }},
        {FilePrinterStore, "StoreGraphicsM", "Store Gr&aphics to Printer", {}, [commands] { commands->storeGraphicsFile(); }},
        {FilePrinterStore, "StoreFontM", "Sto&re Font to Printer", {}, [commands] { commands->storeFontFile(); }},
        {ToolbarOnly, nullptr, nullptr, {}, [commands] { commands->filesDialog().execute(); }, {}, "FilesBt"},
    };
}

std::optional<std::string> chooseStoredObject(TZRedit& window, int kind) {
    StorageCommands* commands = StorageCommands::of(window);
    if (commands == nullptr || (kind != kListGraphics && kind != kListFonts)) return std::nullopt;
    return commands->objectList().pick(kind);
}

}  // namespace tavrin
