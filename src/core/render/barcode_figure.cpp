#include "render/barcode_figure.h"

namespace tavrin {

// The symbologies are not in yet: a barcode draws nothing and its measured lengths keep
// the values the figure already holds.
void DrawBarcodeFigure(Bitmap& /*canvas*/, const RenderContext& /*context*/, Figure& /*figure*/,
                       std::vector<ScreenLine>& /*screenLines*/) {}

}  // namespace tavrin
