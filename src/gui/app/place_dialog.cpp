#include "app/place_dialog.h"

#include <QAbstractScrollArea>
#include <QMainWindow>
#include <QScrollBar>
#include <QStatusBar>
#include <QWidget>

namespace tavrin {

namespace {

constexpr int kMinimumMargin = 24;

}  // namespace

ClientArea clientArea(const QWidget* mainWindow) {
    ClientArea area;
    if (!mainWindow) return area;
    const QWidget* client = mainWindow;
    const auto* frame = qobject_cast<const QMainWindow*>(mainWindow);
    if (frame && frame->centralWidget()) client = frame->centralWidget();
    if (const auto* scroll = qobject_cast<const QAbstractScrollArea*>(client)) {
        area.horizontalScroll = scroll->horizontalScrollBar()->value();
        client = scroll->viewport();
    }
    area.global = QRect(client->mapToGlobal(QPoint(0, 0)), client->size());
    // A status line shows only while it has something to say; the room it takes while shown
    // still counts as client, so that dialogs do not move with it.
    if (frame != nullptr && client != mainWindow) {
        const auto* bar = frame->findChild<const QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
        if (bar != nullptr && bar->isVisibleTo(frame)) area.global.setHeight(area.global.height() + bar->height());
    }
    return area;
}

QPoint dialogPosition(const ClientArea& client, QSize dialogSize, int x, int y) {
    const QRect& area = client.global;
    if (x != -1) return area.topLeft() + QPoint(client.horizontalScroll + x, y);
    const int spareWidth = area.width() - dialogSize.width();
    const int spareHeight = area.height() - dialogSize.height();
    const int left = spareWidth >= kMinimumMargin ? spareWidth / 2 : kMinimumMargin;
    const int top = spareHeight >= kMinimumMargin ? spareHeight / 4 : kMinimumMargin;
    return area.topLeft() + QPoint(left, top);
}

QSize outerSize(const QWidget* window, const QWidget* mainWindow) {
    const QSize frame = mainWindow ? mainWindow->frameGeometry().size() - mainWindow->size() : QSize();
    return window->size() + frame.expandedTo(QSize(0, 0));
}

void moveFrameTo(QWidget* window, QPoint framePosition, const QWidget* mainWindow) {
    const bool frameUnknown = window->frameGeometry() == window->geometry();
    if (mainWindow && frameUnknown && window->testAttribute(Qt::WA_WState_Created))
        framePosition += mainWindow->geometry().topLeft() - mainWindow->frameGeometry().topLeft();
    window->move(framePosition);
}

void placeDialog(QWidget* dialog, const QWidget* mainWindow, int x, int y) {
    if (!dialog || !mainWindow) return;
    if (!dialog->testAttribute(Qt::WA_Resized)) dialog->adjustSize();
    moveFrameTo(dialog, dialogPosition(clientArea(mainWindow), outerSize(dialog, mainWindow), x, y), mainWindow);
}

}  // namespace tavrin
