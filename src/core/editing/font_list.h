#pragma once
// The Text dialog's font list: the five resident fonts, then each font that travels with
// the label, in list order. Item n (counted from 1) is font number n of a Text figure.
#include <optional>
#include <string>
#include <vector>

#include "document/figure_list.h"

namespace tavrin {

std::vector<std::string> buildFontList(const FigureList& figures);

// A font fetched from the printer is named by its letter: a name of one letter a..z or A..Z
// gives that letter as a capital; any other name has none, and the user must choose one.
std::optional<char> storedFontLetter(const std::string& name);

}  // namespace tavrin
