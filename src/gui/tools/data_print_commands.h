#pragma once
// Print > Print from Data File... and the barcode self-check of the label view, hooked into
// the main window.
#include "app/command_table.h"

namespace tavrin {

class TZRedit;

CommandTable dataPrintCommands(TZRedit& window);

}  // namespace tavrin
