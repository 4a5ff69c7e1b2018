#pragma once
// The property dialogs of the plain shapes: Rectangle (TBarDlg), Box and Diagonal Line.
#include <QDialog>

#include "document/figure_records.h"

class QComboBox;
class QLineEdit;

namespace tavrin {

// Each: fill() shows the record (edit false: the new-figure caption), apply() is what OK
// does and returns true when the record changed, execute() runs the dialog modally and
// returns true when OK was pressed.
class TBarDlg : public QDialog {
public:
    explicit TBarDlg(QWidget* parent = nullptr);
    bool execute(RectangleRecord& record, bool edit);
    void fill(const RectangleRecord& record, bool edit);
    bool apply(RectangleRecord& record) const;

private:
    QLineEdit* left_;
    QLineEdit* top_;
    QLineEdit* width_;
    QLineEdit* height_;
    QComboBox* colour_;
};

class TBoxDlg : public QDialog {
public:
    explicit TBoxDlg(QWidget* parent = nullptr);
    bool execute(BoxRecord& record, bool edit);
    void fill(const BoxRecord& record, bool edit);
    bool apply(BoxRecord& record) const;

private:
    QLineEdit* left_;
    QLineEdit* top_;
    QLineEdit* right_;
    QLineEdit* bottom_;
    QLineEdit* thickness_;
};

class TLineDlg : public QDialog {
public:
    explicit TLineDlg(QWidget* parent = nullptr);
    bool execute(LineRecord& record, bool edit);
    void fill(const LineRecord& record, bool edit);
    bool apply(LineRecord& record) const;

private:
    QLineEdit* startX_;
    QLineEdit* startY_;
    QLineEdit* endX_;
    QLineEdit* endY_;
    QLineEdit* thickness_;
    QComboBox* colour_;
};

}  // namespace tavrin
