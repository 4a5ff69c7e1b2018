#pragma once
// The Tools menu's label font items: the TrueType to label font converter, Add New Font and
// Remove Font. Fonts travel with the label, so adding and removing are label changes that
// undo covers.
#include <string>

#include "app/command_table.h"

namespace tavrin {

class TZRedit;

CommandTable fontCommands(TZRedit& window);

// The commands as the menu runs them; true when the label changed.
void runFontConverter(TZRedit& window);
bool addNewFontCommand(TZRedit& window);
bool addFontFromDisk(TZRedit& window);
// A stored font chosen from the printer's list, named by its letter.
bool addFontFromPrinter(TZRedit& window);
// Fetches the printer's font of that name into the label.
bool addStoredFont(TZRedit& window, const std::string& name);
bool removeFontCommand(TZRedit& window);

}  // namespace tavrin
