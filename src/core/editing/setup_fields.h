#pragma once
// The Label Setup dialog's rules: its lists, the label size presets, the ranges of its
// numeric edits and how a filled-in form goes back into the LabelSetup.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "document/label_setup.h"
#include "editing/dialog_fields.h"

namespace tavrin {

struct LabelSizePreset {
    const char* name;
    int width;   // dots
    int length;  // dots
};
// Position 0, "User size", leaves the size as typed.
inline constexpr std::array<LabelSizePreset, 5> kLabelSizePresets = {{
    {"User size", 0, 0},
    {"56 / 25 mm", 384, 200},
    {"56 / 43 mm", 384, 344},
    {"56 / 75 mm", 384, 600},
    {"79 / 56 mm", 608, 412},
}};
// The width and length a preset writes into the edits; nothing for "User size".
std::optional<std::pair<int, int>> labelSizePreset(int position);

inline constexpr FieldRange kLabelWidthRange{80, 608};
inline constexpr FieldRange kLabelLengthRange{80, 1640};
inline constexpr FieldRange kLabelGapRange{0, 80};
inline constexpr FieldRange kLabelOffsetRange{-80, 80};
inline constexpr FieldRange kTopMarginRange{0, 1639};
inline constexpr FieldRange kLeftMarginRange{0, 607};

// Edit lengths: width, length and offset 6 characters, gap 4, margins 6, formats 15.
inline constexpr int kSizeEditLength = 6;
inline constexpr int kGapEditLength = 4;
inline constexpr int kFormatEditLength = 15;

inline constexpr std::array<const char*, 2> kTextTypeItems = {"Normal", "Condensed"};
// "0" .. "11", then "12 Warning !" .. "15 Warning !".
std::vector<std::string> darknessItems();

// Edits as text, lists as positions (-1 for none).
struct SetupForm {
    int labelSize = 0;
    std::string width, length, gap, offset;
    int darkness = 0, speed = 0;
    std::string leftMargin, topMargin;
    int orientation = 0, language = 0, paperType = 0, textType = 0;
    std::string dateFormat, timeFormat;
};

// The form showing a setup, with "User size" chosen.
SetupForm setupForm(const LabelSetup& setup);
// Applies every field it accepts; a number out of range or a refused format leaves the
// setup's own value.
void applySetupForm(const SetupForm& form, LabelSetup& setup);

}  // namespace tavrin
