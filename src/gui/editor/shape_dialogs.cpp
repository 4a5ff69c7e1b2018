#include "editor/shape_dialogs.h"

#include <QFormLayout>

#include "editing/dialog_fields.h"
#include "editor/dialog_controls.h"

namespace tavrin {

using namespace gui;

namespace {

QFormLayout* addFormWithOk(QDialog* dialog) {
    auto* ok = makeButton(dialog, "OkBt", QStringLiteral("OK"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    auto* form = makeForm();
    layOutDialog(dialog, form, {ok});
    return form;
}

QLineEdit* coordinateEdit(QWidget* parent, const char* name) { return makeEdit(parent, name, 5, 5); }

template <typename Run>
bool runModal(QDialog& dialog, Run apply) {
    if (dialog.exec() != QDialog::Accepted) return false;
    apply();
    return true;
}

}  // namespace

TBarDlg::TBarDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TBarDlg"));
    left_ = coordinateEdit(this, "RectLeft");
    top_ = coordinateEdit(this, "RectTop");
    width_ = coordinateEdit(this, "RectWidth");
    height_ = coordinateEdit(this, "RectHeight");
    colour_ = makeList(this, "RectColor", kColourItems);
    QFormLayout* form = addFormWithOk(this);
    form->addRow(QStringLiteral("Left:"), left_);
    form->addRow(QStringLiteral("Top:"), top_);
    form->addRow(QStringLiteral("Width:"), width_);
    form->addRow(QStringLiteral("Height:"), height_);
    form->addRow(QStringLiteral("Colour:"), colour_);
}

void TBarDlg::fill(const RectangleRecord& record, bool edit) {
    setWindowTitle(edit ? QStringLiteral("Edit Rectangle") : QStringLiteral("Draw Rectangle"));
    const RectangleForm form = rectangleForm(record);
    setEditText(left_, form.x);
    setEditText(top_, form.y);
    setEditText(width_, form.width);
    setEditText(height_, form.height);
    colour_->setCurrentIndex(form.colour);
    left_->setFocus();
}

bool TBarDlg::apply(RectangleRecord& record) const {
    const Record before = record.encode();
    applyRectangleForm({editText(left_), editText(top_), editText(width_), editText(height_), colour_->currentIndex()},
                       record);
    return record.encode() != before;
}

bool TBarDlg::execute(RectangleRecord& record, bool edit) {
    fill(record, edit);
    return runModal(*this, [&] { apply(record); });
}

TBoxDlg::TBoxDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TBoxDlg"));
    left_ = coordinateEdit(this, "BoxLeft");
    top_ = coordinateEdit(this, "BoxTop");
    right_ = coordinateEdit(this, "BoxRight");
    bottom_ = coordinateEdit(this, "BoxBottom");
    thickness_ = makeEdit(this, "BoxThickness", 2, 5);
    QFormLayout* form = addFormWithOk(this);
    form->addRow(QStringLiteral("Left:"), left_);
    form->addRow(QStringLiteral("Top:"), top_);
    form->addRow(QStringLiteral("Right:"), right_);
    form->addRow(QStringLiteral("Bottom:"), bottom_);
    form->addRow(QStringLiteral("Thickness:"), thickness_);
}

void TBoxDlg::fill(const BoxRecord& record, bool edit) {
    setWindowTitle(edit ? QStringLiteral("Edit Box") : QStringLiteral("Draw Box"));
    const BoxForm form = boxForm(record);
    setEditText(left_, form.x1);
    setEditText(top_, form.y1);
    setEditText(right_, form.x2);
    setEditText(bottom_, form.y2);
    setEditText(thickness_, form.thickness);
    left_->setFocus();
}

bool TBoxDlg::apply(BoxRecord& record) const {
    const Record before = record.encode();
    applyBoxForm({editText(left_), editText(top_), editText(right_), editText(bottom_), editText(thickness_)}, record);
    return record.encode() != before;
}

bool TBoxDlg::execute(BoxRecord& record, bool edit) {
    fill(record, edit);
    return runModal(*this, [&] { apply(record); });
}

TLineDlg::TLineDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TLineDlg"));
    startX_ = coordinateEdit(this, "StartX");
    startY_ = coordinateEdit(this, "StartY");
    endX_ = coordinateEdit(this, "EndX");
    endY_ = coordinateEdit(this, "EndY");
    thickness_ = makeEdit(this, "LineThickness", 2, 5);
    colour_ = makeList(this, "LineColor", kColourItems);
    QFormLayout* form = addFormWithOk(this);
    form->addRow(QStringLiteral("Start X:"), startX_);
    form->addRow(QStringLiteral("Start Y:"), startY_);
    form->addRow(QStringLiteral("End X:"), endX_);
    form->addRow(QStringLiteral("End Y:"), endY_);
    form->addRow(QStringLiteral("Thickness:"), thickness_);
    form->addRow(QStringLiteral("Colour:"), colour_);
}

void TLineDlg::fill(const LineRecord& record, bool edit) {
    setWindowTitle(edit ? QStringLiteral("Edit Diagonal Line") : QStringLiteral("Draw Diagonal Line"));
    const LineForm form = lineForm(record);
    setEditText(startX_, form.x1);
    setEditText(startY_, form.y1);
    setEditText(endX_, form.x2);
    setEditText(endY_, form.y2);
    setEditText(thickness_, form.thickness);
    colour_->setCurrentIndex(form.colour);
    startX_->setFocus();
}

bool TLineDlg::apply(LineRecord& record) const {
    const Record before = record.encode();
    applyLineForm({editText(startX_), editText(startY_), editText(endX_), editText(endY_), editText(thickness_),
                   colour_->currentIndex()},
                  record);
    return record.encode() != before;
}

bool TLineDlg::execute(LineRecord& record, bool edit) {
    fill(record, edit);
    return runModal(*this, [&] { apply(record); });
}

}  // namespace tavrin
