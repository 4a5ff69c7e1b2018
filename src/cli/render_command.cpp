// tavrin-label render FILE.qlb -o OUT: the label as the editor shows it, or as it prints.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "command_registry.h"
#include "standard_streams.h"
#include "document/label_file.h"
#include "render/canvas.h"
#include "render/image_io.h"
#include "render/resident_font.h"
#include "data_rows.h"
#include "label_to_render.h"
#include "render_proofs.h"

namespace tavrin::cli {
namespace {

constexpr Operand kOperands[] = {{"FILE.qlb|-", ValueKind::Label}};
constexpr Option kOptions[] = {
    {.name = "--output", .value = "OUT", .kind = ValueKind::Output,
     .help = "the file written: .png, .pbm or .ppm for one image (- writes PNG to standard output), .pdf for "
             "pages, .svg for a drawing, a name with %04d for one image per row",
     .shortName = "-o", .required = true},
    {.name = "--print", .help = "the printer's one-bit image instead of the screen's"},
    {.name = "--grid", .help = "draw the grid"},
    {.name = "--grid-step", .value = "N", .kind = ValueKind::Number, .help = "the grid's step in dots",
     .low = kMinGridStep, .high = kMaxGridStep},
    {.name = "--no-margins", .help = "leave out the margin lines"},
    {.name = "--select-all", .help = "draw every figure as selected"},
    {.name = "--now", .value = "YYYY-MM-DDTHH:MM:SS", .help = "the clock for date and time fields"},
    {.name = "--data", .value = "ROWS.csv|-", .kind = ValueKind::Data,
     .help = "fill the label from this data file, as a data run does"},
    {.name = "--row", .value = "N", .kind = ValueKind::Number, .help = "the one data row to draw",
     .low = 1, .high = kMaxRowNumber},
    {.name = "--rows", .value = "15-20", .help = "the data rows to draw (15-20, 15- or 3,5,9-12)"},
    {.name = "--sheet", .value = "PAPER", .kind = ValueKind::Choice,
     .help = "lay the labels out at true size on sheets of office paper, in a PDF", .choices = "a4 letter"},
    {.name = "--print-anyway", .help = "draw rows a data run would refuse, as they are"},
};

struct RenderArguments {
    LabelRenderOptions label;
    std::string output;
    bool print = false;
    std::string data;
    long long row = 0;
};

// Empty on success, else what is wrong with the command line.
std::string parse(const Arguments& arguments, RenderArguments& out) {
    if (std::string problem = readLabelRenderOptions(arguments, out.label); !problem.empty()) return problem;
    out.output = arguments.value("--output");
    out.print = arguments.has("--print");
    out.data = arguments.value("--data");
    out.row = arguments.number("--row").value_or(0);
    if (out.data.empty() != (out.row == 0)) return "--data and --row go together";
    if (isStandardStream(out.label.input) && isStandardStream(out.data))
        return "the label and the data cannot both come from standard input";
    return {};
}

int run(const Arguments& arguments) {
    // Many labels, PDF, SVG or numbered images: one process for the whole run.
    if (wantsProofs(arguments)) return renderProofs(arguments);
    RenderArguments args;
    if (const std::string problem = parse(arguments, args); !problem.empty()) return usageError(arguments, problem);
    // Standard output gets a PNG image.
    const std::string extension = isStandardStream(args.output) ? ".png" : lowerExtension(args.output);
    if (extension != ".png" && extension != ".pbm" && extension != ".ppm")
        return usageError(arguments, "the output must end in .png, .pbm, .ppm, .pdf or .svg: " + args.output);
    TemporaryFile inputHolder, outputHolder;
    std::string streamProblem;
    LabelToRender label;
    if (streamProblem = loadLabelToRender(args.label, inputHolder, label); !streamProblem.empty())
        return fail(streamProblem);
    const std::filesystem::path outputFile = outputPath(args.output, extension, outputHolder, streamProblem);
    if (outputFile.empty()) return fail(streamProblem);
    LabelDocument& document = label.document;
    const RenderContext& context = label.context;
    if (!args.data.empty()) {
        DataInput input;
        std::string problem = input.open(args.data);
        if (problem.empty()) problem = applyDataRowTo(document, input.path(), args.row, configuredTranslation());
        if (!problem.empty()) return fail(problem);
    }

    const Result written = [&] {
        if (args.print) {
            const Bitmap image = renderPrintImage(document, context);
            if (extension == ".png") return writePng(outputFile, image);
            if (extension == ".pbm") return writePbm(outputFile, image);
            ScreenImage colour;
            colour.copyFrom(image);
            return writePpm(outputFile, colour);
        }
        LabelCanvas canvas;
        RedrawLabel(canvas, document, context, args.label.canvas);
        if (extension == ".png") return writePng(outputFile, canvas.visible);
        if (extension == ".ppm") return writePpm(outputFile, canvas.visible);
        return writePbm(outputFile, toOneBit(canvas.visible));
    }();
    if (!written) return fail(written.message());
    if (const std::string problem = finishOutput(args.output, outputHolder); !problem.empty()) return fail(problem);
    return 0;
}

constexpr CommandDefinition kRender{"render",
                              "the label as the editor shows it or as it prints, as an image; or proofs of every "
                              "chosen data row as PDF pages, sheets, an SVG or numbered images",
                              kOperands, kOptions, run};
RegisterCommand registration(kRender);

}  // namespace
}  // namespace tavrin::cli
