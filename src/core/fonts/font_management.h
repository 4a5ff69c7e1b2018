#pragma once
// The label's soft fonts as the user manages them: the font list, adding a font under a
// letter (replacing one of that letter) and removing one that no text uses.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/figure_list.h"

namespace tavrin {

// One "%c  Height=%u Chars=%d" entry per Font entry, in list order.
std::vector<std::string> fontListEntries(const FigureList& figures);

// The font chooser's OK with the name field shown: the field's first character upper-cased
// when it is a letter A..Z; nothing otherwise (the field is then emptied and the chooser
// stays open).
std::optional<char> chosenNewFontLetter(std::string_view nameField);
// The font chooser's OK with the name field hidden: the letter of the selected list entry.
std::optional<char> chosenListedFontLetter(std::string_view selectedEntry);

// Puts sound font data (checked by checkFontData) under the letter: a Font entry of that
// letter gets the new data, or a new Font entry is appended. Texts already set in that
// letter's font show the new shapes, and texts that name the letter (read from a form
// before the label had the font) take the font's number and draw with it. Returns the
// Font entry.
Figure& addNewFont(FigureList& figures, char letter, std::vector<std::uint8_t> data);

// The soft font number (6 and above) of the Font entry with this letter; 0 when none.
int softFontNumber(const FigureList& figures, char letter);

// "Nothing to remove" when the label has no fonts (the chooser is not shown then).
std::optional<UserMessage> checkCanChooseFontToRemove(const FigureList& figures);

// Removes the font with this letter unless texts use it ("Font (%c) used in %d string[s].
// Can't remove"). Texts in fonts numbered after it are renumbered so they keep their fonts.
// Nothing changes when there is no such font or the removal is refused.
std::optional<UserMessage> removeFont(FigureList& figures, char letter);

}  // namespace tavrin
