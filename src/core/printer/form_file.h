#pragma once
// Form files (.ejf) on disk: saving the label as one, and reading one back into a label.
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "document/label_document.h"
#include "document/label_file.h"
#include "printer/form_reader.h"

namespace tavrin {

// "Nothing to save" for an empty figure list (a lone Font entry counts as a figure);
// "Can't open output file" when the file cannot be written. The old file is replaced
// only once the new one is complete, so a failure never leaves half a form behind.
Result saveAsForm(const std::filesystem::path& path, const LabelDocument& document);

// Splits form text into lines the way the printer link reads replies: LF ends a line,
// CR and other control characters are dropped, and a NUL ends the text.
std::vector<std::string> splitFormLines(std::span<const std::uint8_t> bytes);

// How an imported form went: lines that changed the label, and lines that were not
// understood and added nothing (comments and blank lines are not counted).
struct FormImport {
    Result result;
    int linesRead = 0;
    int linesSkipped = 0;
};

// Replaces the document's figures, variables and counters with what the form file holds;
// setup fields the form sets change, the others stay. "Can't open input file" when the
// file cannot be read (the document is then unchanged).
FormImport importFormFile(const std::filesystem::path& path, LabelDocument& document,
                          PictureResolver resolver = {});

}  // namespace tavrin
