#pragma once
// Small helpers the editor's dialogs build their controls with: every control gets its
// object name, edits their length limit, lists their items.
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <initializer_list>
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
// A form whose labels line up on the right and whose fields keep their own widths.
QFormLayout* makeForm(QWidget* parent = nullptr);
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption);

// Puts the body above a row of buttons on the right; the dialog keeps its natural size but
// is never so narrow that its caption is cut.
void layOutDialog(QDialog* dialog, QLayout* body, std::initializer_list<QPushButton*> buttons);

// A data field in the text language (Text and Barcode data). A character past the field's
// limit is refused with a beep and a word in the hint line below the field; a field whose
// expression cannot be read is marked (its "invalid" property set, its background red)
// and the hint says why, so the label's "@@@@" is never the first word about it.
// Returns the hint line, for the dialog's form.
QLabel* guardDataField(QWidget* parent, QLineEdit* field, const char* hintName);

// Edits hold UTF-8 on the core side.
std::string editText(const QLineEdit* edit);
void setEditText(QLineEdit* edit, const std::string& utf8);

}  // namespace tavrin::gui
