#pragma once
// Fetching a picture stored in the printer into the graphics buffer (GI), for the Picture
// dialog and the object list.
#include <string_view>

#include "graphics/graphics_buffer.h"
#include "link/printer_link.h"

namespace tavrin {

// True when the whole picture arrived. A reply longer than the buffer is read to its end
// and refused, so nothing is written beyond the buffer; one too short for a PCX header is
// refused as well.
bool ExtractGraphics(PrinterLink& link, GraphicsBuffer& buffer, std::string_view name);

}  // namespace tavrin
