#include "editor/dialog_controls.h"

#include <QFontMetrics>

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

QComboBox* makeList(QWidget* parent, const char* name, const std::vector<std::string>& items) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    setItems(list, items);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

void setItems(QComboBox* list, const std::vector<std::string>& items) {
    list->clear();
    for (const auto& item : items) list->addItem(QString::fromStdString(item));
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

std::string editText(const QLineEdit* edit) { return edit->text().toStdString(); }

void setEditText(QLineEdit* edit, const std::string& utf8) {
    edit->setText(QString::fromStdString(utf8));
}

}  // namespace tavrin::gui
