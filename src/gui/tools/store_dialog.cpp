#include "tools/store_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/message_box.h"
#include "app/place_dialog.h"
#include "tools/cancel_watch.h"

namespace tavrin {

TStoreDlg::TStoreDlg(PrinterStorage& storage, QWidget* parent) : QDialog(parent), storage_(storage) {
    setObjectName(QStringLiteral("TStoreDlg"));
    setWindowTitle(QStringLiteral("Store as"));
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("ListHeading"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("StoredList"));
    list_->setMinimumSize(200, 180);
    auto* nameLabel = new QLabel(QStringLiteral("Store as:"), this);
    nameLabel->setObjectName(QStringLiteral("NameHeading"));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("NameEd"));
    name_->setMaxLength(int(kMaxObjectNameLength));
    store_ = new QPushButton(QStringLiteral("Store"), this);
    store_->setObjectName(QStringLiteral("StoreBt"));
    store_->setDefault(true);

    // Names are entered in upper case.
    connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int cursor = name_->cursorPosition();
        name_->setText(text.toUpper());
        name_->setCursorPosition(cursor);
    });
    connect(list_, &QListWidget::itemPressed, this, [this] { entryPressed(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
        entryPressed();
        StoreBtClick();
    });
    connect(store_, &QPushButton::clicked, this, [this] { StoreBtClick(); });

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(name_);
    nameRow->addWidget(store_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(list_);
    layout->addLayout(nameRow);
}

void TStoreDlg::execute(const QString& title, int kind, const StoreSources& sources) {
    sources_ = sources;
    bool received = false;
    {
        CancelWatch watch(storage_.link());
        received = storage_.receiveList(kind) && !watch.cancelled();
    }
    if (!received) {
        // A silent printer leaves nothing worth keeping the port open for.
        storage_.link().closePort();
        return;
    }
    setWindowTitle(title);
    // A font is known by one letter.
    name_->setMaxLength(kind == kListFonts ? 1 : int(kMaxObjectNameLength));
    name_->clear();
    showList();
    placeDialog(this, parentWidget(), 48, 88);
    name_->setFocus();
    exec();
    name_->setMaxLength(int(kMaxObjectNameLength));
}

void TStoreDlg::showList() {
    const StoreAsList& stored = storage_.storeAsList();
    heading_->setText(QString::fromStdString(stored.heading));
    list_->clear();
    for (const std::string& name : stored.names) list_->addItem(QString::fromLatin1(name.c_str()));
}

void TStoreDlg::entryPressed() {
    if (QListWidgetItem* item = list_->currentItem()) name_->setText(item->text());
}

void TStoreDlg::StoreBtClick() {
    const std::string name = name_->text().toStdString();
    const StoreAsDecision decision = checkStoreAsName(name, storage_.CurrentListKind, storage_.storeAsList().names);
    const QString title = QString::fromStdString(decision.message.title);
    const QString text = QString::fromStdString(decision.message.text);
    switch (decision.action) {
        case StoreAsDecision::Action::Ignore: return;
        case StoreAsDecision::Action::Refuse: messageBox(title, text, false); return;
        case StoreAsDecision::Action::AskOverwrite:
            if (messageBox(title, text, true) != 1) return;
            break;
        case StoreAsDecision::Action::Store: break;
    }
    {
        CancelWatch watch(storage_.link());
        storage_.storeAs(name, sources_);
    }
    storage_.link().closePort();
    showList();
}

}  // namespace tavrin
