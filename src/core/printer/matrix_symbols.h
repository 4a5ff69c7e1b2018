#pragma once
// The 2D symbols (QR Code, Data Matrix, PDF417) on their way to the printer, which has no
// command for them: a print job carries each as a raster drawn by the label's own
// renderer, and a stored form carries each as a stored picture — which can only be a
// fixed one, so a symbol fed by variables, counters or the clock cannot be stored.
#include <optional>
#include <string>

#include "document/figure_list.h"
#include "document/label_document.h"
#include "printer/command_writer.h"
#include "render/render_context.h"

namespace tavrin {

// True for a Barcode figure of a 2D type.
bool isMatrixSymbolFigure(const Figure& figure);

// Sends a 2D symbol as one GW raster at its place (rows above the label's top edge left
// out). Nothing is sent for data that cannot be encoded. False for any other figure.
bool writeMatrixRaster(const Figure& figure, const RenderContext& context, CommandWriter& out);

// Why the label cannot be stored as a form, naming the first 2D symbol at fault: its data
// changes from label to label, it cannot be encoded, or it is too large for a stored
// picture. Nothing when every 2D symbol can be stored (or there is none).
std::optional<UserMessage> matrixSymbolStoreRefusal(const LabelDocument& document, const RenderContext& context);

// The name a 2D symbol's stored picture gets: two letters for its type and six hex digits
// of its dots, so that the same symbol always has the same name and different ones differ.
std::string matrixPictureName(int type, const std::vector<std::uint8_t>& block);

// The label as a stored form holds it: every 2D symbol replaced by a Picture figure of its
// dots, with its block and name. Call only after matrixSymbolStoreRefusal found nothing.
LabelDocument withMatrixSymbolsAsPictures(const LabelDocument& document, const RenderContext& context);

}  // namespace tavrin
