#pragma once
// The Barcode figure's property dialog.
#include <QDialog>

#include <string>

#include "document/figure_records.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tavrin {

class TBarcodeDlg : public QDialog {
public:
    explicit TBarcodeDlg(QWidget* parent = nullptr);

    // As TTextDlg::execute; the data is taken as typed, without character translation.
    bool execute(BarcodeRecord& record, bool edit);
    void fill(const BarcodeRecord& record, bool edit);
    bool apply(BarcodeRecord& record) const;  // true when the record changed

private:
    // Enables the controls that mean something for the chosen type and lists its
    // error-correction levels, keeping the level chosen when the list stays the same.
    void typeChanged(int position);

    QLineEdit* startX_;
    QLineEdit* startY_;
    QLineEdit* height_;
    QComboBox* narrowBar_;
    QComboBox* wideBar_;
    QComboBox* hrText_;
    QComboBox* barRot_;
    QComboBox* barType_;
    QComboBox* errorLevel_;
    QLabel* narrowLabel_ = nullptr;
    QLineEdit* barData_;
    QString shownData_;
    std::string recordData_;
};

}  // namespace tavrin
