#pragma once
// The small windows of the label's font management: "Fonts", which offers the label's fonts
// and (when adding) a field for the new font's letter, and "Add New Font", which says where
// the new font comes from.
#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrin {

class TFontsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFontsDlg(QWidget* parent = nullptr);

    // Puts the entries into "Loaded fonts:" (the first selected), sets the caption and shows
    // the "Name:" field or hides it.
    void fill(const QString& caption, const std::vector<std::string>& entries, bool nameShown);
    // Waits for the user: the chosen letter, or nothing when the window was closed.
    std::optional<char> choose();
    std::optional<char> result() const { return result_; }

    void OkBtClick();

private:
    QComboBox* fonts_ = nullptr;
    QLabel* nameCaption_ = nullptr;
    QLineEdit* name_ = nullptr;
    bool nameShown_ = true;
    std::optional<char> result_;
};

// Each button runs its way of adding and closes the window once a font was added; a way
// that was cancelled or failed leaves the window open for another try.
class TNewFontDlg : public QDialog {
    Q_OBJECT
public:
    using AddFont = std::function<bool()>;
    explicit TNewFontDlg(QWidget* parent = nullptr);
    // Without a way from the printer, "From Printer" stays disabled.
    void setWays(AddFont fromDisk, AddFont fromPrinter);
    // True when a font was added.
    bool execute();

private:
    QPushButton* fromPrinter_ = nullptr;
    AddFont fromDisk_, fromPrinterWay_;
};

}  // namespace tavrin
