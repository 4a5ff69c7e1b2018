// Form lines as a form file or the printer may hold them: read into a label, drawn, and
// written back both as a form and as a label file.
#include <map>

#include "fuzz/fuzz_support.h"
#include "printer/form_file.h"
#include "printer/form_reader.h"
#include "printer/form_writer.h"
#include "render/canvas.h"

using namespace tavrin;

namespace {

// Every name the form asks for resolves to a small picture of its own, as the printer's
// graphics would, so GG lines draw; names that start with '?' are unknown, and those that
// start with '-' are listed without their data yet.
PictureResolver resolver(std::map<std::string, PictureBlockRef>& blocks) {
    return [&blocks](const std::string& name) -> std::optional<ResolvedPicture> {
        if (name.starts_with('?')) return std::nullopt;
        if (name.starts_with('-')) return ResolvedPicture{};
        PictureBlockRef& block = blocks[name];
        if (!block) {
            block = std::make_shared<PictureBlock>();
            // shareCount, 2 bytes a row, then run-length rows.
            block->bytes = {1, 2, 0x02, 0x0F, 0xF0, 0x81, 0x00, 0x02, 0xAA, 0x55};
        }
        return ResolvedPicture{block, 16, 3};
    };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::map<std::string, PictureBlockRef> blocks;
    LabelDocument document;
    FormReader reader(document, resolver(blocks));
    for (const std::string& line : splitFormLines({data, size})) reader.readFormLine(line);

    const RenderContext context = fuzz::renderContext(&document);
    if (static_cast<long>(document.setup.width) * document.setup.length <= (1L << 18)) {
        LabelCanvas canvas;
        RedrawLabel(canvas, document, context, {.showGrid = true});
    } else {
        renderPrintImage(document, context);
    }

    fuzz::checkLabelFileRoundTrip(document);  // what the reader built survives the label file

    BufferSink form;
    writeFormFile(document, form);
    LabelDocument again;
    std::map<std::string, PictureBlockRef> moreBlocks;
    FormReader second(again, resolver(moreBlocks));
    for (const std::string& line : splitFormLines(form.bytes())) second.readFormLine(line);
    return 0;
}
