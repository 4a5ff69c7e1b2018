#pragma once
// The Text figure's property dialog.
#include <QDialog>

#include <string>
#include <vector>

#include "document/figure_records.h"
#include "printer/translation.h"

class QComboBox;
class QLineEdit;

namespace tavrin {

class TTextDlg : public QDialog {
public:
    explicit TTextDlg(QWidget* parent = nullptr);

    // Fills the controls from the record (edit false: the new-figure captions), runs
    // modally and on OK writes the controls back into the record. True when OK was pressed.
    bool execute(TextRecord& record, bool edit, const std::vector<std::string>& fontList,
                 const Translation& translation);
    void fill(const TextRecord& record, bool edit, const std::vector<std::string>& fontList,
              const Translation& translation);
    // What OK does to the record; true when the record changed.
    bool apply(TextRecord& record) const;

private:
    QLineEdit* startX_;
    QLineEdit* startY_;
    QComboBox* sizeX_;
    QComboBox* sizeY_;
    QComboBox* fontType_;
    QComboBox* fontStyle_;
    QComboBox* textRot_;
    QLineEdit* textData_;
    Translation translation_;
    QString shownText_;        // the text as filled in, to tell whether it was edited
    std::string printerText_;  // the record's own bytes, kept when the text was not edited
};

}  // namespace tavrin
