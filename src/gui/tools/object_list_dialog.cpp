#include "tools/object_list_dialog.h"

#include <QDate>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/message_box.h"
#include "app/place_dialog.h"
#include "editor/label_view.h"
#include "printer/storage_operations.h"
#include "tools/cancel_watch.h"

namespace tavrin {

namespace {

// Entries are laid out in four columns of this width.
constexpr int kColumnWidth = 96;
constexpr int kColumns = 4;

struct SaveChoice {
    const char* title;
    const char* extension;
    const char* filter;
};

SaveChoice saveChoice(int kind) {
    switch (kind) {
        case kListGraphics: return {"Save graphics as", "PCX", "PCX format files (*.pcx *.PCX)"};
        case kListFonts: return {"Save font as", "QFT", "Label font files (*.qft *.QFT)"};
        default: return {"Save form as", "EJF", "Label printer forms (*.ejf *.EJF)"};
    }
}

}  // namespace

TObjListDlg::TObjListDlg(EditorServices services, PrinterStorage& storage, QWidget* parent)
    : QDialog(parent), services_(std::move(services)), storage_(storage) {
    setObjectName(QStringLiteral("TObjListDlg"));
    setWindowTitle(QStringLiteral("Object List"));
    entries_ = new QListWidget(this);
    entries_->setObjectName(QStringLiteral("ObjList"));
    entries_->setFlow(QListView::LeftToRight);
    entries_->setWrapping(true);
    entries_->setResizeMode(QListView::Adjust);
    entries_->setGridSize(QSize(kColumnWidth, 20));
    entries_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    entries_->setSortingEnabled(true);
    // Room for the four columns, the scroll bar and the view's own margins.
    entries_->setFixedSize(kColumnWidth * kColumns + 2 * entries_->frameWidth() +
                               entries_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 16,
                           180);
    entries_->viewport()->installEventFilter(this);
    memInfo_ = new QLabel(this);
    memInfo_->setObjectName(QStringLiteral("MemInfo"));
    memInfo_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    save_ = new QPushButton(QStringLiteral("Save"), this);
    save_->setObjectName(QStringLiteral("SaveBt"));
    delete_ = new QPushButton(QStringLiteral("Delete"), this);
    delete_->setObjectName(QStringLiteral("DelBt"));
    edit_ = new QPushButton(QStringLiteral("Edit"), this);
    edit_->setObjectName(QStringLiteral("EditBt"));
    for (QPushButton* button : {save_, delete_, edit_}) button->setAutoDefault(false);

    connect(save_, &QPushButton::clicked, this, [this] { SaveBtClick(); });
    connect(delete_, &QPushButton::clicked, this, [this] { DelBtClick(); });
    connect(edit_, &QPushButton::clicked, this, [this] { EditBtClick(); });
    connect(entries_, &QListWidget::itemDoubleClicked, this, [this] { ListDblClick(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save_);
    buttons->addWidget(delete_);
    buttons->addWidget(edit_);
    buttons->addStretch();
    buttons->addWidget(memInfo_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(entries_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TObjListDlg::ReceiveObjectList(int kind) {
    entries_->clear();
    PrinterLink& link = services_.link();
    bool received = false;
    {
        CancelWatch watch(link);
        received = receiveObjectList(link, kind, list_) && !watch.cancelled();
    }
    if (!received) return false;
    storage_.CurrentListKind = kind;
    setWindowTitle(QString::fromStdString(objectListCaption(kind, list_.names.size())));
    memInfo_->setText(QString::fromStdString(memoryLine(kind, list_.memory)));
    for (const std::string& name : list_.names) entries_->addItem(QString::fromLatin1(name.c_str()));
    edit_->setVisible(kind == kListForms);
    entries_->setFocus();
    return true;
}

void TObjListDlg::showMode(Mode mode) {
    mode_ = mode;
    formLoaded_ = false;
    picked_.reset();
    save_->setText(mode == Mode::Browse ? QStringLiteral("Save") : QStringLiteral("Extract"));
    delete_->setVisible(mode == Mode::Browse);
    placeDialog(this, parentWidget(), 16, 16);
    exec();
}

bool TObjListDlg::browse(int kind) {
    if (!ReceiveObjectList(kind)) return false;
    showMode(Mode::Browse);
    return formLoaded_;
}

std::optional<std::string> TObjListDlg::pick(int kind) {
    if (!ReceiveObjectList(kind)) return std::nullopt;
    showMode(kind == kListFonts ? Mode::PickFont : Mode::PickPicture);
    return picked_;
}

QString TObjListDlg::focusedName() const {
    const QListWidgetItem* item = entries_->currentItem();
    return item != nullptr && item->isSelected() ? item->text() : QString();
}

void TObjListDlg::SaveBtClick() {
    if (entries_->count() == 0) return;
    if (mode_ != Mode::Browse) {
        const QString name = focusedName();
        if (name.isEmpty()) return;
        picked_ = name.toStdString();
        accept();
        return;
    }
    // In list order, not in the order they were clicked.
    for (int i = 0; i < entries_->count(); ++i)
        if (entries_->item(i)->isSelected()) SaveObjectToFile(entries_->item(i)->text().toStdString());
}

void TObjListDlg::SaveObjectToFile(const std::string& name) {
    const SaveChoice choice = saveChoice(storage_.CurrentListKind);
    const QString fileName = services_.chooseSaveFile(choice.title, choice.filter, choice.extension);
    if (fileName.isEmpty()) return;
    services_.config.workDirectory = QFileInfo(fileName).absolutePath().toStdString();
    const std::filesystem::path path(fileName.toStdString());
    PrinterLink& link = services_.link();
    CancelWatch watch(link);
    if (storage_.CurrentListKind == kListGraphics || storage_.CurrentListKind == kListFonts) {
        extractObjectToFile(link, storage_.CurrentListKind, name, path);
    } else {
        const QDate today = QDate::currentDate();
        extractFormToFile(link, name, path, today.day(), today.month(), today.year());
    }
}

void TObjListDlg::DelBtClick() {
    const QString name = focusedName();
    if (name.isEmpty()) return;
    if (messageBox(QStringLiteral("Delete confirm"), QStringLiteral("Are You sure ?"), true) != 1) return;
    DeleteStoredObject(name.toStdString());
}

void TObjListDlg::DeleteStoredObject(const std::string& name) {
    PrinterLink& link = services_.link();
    const int kind = storage_.CurrentListKind;
    if (deleteObject(link, kind, name)) ReceiveObjectList(kind);
    link.closePort();
}

void TObjListDlg::EditBtClick() {
    for (int i = 0; i < entries_->count(); ++i) {
        if (!entries_->item(i)->isSelected()) continue;
        RetrieveFormToEditor(entries_->item(i)->text().toStdString());
        return;
    }
}

void TObjListDlg::ListDblClick() {
    if (mode_ != Mode::Browse) {
        SaveBtClick();
        return;
    }
    const QString name = focusedName();
    if (edit_->isVisible() && !name.isEmpty()) RetrieveFormToEditor(name.toStdString());
}

// The stored form is read into a copy of the label; the label is replaced only when all of
// it came, so a printer that stops answering half way leaves the label as it was.
void TObjListDlg::RetrieveFormToEditor(const std::string& name) {
    if (!services_.maySpoilChanges()) return;
    accept();
    PrinterLink& link = services_.link();
    LabelDocument received = services_.session.document();
    bool ok = false;
    {
        CancelWatch watch(link);
        ok = storage_.receiveForm(name, received) && !watch.cancelled();
    }
    if (!ok) return;
    services_.replaceLabel(std::move(received));
    formLoaded_ = true;
}

void TObjListDlg::keyPressEvent(QKeyEvent* event) {
    // The Delete key works in every mode, also where the button is hidden.
    if (event->key() == Qt::Key_Delete) {
        DelBtClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TObjListDlg::eventFilter(QObject* watched, QEvent* event) {
    // A press that hits no entry takes the focus from every entry.
    if (watched == entries_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (entries_->itemAt(press->position().toPoint()) == nullptr) {
            entries_->clearSelection();
            entries_->setCurrentItem(nullptr);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tavrin
