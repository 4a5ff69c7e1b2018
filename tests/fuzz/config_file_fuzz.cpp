// The configuration file as a user may have edited it: read over the defaults, applied to
// the link, the translation and the canvas, and written back.
#include "document/config_file.h"
#include "fuzz/fuzz_support.h"
#include "link/printer_link.h"
#include "printer/translation.h"
#include "render/canvas.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file = fuzz::scratchFile("ZREDITW.CFG");
    fuzz::writeScratch(file, {data, size});
    LabelSetup setup;
    AppConfig config;
    if (!readConfiguration(file, setup, config, 4)) return 0;

    // What is written is read back as the same settings.
    const std::string text = formatConfiguration(setup, config);
    fuzz::writeScratch(file, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    LabelSetup setupAgain;
    AppConfig configAgain;
    if (!readConfiguration(file, setupAgain, configAgain, 4)) std::abort();
    if (!(setupAgain == setup) || !(configAgain == config)) std::abort();

    // Where start-up takes the values next.
    Translation translation;
    configureCodePages(translation, config);
    translation.load(config.translation, {});
    (void)translation.toPrinter(text);
    (void)baudRate(config.baudIndex);
    (void)checkDateFormat(setup.dateFormat);
    (void)checkTimeFormat(setup.timeFormat);

    LabelDocument document;
    document.setup = setup;
    document.figures.appendFigure(TextRecord{.x = 1, .y = 1, .font = 3, .data = "TD\" \"TT"}.encode(),
                                  FigureKind::Text);
    // The whole canvas of the largest label costs more than the reading; smaller ones are
    // drawn with the grid as configured.
    if (static_cast<long>(setup.width) * setup.length <= (1L << 17)) {
        LabelCanvas canvas;
        RedrawLabel(canvas, document, fuzz::renderContext(&document),
                    {.showGrid = config.showGrid != 0, .gridStep = config.gridStep});
    }
    return 0;
}
