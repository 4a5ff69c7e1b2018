#include "editor/dialog_controls.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "render/text_data.h"

namespace tavrin::gui {

QLineEdit* makeEdit(QWidget* parent, const char* name, int maxLength, int widthInCharacters) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    // Room for the digits plus the frame's margins.
    const int width = edit->fontMetrics().horizontalAdvance(QString(widthInCharacters, QLatin1Char('0'))) + 16;
    edit->setMinimumWidth(width);
    if (widthInCharacters < 20) edit->setMaximumWidth(width);
    return edit;
}

QLabel* guardDataField(QWidget* parent, QLineEdit* field, const char* hintName) {
    auto* hint = new QLabel(parent);
    hint->setObjectName(QString::fromLatin1(hintName));
    hint->setTextFormat(Qt::PlainText);
    hint->setMinimumHeight(hint->fontMetrics().height());
    const auto problem = [field] { return textDataProblem(editText(field)); };
    QObject::connect(field, &QLineEdit::textChanged, hint, [field, hint, problem] {
        const std::optional<std::string> found = problem();
        field->setProperty("invalid", found.has_value());
        field->setStyleSheet(found ? QStringLiteral("QLineEdit { background: #ffd6d6; }") : QString());
        hint->setText(found ? QString::fromStdString(*found) : QString());
    });
    QObject::connect(field, &QLineEdit::inputRejected, hint, [field, hint, problem] {
        QApplication::beep();
        QString text = QStringLiteral("At most %1 characters").arg(field->maxLength());
        if (const std::optional<std::string> found = problem()) text += QStringLiteral(". ") + QString::fromStdString(*found);
        hint->setText(text);
    });
    return hint;
}

QComboBox* makeList(QWidget* parent, const char* name, const std::vector<std::string>& items) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    setItems(list, items);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // Short lists share one width so that a column of them lines up.
    list->setMinimumWidth(list->fontMetrics().horizontalAdvance(QStringLiteral("Inverse00")) + 32);
    return list;
}

void setItems(QComboBox* list, const std::vector<std::string>& items) {
    list->clear();
    for (const auto& item : items) list->addItem(QString::fromStdString(item));
}

QFormLayout* makeForm(QWidget* parent) {
    auto* form = new QFormLayout(parent);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    return form;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

void layOutDialog(QDialog* dialog, QLayout* body, std::initializer_list<QPushButton*> buttons) {
    constexpr int kMinimumWidth = 260;
    auto* centred = new QHBoxLayout;
    centred->addStretch();
    centred->addLayout(body);
    centred->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons) row->addWidget(button);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(centred);
    layout->addSpacing(4);
    layout->addLayout(row);
    layout->addSpacerItem(new QSpacerItem(kMinimumWidth, 0, QSizePolicy::Fixed, QSizePolicy::Fixed));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::string editText(const QLineEdit* edit) { return edit->text().toStdString(); }

void setEditText(QLineEdit* edit, const std::string& utf8) {
    edit->setText(QString::fromStdString(utf8));
}

}  // namespace tavrin::gui
