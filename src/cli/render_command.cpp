// tavrin-label render FILE.qlb -o OUT: the label as the editor shows it, or as it prints.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "clock_option.h"
#include "command_registry.h"
#include "standard_streams.h"
#include "document/label_file.h"
#include "document/program_paths.h"
#include "render/canvas.h"
#include "render/image_io.h"
#include "render/resident_font.h"
#include "data_rows.h"
#include "render_proofs.h"

namespace tavrin::cli {
namespace {

constexpr const char* kUsage =
    "render FILE.qlb|- -o OUT.png|.pbm|.ppm|- [--print] [--grid] [--grid-step N] [--no-margins] "
    "[--select-all] [--now YYYY-MM-DDTHH:MM:SS]";

struct RenderArguments {
    std::string input;
    std::string output;
    bool print = false;
    bool selectAll = false;
    CanvasOptions canvas;
    bool fixedClock = false;
    std::tm now{};
    std::string data;
    long long row = 0;
};

// Empty on success, else what is wrong with the command line.
std::string parse(const std::vector<std::string>& arguments, RenderArguments& out) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= arguments.size()) return false;
            into = arguments[++i];
            return true;
        };
        std::string text;
        if (a == "-o" || a == "--output") {
            if (!value(out.output)) return "-o needs a file name";
        } else if (a == "--print") {
            out.print = true;
        } else if (a == "--grid") {
            out.canvas.showGrid = true;
        } else if (a == "--grid-step") {
            if (!value(text)) return "--grid-step needs a number";
            char* end = nullptr;
            const long step = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || step < kMinGridStep || step > kMaxGridStep)
                return "grid step must be 4..40";
            out.canvas.gridStep = static_cast<int>(step);
        } else if (a == "--no-margins") {
            out.canvas.showMargins = false;
        } else if (a == "--select-all") {
            out.selectAll = true;
        } else if (a == "--data") {
            if (!value(out.data)) return "--data needs a file name";
        } else if (a == "--row") {
            if (!value(text) || !parseCount(text, out.row)) return "--row wants a row number from 1";
        } else if (a == "--now") {
            if (!value(text) || !parseClock(text, out.now)) return "--now wants a time like 2026-03-05T14:07:09";
            out.fixedClock = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option " + a;
        } else if (out.input.empty()) {
            out.input = a;
        } else {
            return "more than one label file";
        }
    }
    if (out.input.empty()) return "no label file";
    if (out.output.empty()) return "no output file (-o)";
    if (out.data.empty() != (out.row == 0)) return "--data and --row go together";
    return {};
}

std::string extensionOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension;
}

int run(const std::vector<std::string>& arguments) {
    // Many labels, PDF, SVG or numbered images: one process for the whole run.
    if (wantsProofs(arguments)) return renderProofs(arguments);
    RenderArguments args;
    if (const std::string problem = parse(arguments, args); !problem.empty())
        return fail(problem + "\nusage: tavrin-label " + kUsage);
    // Standard output gets a PNG image.
    const std::string extension = isStandardStream(args.output) ? ".png" : extensionOf(args.output);
    if (extension != ".png" && extension != ".pbm" && extension != ".ppm")
        return fail("the output must end in .png, .pbm or .ppm: " + args.output);
    TemporaryFile inputHolder, outputHolder;
    std::string streamProblem;
    const std::filesystem::path inputFile = inputPath(args.input, inputHolder, streamProblem);
    if (inputFile.empty()) return fail(streamProblem);
    const std::filesystem::path outputFile = outputPath(args.output, extension, outputHolder, streamProblem);
    if (outputFile.empty()) return fail(streamProblem);

    LabelDocument document;
    if (const LabelFileResult loaded = loadLabelFile(inputFile, document); !loaded.ok)
        return fail(loaded.message + ": " + displayName(args.input, false) + readProblem(args.input));

    const ProgramPaths paths = ProgramPaths::forThisProcess(nullptr);
    const std::filesystem::path fontPath = paths.residentFontPath();
    ResidentFonts fonts;
    if (fonts.load(fontPath) != 0)
        return fail("Can't open font file " + fontPath.string() + readProblem(fontPath.string()));

    RenderContext context;
    context.document = &document;
    context.residentFonts = &fonts;
    if (args.fixedClock) context.now = [now = args.now] { return now; };
    if (args.selectAll) document.figures.selectAll();
    if (!args.data.empty()) {
        DataInput input;
        std::string problem = input.open(args.data);
        if (problem.empty()) problem = applyDataRowTo(document, input.path(), args.row, configuredTranslation());
        if (!problem.empty()) return fail(problem);
    }

    ImageIoResult written;
    if (args.print) {
        const Bitmap image = renderPrintImage(document, context);
        if (extension == ".png") {
            written = writePng(outputFile, image);
        } else if (extension == ".pbm") {
            written = writePbm(outputFile, image);
        } else {
            ScreenImage colour;
            colour.copyFrom(image);
            written = writePpm(outputFile, colour);
        }
    } else {
        LabelCanvas canvas;
        RedrawLabel(canvas, document, context, args.canvas);
        if (extension == ".png") written = writePng(outputFile, canvas.visible);
        else if (extension == ".ppm") written = writePpm(outputFile, canvas.visible);
        else written = writePbm(outputFile, toOneBit(canvas.visible));
    }
    if (!written.ok) return fail(written.message + writeProblem(args.output));
    if (const std::string problem = finishOutput(args.output, outputHolder); !problem.empty()) return fail(problem);
    return 0;
}

// The data row options, shown with the rest in `tavrin-label help`.
const std::string kUsageWithData =
    std::string(kUsage) + " [--data ROWS.csv|- --row N]\n  tavrin-label " + kProofUsage;
RegisterCommand registration("render", kUsageWithData.c_str(), run);

}  // namespace
}  // namespace tavrin::cli
