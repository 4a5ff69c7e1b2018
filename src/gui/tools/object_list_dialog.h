#pragma once
// The forms, graphics or fonts stored in the printer with its memory use. In browse mode the
// user saves stored objects into files, deletes them and loads a stored form into the
// editor; in the pick modes the list is a chooser for the picture and font windows.
#include <QDialog>

#include <optional>
#include <string>

#include "app/editor_services.h"
#include "printer/printer_exchanges.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace tavrin {

class PrinterStorage;

class TObjListDlg : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Browse, PickPicture, PickFont };

    TObjListDlg(EditorServices services, PrinterStorage& storage, QWidget* parent);

    // Receives the printer's list of the kind (the memory query first) into the window;
    // false when it did not come, and the progress window has said why.
    bool ReceiveObjectList(int kind);
    // Receives and shows the list modally; true when a stored form was loaded into the editor.
    bool browse(int kind);
    // Receives and shows the graphics or fonts list as a chooser: the extracted name.
    std::optional<std::string> pick(int kind);

    const ObjectList& list() const { return list_; }
    Mode mode() const { return mode_; }

    void SaveObjectToFile(const std::string& name);
    void DeleteStoredObject(const std::string& name);
    void RetrieveFormToEditor(const std::string& name);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMode(Mode mode);
    void SaveBtClick();
    void DelBtClick();
    void EditBtClick();
    void ListDblClick();
    QString focusedName() const;

    EditorServices services_;
    PrinterStorage& storage_;
    ObjectList list_;
    Mode mode_ = Mode::Browse;
    bool formLoaded_ = false;
    std::optional<std::string> picked_;
    QListWidget* entries_ = nullptr;
    QLabel* memInfo_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* edit_ = nullptr;
};

}  // namespace tavrin
