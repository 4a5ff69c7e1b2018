#include "tools/font_commands.h"

#include <QFileDialog>
#include <QFileInfo>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/place_dialog.h"
#include "editing/font_list.h"
#include "fonts/font_file.h"
#include "fonts/font_management.h"
#include "printer/printer_exchanges.h"
#include "tools/cancel_watch.h"
#include "tools/font_chooser.h"
#include "tools/storage_commands.h"
#include "tools/truetype_dialog.h"

namespace tavrin {

namespace {

const QString kLoadFontFilter = QStringLiteral("Label editor fonts (*.qft *.QFT)");

// The folder last used for label fonts, kept for the run of the program.
QString& fontFolder(TZRedit& window) {
    static QString folder;
    if (folder.isEmpty()) folder = QString::fromStdString(window.config().workDirectory);
    return folder;
}

// Each window is made on first use and kept, as a child of the main window.
template <typename Dialog>
Dialog* dialogOf(TZRedit& window, const char* name) {
    if (auto* existing = window.findChild<Dialog*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly)) return existing;
    return new Dialog(&window);
}

void showMessage(const UserMessage& message) {
    messageBox(QString::fromStdString(message.title), QString::fromStdString(message.text), false);
}

}  // namespace

void runFontConverter(TZRedit& window) {
    auto* converter = dialogOf<TTrueTypeDlg>(window, "TTrueTypeDlg");
    TFontPreviewDlg* preview = converter->previewDialog();
    preview->setSaveChooser(window.fileChooser().save);
    preview->setFolder(fontFolder(window));
    converter->execute(&window);
    fontFolder(window) = preview->folder();
}

bool addFontFromDisk(TZRedit& window) {
    const QString title = QStringLiteral("Load new font");
    QString& folder = fontFolder(window);
    const QString fileName = window.fileChooser().open
                                 ? window.fileChooser().open(&window, title, folder, kLoadFontFilter)
                                 : QFileDialog::getOpenFileName(&window, title, folder, kLoadFontFilter);
    if (fileName.isEmpty()) return false;
    folder = QFileInfo(fileName).absolutePath();

    auto* chooser = dialogOf<TFontsDlg>(window, "TFontsDlg");
    chooser->fill(QStringLiteral("Name for ") + fileName, fontListEntries(window.session().document().figures), true);
    placeDialog(chooser, &window, -1, 0);
    const std::optional<char> letter = chooser->choose();
    if (!letter) return false;

    std::vector<std::uint8_t> font;
    if (const Result read = readFontFile(fileName.toStdString(), font); !read) {
        messageBox(QStringLiteral("Error"), QString::fromStdString(read.message()), false);
        return false;
    }
    window.session().edit([&](LabelDocument& label) { addNewFont(label.figures, *letter, std::move(font)); });
    return true;
}

bool addFontFromPrinter(TZRedit& window) {
    const std::optional<std::string> chosen = chooseStoredObject(window, kListFonts);
    if (!chosen) return false;
    const std::string name = QString::fromStdString(*chosen).trimmed().toStdString();
    return !name.empty() && addStoredFont(window, name);
}

bool addStoredFont(TZRedit& window, const std::string& name) {
    std::vector<std::uint8_t> reply;
    {
        CancelWatch watch(window.link());
        if (!fetchFontBytes(window.link(), name, reply)) return false;
    }
    if (const Result checked = checkFontData(reply); !checked) {
        messageBox(QStringLiteral("Error"), QString::fromStdString(checked.message()), false);
        return false;
    }

    std::optional<char> letter = storedFontLetter(name);
    if (!letter) {
        auto* chooser = dialogOf<TFontsDlg>(window, "TFontsDlg");
        chooser->fill(QStringLiteral("Name for ") + QString::fromStdString(name),
                      fontListEntries(window.session().document().figures), true);
        placeDialog(chooser, &window, -1, 0);
        letter = chooser->choose();
    }
    if (!letter) return false;
    window.session().edit([&](LabelDocument& label) { addNewFont(label.figures, *letter, std::move(reply)); });
    return true;
}

bool addNewFontCommand(TZRedit& window) {
    auto* dialog = dialogOf<TNewFontDlg>(window, "TNewFontDlg");
    dialog->setWays([&window] { return addFontFromDisk(window); }, [&window] { return addFontFromPrinter(window); });
    placeDialog(dialog, &window, -1, 0);
    return dialog->execute();
}

bool removeFontCommand(TZRedit& window) {
    const FigureList& figures = window.session().document().figures;
    if (const auto problem = checkCanChooseFontToRemove(figures)) {
        showMessage(*problem);
        return false;
    }
    auto* chooser = dialogOf<TFontsDlg>(window, "TFontsDlg");
    chooser->fill(QStringLiteral("Select font to remove"), fontListEntries(figures), false);
    placeDialog(chooser, &window, -1, 0);
    const std::optional<char> letter = chooser->choose();
    if (!letter) return false;
    std::optional<UserMessage> problem;
    const bool removed = window.session().edit([&](LabelDocument& label) {
        const std::size_t before = label.figures.fonts().size();
        problem = removeFont(label.figures, *letter);
        return label.figures.fonts().size() != before;
    });
    if (problem) showMessage(*problem);
    return removed;
}

CommandTable fontCommands(TZRedit& window) {
    using enum MenuGroup;
    return {
        {ToolsConverters, "TtfToQftM", "&TrueType to Label Font Converter", {}, [&window] { runFontConverter(window); }},
        {ToolsFonts, "NewFontM", "&Add New Font", {}, [&window] { addNewFontCommand(window); }},
        {ToolsFonts, "RemoveFontM", "&Remove Font", {}, [&window] { removeFontCommand(window); }},
    };
}

}  // namespace tavrin
