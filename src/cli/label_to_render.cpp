#include "label_to_render.h"

#include "clock_option.h"
#include "document/label_file.h"
#include "document/program_paths.h"

namespace tavrin::cli {

std::string readLabelRenderOptions(const Arguments& arguments, LabelRenderOptions& out) {
    out.input = arguments.operand(0);
    out.canvas.showGrid = arguments.has("--grid");
    if (arguments.has("--grid-step")) out.canvas.gridStep = static_cast<int>(*arguments.number("--grid-step"));
    out.canvas.showMargins = !arguments.has("--no-margins");
    out.selectAll = arguments.has("--select-all");
    if (arguments.has("--now")) {
        if (!parseClock(arguments.value("--now"), out.now)) return "--now wants a time like 2026-03-05T14:07:09";
        out.fixedClock = true;
    }
    return {};
}

std::string loadLabelToRender(const LabelRenderOptions& options, TemporaryFile& holder, LabelToRender& out) {
    std::string problem;
    const std::filesystem::path inputFile = inputPath(options.input, holder, problem);
    if (inputFile.empty()) return problem;
    if (const Result loaded = loadLabelFile(inputFile, out.document); !loaded)
        return readFailure(loaded.message(), options.input);
    const std::filesystem::path fontPath = ProgramPaths::forThisProcess(nullptr).residentFontPath();
    if (out.fonts.load(fontPath) != 0) return "Can't open font file " + fontPath.string() + readProblem(fontPath.string());
    out.context.document = &out.document;
    out.context.residentFonts = &out.fonts;
    if (options.fixedClock) out.context.now = [now = options.now] { return now; };
    if (options.selectAll) out.document.figures.selectAll();
    return {};
}

}  // namespace tavrin::cli
