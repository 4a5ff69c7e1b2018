#pragma once
// Small helpers the editor's dialogs build their controls with: every control gets its
// object name, edits their length limit, lists their items.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <string>
#include <vector>

namespace tavrin::gui {

QLineEdit* makeEdit(QWidget* parent, const char* name, int maxLength, int widthInCharacters);
QComboBox* makeList(QWidget* parent, const char* name, const std::vector<std::string>& items);
template <typename Items>
QComboBox* makeList(QWidget* parent, const char* name, const Items& items) {
    return makeList(parent, name, std::vector<std::string>(std::begin(items), std::end(items)));
}
void setItems(QComboBox* list, const std::vector<std::string>& items);
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption);

// Edits hold UTF-8 on the core side.
std::string editText(const QLineEdit* edit);
void setEditText(QLineEdit* edit, const std::string& utf8);

}  // namespace tavrin::gui
