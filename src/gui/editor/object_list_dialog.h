#pragma once
// The Object List (TFigListDlg): the label's figures as a table in drawing order, with
// edit, delete, select and reorder; every change goes through the main window, so the
// label view and the undo history follow.
#include <QDialog>

#include "app/command_table.h"

class QCheckBox;
class QPushButton;
class QTableWidget;

namespace tavrin {

class TZRedit;
struct Figure;

class TFigListDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFigListDlg(TZRedit& window);

    // Rebuilds the table and shows the dialog modally; with no figure to list it says so
    // and does not open.
    void openList();
    // The first half of openList(): false (after the message) when there is nothing to list.
    bool prepare();
    void rebuild();

    // The operations on the selected row; without one they do nothing.
    void editSelected();
    void deleteSelected();
    void toggleSelected();
    void moveSelected(int delta);

    int selectedRow() const;  // from 1; 0 for none

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Figure* figureAt(int row) const;
    void selectRow(int row);

    TZRedit& window_;
    QTableWidget* table_;
    QCheckBox* confirmDelete_;
};

// View > Object List.
CommandTable objectListCommands(TZRedit& window);

}  // namespace tavrin
