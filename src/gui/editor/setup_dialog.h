#pragma once
// "Label Setup": the label's size, the printer settings that travel with it and the date
// and time formats. Values take effect on OK only; closing the window discards the edits.
#include <QDialog>

#include "document/label_setup.h"

class QComboBox;
class QLineEdit;

namespace tavrin {

class TSetupDlg : public QDialog {
public:
    explicit TSetupDlg(QWidget* parent = nullptr);

    // Fills, runs modally and applies on OK; true when OK was pressed. Shown without
    // blocking, the caller uses fill(), show() and apply() on the accepted() signal.
    bool execute(LabelSetup& setup);
    // Shows the setup with "User size" chosen.
    void fill(const LabelSetup& setup);
    void apply(LabelSetup& setup) const;

private:
    QComboBox* labSize_;
    QLineEdit* labWidth_;
    QLineEdit* labLength_;
    QLineEdit* gap_;
    QLineEdit* offset_;
    QComboBox* darkness_;
    QComboBox* speed_;
    QLineEdit* left_;
    QLineEdit* top_;
    QComboBox* orientation_;
    QComboBox* language_;
    QComboBox* paper_;
    QComboBox* textType_;
    QLineEdit* dateFormat_;
    QLineEdit* timeFormat_;
};

}  // namespace tavrin
