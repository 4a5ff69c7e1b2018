#include "tools/files_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

#include "app/main_window.h"
#include "app/place_dialog.h"
#include "editor/label_view.h"
#include "tools/storage_commands.h"

namespace tavrin {

namespace {

struct HubButton {
    const char* name;
    const char* caption;
    std::function<void()> action;
};

QGroupBox* group(QWidget* parent, const char* title, const std::vector<HubButton>& buttons) {
    auto* box = new QGroupBox(QString::fromLatin1(title), parent);
    auto* layout = new QVBoxLayout(box);
    for (const HubButton& b : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(b.caption), box);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setAutoDefault(false);
        button->setMinimumWidth(120);
        if (b.action)
            QObject::connect(button, &QPushButton::clicked, box, b.action);
        else
            button->setEnabled(false);  // waits for the window it needs
        layout->addWidget(button);
    }
    layout->addStretch();
    return box;
}

}  // namespace

TFilesDlg::TFilesDlg(TZRedit& window, StorageCommands& commands) : QDialog(&window) {
    setObjectName(QStringLiteral("TFilesDlg"));
    setWindowTitle(QStringLiteral("Files and Forms"));
    TZRedit* w = &window;
    StorageCommands* c = &commands;
    auto* layout = new QGridLayout(this);
    layout->addWidget(group(this, " Load ",
                            {{"NewLabelBt", "New Label",
                              [this, w] {
                                  w->newLabel();
                                  accept();
                              }},
                             {"OpenLabelBt", "Open Label",
                              [this, w] {
                                  w->labelView()->scrollToOrigin();
                                  w->openLabel();
                                  accept();
                              }}}),
                      0, 0);
    layout->addWidget(group(this, " Save ",
                            {{"SaveLabelBt", "Save as Label", [w] { w->saveAsLabel(); }},
                             {"SaveFormBt", "Save as Form", [w] { w->saveAsForm(); }}}),
                      0, 1);
    layout->addWidget(group(this, " In Printer ",
                            {{"FormsBt", "Forms",
                              [this, c] {
                                  if (c->objectsInPrinter(kListForms)) accept();
                              }},
                             {"GraphicsBt", "Graphics", [c] { c->objectsInPrinter(kListGraphics); }},
                             {"FontsBt", "Fonts", [c] { c->objectsInPrinter(kListFonts); }}}),
                      1, 0);
    layout->addWidget(group(this, " To Printer ",
                            {{"CurrentLabelBt", "Current Label", [c] { c->storeCurrentLabel(); }},
                             {"StoreFormBt", "Store Form", [c] { c->storeFormFile(); }},
                             {"StoreGraphicsBt", "Store Graphics", [c] { c->storeGraphicsFile(); }},
                             {"StoreFontBt", "Store Font", [c] { c->storeFontFile(); }}}),
                      1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFilesDlg::execute() {
    placeDialog(this, parentWidget(), -1, 0);
    exec();
}

}  // namespace tavrin
