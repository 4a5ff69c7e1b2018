#pragma once
// Direct graphics: instead of naming a stored picture or a downloaded font, a print job
// carries the dots themselves as GW rasters (a 0 bit prints, a 1 bit stays blank).
#include "document/label_document.h"
#include "printer/command_writer.h"
#include "printer/form_writer.h"
#include "render/render_context.h"
#include "render/text_drawing.h"

namespace tavrin {

// A Picture's own data as one raster. Rows above the label's top edge are left out, and
// dots beyond the picture's width (row padding) are sent blank. False, with nothing sent,
// when the figure has no picture data to send.
bool writePictureRaster(const Figure& picture, CommandWriter& out);

// One glyph of soft-font text; nothing is sent for a glyph wholly off the label or larger
// than the printer's raster buffer.
void writeGlyphRaster(const GlyphRaster& glyph, const LabelSetup& setup, CommandWriter& out);

// The PrintJob hook that sends Pictures and soft-font Text as rasters. The context must
// name the document being printed; every other figure keeps its command line.
RasterFigureWriter directGraphicsWriter(const RenderContext& context);

}  // namespace tavrin
