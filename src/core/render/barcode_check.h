#pragma once
// Proof that the barcodes will scan: each Barcode figure is cut out of the print image (the
// dots the printer will print, neighbours and label edge included), read by an independent
// reader (ZXing, when the build has it) and the reading compared with what the figure's data
// means, check digits and add-ons included. Symbologies the reader does not know are
// reported as not checked, never as passed.
#include <string>
#include <vector>

#include "render/bitmap.h"
#include "render/render_context.h"

namespace tavrin {

class LabelDocument;

enum class BarcodeReadStatus { ReadBack, Wrong, Unreadable, NotChecked };

struct BarcodeCheckResult {
    int figure = 0;   // index in the figure list
    int barcode = 0;  // position among the label's barcodes, from 1
    int type = 0;
    std::string symbology;
    std::string expected;  // what a scanner should read
    std::string read;      // what was read; empty when nothing was
    BarcodeReadStatus status = BarcodeReadStatus::NotChecked;
    std::string note;  // why it failed or was not checked
    // The area looked at, in print-image dots: where the screen marks a failure.
    int x = 0, y = 0, width = 0, height = 0;
};

// Bars shorter than this cannot be crossed by a hand scanner's line (2 mm at 8 dots/mm).
inline constexpr int kMinCheckedBarHeight = 16;

// True when the build has a barcode reader.
bool barcodeCheckAvailable();

// "read back", "wrong", "unreadable", "not checked".
const char* barcodeStatusText(BarcodeReadStatus status);
inline bool isBarcodeFailure(BarcodeReadStatus status) {
    return status == BarcodeReadStatus::Wrong || status == BarcodeReadStatus::Unreadable;
}

// Every Barcode figure of the document, in figure order. `printImage` is what
// renderPrintImage() drew for the same document and context.
std::vector<BarcodeCheckResult> checkBarcodes(const LabelDocument& document, const RenderContext& context,
                                              const Bitmap& printImage);

// For the status line: "Barcode 1 (EAN 13) unreadable, barcode 3 (Code 39) wrong", each
// named by its position among the label's barcodes; empty when nothing failed.
std::string failedBarcodesText(const std::vector<BarcodeCheckResult>& results);
bool anyBarcodeFailed(const std::vector<BarcodeCheckResult>& results);

// What a scanner reads from a figure of `type` whose expanded data is `data` (full ASCII
// pairs, check characters, add-on after a blank); empty when the reader cannot read the
// symbology. Exposed for the tests.
std::string expectedBarcodeReading(int type, const std::string& data);

}  // namespace tavrin
