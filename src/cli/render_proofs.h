#pragma once
// tavrin-label render for many labels in one process: the label, or every chosen row of a
// data file, into a PDF (pages of the label's size or sheets of office paper), an SVG, or
// one numbered image file per row.
#include "options.h"

namespace tavrin::cli {

// True when the arguments want this rather than one image: a PDF or SVG, numbered file
// names, --rows or --sheet, or a data file without --row.
bool wantsProofs(const Arguments& arguments);

int renderProofs(const Arguments& arguments);

}  // namespace tavrin::cli
