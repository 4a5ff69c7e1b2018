#include "tools/truetype_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "app/message_box.h"
#include "app/place_dialog.h"
#include "editor/dialog_controls.h"
#include "fonts/font_catalogue.h"
#include "tools/character_grid.h"
#include "tools/glyph_images.h"

namespace tavrin {

namespace {

constexpr int kEnlargedSize = 96;

}  // namespace

TTrueTypeDlg::TTrueTypeDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TTrueTypeDlg"));
    setWindowTitle(QStringLiteral("TrueType to Label Printer Font Converter"));
    family_ = gui::makeList(this, "FontList", std::vector<std::string>{});
    family_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    family_->setMinimumContentsLength(24);
    style_ = gui::makeList(this, "StyleList", kStyleNames);
    script_ = gui::makeList(this, "ScriptList", std::vector<std::string>{});
    script_->setMinimumContentsLength(14);
    source_ = new CharacterGrid("SourceGrid", true, this);
    target_ = new CharacterGrid("TargetGrid", false, this);
    character_ = new QLabel(this);
    character_->setObjectName(QStringLiteral("CharPreview"));
    character_->setFixedSize(kEnlargedSize + 8, kEnlargedSize + 8);
    character_->setAlignment(Qt::AlignCenter);
    character_->setFrameShape(QFrame::StyledPanel);
    character_->setBackgroundRole(QPalette::Base);
    character_->setAutoFillBackground(true);
    auto* copy = gui::makeButton(this, "CopyBt", QStringLiteral("Copy"));
    auto* clear = gui::makeButton(this, "ClearBt", QStringLiteral("Clear"));
    auto* clearMarked = gui::makeButton(this, "ClearMarkedBt", QStringLiteral("Clear Marked"));
    auto* undo = gui::makeButton(this, "UndoBt", QStringLiteral("Undo"));
    auto* preview = gui::makeButton(this, "PreviewBt", QStringLiteral("Preview"));
    auto* close = gui::makeButton(this, "CloseBt", QStringLiteral("Close"));

    auto* choices = new QFormLayout;
    choices->addRow(QStringLiteral("Font:"), family_);
    choices->addRow(QStringLiteral("Style:"), style_);
    choices->addRow(QStringLiteral("Script:"), script_);
    auto* top = new QHBoxLayout;
    top->addLayout(choices);
    top->addStretch();
    top->addWidget(character_);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {copy, clear, clearMarked, undo}) buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(preview);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(new QLabel(QStringLiteral("TrueType characters:")));
    layout->addWidget(source_);
    layout->addWidget(new QLabel(QStringLiteral("Label font characters:")));
    layout->addWidget(target_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(family_, &QComboBox::activated, this, &TTrueTypeDlg::FontListChange);
    connect(style_, &QComboBox::activated, this, &TTrueTypeDlg::StyleListChange);
    connect(script_, &QComboBox::activated, this, &TTrueTypeDlg::ScriptListChange);
    connect(source_, &QTableWidget::cellClicked, this, &TTrueTypeDlg::SourceGridClick);
    connect(source_, &QTableWidget::cellDoubleClicked, this, &TTrueTypeDlg::SourceGridDblClick);
    connect(target_, &QTableWidget::cellClicked, this, &TTrueTypeDlg::TargetGridClick);
    // Moving in the target by keys moves the selection the commands work at.
    connect(target_, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (row >= 0 && column >= 0) table_.select({row, column});
    });
    connect(copy, &QPushButton::clicked, this, &TTrueTypeDlg::CopyBtClick);
    connect(clear, &QPushButton::clicked, this, &TTrueTypeDlg::ClearBtClick);
    connect(clearMarked, &QPushButton::clicked, this, &TTrueTypeDlg::ClearMarkedBtClick);
    connect(undo, &QPushButton::clicked, this, &TTrueTypeDlg::UndoBtClick);
    connect(preview, &QPushButton::clicked, this, &TTrueTypeDlg::PreviewBtClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    preview_ = new TFontPreviewDlg(this);
}

void TTrueTypeDlg::prepare() {
    table_ = CharacterTable();
    gui::setItems(family_, scalableFontFamilies());
    family_->setCurrentIndex(family_->count() > 0 ? 0 : -1);
    style_->setCurrentIndex(0);
    source_->setCurrent({0, 0});
    FontListChange();
}

void TTrueTypeDlg::execute(const QWidget* mainWindow) {
    prepare();
    placeDialog(this, mainWindow, -1, 0);
    exec();
    glyphs_.reset();
    images_.fill(QImage());
}

void TTrueTypeDlg::FontListChange() {
    std::vector<std::string> scripts;
    for (const ScriptInfo* script : familyScripts(family_->currentText().toStdString()))
        scripts.emplace_back(script->name);
    gui::setItems(script_, scripts);
    script_->setCurrentIndex(scripts.empty() ? -1 : 0);
    openFont();
}

void TTrueTypeDlg::StyleListChange() { openFont(); }

void TTrueTypeDlg::ScriptListChange() { openFont(); }

// The chosen family, style and script become the font both tables are drawn in.
void TTrueTypeDlg::openFont() {
    glyphs_.reset();
    const ScriptInfo* script = scriptByName(script_->currentText().toStdString());
    if (script != nullptr) {
        std::string error;
        glyphs_ = GlyphSource::open(family_->currentText().toStdString(), std::max(style_->currentIndex(), 0), *script,
                                    error);
    }
    const QSize box(CharacterGrid::kCellWidth, CharacterGrid::kCellHeight);
    for (int code = 0; code < 256; ++code)
        images_[static_cast<std::size_t>(code)] =
            glyphs_ && code >= kTableFirstCode ? glyphImage(*glyphs_, static_cast<std::uint8_t>(code), box) : QImage();
    drawSource();
    drawTarget();
    showCharacter(cellCode(source_->current()));
}

void TTrueTypeDlg::drawSource() {
    for (int r = 0; r < kTableRows; ++r)
        for (int c = 0; c < kTableColumns; ++c) {
            const int code = cellCode({r, c});
            const QImage& image = images_[static_cast<std::size_t>(code)];
            source_->setCell({r, c}, image.isNull() ? 0 : code, image);
        }
}

// The target shows each cell's source character in the current font, and its selection.
void TTrueTypeDlg::drawTarget() {
    for (int r = 0; r < kTableRows; ++r)
        for (int c = 0; c < kTableColumns; ++c) {
            const int code = table_.at({r, c});
            target_->setCell({r, c}, code, images_[static_cast<std::size_t>(code)]);
        }
    target_->setCurrent(table_.selection());
}

void TTrueTypeDlg::showCharacter(int code) {
    const QImage image = glyphs_ && code >= kTableFirstCode && code <= 255
                             ? glyphImage(*glyphs_, static_cast<std::uint8_t>(code), QSize(kEnlargedSize, kEnlargedSize))
                             : QImage();
    character_->setPixmap(QPixmap::fromImage(image));
    character_->setProperty("code", image.isNull() ? 0 : code);
}

void TTrueTypeDlg::SourceGridClick(int row, int column) { showCharacter(cellCode({row, column})); }

void TTrueTypeDlg::SourceGridDblClick(int row, int column) {
    table_.copyFromSource({row, column});
    drawTarget();
    showCharacter(cellCode({row, column}));
}

void TTrueTypeDlg::TargetGridClick(int row, int column) {
    table_.select({row, column});
    showCharacter(table_.at({row, column}));
}

void TTrueTypeDlg::CopyBtClick() {
    table_.select(target_->current());
    table_.copyRange(source_->markedRange());
    drawTarget();
}

void TTrueTypeDlg::ClearBtClick() {
    table_.clear();
    drawTarget();
}

void TTrueTypeDlg::ClearMarkedBtClick() {
    table_.select(target_->current());
    table_.clearMarked();
    drawTarget();
}

void TTrueTypeDlg::UndoBtClick() {
    table_.undo();
    drawTarget();
}

void TTrueTypeDlg::PreviewBtClick() {
    if (table_.filledCount() == 0 || !glyphs_) {
        messageBox(QStringLiteral("Error"), QStringLiteral("Nothing to preview"), false);
        return;
    }
    preview_->execute(*glyphs_, table_.cells());
}

}  // namespace tavrin
