// A PCX or one-bit BMP file as the Picture dialog opens it: into the graphics buffer, made
// into a picture block, placed on a label, drawn on the screen and for the printer, and
// sent as a direct graphics raster.
#include <memory>

#include "document/label_document.h"
#include "fuzz/fuzz_support.h"
#include "graphics/graphics_file.h"
#include "graphics/picture_data.h"
#include "link/byte_sink.h"
#include "printer/direct_graphics.h"
#include "printer/form_writer.h"
#include "render/canvas.h"
#include "render/picture_decode.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The buffer is some 48 KB; one per process, as the editor keeps one.
    static const auto buffer = std::make_unique<GraphicsBuffer>();
    static const std::filesystem::path path = fuzz::scratchFile("picture.pcx");

    // The bytes alone and the file must give the same result.
    const GraphicsLoadResult fromBytes = LoadGraphicsBytes({data, size}, *buffer);
    fuzz::writeScratch(path, {data, size});
    LoadedBlock loaded;
    const MakePictureResult made = MakePictureData(path.string(), true, *buffer, loaded);
    if (!made.ok) {
        if (made.message && made.message->text.empty()) std::abort();  // a failure always says why
        return 0;
    }
    if (!fromBytes) std::abort();
    if (loaded.empty() || loaded.width <= 0 || loaded.height <= 0) std::abort();
    if (loaded.dataLength != loaded.block->bytes.size()) std::abort();

    LabelDocument document;
    document.setup.width = std::min(loaded.width + 24, 2400);
    document.setup.length = std::min(loaded.height + 24, 2400);
    PictureRecord record;
    record.x = 5, record.y = 7;
    record.width = loaded.width, record.height = loaded.height;
    record.dataLength = loaded.dataLength;
    record.name = "FUZZ";
    Figure& figure = document.figures.appendFigure(record.encode(), FigureKind::Picture);
    figure.picture = loaded.block;
    // A second figure at a negative position shares the block and reaches over the edges.
    record.x = -loaded.width / 2, record.y = -3;
    document.figures.appendFigure(record.encode(), FigureKind::Picture).picture = loaded.block;

    const Bitmap decoded = decodePicture(loaded.block->bytes, loaded.width, loaded.height);
    if (decoded.width() != loaded.width || decoded.height() != loaded.height) std::abort();

    const RenderContext context = fuzz::renderContext(&document);
    LabelCanvas canvas;
    RedrawLabel(canvas, document, context, {.showGrid = false, .gridStep = 8, .showMargins = true});
    renderPrintImage(document, context);

    BufferSink raster;
    CommandWriter writer(raster);
    if (!writePictureRaster(figure, writer)) std::abort();  // it has its block
    writePictureRaster(*std::next(document.figures.begin()), writer);
    BufferSink job;
    writePrintLabel(document, {.quantity = 1, .rasterFigure = directGraphicsWriter(context)}, job);
    return 0;
}
