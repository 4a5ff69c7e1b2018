#include "tools/select_form_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/place_dialog.h"
#include "editor/dialog_controls.h"

namespace tavrin {

using namespace gui;

namespace {
// A reply line of the form list can be longer than a name typed for a store.
constexpr int kFormNameLength = 31;
}  // namespace

TSelectFormDlg::TSelectFormDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TSelectFormDlg"));
    setWindowTitle(QStringLiteral("SelectFirst new active form"));
    auto* heading = new QLabel(QStringLiteral("Form name:"), this);
    heading->setObjectName(QStringLiteral("HeadingLb"));
    name_ = makeEdit(this, "NameEd", kFormNameLength, 20);
    connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int cursor = name_->cursorPosition();
        name_->setText(text.toUpper());
        name_->setCursorPosition(cursor);
    });
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ObjList"));
    list_->setMinimumHeight(160);
    connect(list_, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) { name_->setText(item->text()); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { select(item->text()); });
    auto* button = makeButton(this, "SelectBt", QStringLiteral("Select"));
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, [this] { select(name_->text()); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(name_);
    layout->addWidget(list_);
    layout->addWidget(button, 0, Qt::AlignRight);
}

void TSelectFormDlg::select(const QString& name) {
    if (name.isEmpty() || list_->findItems(name, Qt::MatchExactly).isEmpty()) return;
    chosen_ = name.toLatin1().toStdString();
    accept();
}

std::string TSelectFormDlg::choose(const std::vector<std::string>& names) {
    chosen_.clear();
    list_->clear();
    for (const std::string& n : names) list_->addItem(QString::fromLatin1(n.c_str()));
    name_->clear();
    name_->setFocus();
    placeDialog(this, parentWidget(), 48, 88);
    exec();
    return chosen_;
}

}  // namespace tavrin
