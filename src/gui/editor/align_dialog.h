#pragma once
// "Align to Grid": the grid step, whether sizes snap too, and the choice between aligning
// the selection and only saving the step.
#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace tavrin {

class TAlignDlg : public QDialog {
public:
    enum Outcome { Closed, Align, Save };

    explicit TAlignDlg(QWidget* parent = nullptr);

    // Shows the step and the check box, runs modally. On Align or Save the step (always
    // 4..80) and the check box are written back; closing the window changes nothing.
    Outcome execute(int& gridStep, bool& adjustSizes);
    void fill(int gridStep, bool adjustSizes);
    // After a button was pressed: which, and the step it accepted.
    Outcome outcome() const { return outcome_; }
    int chosenStep() const { return step_; }
    bool adjustSizes() const;

private:
    void press(Outcome button);

    QLineEdit* gridStep_;
    QCheckBox* sizesToo_;
    Outcome outcome_ = Closed;
    int step_ = 0;
};

}  // namespace tavrin
