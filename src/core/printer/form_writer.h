#pragma once
// The three command streams made from a label: a form file, a form stored in the printer
// with its pictures and fonts, and an immediate print job with values and a quantity.
#include <functional>
#include <string_view>

#include "document/label_document.h"
#include "link/byte_sink.h"
#include "printer/command_writer.h"

namespace tavrin {

// The contents of a form file (.ejf): comment, definitions, header, figure lines and a
// closing empty line; no N, no framing and no P.
void writeFormFile(const LabelDocument& document, ByteSink& sink);

// Stores the label in the printer as form `name`, then downloads every picture it uses
// (once per name) and every font it carries, and makes the form the active one. 2D symbols
// are stored as pictures placed with GG. False when the sink gave up (what was sent so far
// stays sent), and with nothing sent when matrixSymbolStoreRefusal refuses the label.
bool writeStoredForm(const LabelDocument& document, std::string_view name, ByteSink& sink);

// Sends a figure that direct graphics prints as rasters (a Picture, or Text in a soft font)
// and returns true; returning false lets the figure go out as its usual command line.
using RasterFigureWriter = std::function<bool(const Figure& figure, CommandWriter& writer)>;

struct PrintJob {
    unsigned quantity = 1;
    RasterFigureWriter rasterFigure;  // set when direct graphics is on
};

// An immediate print: definitions, "?" and the values, header, figure lines and P. 2D
// symbols go as GW rasters (through rasterFigure when it takes them).
// False when the sink gave up.
bool writePrintLabel(const LabelDocument& document, const PrintJob& job, ByteSink& sink);

}  // namespace tavrin
