// A label file as anyone might send it: read, drawn for the screen and the printer, written
// back, and turned into every command stream the printer gets from a label.
#include "fuzz/fuzz_support.h"
#include "printer/form_file.h"
#include "printer/form_writer.h"
#include "render/canvas.h"
#include "render/image_io.h"

using namespace tavrin;

namespace {

// The colour image of a label at the canvas's largest size takes 64 MB; drawing it for every
// input would spend the run on clearing memory. Big labels still get their print image.
constexpr long kMaxScreenDots = 1L << 18;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LabelDocument document;
    if (!decodeLabelFile({data, size}, document)) return 0;
    const RenderContext context = fuzz::renderContext(&document);

    if (static_cast<long>(document.setup.width) * document.setup.length <= kMaxScreenDots) {
        LabelCanvas canvas;
        document.figures.selectAll();
        RedrawLabel(canvas, document, context, {.showGrid = true, .gridStep = 8, .showMargins = true});
        drawSelectionMarks(canvas, document, {}, true);
    }
    const Bitmap print = renderPrintImage(document, context);
    // As the render command does; an empty label must be refused, not written as 0 x 0.
    if (static_cast<bool>(writePbm("/dev/null", print)) != (print.width() > 0 && print.height() > 0)) std::abort();

    fuzz::checkLabelFileRoundTrip(document);

    BufferSink form, stored, job;
    writeFormFile(document, form);
    writeStoredForm(document, "FUZZ", stored);
    writePrintLabel(document, {.quantity = 2, .rasterFigure = {}}, job);

    // The form file read back into a label draws like any other.
    LabelDocument imported;
    FormReader reader(imported, FormReader::nameListResolver({}));
    for (const std::string& line : splitFormLines(form.bytes())) reader.readFormLine(line);
    renderPrintImage(imported, fuzz::renderContext(&imported));
    return 0;
}
