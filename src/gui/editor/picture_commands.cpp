#include "editor/picture_commands.h"

#include <QFileDialog>

#include "app/main_window.h"
#include "app/place_dialog.h"
#include "editing/figure_edit.h"
#include "editor/picture_dialog.h"
#include "printer/extract_graphics.h"
#include "printer/storage_operations.h"
#include "tools/storage_commands.h"

namespace tavrin {
namespace {

const QString kGraphicsFilter = QStringLiteral("Graphics files (*.pcx *.bmp *.PCX *.BMP)");

void drawPicture(EditorSession& session, AppConfig& config, TPictureDlg& dialog, QWidget* owner, DotPoint press) {
    PictureRecord& templateRecord = session.templates().picture;
    PictureFormResult picture{templateRecord, nullptr};
    picture.record.x = press.x;
    picture.record.y = press.y;
    placeDialog(&dialog, owner, -1, 0);
    session.edit([&](LabelDocument& label) {
        if (!dialog.execute(label.figures, PictureDialogState::forNew(), picture)) return false;
        // The next picture is proposed under the name last confirmed.
        templateRecord = picture.record;
        if (appendPicture(label.figures, picture)) config.pictureNumber = (config.pictureNumber + 1) % 10000;
        return true;
    });
}

void editPicture(EditorSession& session, TPictureDlg& dialog, QWidget* owner, const Figure* shown) {
    PictureFormResult picture{PictureRecord::decode(shown->record), shown->picture};
    placeDialog(&dialog, owner, -1, 0);
    // The dialog renames and repoints pictures that share the block, so it works on the label.
    session.edit([&](LabelDocument& label) {
        Figure* figure = findFigure(label.figures, shown);
        if (figure == nullptr || !dialog.execute(label.figures, PictureDialogState::forEdit(*figure), picture))
            return false;
        // As after drawing one, the next new picture starts from the values last confirmed.
        session.templates().picture = picture.record;
        figure->record = picture.record.encode();
        figure->picture = picture.block;
        return true;
    });
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
    window.setPictureHandlers(
        [&window, dialog](DotPoint press) { drawPicture(window.session(), window.config(), *dialog, &window, press); },
        [&window, dialog](const Figure* figure) { editPicture(window.session(), *dialog, &window, figure); });
    return {{MenuGroup::Draw, "PictureM", "&Picture", {}, [&window] { window.setTool(Tool::Picture); }, {}, "PictBt"}};
}

}  // namespace tavrin
