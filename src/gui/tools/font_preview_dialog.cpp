#include "tools/font_preview_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "app/message_box.h"
#include "editor/dialog_controls.h"

namespace tavrin {

namespace {

constexpr int kStartSize = 20;
constexpr int kStartWidthPosition = 10;
const char* const kSizeItems[] = {"12", "14", "16", "18", "20", "22", "24", "28", "32", "36", "40",
                                  "48", "56", "64", "72", "96", "120", "144", "180", "200", "240"};
const QString kFontFilter = QStringLiteral("Label printer fonts (*.qft *.QFT)");

QSpinBox* makeSpin(QWidget* parent, const char* name, int minimum, int maximum) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(minimum, maximum);
    spin->setValue(0);
    return spin;
}

QLabel* makeValue(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("000000 pixels")));
    return label;
}

}  // namespace

TFontPreviewDlg::TFontPreviewDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFontPreviewDlg"));
    setWindowTitle(QStringLiteral("Font Preview"));

    size_ = gui::makeList(this, "SizeList", kSizeItems);
    size_->setEditable(true);
    size_->setInsertPolicy(QComboBox::NoInsert);
    size_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), size_));
    width_ = new QSlider(Qt::Horizontal, this);
    width_->setObjectName(QStringLiteral("WidthBar"));
    width_->setRange(0, 20);
    width_->setPageStep(1);
    width_->setTickPosition(QSlider::TicksBelow);
    width_->setTickInterval(1);
    widthValue_ = new QLabel(this);
    widthValue_->setObjectName(QStringLiteral("WidthValue"));
    space_ = makeSpin(this, "SpaceUD", kMinSpace, kMaxSpace);
    top_ = makeSpin(this, "TopUD", 0, 0);
    bottom_ = makeSpin(this, "BottomUD", 0, 0);
    auto_ = new QCheckBox(QStringLiteral("Auto"), this);
    auto_->setObjectName(QStringLiteral("AutoCB"));
    characters_ = makeValue(this, "CharactersLb");
    height_ = makeValue(this, "HeightLb");
    meanWidth_ = makeValue(this, "MeanWidthLb");
    bytes_ = makeValue(this, "BytesLb");
    image_ = new QLabel;
    image_->setObjectName(QStringLiteral("PreviewImage"));
    image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("PreviewArea"));
    scroll_->setWidget(image_);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll_->setBackgroundRole(QPalette::Base);
    scroll_->setMinimumSize(560, 420);
    auto* save = gui::makeButton(this, "SaveBt", QStringLiteral("Save"));
    auto* close = gui::makeButton(this, "CloseBt", QStringLiteral("Close"));

    // Width correction: the bar with its three marks under it.
    auto* marks = new QHBoxLayout;
    marks->addWidget(new QLabel(QStringLiteral("0.5")));
    marks->addStretch();
    marks->addWidget(new QLabel(QStringLiteral("1.0")));
    marks->addStretch();
    marks->addWidget(new QLabel(QStringLiteral("2.0")));
    auto* widthBox = new QVBoxLayout;
    widthBox->setSpacing(0);
    widthBox->addWidget(width_);
    widthBox->addLayout(marks);

    auto* settings = new QFormLayout;
    settings->addRow(QStringLiteral("Size:"), size_);
    auto* widthCaption = new QHBoxLayout;
    widthCaption->addWidget(new QLabel(QStringLiteral("Width correction:")));
    widthCaption->addStretch();
    widthCaption->addWidget(widthValue_);
    settings->addRow(widthCaption);
    settings->addRow(widthBox);
    settings->addRow(QStringLiteral("Space:"), space_);

    auto* trim = new QGroupBox(QStringLiteral(" Remove blank lines "), this);
    auto* trimLayout = new QFormLayout(trim);
    trimLayout->addRow(QStringLiteral("Top:"), top_);
    trimLayout->addRow(QStringLiteral("Bottom:"), bottom_);
    trimLayout->addRow(auto_);

    auto* statistics = new QGroupBox(this);
    auto* statLayout = new QFormLayout(statistics);
    statLayout->addRow(QStringLiteral("Characters:"), characters_);
    statLayout->addRow(QStringLiteral("Height:"), height_);
    statLayout->addRow(QStringLiteral("Mean width:"), meanWidth_);
    statLayout->addRow(QStringLiteral("Bytes:"), bytes_);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* left = new QVBoxLayout;
    left->addLayout(settings);
    left->addWidget(trim);
    left->addWidget(statistics);
    left->addStretch();
    left->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(scroll_, 1);

    connect(size_, &QComboBox::editTextChanged, this, [this] {
        if (!updating_ && chosenSize() != font_.size) refreshPreview();
    });
    connect(width_, &QSlider::valueChanged, this, [this] {
        if (!updating_) refreshPreview();
    });
    for (QSpinBox* spin : {space_, top_, bottom_})
        connect(spin, &QSpinBox::valueChanged, this, [this] {
            if (!updating_) refreshPreview();
        });
    connect(auto_, &QCheckBox::toggled, this, [this] {
        if (!updating_) refreshPreview();
    });
    connect(save, &QPushButton::clicked, this, &TFontPreviewDlg::SaveBtClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resetSettings();
}

void TFontPreviewDlg::resetSettings() {
    updating_ = true;
    size_->setEditText(QString::number(kStartSize));
    width_->setValue(kStartWidthPosition);
    space_->setValue(0);
    auto_->setChecked(false);
    top_->setRange(0, 0);
    bottom_->setRange(0, 0);
    updating_ = false;
    font_ = RasterFont{};
    font_.size = 0;
    lineHeight_ = -1;
    shownWidth_ = -1;
}

int TFontPreviewDlg::chosenSize() const {
    bool ok = false;
    const int typed = size_->currentText().toInt(&ok);
    // Nothing readable typed yet: the size in use stays.
    if (!ok) return font_.size > 0 ? font_.size : kStartSize;
    return clampFontSize(typed);
}

RasterSettings TFontPreviewDlg::settings() const {
    RasterSettings s;
    s.size = chosenSize();
    s.widthCorrection = widthCorrectionAt(width_->value());
    s.space = space_->value();
    s.autoTrim = auto_->isChecked();
    s.topRemove = top_->value();
    s.bottomRemove = bottom_->value();
    return s;
}

void TFontPreviewDlg::open(const GlyphSource& font, const CharacterTable::Cells& cells) {
    glyphs_ = &font;
    cells_ = cells;
    resetSettings();
    show();
    refreshPreview();
}

void TFontPreviewDlg::execute(const GlyphSource& font, const CharacterTable::Cells& cells) {
    open(font, cells);
    exec();
    glyphs_ = nullptr;
}

void TFontPreviewDlg::refreshPreview() {
    if (glyphs_ == nullptr) return;
    const RasterSettings s = settings();
    font_ = rasteriseFont(*glyphs_, cells_, s);
    widthValue_->setText(QString::number(s.widthCorrection, 'f', 2));
    showTrim();
    characters_->setText(QString::number(font_.characters));
    height_->setText(QString::number(font_.height) + QStringLiteral(" pixels"));
    meanWidth_->setText(QString::asprintf("%.1f", font_.meanWidth) + QStringLiteral(" pixels"));
    bytes_->setText(QString::number(font_.bytes));
    drawPreview();
}

// The trim fields show what is cut. Their limits keep at least one row: at first the top
// may take half the cell; a change of one field limits the other, and a new cell height
// limits both at once, so a limit never outlives the size it was made for.
void TFontPreviewDlg::showTrim() {
    const int lh = font_.lineHeight;
    updating_ = true;
    if (lineHeight_ < 0) {
        top_->setMaximum(std::max(lh / 2, font_.topRemove));
        bottom_->setMaximum(std::max(lh - lh / 2 - 1, font_.bottomRemove));
    } else {
        top_->setMaximum(maxTrim(lh, font_.bottomRemove));
        bottom_->setMaximum(maxTrim(lh, font_.topRemove));
    }
    top_->setValue(font_.topRemove);
    bottom_->setValue(font_.bottomRemove);
    top_->setEnabled(!auto_->isChecked());
    bottom_->setEnabled(!auto_->isChecked());
    updating_ = false;
    lineHeight_ = lh;
}

void TFontPreviewDlg::drawPreview() {
    const int width = std::max(scroll_->viewport()->width(), 64);
    shownWidth_ = width;
    const FontPreview preview = drawFontPreview(font_, width);
    QImage mono(preview.width, std::max(preview.height, 1), QImage::Format_Mono);
    mono.setColor(0, qRgb(255, 255, 255));
    mono.setColor(1, qRgb(0, 0, 0));
    mono.fill(0);
    const auto rowBytes = static_cast<std::size_t>(std::min<qsizetype>(preview.stride, mono.bytesPerLine()));
    for (int y = 0; y < preview.height; ++y)
        std::memcpy(mono.scanLine(y), preview.bits.data() + static_cast<std::size_t>(y) * preview.stride, rowBytes);
    QImage shown = mono.convertToFormat(QImage::Format_RGB32);
    // The rows to be cut are tinted on every line, with a thin line where the cut falls.
    QPainter painter(&shown);
    const QColor cut(255, 0, 0, 48), edge(220, 0, 0);
    for (const FontPreview::Guides& g : preview.guides) {
        const int lineTop = g.keptTop - font_.topRemove;
        const int lineBottom = lineTop + font_.lineHeight;
        if (font_.topRemove > 0) {
            painter.fillRect(0, lineTop, shown.width(), font_.topRemove, cut);
            painter.setPen(edge);
            painter.drawLine(0, g.keptTop, 6, g.keptTop);
        }
        if (font_.bottomRemove > 0) {
            painter.fillRect(0, g.cutBottom, shown.width(), lineBottom - g.cutBottom, cut);
            painter.setPen(edge);
            painter.drawLine(0, g.cutBottom - 1, 6, g.cutBottom - 1);
        }
    }
    painter.end();
    image_->setPixmap(QPixmap::fromImage(shown));
    image_->resize(shown.size());
}

void TFontPreviewDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (glyphs_ != nullptr && scroll_->viewport()->width() != shownWidth_) drawPreview();
}

void TFontPreviewDlg::SaveBtClick() {
    if (const std::string problem = checkFontLimits(font_); !problem.empty()) {
        messageBox(QStringLiteral("Error"), QString::fromStdString(problem), false);
        return;
    }
    const QString title = QStringLiteral("Save Font as");
    QString fileName = saveChooser_ ? saveChooser_(this, title, folder_, kFontFilter)
                                    : QFileDialog::getSaveFileName(this, title, folder_, kFontFilter);
    if (fileName.isEmpty()) return;
    if (QFileInfo(fileName).suffix().isEmpty()) fileName += QStringLiteral(".qft");
    folder_ = QFileInfo(fileName).absolutePath();
    if (const std::string problem = saveLabelFont(fileName.toStdString(), font_); !problem.empty())
        messageBox(QStringLiteral("Error"), QString::fromStdString(problem), false);
}

}  // namespace tavrin
