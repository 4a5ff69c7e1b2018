// Every symbology with arbitrary data and module widths: encoded directly (the data as it
// stands after expansion) and drawn as a Barcode figure (the data as a field to expand), in
// every rotation and with every kind of human-readable line.
#include "document/label_document.h"
#include "fuzz/fuzz_support.h"
#include "render/barcode/barcode.h"
#include "render/barcode_figure.h"

using namespace tavrin;

namespace {

// Mostly the widths a dialog offers; now and then any signed 16-bit value a damaged file may hold.
int width(fuzz::Input& input) {
    return input.flag() ? input.range(-2, 12) : static_cast<std::int16_t>(static_cast<std::uint16_t>(input.word()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    BarcodeRecord record;
    record.type = input.range(-1, barcode::kSymbologyCount);
    record.narrow = width(input);
    record.wide = width(input);
    record.height = input.flag() ? input.range(0, 300) : width(input);
    record.humanReadable = input.range(-1, 4);
    record.rotation = input.range(-1, 4);
    record.x = input.range(-100, 700);
    record.y = input.range(-100, 700);
    const auto rest = input.rest();
    const std::string_view text(reinterpret_cast<const char*>(rest.data()), rest.size());

    const barcode::BarcodeResult result =
        barcode::encodeBarcode({.type = record.type, .data = text, .narrow = record.narrow, .wide = record.wide});
    if (result.bars.length() > barcode::kMaxColumns || result.barLength < 0 || result.totalLength < 0) std::abort();
    if (result.layout != barcode::kLayoutNone) barcode::layoutEanCaption(result, record.narrow, record.height);
    barcode::layoutPlainCaption(result.barLength, static_cast<int>(result.text.size()), record.humanReadable);

    LabelDocument document;
    record.data = std::string(text.substr(0, BarcodeRecord::kMaxData));
    Figure& figure = document.figures.appendFigure(record.encode(), FigureKind::Barcode);
    const RenderContext context = fuzz::renderContext(&document);
    Bitmap canvas(608, 800);
    std::vector<ScreenLine> screenLines;
    DrawBarcodeFigure(canvas, context, figure, screenLines);
    return 0;
}
