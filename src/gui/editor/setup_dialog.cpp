#include "editor/setup_dialog.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>

#include "editing/setup_fields.h"
#include "editor/dialog_controls.h"

namespace tavrin {

using namespace gui;

namespace {
QFormLayout* group(QGridLayout* grid, QWidget* parent, const QString& title, int row, int column, int rowSpan) {
    auto* box = new QGroupBox(title, parent);
    auto* form = makeForm(box);
    grid->addWidget(box, row, column, rowSpan, 1);
    return form;
}
}  // namespace

TSetupDlg::TSetupDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TSetupDlg"));
    setWindowTitle(QStringLiteral("Label Setup"));
    std::vector<std::string> presets;
    for (const auto& preset : kLabelSizePresets) presets.emplace_back(preset.name);
    labSize_ = makeList(this, "TmpLabSize", presets);
    labWidth_ = makeEdit(this, "TmpLabWidth", kSizeEditLength, 6);
    labLength_ = makeEdit(this, "TmpLabLen", kSizeEditLength, 6);
    gap_ = makeEdit(this, "TmpGap", kGapEditLength, 6);
    offset_ = makeEdit(this, "TmpOffset", kSizeEditLength, 6);
    darkness_ = makeList(this, "TmpDarkness", darknessItems());
    speed_ = makeList(this, "TmpSpeed", kSpeedNames);
    left_ = makeEdit(this, "TmpLeft", kSizeEditLength, 6);
    top_ = makeEdit(this, "TmpTop", kSizeEditLength, 6);
    orientation_ = makeList(this, "TmpOrient", kOrientationNames);
    language_ = makeList(this, "TmpLanguage", kLanguageNames);
    paper_ = makeList(this, "TmpPaper", kPaperTypeNames);
    textType_ = makeList(this, "TmpType", kTextTypeItems);
    dateFormat_ = makeEdit(this, "TmpDateFmt", kFormatEditLength, 10);
    timeFormat_ = makeEdit(this, "TmpTimeFmt", kFormatEditLength, 10);
    auto* ok = makeButton(this, "ButtonOK", QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(labSize_, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (const auto size = labelSizePreset(position)) {
            labWidth_->setText(QString::number(size->first));
            labLength_->setText(QString::number(size->second));
        }
    });

    auto* grid = new QGridLayout(this);
    QFormLayout* label = group(grid, this, QStringLiteral(" Label "), 0, 0, 1);
    label->addRow(QStringLiteral("Label size:"), labSize_);
    label->addRow(QStringLiteral("Width:"), labWidth_);
    label->addRow(QStringLiteral("Length:"), labLength_);
    label->addRow(QStringLiteral("Gap:"), gap_);
    label->addRow(QStringLiteral("Offset:"), offset_);
    QFormLayout* dateTime = group(grid, this, QStringLiteral(" Date and time "), 1, 0, 1);
    dateTime->addRow(QStringLiteral("Date format:"), dateFormat_);
    dateTime->addRow(QStringLiteral("Time format:"), timeFormat_);
    QFormLayout* printer = group(grid, this, QStringLiteral(" Printer "), 0, 1, 2);
    printer->addRow(QStringLiteral("Darkness:"), darkness_);
    printer->addRow(QStringLiteral("Speed:"), speed_);
    printer->addRow(QStringLiteral("Left margin:"), left_);
    printer->addRow(QStringLiteral("Top margin:"), top_);
    printer->addRow(QStringLiteral("Orientation:"), orientation_);
    printer->addRow(QStringLiteral("Language:"), language_);
    printer->addRow(QStringLiteral("Paper:"), paper_);
    printer->addRow(QStringLiteral("Text type:"), textType_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void TSetupDlg::fill(const LabelSetup& setup) {
    const SetupForm form = setupForm(setup);
    labSize_->setCurrentIndex(form.labelSize);
    setEditText(labWidth_, form.width);
    setEditText(labLength_, form.length);
    setEditText(gap_, form.gap);
    setEditText(offset_, form.offset);
    darkness_->setCurrentIndex(form.darkness);
    speed_->setCurrentIndex(form.speed);
    setEditText(left_, form.leftMargin);
    setEditText(top_, form.topMargin);
    orientation_->setCurrentIndex(form.orientation);
    language_->setCurrentIndex(form.language);
    paper_->setCurrentIndex(form.paperType);
    textType_->setCurrentIndex(form.textType);
    setEditText(dateFormat_, form.dateFormat);
    setEditText(timeFormat_, form.timeFormat);
    labWidth_->setFocus();
}

void TSetupDlg::apply(LabelSetup& setup) const {
    SetupForm form;
    form.labelSize = labSize_->currentIndex();
    form.width = editText(labWidth_);
    form.length = editText(labLength_);
    form.gap = editText(gap_);
    form.offset = editText(offset_);
    form.darkness = darkness_->currentIndex();
    form.speed = speed_->currentIndex();
    form.leftMargin = editText(left_);
    form.topMargin = editText(top_);
    form.orientation = orientation_->currentIndex();
    form.language = language_->currentIndex();
    form.paperType = paper_->currentIndex();
    form.textType = textType_->currentIndex();
    form.dateFormat = editText(dateFormat_);
    form.timeFormat = editText(timeFormat_);
    applySetupForm(form, setup);
}

bool TSetupDlg::execute(LabelSetup& setup) {
    fill(setup);
    if (exec() != QDialog::Accepted) return false;
    apply(setup);
    return true;
}

}  // namespace tavrin
