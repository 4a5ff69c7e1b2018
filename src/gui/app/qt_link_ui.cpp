#include "app/qt_link_ui.h"

#include <QApplication>
#include <QString>

#include "app/message_box.h"

namespace tavrin {

namespace {

QString toQString(std::string_view text) {
    // The link's texts are the program's own ASCII captions and messages; printer names in
    // them keep their bytes.
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TMsgBoxDlg& QtLinkUi::window() const { return window_ ? *window_ : sharedMessageBox(); }

void QtLinkUi::processEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

bool QtLinkUi::askRetry(std::string_view title, std::string_view question) {
    return messageBox(toQString(title), toQString(question), true) == 1;
}

void QtLinkUi::showProgressWindow(std::string_view title, std::string_view text) {
    window().showProgress(toQString(title), toQString(text));
}

void QtLinkUi::setProgressText(std::string_view text) { window().setText(toQString(text)); }

bool QtLinkUi::progressWindowVisible() const { return window().progressShown(); }

void QtLinkUi::showProgressError(std::string_view title, std::string_view text) {
    window().showProgressError(toQString(title), toQString(text));
}

void QtLinkUi::closeProgressWindow() { window().closeProgress(); }

void QtLinkUi::showError(std::string_view title, std::string_view text) {
    messageBox(toQString(title), toQString(text), false);
}

void QtLinkUi::beep() { QApplication::beep(); }

bool QtLinkUi::cancelRequested() const { return window().cancelRequested(); }

void QtLinkUi::clearCancelRequest() { window().clearCancelRequest(); }

}  // namespace tavrin
