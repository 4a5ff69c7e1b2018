#pragma once
// The form chooser of the print dialog: the forms the printer keeps, one of which becomes
// its active form. A name counts only when it is one of the listed forms.
#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;

namespace tavrin {

class TSelectFormDlg : public QDialog {
public:
    explicit TSelectFormDlg(QWidget* parent = nullptr);

    // Shows the names modally; the chosen one, or empty when the dialog was closed.
    std::string choose(const std::vector<std::string>& names);

private:
    void select(const QString& name);

    QListWidget* list_;
    QLineEdit* name_;
    std::string chosen_;
};

}  // namespace tavrin
