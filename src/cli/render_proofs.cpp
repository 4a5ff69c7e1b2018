// tavrin-label render for a whole data run, or the label alone, as a PDF, an SVG or numbered
// image files, all in one process with the data file read as a stream.
#include "render_proofs.h"

#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>

#include "command_registry.h"
#include "data_rows.h"
#include "label_to_render.h"
#include "standard_streams.h"
#include "proof/proof_output.h"
#include "render/resident_font.h"

namespace tavrin::cli {
namespace {

struct ProofArguments {
    LabelRenderOptions label;
    std::string output, data;
    std::optional<RowSelection> rows;
    std::optional<ProofPaper> paper;
    bool print = false, anyway = false;
};

enum class OutputKind { Pdf, Svg, Series, Image };

std::string parse(const Arguments& arguments, ProofArguments& out) {
    if (std::string problem = readLabelRenderOptions(arguments, out.label); !problem.empty()) return problem;
    out.output = arguments.value("--output");
    out.data = arguments.value("--data");
    if (arguments.has("--rows") && arguments.has("--row")) return "--rows and --row choose the rows once";
    if (arguments.has("--row")) out.rows = RowSelection::parse(arguments.value("--row"));
    if (arguments.has("--rows")) {
        out.rows = RowSelection::parse(arguments.value("--rows"));
        if (!out.rows) return "--rows wants rows such as 15-20, 15- or 3,5,9-12";
    }
    if (arguments.has("--sheet")) out.paper = proofPaperNamed(arguments.value("--sheet"));
    out.print = arguments.has("--print");
    out.anyway = arguments.has("--print-anyway");
    if (out.rows && out.data.empty()) return "--rows needs --data";
    if (isStandardStream(out.label.input) && isStandardStream(out.data))
        return "the label and the data cannot both come from standard input";
    return {};
}

// What the output name asks for, or what is wrong with it.
std::string outputKind(const ProofArguments& args, OutputKind& kind) {
    const std::string extension = isStandardStream(args.output) ? ".png" : lowerExtension(args.output);
    if (hasNumberPattern(args.output) && !isStandardStream(args.output)) {
        if (std::string problem = checkNumberPattern(args.output); !problem.empty()) return problem;
        kind = OutputKind::Series;
        if (extension != ".png" && extension != ".pbm" && extension != ".ppm" && extension != ".svg")
            return "numbered files must end in .png, .pbm, .ppm or .svg: " + args.output;
    } else if (extension == ".pdf") {
        kind = OutputKind::Pdf;
    } else if (extension == ".svg") {
        kind = OutputKind::Svg;
    } else if (extension == ".png" || extension == ".pbm" || extension == ".ppm") {
        kind = OutputKind::Image;
    } else {
        return "the output must end in .pdf, .svg, .png, .pbm or .ppm: " + args.output;
    }
    if (args.paper && kind != OutputKind::Pdf) return "--sheet lays labels out on the pages of a PDF (-o FILE.pdf)";
    return {};
}

// "Row 150 of 1,000" on a terminal, at most ten times a second.
class Progress {
public:
    Progress() : shown_(::isatty(STDERR_FILENO) != 0) {}
    ~Progress() {
        if (drawn_) std::fputs("\r\033[K", stderr);
    }
    bool operator()(long long index, long long total) {
        if (!shown_ || total < 2) return true;
        const auto now = std::chrono::steady_clock::now();
        if (drawn_ && index < total && now - last_ < std::chrono::milliseconds(100)) return true;
        last_ = now;
        drawn_ = true;
        std::fprintf(stderr, "\r%s\033[K", rowProgressText(index, total).c_str());
        return true;
    }

private:
    bool shown_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace

bool wantsProofs(const Arguments& arguments) {
    if (arguments.has("--rows") || arguments.has("--sheet")) return true;
    const std::string name = arguments.value("--output");
    const std::string extension = lowerExtension(name);
    if (!isStandardStream(name) && (hasNumberPattern(name) || extension == ".pdf" || extension == ".svg")) return true;
    return arguments.has("--data") && !arguments.has("--row");
}

int renderProofs(const Arguments& arguments) {
#ifdef __GLIBC__
    // Every label allocates and frees the same few hundred kilobytes (its images, zlib's
    // state for a PNG or a PDF stream); kept rather than handed back to the system each
    // time, a run of thousands spends a third less time.
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 16 << 20);
#endif
    ProofArguments args;
    OutputKind kind = OutputKind::Image;
    std::string problem = parse(arguments, args);
    if (problem.empty()) problem = outputKind(args, kind);
    if (!problem.empty()) return usageError(arguments, problem);

    TemporaryFile inputHolder, outputHolder;
    LabelToRender label;
    if (problem = loadLabelToRender(args.label, inputHolder, label); !problem.empty()) return fail(problem);
    const LabelDocument& document = label.document;
    const RenderContext& context = label.context;

    // The rows and their values come as a data run gives them, with the same checks first.
    DataInput input;
    std::unique_ptr<DataFileRows> dataRows;
    std::unique_ptr<ProofRows> rows;
    if (args.data.empty()) {
        rows = std::make_unique<LabelOnlyRows>();
    } else {
        if (problem = input.open(args.data); !problem.empty()) return fail(problem);
        const Translation translation = configuredTranslation();
        const RowSelection chosen = args.rows.value_or(RowSelection::all());
        dataRows = std::make_unique<DataFileRows>(input.path(), translation.ansiCodePage());
        DataCheck check = checkRows(*dataRows, document, translation, {}, chosen);
        if (!check.error.empty()) return fail(check.error);
        reportDataProblems(check);
        if (check.refused() && !args.anyway)
            return fail("nothing rendered: mend the rows above, or render them as they are with --print-anyway");
        if (chosen.countWithin(check.rowCount) == 0)
            return fail("the data file has " + std::to_string(check.rowCount) + " rows, none of them " +
                        (args.rows ? "row " + chosen.text() : std::string("chosen")));
        rows = std::make_unique<DataRunRows>(document, *dataRows, std::move(check), chosen, translation);
    }
    if ((kind == OutputKind::Svg || kind == OutputKind::Image) && rows->count() > 1)
        return fail("one " + std::string(kind == OutputKind::Svg ? "SVG" : "image") + " file holds one label, and " +
                    std::to_string(rows->count()) +
                    " are chosen: number the files (-o 'label-%04d.png'), write a PDF, or choose one row");

    const std::string extension = isStandardStream(args.output) ? ".png" : lowerExtension(args.output);
    std::filesystem::path outputFile = args.output;
    if (kind != OutputKind::Series) {
        outputFile = outputPath(args.output, extension, outputHolder, problem);
        if (outputFile.empty()) return fail(problem);
    }
    const ProofImageKind image = args.print ? ProofImageKind::Print : ProofImageKind::Screen;
    std::unique_ptr<ProofOutput> output;
    switch (kind) {
        case OutputKind::Pdf: {
            PdfProofOptions options;
            options.paper = args.paper.value_or(ProofPaper::LabelSize);
            options.title = isStandardStream(args.label.input) ? displayName(args.label.input, false)
                                                         : std::filesystem::path(args.label.input).filename().string();
            output = openPdfProof(outputFile, options, problem);
            if (!output) return fail(problem);
            break;
        }
        case OutputKind::Svg: output = openSvgProof(outputFile); break;
        case OutputKind::Series: output = openImageSeries(args.output, image, args.label.canvas); break;
        case OutputKind::Image: output = openImageFile(outputFile, image, args.label.canvas); break;
    }
    ProofResult result;
    {
        Progress progress;
        result = writeProof(document, context, *rows, *output, std::ref(progress));
    }
    if (!result.ok()) return fail(result.error);
    if (problem = finishOutput(args.output, outputHolder); !problem.empty()) return fail(problem);
    return 0;
}

}  // namespace tavrin::cli
