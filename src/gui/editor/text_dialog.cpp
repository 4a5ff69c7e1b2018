#include "editor/text_dialog.h"

#include <QFormLayout>

#include "editing/dialog_fields.h"
#include "editing/figure_edit.h"
#include "editor/dialog_controls.h"
#include "printer/screen_text.h"

namespace tavrin {

using namespace gui;

TTextDlg::TTextDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TTextDlg"));
    startX_ = makeEdit(this, "StartX", 5, 5);
    startY_ = makeEdit(this, "StartY", 5, 5);
    sizeX_ = makeList(this, "SizeX", kHorizontalSizeItems);
    sizeY_ = makeList(this, "SizeY", kVerticalSizeItems);
    fontType_ = makeList(this, "FontType", std::vector<std::string>{});
    fontStyle_ = makeList(this, "FontStyle", kTextStyleItems);
    textRot_ = makeList(this, "TextRot", kRotationItems);
    textData_ = makeEdit(this, "TextData", static_cast<int>(kDialogDataLength), 40);
    auto* ok = makeButton(this, "OkBt", QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* form = makeForm();
    form->addRow(QStringLiteral("X:"), startX_);
    form->addRow(QStringLiteral("Y:"), startY_);
    form->addRow(QStringLiteral("Width multiplier:"), sizeX_);
    form->addRow(QStringLiteral("Height multiplier:"), sizeY_);
    form->addRow(QStringLiteral("Font:"), fontType_);
    form->addRow(QStringLiteral("Style:"), fontStyle_);
    form->addRow(QStringLiteral("Rotation:"), textRot_);
    form->addRow(QStringLiteral("Text:"), textData_);
    form->addRow(QString(), guardDataField(this, textData_, "TextDataHint"));
    layOutDialog(this, form, {ok});
}

void TTextDlg::fill(const TextRecord& record, bool edit, const std::vector<std::string>& fontList,
                    const Translation& translation) {
    setWindowTitle(edit ? QStringLiteral("Edit Text") : QStringLiteral("Draw Text"));
    translation_ = translation;
    setItems(fontType_, fontList);
    const TextForm form = textForm(record, fontType_->count());
    setEditText(startX_, form.x);
    setEditText(startY_, form.y);
    sizeX_->setCurrentIndex(form.hMul);
    sizeY_->setCurrentIndex(form.vMul);
    fontType_->setCurrentIndex(form.font);
    fontStyle_->setCurrentIndex(form.style);
    textRot_->setCurrentIndex(form.rotation);
    printerText_ = record.data;
    shownText_ = QString::fromStdString(printerToScreen(record.data, translation));
    textData_->setMaxLength(static_cast<int>(textDataLimit(record.data.size())));
    textData_->setText(shownText_);
    startX_->setFocus();
}

bool TTextDlg::apply(TextRecord& record) const {
    const Record before = record.encode();
    TextForm form;
    form.x = editText(startX_);
    form.y = editText(startY_);
    form.hMul = sizeX_->currentIndex();
    form.vMul = sizeY_->currentIndex();
    form.font = fontType_->currentIndex();
    form.style = fontStyle_->currentIndex();
    form.rotation = textRot_->currentIndex();
    form.data = copiedBackText(printerText_, shownText_.toStdString(), textData_->text().toStdString(), translation_);
    applyTextForm(form, fontType_->count(), record);
    return record.encode() != before;
}

bool TTextDlg::execute(TextRecord& record, bool edit, const std::vector<std::string>& fontList,
                       const Translation& translation) {
    fill(record, edit, fontList, translation);
    if (exec() != QDialog::Accepted) return false;
    apply(record);
    return true;
}

}  // namespace tavrin
