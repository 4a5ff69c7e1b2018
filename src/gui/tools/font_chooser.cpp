#include "tools/font_chooser.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "editor/dialog_controls.h"
#include "fonts/font_management.h"

namespace tavrin {

TFontsDlg::TFontsDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFontsDlg"));
    fonts_ = gui::makeList(this, "FontsList", std::vector<std::string>{});
    fonts_->setMinimumContentsLength(22);
    name_ = gui::makeEdit(this, "NameEd", 1, 2);
    // One letter, shown as the capital it will be.
    connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text != text.toUpper()) name_->setText(text.toUpper());
    });
    auto* ok = gui::makeButton(this, "OkBt", QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = gui::makeButton(this, "CancelBt", QStringLiteral("Cancel"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Loaded fonts:"), fonts_);
    nameCaption_ = new QLabel(QStringLiteral("Name:"), this);
    form->addRow(nameCaption_, name_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(fonts_, &QComboBox::activated, this, [this] {
        const QString entry = fonts_->currentText();
        if (!entry.isEmpty()) name_->setText(entry.left(1).toUpper());
    });
    connect(ok, &QPushButton::clicked, this, &TFontsDlg::OkBtClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFontsDlg::fill(const QString& caption, const std::vector<std::string>& entries, bool nameShown) {
    setWindowTitle(caption);
    gui::setItems(fonts_, entries);
    fonts_->setCurrentIndex(entries.empty() ? -1 : 0);
    nameShown_ = nameShown;
    name_->clear();
    name_->setVisible(nameShown);
    nameCaption_->setVisible(nameShown);
}

std::optional<char> TFontsDlg::choose() {
    result_.reset();
    if (nameShown_) name_->setFocus();
    exec();
    return result_;
}

void TFontsDlg::OkBtClick() {
    if (nameShown_) {
        result_ = chosenNewFontLetter(name_->text().toStdString());
        if (!result_) {
            name_->clear();
            name_->setFocus();
            return;
        }
    } else {
        result_ = chosenListedFontLetter(fonts_->currentText().toStdString());
        if (!result_) return;
    }
    accept();
}

TNewFontDlg::TNewFontDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TNewFontDlg"));
    setWindowTitle(QStringLiteral("Add New Font"));
    auto* fromDisk = gui::makeButton(this, "FromDiskBt", QStringLiteral("From Disk"));
    fromPrinter_ = gui::makeButton(this, "FromPrinterBt", QStringLiteral("From Printer"));
    auto* cancel = gui::makeButton(this, "CancelBt", QStringLiteral("Cancel"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(fromDisk);
    layout->addWidget(fromPrinter_);
    layout->addWidget(cancel);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(fromDisk, &QPushButton::clicked, this, [this] {
        if (fromDisk_ && fromDisk_()) accept();
    });
    connect(fromPrinter_, &QPushButton::clicked, this, [this] {
        if (fromPrinterWay_ && fromPrinterWay_()) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setWays({}, {});
}

void TNewFontDlg::setWays(AddFont fromDisk, AddFont fromPrinter) {
    fromDisk_ = std::move(fromDisk);
    fromPrinterWay_ = std::move(fromPrinter);
    fromPrinter_->setEnabled(static_cast<bool>(fromPrinterWay_));
}

bool TNewFontDlg::execute() { return exec() == QDialog::Accepted; }

}  // namespace tavrin
