#pragma once
// Draw > Picture with its toolbar button, right-click editing of pictures and
// View > Object List, hooked into the main window.
namespace tavrin {

class TZRedit;

void installPictureCommands(TZRedit& window);

}  // namespace tavrin
