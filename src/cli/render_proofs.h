#pragma once
// tavrin-label render for many labels in one process: the label, or every chosen row of a
// data file, into a PDF (pages of the label's size or sheets of office paper), an SVG, or
// one numbered image file per row.
#include <string>
#include <vector>

namespace tavrin::cli {

// The options render takes for this, shown in its usage.
inline constexpr const char* kProofUsage =
    "render FILE.qlb|- -o OUT.pdf|OUT.svg|'OUT-%04d.png' [--data ROWS.csv|- [--rows 15-20]] [--sheet a4|letter] "
    "[--print-anyway]";

// True when the arguments want this rather than one image: a PDF or SVG, numbered file
// names, --rows or --sheet, or a data file without --row.
bool wantsProofs(const std::vector<std::string>& arguments);

int renderProofs(const std::vector<std::string>& arguments);

}  // namespace tavrin::cli
