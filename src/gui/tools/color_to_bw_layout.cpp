// The converter window's controls, where they stand, and how its two picture areas share
// the width.
#include "tools/color_to_bw_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QSlider>
#include <QSplitter>
#include <QVBoxLayout>

#include "editor/dialog_controls.h"
#include "tools/converter_control_strip.h"
#include "tools/converter_picture_area.h"

namespace tavrin {
namespace {

QSlider* makeSlider(QWidget* parent, const char* name, int low, int high, int tick, int page, int value) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(low, high);
    slider->setPageStep(page);
    slider->setTickInterval(tick);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setValue(value);
    return slider;
}

// A slider in a grid row with its caption before it and its value after it.
void addSliderRow(QGridLayout* grid, int row, const QString& caption, QSlider* slider) {
    auto* value = new QLabel(QString::number(slider->value()));
    value->setObjectName(slider->objectName() + QStringLiteral("Value"));
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("-100")));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QObject::connect(slider, &QSlider::valueChanged, value, qOverload<int>(&QLabel::setNum));
    QObject::connect(slider, &QSlider::sliderMoved, value, qOverload<int>(&QLabel::setNum));  // also untracked
    grid->addWidget(new QLabel(caption), row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(value, row, 2);
}

QPushButton* makeStripButton(QWidget* parent, const char* name, const QString& caption) {
    QPushButton* button = gui::makeButton(parent, name, caption);
    // Enter in a size field means "take this size", never a button press.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

void TColorToBW::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    strip_ = new ConverterControlStrip(this);
    layout->addWidget(strip_);

    // Size and rotation.
    QGroupBox* sizeGroup = strip_->group(0);
    QFormLayout* form = gui::makeForm(sizeGroup);
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), this);
    sizeX_ = gui::makeEdit(sizeGroup, "SizeX", 4, 5);
    sizeY_ = gui::makeEdit(sizeGroup, "SizeY", 4, 5);
    sizeX_->setValidator(digits);
    sizeY_->setValidator(digits);
    rotationList_ = gui::makeList(sizeGroup, "Rotation", std::vector<std::string>{"None", "90 deg", "180 deg", "270 deg"});
    proportions_ = new QCheckBox(QStringLiteral("Constrain proportions"), sizeGroup);
    proportions_->setObjectName(QStringLiteral("Proportions"));
    proportions_->setChecked(true);
    smooth_ = new QCheckBox(QStringLiteral("Smooth resize"), sizeGroup);
    smooth_->setObjectName(QStringLiteral("SmoothResize"));
    smooth_->setToolTip(QStringLiteral("Shrinking averages the pixels each dot covers"));
    form->addRow(QStringLiteral("Width:"), sizeX_);
    form->addRow(QStringLiteral("Height:"), sizeY_);
    form->addRow(QStringLiteral("Rotation:"), rotationList_);
    form->addRow(proportions_);
    form->addRow(smooth_);

    // The commands.
    QGroupBox* buttonGroup = strip_->group(1);
    auto* buttons = new QGridLayout(buttonGroup);
    loadBt_ = makeStripButton(buttonGroup, "LoadBt", QStringLiteral("Load"));
    saveBt_ = makeStripButton(buttonGroup, "SaveBt", QStringLiteral("Save"));
    testBt_ = makeStripButton(buttonGroup, "TestBt", QStringLiteral("Test"));
    convertBt_ = makeStripButton(buttonGroup, "ConvertBt", QStringLiteral("Convert"));
    resetBt_ = makeStripButton(buttonGroup, "ResetBt", QStringLiteral("Reset"));
    cutBt_ = makeStripButton(buttonGroup, "CutBt", QStringLiteral("Cut"));
    threshold_ = new QCheckBox(QStringLiteral("50 % Threshold"), buttonGroup);
    threshold_->setObjectName(QStringLiteral("Threshold"));
    selSize_ = new QLabel(buttonGroup);
    selSize_->setObjectName(QStringLiteral("SelSize"));
    buttons->addWidget(loadBt_, 0, 0);
    buttons->addWidget(saveBt_, 0, 1);
    buttons->addWidget(testBt_, 1, 0);
    buttons->addWidget(convertBt_, 1, 1);
    buttons->addWidget(resetBt_, 2, 0);
    buttons->addWidget(cutBt_, 2, 1);
    buttons->addWidget(threshold_, 3, 0, 1, 2);
    buttons->addWidget(selSize_, 4, 0, 1, 2);

    // Brightness and contrast, under the strip that resets them.
    QGroupBox* toneGroup = strip_->group(2);
    auto* tone = new QVBoxLayout(toneGroup);
    auto* toneReset = new ResetStrip("CtlReset1", toneGroup);
    auto* toneGrid = new QGridLayout;
    brightness_ = makeSlider(toneGroup, "Brightness", -100, 100, 20, 5, 0);
    contrast_ = makeSlider(toneGroup, "Contrast", 0, 250, 25, 5, kStripResetContrast);
    addSliderRow(toneGrid, 0, QStringLiteral("Brightness:"), brightness_);
    addSliderRow(toneGrid, 1, QStringLiteral("Contrast:"), contrast_);
    tone->addWidget(toneReset);
    tone->addLayout(toneGrid);
    tone->addStretch();

    // The colour channels' weights.
    QGroupBox* colourGroup = strip_->group(3);
    auto* colour = new QVBoxLayout(colourGroup);
    auto* colourReset = new ResetStrip("CtlReset2", colourGroup);
    auto* colourGrid = new QGridLayout;
    red_ = makeSlider(colourGroup, "Red", 0, 32, 4, 4, 16);
    green_ = makeSlider(colourGroup, "Green", 0, 32, 4, 4, 16);
    blue_ = makeSlider(colourGroup, "Blue", 0, 32, 4, 4, 16);
    addSliderRow(colourGrid, 0, QStringLiteral("Red:"), red_);
    addSliderRow(colourGrid, 1, QStringLiteral("Green:"), green_);
    addSliderRow(colourGrid, 2, QStringLiteral("Blue:"), blue_);
    colour->addWidget(colourReset);
    colour->addLayout(colourGrid);
    colour->addStretch();

    // The two pictures side by side.
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);
    const auto pictureBox = [this](const char* boxName, const char* imageName) {
        auto* scroll = new QScrollArea(splitter_);
        scroll->setObjectName(QString::fromLatin1(boxName));
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        auto* area = new ConverterPictureArea(scroll);
        area->setObjectName(QString::fromLatin1(imageName));
        scroll->setWidget(area);
        QPalette palette = scroll->palette();
        palette.setColor(QPalette::Window, ConverterPictureArea::kBackground);
        scroll->setPalette(palette);
        scroll->setBackgroundRole(QPalette::Window);
        splitter_->addWidget(scroll);
        return std::pair{scroll, area};
    };
    std::tie(colourScroll_, colourArea_) = pictureBox("ColorBox", "ColorImage");
    std::tie(bwScroll_, bwArea_) = pictureBox("BWBox", "BWImage");
    layout->addWidget(splitter_, 1);

    connect(loadBt_, &QPushButton::clicked, this, &TColorToBW::load);
    connect(saveBt_, &QPushButton::clicked, this, &TColorToBW::save);
    connect(testBt_, &QPushButton::clicked, this, &TColorToBW::testPrint);
    connect(convertBt_, &QPushButton::clicked, this, &TColorToBW::convert);
    connect(resetBt_, &QPushButton::clicked, this, &TColorToBW::reset);
    connect(cutBt_, &QPushButton::clicked, this, &TColorToBW::cut);
    connect(sizeX_, &QLineEdit::textEdited, this, [this] { sizeTyped(true); });
    connect(sizeY_, &QLineEdit::textEdited, this, [this] { sizeTyped(false); });
    connect(sizeX_, &QLineEdit::editingFinished, this, &TColorToBW::sizeEntered);
    connect(sizeY_, &QLineEdit::editingFinished, this, &TColorToBW::sizeEntered);
    connect(rotationList_, &QComboBox::currentIndexChanged, this, &TColorToBW::rotationChosen);
    connect(proportions_, &QCheckBox::toggled, this, &TColorToBW::proportionsToggled);
    connect(threshold_, &QCheckBox::toggled, this, [this] {
        if (!quiet_ && hasPicture()) renderPreview();
    });
    connect(smooth_, &QCheckBox::toggled, this, [this] {
        if (!quiet_ && hasPicture()) renderPreview();
    });
    for (QSlider* slider : {brightness_, contrast_})
        connect(slider, &QSlider::valueChanged, this, &TColorToBW::brightnessOrContrastChanged);
    for (QSlider* slider : {red_, green_, blue_})
        connect(slider, &QSlider::valueChanged, this, &TColorToBW::channelWeightChanged);
    connect(toneReset, &ResetStrip::doubleClicked, this, &TColorToBW::brightnessContrastStripReset);
    connect(colourReset, &ResetStrip::doubleClicked, this, &TColorToBW::colourStripReset);
    connect(colourArea_, &ConverterPictureArea::pressed, this, &TColorToBW::colourPressed);
    connect(colourArea_, &ConverterPictureArea::moved, this, &TColorToBW::colourMoved);
    connect(colourArea_, &ConverterPictureArea::released, this, &TColorToBW::colourReleased);
    connect(colourArea_, &ConverterPictureArea::doubleClicked, this, [this] {
        clearSelection();
        equalPictureAreas();
    });
    connect(bwArea_, &ConverterPictureArea::doubleClicked, this, &TColorToBW::equalPictureAreas);
    connect(splitter_, &QSplitter::splitterMoved, this, &TColorToBW::keepDividerInBounds);
}

// ---- Layout -----------------------------------------------------------------------------

void TColorToBW::equalPictureAreas() {
    leftShare_ = 0.5;
    applyDividerShare();
}

void TColorToBW::keepDividerInBounds() {
    const QList<int> sizes = splitter_->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total <= 0) return;
    const int left = clampDivider(sizes.value(0), total);
    leftShare_ = static_cast<double>(left) / total;
    if (left != sizes.value(0)) splitter_->setSizes({left, total - left});
}

void TColorToBW::applyDividerShare() {
    const QList<int> sizes = splitter_->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total <= 0) return;
    const int left = clampDivider(static_cast<int>(total * leftShare_ + 0.5), total);
    splitter_->setSizes({left, total - left});
}

void TColorToBW::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The left picture area keeps its share of the width.
    applyDividerShare();
}

}  // namespace tavrin
