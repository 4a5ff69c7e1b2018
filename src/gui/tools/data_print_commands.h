#pragma once
// Print > Print from Data File... and the barcode self-check of the label view, hooked into
// the main window.
namespace tavrin {

class TZRedit;

void installDataPrintCommands(TZRedit& window);

}  // namespace tavrin
