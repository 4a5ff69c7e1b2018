#pragma once
// The Picture dialog (TPictureDlg): where a Picture figure gets its place, its name and its
// data, from a PCX or one-bit BMP file. Pictures are shared by name; what OK does to the
// label is decided in core (confirmPicture), the dialog only moves values.
#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "graphics/picture_form.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrin {

// The "From Disk" file dialog's title: none. Qt would title a dialog without a caption
// "Open", and the window system one with an empty title by the program's name; a blank
// caption shows as no title at all.
inline const QString kFromDiskTitle = QStringLiteral(" ");

class TPictureDlg : public QDialog {
    Q_OBJECT
public:
    // The "From Disk" file dialog, replaceable for tests: returns the chosen path or empty.
    using ChooseFile = std::function<QString(QWidget* parent)>;

    // "From Printer": the user's choice among the printer's stored graphics (nothing when
    // the list did not come or the user closed it) and the fetch of the chosen one.
    struct PrinterPictures {
        std::function<std::optional<std::string>()> choose;
        PictureFetcher fetch;
    };

    explicit TPictureDlg(QWidget* parent = nullptr);
    ~TPictureDlg() override;
    void setFileChooser(ChooseFile choose) { chooseFile_ = std::move(choose); }
    // Enables "From Printer".
    void setPrinterSource(PrinterPictures source);

    // Modal. `picture` holds the figure (edit) or the template placed at the press point
    // (new); on OK it holds what the figure becomes and true is returned. A block loaded
    // in this opening and not taken by OK is freed.
    bool execute(FigureList& figures, PictureDialogState state, PictureFormResult& picture);
    // The first half of execute: the controls show `picture`, nothing is loaded yet.
    void fill(FigureList& figures, PictureDialogState state, const PictureFormResult& picture);
    // "From Disk" with this file: true when a picture was loaded (else its message was shown).
    bool loadFromFile(const QString& path);
    // "From Printer": lets the user choose a stored picture and fetches it; the name
    // field then shows the stored name. True when a picture was loaded.
    bool loadFromPrinter();
    // OK: true when the picture was confirmed (the dialog then closes).
    bool confirm();

    const PictureDialogState& state() const { return state_; }
    const PictureFormResult& result() const { return picture_; }

protected:
    void reject() override;

private:
    void showLoaded();
    void showMessage(const UserMessage& message);

    QLineEdit* x_;
    QLineEdit* y_;
    QLineEdit* name_;
    QLabel* loadedInfo_;
    QPushButton* fromDisk_;
    QPushButton* fromPrinter_;
    ChooseFile chooseFile_;
    PrinterPictures printer_;
    FigureList* figures_ = nullptr;
    PictureDialogState state_;
    PictureFormResult picture_;
};

}  // namespace tavrin
