#pragma once
// Turning what the printer holds for one print — form lines, the values sent with "?",
// stored graphics and fonts — into a label, and the label into the printed image.
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "document/label_document.h"
#include "printer_memory.h"
#include "render/bitmap.h"

namespace tavrin {
class ResidentFonts;
}

namespace tavrin::sim {

// A variable or counter defined by a form's V and C lines (V03,05,R0,"prompt" and
// C00,04,R0,+1,"prompt"), read with the editor's own form reader. The slot holds the
// definition; its value is not part of it.
struct SlotDefinition {
    bool counter = false;
    int slot = 0;
    Variable definition;
};
// The definitions of these lines in the order their values travel: variables by slot,
// then counters by slot (a later line for the same slot replaces an earlier one).
std::vector<SlotDefinition> definitionsOf(const std::vector<std::string>& lines);

// Comma-separated numbers of a command line from `at`, one per letter of `kinds`: 's' an
// optional sign and digits, 'u' digits alone (read with the form reader's scanners, so
// they are clamped). Every field needs a digit; the line must end after the last field,
// or after its comma when `trailingComma`.
bool scanNumbers(std::string_view line, std::size_t at, std::string_view kinds, int* out, bool trailingComma);

// A stored PCX as a picture data block (the PCX's run-length rows are the block's rows).
struct PcxPicture {
    PictureBlockRef block;
    int width = 0;
    int height = 0;
};
std::optional<PcxPicture> pictureFromPcx(const Bytes& pcx);

// The label the lines describe, with values filled in, pictures taken from the stored
// graphics and texts in stored fonts given their fonts.
LabelDocument buildLabel(const std::vector<std::string>& lines, const std::vector<std::string>& values,
                         const PrinterMemory& memory);

// One raster received with GW: rows of bytesPerRow bytes, 0 bits printed.
struct Raster {
    int x = 0, y = 0, bytesPerRow = 0, rows = 0;
    Bytes data;
};

// The printed image: the label's figures, then the rasters, placed from the reference point.
Bitmap printLabelImage(LabelDocument& label, const std::vector<Raster>& rasters, const ResidentFonts* fonts,
                       const std::tm& now);

}  // namespace tavrin::sim
