#pragma once
// The barcode self-check in the editor: after each redraw every barcode is read back from
// the print image; a barcode that does not read back as its data gets a mark on the label
// view (on screen only, never printed) and is named in the window's status line.
#include <QWidget>
#include <cstdint>
#include <vector>

#include "render/barcode_check.h"

namespace tavrin {

class TZRedit;

class BarcodeCheckMarks : public QWidget {
    Q_OBJECT
public:
    explicit BarcodeCheckMarks(TZRedit& window);

    // Checks again now when the label was redrawn since the last check.
    void refresh();
    const std::vector<BarcodeCheckResult>& results() const { return results_; }
    // What the status line says: the failing barcodes, or nothing.
    QString statusText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showStatus();

    TZRedit& window_;
    std::vector<BarcodeCheckResult> results_;
    std::uint64_t checkedImage_ = 0;  // fingerprint of the print image last checked
    bool checkedOnce_ = false;
};

// Before Test Print, Print or a data run: checks the label as it would print now and,
// when a barcode does not read back, asks whether to print anyway. True to go on.
bool confirmBarcodesBeforePrinting(TZRedit& window);

}  // namespace tavrin
