#pragma once
// Draw > Picture with its toolbar button, and drawing and right-click editing of pictures
// through the picture dialog.
#include "app/command_table.h"

namespace tavrin {

class TZRedit;

CommandTable pictureCommands(TZRedit& window);

}  // namespace tavrin
