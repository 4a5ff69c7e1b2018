#include "editor/align_dialog.h"

#include <QCheckBox>
#include <QFormLayout>

#include "editing/dialog_fields.h"
#include "editor/dialog_controls.h"

namespace tavrin {

using namespace gui;

TAlignDlg::TAlignDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAlignDlg"));
    setWindowTitle(QStringLiteral("Align to Grid"));
    gridStep_ = makeEdit(this, "GridStep", kGridStepLength, 4);
    sizesToo_ = new QCheckBox(this);
    sizesToo_->setObjectName(QStringLiteral("SizesToo"));
    auto* align = makeButton(this, "AlignBt", QStringLiteral("Align"));
    auto* save = makeButton(this, "SaveBt", QStringLiteral("Save"));
    align->setDefault(true);
    connect(align, &QPushButton::clicked, this, [this] { press(Align); });
    connect(save, &QPushButton::clicked, this, [this] { press(Save); });

    auto* form = makeForm();
    form->addRow(QStringLiteral("Grid step:"), gridStep_);
    form->addRow(QStringLiteral("Adjust size:"), sizesToo_);
    layOutDialog(this, form, {align, save});
}

void TAlignDlg::fill(int gridStep, bool adjustSizes) {
    outcome_ = Closed;
    step_ = gridStep;
    gridStep_->setText(QString::number(gridStep));
    sizesToo_->setChecked(adjustSizes);
    gridStep_->setFocus();
    gridStep_->selectAll();
}

bool TAlignDlg::adjustSizes() const { return sizesToo_->isChecked(); }

// A step outside 4..80 leaves the dialog open, without a message.
void TAlignDlg::press(Outcome button) {
    const auto step = acceptGridStep(gridStep_->text().toStdString());
    if (!step) return;
    step_ = *step;
    outcome_ = button;
    accept();
}

TAlignDlg::Outcome TAlignDlg::execute(int& gridStep, bool& adjustSizes) {
    fill(gridStep, adjustSizes);
    if (exec() != QDialog::Accepted || outcome_ == Closed) return Closed;
    gridStep = step_;
    adjustSizes = sizesToo_->isChecked();
    return outcome_;
}

}  // namespace tavrin
