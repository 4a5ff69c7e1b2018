#pragma once
// The picture browser (TOpenPictDlg, "Select Picture"): the computer's mount points and
// folders as a tree, the picture files of a folder as a list, and for the file under the
// cursor a preview with its type, size, dimensions and date, read from the file's header
// before it is decoded.
#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QFrame;

namespace tavrin {

// Shows the browser modally, opened at startFolder (when it exists); returns the chosen
// path, or empty when the user closed it. Extensions as ".BMP", ".JPG": upper case, with dot.
QString choosePictureFile(QWidget* parent, const QString& startFolder,
                          QStringList extensions = {".BMP", ".JPG", ".JPEG", ".PNG"});

class TOpenPictDlg : public QDialog {
    Q_OBJECT
public:
    explicit TOpenPictDlg(QStringList extensions, QWidget* parent = nullptr);

    // Opens the tree down to this folder and lists its files; false when it is not a folder.
    bool showFolder(const QString& folder);
    // Lists the files of this folder (CurrentFolder).
    void listFiles(const QString& folder);
    // The facts and preview of this file of the current folder.
    void showFile(const QString& name);
    // "Open" and the double clicks: checks the path in FileName; true when it was taken.
    bool openTyped();

    const QString& selectedPicturePath() const { return selected_; }
    const QString& currentFolder() const { return currentFolder_; }
    // How often a preview was decoded (a file shown again is not decoded again).
    int decodeCount() const { return decodes_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildDriveTree();
    void readSubfolders(QTreeWidgetItem* node);
    void showInvalid();
    bool decodePreview(const QString& path, const QString& extension, int largerSide);

    QStringList extensions_;
    QTreeWidget* tree_;
    QListWidget* files_;
    QLabel* fileCount_;
    QLineEdit* fileName_;
    QFrame* panel_;
    QLabel* preview_;
    QLabel* fileType_;
    QLabel* fileSize_;
    QLabel* fileDim_;
    QLabel* fileDate_;
    QString currentFolder_;
    QString selected_;
    int decodes_ = 0;
};

}  // namespace tavrin
