#include "editor/picture_dialog.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>

#include "app/message_box.h"
#include "editing/dialog_fields.h"
#include "editor/dialog_controls.h"
#include "graphics/graphics_file.h"

namespace tavrin {

using namespace gui;

namespace {

constexpr int kNameLength = 8;
const QString kGraphicsFilter = QStringLiteral("Graphics files (*.pcx *.bmp *.PCX *.BMP)");

}  // namespace

TPictureDlg::TPictureDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TPictureDlg"));
    x_ = makeEdit(this, "StartX", 5, 5);
    y_ = makeEdit(this, "StartY", 5, 5);
    name_ = makeEdit(this, "PictName", kNameLength, 9);
    loadedInfo_ = new QLabel(this);
    loadedInfo_->setObjectName(QStringLiteral("PictInfo"));
    fromDisk_ = makeButton(this, "LoadBt", QStringLiteral("From Disk"));
    fromPrinter_ = makeButton(this, "ExtractBt", QStringLiteral("From Printer"));
    fromPrinter_->setEnabled(false);  // until there is a printer to ask
    auto* ok = makeButton(this, "OkBt", QStringLiteral("OK"));
    ok->setDefault(true);

    QFormLayout* form = makeForm();
    form->addRow(QStringLiteral("X:"), x_);
    form->addRow(QStringLiteral("Y:"), y_);
    form->addRow(QStringLiteral("Store as:"), name_);
    form->addRow(QString(), loadedInfo_);
    layOutDialog(this, form, {fromDisk_, fromPrinter_, ok});

    chooseFile_ = [](QWidget* owner) { return QFileDialog::getOpenFileName(owner, kFromDiskTitle, QString(), kGraphicsFilter); };
    connect(fromDisk_, &QPushButton::clicked, this, [this] {
        const QString path = chooseFile_ ? chooseFile_(this) : QString();
        if (!path.isEmpty()) loadFromFile(path);
    });
    connect(fromPrinter_, &QPushButton::clicked, this, [this] { loadFromPrinter(); });
    connect(ok, &QPushButton::clicked, this, [this] { confirm(); });
}

TPictureDlg::~TPictureDlg() = default;

void TPictureDlg::fill(FigureList& figures, PictureDialogState state, const PictureFormResult& picture) {
    figures_ = &figures;
    state_ = std::move(state);
    state_.loaded.reset();
    picture_ = picture;
    setWindowTitle(state_.edit ? QStringLiteral("Edit Picture") : QStringLiteral("Draw Picture"));
    setEditText(x_, std::to_string(picture.record.x));
    setEditText(y_, std::to_string(picture.record.y));
    // A name from a label file may be longer than a typed one; opening must not cut it.
    name_->setMaxLength(std::max<int>(kNameLength, static_cast<int>(picture.record.name.size())));
    setEditText(name_, picture.record.name);
    showLoaded();
    name_->setFocus();
}

bool TPictureDlg::execute(FigureList& figures, PictureDialogState state, PictureFormResult& picture) {
    fill(figures, std::move(state), picture);
    const bool confirmed = exec() == QDialog::Accepted;
    state_.loaded.reset();
    figures_ = nullptr;
    if (confirmed) picture = picture_;
    return confirmed;
}

bool TPictureDlg::loadFromFile(const QString& path) {
    auto buffer = std::make_unique<GraphicsBuffer>();
    const MakePictureResult made = MakePictureData(path.toStdString(), true, *buffer, state_.loaded);
    if (!made.ok) {
        showMessage(made.message.value_or(UserMessage{"Error", "Can't open input file"}));
        return false;
    }
    showLoaded();
    return true;
}

void TPictureDlg::setPrinterSource(PrinterPictures source) {
    printer_ = std::move(source);
    fromPrinter_->setEnabled(printer_.choose && printer_.fetch);
}

bool TPictureDlg::loadFromPrinter() {
    if (!printer_.choose || !printer_.fetch) return false;
    const std::optional<std::string> chosen = printer_.choose();
    if (!chosen || chosen->empty()) return false;
    const std::string& name = *chosen;
    auto buffer = std::make_unique<GraphicsBuffer>();
    const MakePictureResult made = MakePictureData(name, false, *buffer, state_.loaded, printer_.fetch);
    if (!made.ok) {
        if (made.message) showMessage(*made.message);
        return false;
    }
    setEditText(name_, name);
    showLoaded();
    return true;
}

bool TPictureDlg::confirm() {
    if (figures_ == nullptr) return false;
    const int x = acceptField(editText(x_), picture_.record.x, kFigureXRange);
    const int y = acceptField(editText(y_), picture_.record.y, kFigureYRange);
    if (const auto problem = confirmPicture(*figures_, state_, editText(name_), x, y, picture_)) {
        showMessage(*problem);
        return false;
    }
    accept();
    return true;
}

void TPictureDlg::reject() {
    // Closing without OK lets go of whatever was loaded.
    state_.loaded.reset();
    QDialog::reject();
}

void TPictureDlg::showMessage(const UserMessage& message) {
    messageBox(QString::fromStdString(message.title), QString::fromStdString(message.text), false);
}

void TPictureDlg::showLoaded() {
    const LoadedBlock& loaded = state_.loaded;
    const PictureRecord& record = picture_.record;
    if (!loaded.empty())
        loadedInfo_->setText(QStringLiteral("Loaded: %1 x %2 dots").arg(loaded.width).arg(loaded.height));
    else if (picture_.block)
        loadedInfo_->setText(QStringLiteral("%1 x %2 dots").arg(record.width).arg(record.height));
    else
        loadedInfo_->setText(QStringLiteral("No picture loaded"));
}

}  // namespace tavrin
