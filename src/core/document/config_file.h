#pragma once
// ZREDITW.CFG: one "KEY = value" line per setting, CR LF line ends. The label part of the
// setup and the AppConfig are read once at start-up and written once at exit.
#include <filesystem>
#include <string>

#include "common/result.h"

#include "document/app_config.h"
#include "document/label_setup.h"

namespace tavrin {

inline constexpr std::size_t kConfigLineLimit = 127;  // characters kept per line

// Reads the file over the values already in `setup` and `config` (normally the defaults).
// Every byte of value 32 or less is dropped wherever it stands, so "left margin = 20"
// reads as LEFTMARGIN=20 and a work directory loses its blanks. A line ends at a line
// feed, at the end of the file, or once 127 characters have been kept (the rest of the
// physical line then reads as a line of its own). The key is what comes before the first
// "=", the value what follows the last one; lines without "=" and unknown keys are
// skipped. Keys compare without regard to case.
// Numbers: an optional sign, then the leading digits ("-8" is -8, "12ab" is 12, no digits
// is 0; beyond the int range the value stops at the range's end). Out-of-range values are
// clamped; fields that are never negative take a negative value as their upper limit.
// LANGUAGE outside 0..3 gives 0, because the language picks a resident font table.
// TRANSLATION must be below `translationChoiceCount` (2 + the number of translation
// files), else it becomes 0. DATE FORMAT and TIME FORMAT are taken without the format
// check but cut to 15 characters, so they always fit their 16-byte field.
// Returns false when the file cannot be opened; everything then keeps its value.
bool readConfiguration(const std::filesystem::path& path, LabelSetup& setup, AppConfig& config,
                       int translationChoiceCount);

// The file's text, exactly as written: "%s = %d\r\n" for numbers, "%s = %s\r\n" for texts.
std::string formatConfiguration(const LabelSetup& setup, const AppConfig& config);

// Writes the whole file to a temporary file in the same folder, syncs it, then renames it
// over the old one, so a failure at any point leaves the old file as it was. An existing
// file that is read-only is left alone and reported as a failure. A missing folder is
// created. A symbolic link is followed and its target replaced.
Result writeConfiguration(const std::filesystem::path& path, const LabelSetup& setup, const AppConfig& config);

}  // namespace tavrin
