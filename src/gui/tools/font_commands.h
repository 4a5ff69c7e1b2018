#pragma once
// The Tools menu's label font items: the TrueType to label font converter, Add New Font and
// Remove Font. Fonts travel with the label, so adding and removing are label changes that
// undo covers.
namespace tavrin {

class TZRedit;

void installFontCommands(TZRedit& window);

// The commands as the menu runs them; true when the label changed.
void runFontConverter(TZRedit& window);
bool addNewFontCommand(TZRedit& window);
bool addFontFromDisk(TZRedit& window);
bool removeFontCommand(TZRedit& window);

}  // namespace tavrin
