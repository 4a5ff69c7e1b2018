#pragma once
// The Text dialog's font list: the five resident fonts, then each font that travels with
// the label, in list order. Item n (counted from 1) is font number n of a Text figure.
#include <string>
#include <vector>

#include "document/figure_list.h"

namespace tavrin {

std::vector<std::string> buildFontList(const FigureList& figures);

}  // namespace tavrin
