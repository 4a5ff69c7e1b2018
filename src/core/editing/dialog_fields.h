#pragma once
// What the figure property dialogs do with their controls: the ranges of the numeric
// edits, the items of the lists and how a filled-in form goes back into a record. The
// windows only move strings and list positions between their controls and these forms.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/figure_records.h"

namespace tavrin {

struct FieldRange {
    int min = 0;
    int max = 0;
    bool contains(int value) const { return value >= min && value <= max; }
};

// The text of a numeric edit read as a whole decimal integer (blanks around it and a
// sign allowed); nothing when it is empty, has other characters or does not fit an int.
std::optional<int> readInteger(std::string_view text);

// A numeric edit's new value: the text read as an integer, the current value when it
// cannot be read, and accepted only within the range; otherwise the current value stays.
int acceptField(std::string_view text, int current, FieldRange range);

// A list's new value: the value at the chosen position (position + first), the current
// value when nothing valid is chosen.
int acceptListField(int position, int itemCount, int first, int current);
// The position that shows a value, -1 when the list has no item for it.
int listPosition(int value, int itemCount, int first);

// Position ranges, per dialog.
inline constexpr FieldRange kFigureXRange{-607, 607};
inline constexpr FieldRange kTextYRange{-1639, 1639};
inline constexpr FieldRange kFigureYRange{-1539, 1539};  // every kind but text
inline constexpr FieldRange kBarcodeHeightRange{24, 200};
inline constexpr FieldRange kRectangleWidthRange{0, 607};
inline constexpr FieldRange kRectangleHeightRange{0, 1539};
inline constexpr FieldRange kThicknessRange{1, 40};

// The data edits hold at most this many characters; text longer than that (from a file)
// keeps its own length so that opening its dialog never cuts it.
inline constexpr std::size_t kDialogDataLength = 63;
std::size_t textDataLimit(std::size_t currentLength);
std::size_t barcodeDataLimit(std::size_t currentLength);

// List items.
inline constexpr std::array<const char*, 8> kHorizontalSizeItems = {"1", "2", "3", "4", "5", "6", "7", "8"};
inline constexpr std::array<const char*, 9> kVerticalSizeItems = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
inline constexpr std::array<const char*, 4> kTextStyleItems = {"Normal", "Inverse", "Bold", "BoldInv"};
inline constexpr std::array<const char*, 4> kRotationItems = {"None", "90 deg", "180 deg", "270 deg"};
inline constexpr std::array<const char*, 6> kNarrowBarItems = {"1", "2", "3", "4", "5", "6"};
inline constexpr std::array<const char*, 9> kWideBarItems = {"2", "3", "4", "5", "6", "7", "8", "9", "10"};
inline constexpr std::array<const char*, 4> kHumanReadableItems = {"None", "Left", "Center", "Right"};
inline constexpr std::array<const char*, 3> kColourItems = {"Black", "Inverse", "White"};
// The symbology names in type order.
std::vector<std::string> barcodeTypeItems();

// Forms: edits as their text, lists as positions (-1 for none). Data fields hold the
// printer's bytes.
struct TextForm {
    std::string x, y;
    int hMul = 0, vMul = 0, font = 0, style = 0, rotation = 0;
    std::string data;
};
struct BarcodeForm {
    std::string x, y, height;
    int narrow = 0, wide = 0, humanReadable = 0, rotation = 0, type = 0;
    std::string data;
    // 2D types: the position in barcode::errorLevelItems(type), kept in the wide field.
    int errorLevel = 0;
};

// Which of the Barcode dialog's controls mean something for a type (by list position): the
// 2D types take a module size (the narrow bar) and an error-correction level; their size
// follows the symbol and they have no wide bar and no human-readable line.
struct BarcodeControls {
    bool height = true, wide = true, humanReadable = true, errorLevel = false;
};
BarcodeControls barcodeControls(int typePosition);
struct RectangleForm {
    std::string x, y, width, height;
    int colour = 0;
};
struct BoxForm {
    std::string x1, y1, x2, y2, thickness;
};
struct LineForm {
    std::string x1, y1, x2, y2, thickness;
    int colour = 0;
};

// fontCount: the number of items in the Text dialog's font list.
TextForm textForm(const TextRecord& record, int fontCount);
void applyTextForm(const TextForm& form, int fontCount, TextRecord& record);
BarcodeForm barcodeForm(const BarcodeRecord& record);
void applyBarcodeForm(const BarcodeForm& form, BarcodeRecord& record);
RectangleForm rectangleForm(const RectangleRecord& record);
void applyRectangleForm(const RectangleForm& form, RectangleRecord& record);
BoxForm boxForm(const BoxRecord& record);
void applyBoxForm(const BoxForm& form, BoxRecord& record);
LineForm lineForm(const LineRecord& record);
void applyLineForm(const LineForm& form, LineRecord& record);

// The grid step of the Align to Grid dialog: a number from 4 to 80, nothing otherwise.
inline constexpr FieldRange kGridStepRange{4, 80};
inline constexpr int kGridStepLength = 3;
std::optional<int> acceptGridStep(std::string_view text);

}  // namespace tavrin
