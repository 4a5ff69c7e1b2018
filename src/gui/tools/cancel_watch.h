#pragma once
// Lets the user stop a long printer exchange: while one of these lives, a press of Esc (or a
// click on the close button) of the progress window closes the port, so the exchange's next
// read ends at once as silence and its writes send nothing more.
#include <QObject>
#include <QTimer>

namespace tavrin {

class PrinterLink;
class QtLinkUi;

class CancelWatch {
public:
    CancelWatch(PrinterLink& link, QtLinkUi& ui);
    ~CancelWatch();
    CancelWatch(const CancelWatch&) = delete;
    CancelWatch& operator=(const CancelWatch&) = delete;

    bool cancelled() const { return cancelled_; }

private:
    void look();

    PrinterLink& link_;
    QtLinkUi& ui_;
    QTimer timer_;
    bool cancelled_ = false;
};

}  // namespace tavrin
