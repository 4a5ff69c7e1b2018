#include "tools/print_dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/message_box.h"
#include "app/place_dialog.h"
#include "editor/dialog_controls.h"

namespace tavrin {

using namespace gui;

namespace {
constexpr int kQuantityEditLength = 3;

QLineEdit* quantityEdit(QWidget* parent, const char* name) { return makeEdit(parent, name, kQuantityEditLength + 2, 5); }

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    for (QPushButton* b : buttons) row->addWidget(b);
    return row;
}
}  // namespace

QuantityEdit::QuantityEdit(QLineEdit* edit, unsigned& value) : edit_(edit), value_(value) {
    QObject::connect(edit_, &QLineEdit::editingFinished, edit_, [this] { validate(); });
}

void QuantityEdit::show() { edit_->setText(QString::number(value_)); }

void QuantityEdit::validate() { value_ = validateQuantity(edit_->text().toStdString(), value_); }

TTestPrintDlg::TTestPrintDlg(PrintQuantities& quantities, QWidget* parent)
    : QDialog(parent), copies_(quantityEdit(this, "CopiesEd"), quantities.copies) {
    setObjectName(QStringLiteral("TTestPrintDlg"));
    setWindowTitle(QStringLiteral("Test Print"));
    auto* variables = makeButton(this, "VariablesBt", QStringLiteral("Variables"));
    auto* print = makeButton(this, "PrintBt", QStringLiteral("Print"));
    print->setDefault(true);
    connect(variables, &QPushButton::clicked, this, [this] {
        copies_.validate();
        if (onVariables) onVariables();
    });
    connect(print, &QPushButton::clicked, this, [this] {
        copies_.validate();
        accept();
        if (onPrint) onPrint();
    });
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Copies:"), copies_.edit());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttonRow({variables, print}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TTestPrintDlg::execute() {
    copies_.show();
    copies_.edit()->setFocus();
    copies_.edit()->selectAll();
    placeDialog(this, parentWidget(), -1, 0);
    exec();
}

TPrintDlg::TPrintDlg(PrintQuantities& quantities, QWidget* parent)
    : QDialog(parent),
      sets_(quantityEdit(this, "SetsEd"), quantities.sets),
      copies_(quantityEdit(this, "CopiesEd"), quantities.copies) {
    setObjectName(QStringLiteral("TPrintDlg"));
    setWindowTitle(QStringLiteral("Print"));
    auto* variables = makeButton(this, "VariablesBt", QStringLiteral("Variables"));
    auto* print = makeButton(this, "PrintBt", QStringLiteral("Print"));
    auto* select = makeButton(this, "SelectFormBt", QStringLiteral("Select Form"));
    print->setDefault(true);
    connect(variables, &QPushButton::clicked, this, [this] {
        // A print from the values dialog uses what the edits show.
        sets_.validate();
        copies_.validate();
        if (onVariables) onVariables();
    });
    connect(select, &QPushButton::clicked, this, [this] {
        if (onSelectForm) onSelectForm();
    });
    connect(print, &QPushButton::clicked, this, [this] {
        if (formName_.empty()) {
            messageBox(QStringLiteral("Error"), QString::fromLatin1(kNoFormSelected), false);
            return;
        }
        sets_.validate();
        copies_.validate();
        accept();
        if (onPrint) onPrint();
    });
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Sets:"), sets_.edit());
    form->addRow(QStringLiteral("Copies:"), copies_.edit());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttonRow({variables, print, select}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TPrintDlg::setFormName(const std::string& activeFormName) {
    formName_ = activeFormName;
    setWindowTitle(QString::fromLatin1(printDialogTitle(activeFormName).c_str()));
}

void TPrintDlg::execute() {
    sets_.show();
    copies_.show();
    sets_.edit()->setFocus();
    sets_.edit()->selectAll();
    placeDialog(this, parentWidget(), -1, 0);
    exec();
}

}  // namespace tavrin
