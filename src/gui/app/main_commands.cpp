// The main window's file and edit commands and the figure dialogs the mouse opens.
#include <QFileDialog>
#include <QFileInfo>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/place_dialog.h"
#include "document/label_file.h"
#include "editor/figure_dialogs.h"
#include "editor/label_view.h"
#include "editing/figure_edit.h"
#include "editing/font_list.h"
#include "editing/geometry.h"
#include "printer/form_file.h"

namespace tavrin {

namespace {

const QString kLabelFilter = "Label editor files (*.qlb *.QLB)";
const QString kFormFilter = "Label printer forms (*.ejf *.EJF)";

void showMessage(const UserMessage& message) {
    messageBox(QString::fromStdString(message.title), QString::fromStdString(message.text), false);
}

std::filesystem::path toPath(const QString& fileName) { return std::filesystem::path(fileName.toStdString()); }

}  // namespace

bool TZRedit::maySpoilChanges() {
    if (!session_->modified()) return true;
    switch (askSaveChanges(this)) {
        case SaveAnswer::Yes: return saveAsLabel();
        case SaveAnswer::No: return true;
        case SaveAnswer::Cancel: break;
    }
    return false;
}

void TZRedit::newLabel() {
    if (!maySpoilChanges()) return;
    LabelDocument label = session_->document();
    label.newLabel();
    view_->scrollToOrigin();
    session_->startLabel(std::move(label));
    labelReplaced({});
}

void TZRedit::labelReplaced(const QString& fileName) {
    currentFile_ = fileName;
    if (!fileName.isEmpty()) rememberRecent(fileName);
    // The label is now what is on disk (or nothing): no recovery copy is needed.
    writeRecoveryCopy();
    updateActions();
}

void TZRedit::rememberRecent(const QString& fileName) {
    recent_.add(QFileInfo(fileName).absoluteFilePath().toStdString());
    recent_.save();
    rebuildRecentMenu();
}

void TZRedit::openRecentFile(const QString& fileName) {
    if (!QFileInfo::exists(fileName)) {
        messageBox("Error", QString("File not found: %1").arg(fileName), false);
        recent_.remove(fileName.toStdString());
        recent_.save();
        rebuildRecentMenu();
        return;
    }
    if (!maySpoilChanges()) return;
    openLabelFile(fileName);
}

void TZRedit::openHandedOverFile(const QString& fileName) {
    if (fileName.isEmpty()) return;
    // A file that cannot be opened is reported before anything is asked about this label.
    LabelDocument probe;
    const Result readable = loadLabelFile(toPath(fileName), probe);
    if (!readable) {
        messageBox("Error", QString::fromStdString(readable.message()), false);
        return;
    }
    if (!maySpoilChanges()) return;
    openLabelFile(fileName);
}

void TZRedit::openLabel() {
    if (!maySpoilChanges()) return;
    view_->scrollToOrigin();
    const QString folder = QString::fromStdString(config_.workDirectory);
    const QString fileName = files_.open ? files_.open(this, "Load new label", folder, kLabelFilter)
                                         : QFileDialog::getOpenFileName(this, "Load new label", folder, kLabelFilter);
    if (fileName.isEmpty()) return;
    openLabelFile(fileName);
}

bool TZRedit::openLabelFile(const QString& fileName) {
    // Read onto a copy: what the file does not hold (some of the setup) stays as it was.
    LabelDocument loaded = session_->document();
    const Result result = loadLabelFile(toPath(fileName), loaded);
    if (!result) {
        messageBox("Error", QString::fromStdString(result.message()), false);
        return false;
    }
    rememberFolder(fileName);
    session_->startLabel(std::move(loaded));
    labelReplaced(fileName);
    return true;
}

QString TZRedit::chooseOpenFile(const QString& title, const QString& filter, QWidget* parent) {
    const QString folder = QString::fromStdString(config_.workDirectory);
    if (parent == nullptr) parent = this;
    return files_.open ? files_.open(parent, title, folder, filter) : QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString TZRedit::chooseSaveFile(const QString& title, const QString& filter, const QString& extension) {
    const QString folder = QString::fromStdString(config_.workDirectory);
    QString fileName = files_.save ? files_.save(this, title, folder, filter)
                                   : QFileDialog::getSaveFileName(this, title, folder, filter, nullptr,
                                                                  QFileDialog::DontConfirmOverwrite);
    if (fileName.isEmpty()) return {};
    if (QFileInfo(fileName).suffix().isEmpty()) fileName += "." + extension;
    if (QFileInfo::exists(fileName) && messageBox("Warning", "File exists. Overwrite?", true) != 1) return {};
    return fileName;
}

void TZRedit::rememberFolder(const QString& fileName) {
    config_.workDirectory = QFileInfo(fileName).absolutePath().toStdString();
}

bool TZRedit::saveAsLabel() {
    if (session_->document().figures.empty()) {
        messageBox("Error", "Nothing to save", false);
        return false;
    }
    const QString fileName = chooseSaveFile("Save as label", kLabelFilter, "qlb");
    if (fileName.isEmpty()) return false;
    const Result result = saveLabelFile(toPath(fileName), session_->document());
    if (!result) {
        messageBox("Error", QString::fromStdString(result.message()), false);
        return false;
    }
    rememberFolder(fileName);
    session_->markSaved();
    labelReplaced(fileName);
    return true;
}

void TZRedit::saveAsForm() {
    if (session_->document().figures.empty()) {
        messageBox("Error", "Nothing to save", false);
        return;
    }
    const QString fileName = chooseSaveFile("Save as form", kFormFilter, "ejf");
    if (fileName.isEmpty()) return;
    rememberFolder(fileName);
    const Result result = tavrin::saveAsForm(toPath(fileName), session_->document());
    if (!result) messageBox("Error", QString::fromStdString(result.message()), false);
}

void TZRedit::labelSetup(bool modal) {
    const auto apply = [this](const auto& change) {
        view_->scrollToOrigin();
        session_->edit([&](LabelDocument& label) { change(label.setup); });
    };
    if (modal) {
        LabelSetup setup = session_->document().setup;
        placeDialog(setupDialog_, this, -1, 24);
        if (setupDialog_->execute(setup)) apply([&](LabelSetup& label) { label = setup; });
        return;
    }
    // From the menu the dialog stays beside the label while the user goes on working; OK
    // applies what it shows then.
    setupDialog_->fill(session_->document().setup);
    placeDialog(setupDialog_, this, -1, 24);
    setupDialog_->show();
    setupDialog_->raise();
    if (!setupConnected_) {
        setupConnected_ = true;
        connect(setupDialog_, &QDialog::accepted, this, [this, apply] {
            if (setupDialog_->isModal()) return;  // execute() applies its own result
            apply([this](LabelSetup& label) { setupDialog_->apply(label); });
        });
    }
}

void TZRedit::selectAll() {
    session_->select([](FigureList& figures) { figures.selectAll(); });
}

void TZRedit::unselectAll() {
    session_->select([](FigureList& figures) { figures.unselectAll(); });
}

void TZRedit::copySelection() {
    session_->select([](FigureList& figures) { figures.copy(); });
}

void TZRedit::pasteFigures() {
    session_->edit([](LabelDocument& label) { label.figures.paste(); });
}

void TZRedit::deleteSelection() {
    const DeleteRequest request = session_->document().figures.requestDelete();
    if (request.error) {
        showMessage(*request.error);
        return;
    }
    if (messageBox(QString::fromStdString(request.question.title), QString::fromStdString(request.question.text),
                   true) != 1)
        return;
    session_->edit([](LabelDocument& label) { label.figures.deleteSelected(); });
}

void TZRedit::alignToGrid() {
    int step = config_.gridStep;
    bool adjustSizes = false;
    placeDialog(alignDialog_, this, -1, 0);
    const auto choice = alignDialog_->execute(step, adjustSizes);
    if (choice == TAlignDlg::Closed) return;
    config_.gridStep = step;
    applyCanvasOptions();
    // A new grid step alone redraws the grid.
    session_->edit([&](LabelDocument& label) {
        if (choice == TAlignDlg::Align) alignSelection(label, step, adjustSizes);
    });
}

void TZRedit::moveToTop() {
    std::optional<UserMessage> error;
    session_->edit([&](LabelDocument& label) { return !(error = label.figures.moveToTop()); });
    if (error) showMessage(*error);
}

void TZRedit::moveToBottom() {
    std::optional<UserMessage> error;
    session_->edit([&](LabelDocument& label) { return !(error = label.figures.moveToBottom()); });
    if (error) showMessage(*error);
}

void TZRedit::undo() { session_->undo(); }

void TZRedit::redo() { session_->redo(); }

std::vector<std::string> TZRedit::fontList() const { return buildFontList(session_->document().figures); }

void TZRedit::openNewFigureDialog(FigureKind kind, DotPoint press, DotPoint release) {
    FigureTemplates& templates = session_->templates();
    // The dialog works on a copy of the kind's template.
    const auto run = [&](const auto& templateRecord, auto* dialog, auto place, auto... extra) {
        auto record = templateRecord;
        place(record);
        placeDialog(dialog, this, -1, 0);
        if (!dialog->execute(record, false, extra...)) return;
        session_->edit([&](LabelDocument& label) { addNewFigure(label.figures, templates, record); });
    };
    switch (kind) {
        case FigureKind::Text:
            run(templates.text, textDialog_, [&](TextRecord& r) { r.x = press.x, r.y = press.y; }, fontList(),
                translation_);
            break;
        case FigureKind::Barcode:
            run(templates.barcode, barcodeDialog_, [&](BarcodeRecord& r) { r.x = press.x, r.y = press.y; });
            break;
        case FigureKind::Rectangle:
            run(templates.rectangle, rectangleDialog_, [&](RectangleRecord& r) { placeNewRectangle(r, press, release); });
            break;
        case FigureKind::Box:
            run(templates.box, boxDialog_, [&](BoxRecord& r) { placeNewBox(r, press, release); });
            break;
        case FigureKind::DiagonalLine:
            run(templates.line, lineDialog_, [&](LineRecord& r) { placeNewLine(r, press, release); });
            break;
        case FigureKind::Picture:
            if (drawPicture_) drawPicture_(press);
            break;
        default: break;
    }
}

void TZRedit::editFigure(const Figure* figure) {
    // The figure stays in the list while its dialog is open: nothing else can change the
    // document then, the dialogs being modal.
    if (figure->kind == FigureKind::Picture) {
        if (editPicture_) editPicture_(figure);
        return;
    }
    const auto inEditMode = [this](auto* dialog, auto... extra) {
        return [this, dialog, extra...](auto& record) {
            placeDialog(dialog, this, -1, 0);
            return dialog->execute(record, true, extra...);
        };
    };
    FigureDialogs dialogs;
    dialogs.text = inEditMode(textDialog_, fontList(), translation_);
    dialogs.barcode = inEditMode(barcodeDialog_);
    dialogs.rectangle = inEditMode(rectangleDialog_);
    dialogs.box = inEditMode(boxDialog_);
    dialogs.line = inEditMode(lineDialog_);
    session_->edit([&](LabelDocument& label) {
        Figure* edited = findFigure(label.figures, figure);
        return edited != nullptr && editFigureInDialog(*edited, session_->templates(), dialogs);
    });
}

}  // namespace tavrin
