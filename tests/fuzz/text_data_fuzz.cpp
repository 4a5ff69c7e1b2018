// Text fields as a label or a form may hold them: expanded with arbitrary variables,
// counters and formats, then drawn in resident and soft fonts at any multiplier, rotation
// and style, on the screen, as printer rasters and as a barcode caption.
#include "document/label_document.h"
#include "fuzz/fuzz_support.h"
#include "render/text_data.h"

using namespace tavrin;

namespace {

void fillSlots(fuzz::Input& input, LabelDocument& document) {
    for (int n = input.range(0, 5); n > 0; --n) {
        const bool counter = input.flag();
        Variable& slot = counter ? document.counters[static_cast<std::size_t>(input.range(0, kCounterCount - 1))]
                                 : document.variables[static_cast<std::size_t>(input.range(0, kVariableCount - 1))];
        const std::vector<std::uint8_t> raw = input.bytes(5);
        slot = Variable::fromBytes(raw.data(), raw.size());
        slot.defined = 1;
        slot.setValue(input.text(80));
    }
}

void addSoftFonts(fuzz::Input& input, LabelDocument& document) {
    for (int n = input.range(0, 2); n > 0; --n) {
        const char letter = static_cast<char>(input.byte());
        std::vector<std::uint8_t> font = input.bytes(static_cast<std::size_t>(input.word() % 2048));
        const FontRecord record{.charCount = font.empty() ? 0u : font[0],
                                .height = font.size() > 2 ? font[2] : 0u,
                                .dataLength = static_cast<unsigned>(font.size()),
                                .letter = letter};
        document.figures.appendFigure(record.encode(), FigureKind::Font).fontData = std::move(font);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    LabelDocument document;
    document.setup.language = input.range(-1, 4);
    document.setup.dateFormat = input.text(20);
    document.setup.timeFormat = input.text(20);
    fillSlots(input, document);
    addSoftFonts(input, document);
    const int x = input.range(-64, 447), y = input.range(-64, 447);
    const int rotation = input.range(-1, 4);
    const int font = input.range(0, 8);
    const int hMul = input.range(-1, 14), vMul = input.range(-1, 14);
    const int style = input.byte();
    const int spacing = input.range(0, 8);
    const auto restBytes = input.rest();
    const std::string_view field(reinterpret_cast<const char*>(restBytes.data()), restBytes.size());

    const RenderContext context = fuzz::renderContext(&document);
    std::string expanded;
    const bool wellFormed = ExpandTextData(field, context, expanded);
    if (expanded.size() > kMaxExpandedText) std::abort();
    if (!wellFormed && expanded != kMalformedText) std::abort();

    Bitmap canvas(384, 384);
    const int extent = DrawLabelText(canvas, context, x, y, rotation, font, hMul, vMul, style, field);
    const int printed = DrawLabelTextToPrinter(context, x, y, rotation, font, hMul, vMul, style, field,
                                               fuzz::checkWholeRows);
    // The printer and the screen agree on how far the text reaches.
    if (printed != extent) std::abort();
    DrawCaptionText(canvas, context, x, y, rotation, font, spacing, expanded);
    return 0;
}
