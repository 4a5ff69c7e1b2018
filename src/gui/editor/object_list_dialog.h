#pragma once
// The Object List (TFigListDlg): the label's figures as a table in drawing order, with
// edit, delete, select and reorder; every change is a session edit, so the label view and
// the undo history follow.
#include <QDialog>

#include <functional>

#include "editing/editor_session.h"
#include "printer/translation.h"

class QCheckBox;
class QPushButton;
class QTableWidget;

namespace tavrin {

struct Figure;

class TFigListDlg : public QDialog {
    Q_OBJECT
public:
    // editFigure opens a figure's own dialog (the main window's figure dialogs).
    TFigListDlg(EditorSession& session, const Translation& translation, std::function<void(const Figure*)> editFigure,
                QWidget* parent);

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
    const Figure* figureAt(int row) const;
    void selectRow(int row);

    EditorSession& session_;
    const Translation& translation_;
    std::function<void(const Figure*)> editFigure_;
    QTableWidget* table_;
    QCheckBox* confirmDelete_;
};

}  // namespace tavrin
