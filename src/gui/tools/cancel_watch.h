#pragma once
// Tells a chain of printer exchanges whether the user stopped it (Esc, the close box or Stop
// on the progress window). The link itself ends the exchange on screen within a moment,
// also while it waits for the printer; the chain looks here before it starts the next one.
namespace tavrin {

class PrinterLink;

class CancelWatch {
public:
    // A request left over from an earlier exchange does not stop this one.
    explicit CancelWatch(PrinterLink& link);
    CancelWatch(const CancelWatch&) = delete;
    CancelWatch& operator=(const CancelWatch&) = delete;

    bool cancelled() const;

private:
    PrinterLink& link_;
};

}  // namespace tavrin
