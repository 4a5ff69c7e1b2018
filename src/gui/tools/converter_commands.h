#pragma once
// Tools > "Color to Black && White Converter": the converter window opened over the editor.
#include "app/command_table.h"

namespace tavrin {

class TZRedit;

CommandTable converterCommands(TZRedit& window);
// Opens the converter modally; a fresh window each time, so every picture is freed on close.
void openColorToBW(TZRedit& window);

}  // namespace tavrin
