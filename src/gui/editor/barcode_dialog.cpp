#include "editor/barcode_dialog.h"

#include <QFormLayout>
#include <QLabel>

#include "editing/dialog_fields.h"
#include "editor/dialog_controls.h"
#include "render/barcode/barcode.h"

namespace tavrin {

using namespace gui;

namespace {
// Barcode data is the printer's bytes as they stand; Latin-1 shows each byte as one
// character and gives it back unchanged.
QString showBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
std::string takeBytes(const QString& text) { return text.toLatin1().toStdString(); }
}  // namespace

TBarcodeDlg::TBarcodeDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TBarcodeDlg"));
    startX_ = makeEdit(this, "StartX", 5, 5);
    startY_ = makeEdit(this, "StartY", 5, 5);
    height_ = makeEdit(this, "BHeight", 5, 5);
    narrowBar_ = makeList(this, "NarrowBar", kNarrowBarItems);
    wideBar_ = makeList(this, "WideBar", kWideBarItems);
    hrText_ = makeList(this, "HRtext", kHumanReadableItems);
    barRot_ = makeList(this, "BarRot", kRotationItems);
    barType_ = makeList(this, "BarType", barcodeTypeItems());
    errorLevel_ = makeList(this, "ErrorLevel", std::vector<std::string>{});
    barData_ = makeEdit(this, "BarData", static_cast<int>(kDialogDataLength), 40);
    auto* ok = makeButton(this, "OkBt", QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* form = makeForm();
    form->addRow(QStringLiteral("X:"), startX_);
    form->addRow(QStringLiteral("Y:"), startY_);
    form->addRow(QStringLiteral("Height:"), height_);
    form->addRow(QStringLiteral("Narrow bar:"), narrowBar_);
    form->addRow(QStringLiteral("Wide bar:"), wideBar_);
    form->addRow(QStringLiteral("Human readable:"), hrText_);
    form->addRow(QStringLiteral("Rotation:"), barRot_);
    form->addRow(QStringLiteral("Type:"), barType_);
    form->addRow(QStringLiteral("Error correction:"), errorLevel_);
    form->addRow(QStringLiteral("Data:"), barData_);
    form->addRow(QString(), guardDataField(this, barData_, "BarDataHint"));
    narrowLabel_ = qobject_cast<QLabel*>(form->labelForField(narrowBar_));
    layOutDialog(this, form, {ok});
    connect(barType_, &QComboBox::currentIndexChanged, this, &TBarcodeDlg::typeChanged);
    typeChanged(barType_->currentIndex());
}

void TBarcodeDlg::typeChanged(int position) {
    const BarcodeControls controls = barcodeControls(position);
    height_->setEnabled(controls.height);
    wideBar_->setEnabled(controls.wide);
    hrText_->setEnabled(controls.humanReadable);
    errorLevel_->setEnabled(controls.errorLevel);
    if (narrowLabel_)
        narrowLabel_->setText(controls.errorLevel ? QStringLiteral("Module size:") : QStringLiteral("Narrow bar:"));
    QStringList items;
    for (const std::string& item : barcode::errorLevelItems(position)) items << QString::fromStdString(item);
    QStringList current;
    for (int i = 0; i < errorLevel_->count(); ++i) current << errorLevel_->itemText(i);
    if (items == current) return;
    errorLevel_->clear();
    errorLevel_->addItems(items);
    errorLevel_->setCurrentIndex(items.isEmpty() ? -1 : 0);
}

void TBarcodeDlg::fill(const BarcodeRecord& record, bool edit) {
    setWindowTitle(edit ? QStringLiteral("Edit Barcode") : QStringLiteral("Draw Barcode"));
    const BarcodeForm form = barcodeForm(record);
    setEditText(startX_, form.x);
    setEditText(startY_, form.y);
    setEditText(height_, form.height);
    narrowBar_->setCurrentIndex(form.narrow);
    wideBar_->setCurrentIndex(form.wide);
    hrText_->setCurrentIndex(form.humanReadable);
    barRot_->setCurrentIndex(form.rotation);
    barType_->setCurrentIndex(form.type);
    typeChanged(form.type);
    errorLevel_->setCurrentIndex(errorLevel_->count() > 0 ? form.errorLevel : -1);
    recordData_ = record.data;
    shownData_ = showBytes(record.data);
    barData_->setMaxLength(static_cast<int>(barcodeDataLimit(record.data.size())));
    barData_->setText(shownData_);
    startX_->setFocus();
}

bool TBarcodeDlg::apply(BarcodeRecord& record) const {
    const Record before = record.encode();
    BarcodeForm form;
    form.x = editText(startX_);
    form.y = editText(startY_);
    form.height = editText(height_);
    form.narrow = narrowBar_->currentIndex();
    form.wide = wideBar_->currentIndex();
    form.humanReadable = hrText_->currentIndex();
    form.rotation = barRot_->currentIndex();
    form.type = barType_->currentIndex();
    form.errorLevel = errorLevel_->currentIndex();
    const QString typed = barData_->text();
    form.data = typed == shownData_ ? recordData_ : takeBytes(typed);
    applyBarcodeForm(form, record);
    return record.encode() != before;
}

bool TBarcodeDlg::execute(BarcodeRecord& record, bool edit) {
    fill(record, edit);
    if (exec() != QDialog::Accepted) return false;
    apply(record);
    return true;
}

}  // namespace tavrin
