#include "editor/picture_commands.h"

#include <QFileDialog>

#include "app/main_window.h"
#include "app/place_dialog.h"
#include "editor/picture_dialog.h"
#include "printer/extract_graphics.h"
#include "printer/storage_operations.h"
#include "tools/storage_commands.h"

namespace tavrin {
namespace {

const QString kGraphicsFilter = QStringLiteral("Graphics files (*.pcx *.bmp *.PCX *.BMP)");

void drawPicture(TZRedit& window, TPictureDlg& dialog, DotPoint press) {
    FigureList& figures = window.session().document().figures;
    PictureRecord& templateRecord = window.session().templates().picture;
    PictureFormResult picture{templateRecord, nullptr};
    picture.record.x = press.x;
    picture.record.y = press.y;
    placeDialog(&dialog, &window, -1, 0);
    if (!dialog.execute(figures, PictureDialogState::forNew(), picture)) return;
    // The next picture is proposed under the name last confirmed.
    templateRecord = picture.record;
    if (appendPicture(figures, picture)) {
        AppConfig& config = window.config();
        config.pictureNumber = (config.pictureNumber + 1) % 10000;
    }
    window.changed();
}

void editPicture(TZRedit& window, TPictureDlg& dialog, Figure* figure) {
    FigureList& figures = window.session().document().figures;
    PictureFormResult picture{PictureRecord::decode(figure->record), figure->picture};
    placeDialog(&dialog, &window, -1, 0);
    if (!dialog.execute(figures, PictureDialogState::forEdit(*figure), picture)) return;
    // As after drawing one, the next new picture starts from the values last confirmed.
    window.session().templates().picture = picture.record;
    figure->record = picture.record.encode();
    figure->picture = picture.block;
    window.changed();
}

}  // namespace

CommandTable pictureCommands(TZRedit& window) {
    auto* dialog = new TPictureDlg(&window);
    dialog->setFileChooser([&window](QWidget* owner) {
        const QString folder = QString::fromStdString(window.config().workDirectory);
        const FileChooser& files = window.fileChooser();
        return files.open ? files.open(owner, kFromDiskTitle, folder, kGraphicsFilter)
                          : QFileDialog::getOpenFileName(owner, kFromDiskTitle, folder, kGraphicsFilter);
    });
    TPictureDlg::PrinterPictures printer;
    // The printer's object list is the one chooser of stored objects.
    printer.choose = [&window]() -> std::optional<std::string> {
        std::optional<std::string> name = chooseStoredObject(window, kListGraphics);
        if (!name) return std::nullopt;
        while (!name->empty() && name->back() == ' ') name->pop_back();
        while (!name->empty() && name->front() == ' ') name->erase(name->begin());
        return name;
    };
    printer.fetch = [&window](const std::string& name, GraphicsBuffer& buffer) {
        return ExtractGraphics(window.link(), buffer, name);
    };
    dialog->setPrinterSource(std::move(printer));
    window.setPictureHandlers([&window, dialog](DotPoint press) { drawPicture(window, *dialog, press); },
                              [&window, dialog](Figure* figure) { editPicture(window, *dialog, figure); });
    return {{MenuGroup::Draw, "PictureM", "&Picture", {}, [&window] { window.setTool(Tool::Picture); }, {}, "PictBt"}};
}

}  // namespace tavrin
