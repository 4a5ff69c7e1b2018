// Form files and printer command streams from the command line:
//   export-form FILE.qlb -o FILE.ejf     the label as a form file
//   import-form FILE.ejf -o FILE.qlb     a form file back into a label file
//   commands FILE.qlb --print|--store    the bytes a print job or a stored form sends
//                                        (--direct-graphics: pictures and soft-font text as rasters)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command_registry.h"
#include "standard_streams.h"
#include "document/label_file.h"
#include "document/safe_file.h"
#include "printer/form_file.h"
#include "printer/direct_graphics.h"
#include "printer/form_writer.h"
#include "printer/matrix_symbols.h"

namespace tavrin::cli {
namespace {

struct InOut {
    std::string input;
    std::string output;
};

// The input and output paths with "-" standing for the standard streams; false with the
// failure reported when standard input cannot be stored.
struct StreamPaths {
    TemporaryFile inputHolder, outputHolder;
    std::filesystem::path input, output;
    std::string problem;
    bool open(const InOut& files, const std::string& outputExtension) {
        input = inputPath(files.input, inputHolder, problem);
        if (input.empty()) return false;
        output = outputPath(files.output, outputExtension, outputHolder, problem);
        return !output.empty();
    }
};

int exportForm(const Arguments& arguments) {
    const InOut files{arguments.operand(0), arguments.value("--output")};
    StreamPaths paths;
    if (!paths.open(files, ".ejf")) return fail(paths.problem);
    LabelDocument document;
    if (const auto loaded = loadLabelFile(paths.input, document); !loaded)
        return fail(readFailure(loaded.message(), files.input));
    if (const auto saved = saveAsForm(paths.output, document); !saved)
        return fail(writeFailure(saved.message(), files.output));
    if (const std::string problem = finishOutput(files.output, paths.outputHolder); !problem.empty())
        return fail(problem);
    return 0;
}

int importForm(const Arguments& arguments) {
    const InOut files{arguments.operand(0), arguments.value("--output")};
    StreamPaths paths;
    if (!paths.open(files, ".qlb")) return fail(paths.problem);
    LabelDocument document;
    // A form file carries no picture data, so its GG lines cannot be placed here.
    const FormImport imported = importFormFile(paths.input, document);
    if (!imported.result) return fail(readFailure(imported.result.message(), files.input));
    if (imported.linesSkipped > 0)
        std::fprintf(stderr, "tavrin-label: %d line(s) not understood were skipped\n", imported.linesSkipped);
    if (const auto saved = saveLabelFile(paths.output, document); !saved)
        return fail(writeFailure(saved.message(), files.output));
    if (const std::string problem = finishOutput(files.output, paths.outputHolder); !problem.empty())
        return fail(problem);
    return 0;
}

int commandStream(const Arguments& arguments) {
    const std::string input = arguments.operand(0), storeName = arguments.value("--store");
    const std::string output = arguments.has("--output") ? arguments.value("--output") : "-";
    const bool print = arguments.has("--print"), directGraphics = arguments.has("--direct-graphics");
    const auto copies = static_cast<unsigned>(arguments.number("--copies").value_or(1));
    if (print == arguments.has("--store")) return usageError(arguments, "give either --print or --store NAME");
    if (arguments.has("--store") && storeName.empty()) return usageError(arguments, "--store needs a form name");

    TemporaryFile inputHolder;
    std::string streamProblem;
    const std::filesystem::path inputFile = inputPath(input, inputHolder, streamProblem);
    if (inputFile.empty()) return fail(streamProblem);
    LabelDocument document;
    if (const auto loaded = loadLabelFile(inputFile, document); !loaded)
        return fail(readFailure(loaded.message(), input));
    BufferSink sink;
    if (print) {
        PrintJob job;
        job.quantity = copies;
        RenderContext context;
        context.document = &document;
        if (directGraphics) job.rasterFigure = directGraphicsWriter(context);
        writePrintLabel(document, job, sink);
    } else {
        if (const auto refusal = matrixSymbolStoreRefusal(document, RenderContext{&document, nullptr, {}}))
            return fail(refusal->text);
        writeStoredForm(document, storeName, sink);
    }
    const auto& bytes = sink.bytes();
    const std::string problem =
        writeOutput(output, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    return problem.empty() ? 0 : fail(problem);
}

constexpr Operand kLabelIn[] = {{"FILE.qlb|-", ValueKind::Label}};
constexpr Operand kFormIn[] = {{"FILE.ejf|-", ValueKind::Form}};
constexpr Option kFormOut[] = {
    {.name = "--output", .value = "FILE.ejf|-", .kind = ValueKind::Output, .help = "the form file written",
     .shortName = "-o", .required = true}};
constexpr Option kLabelOut[] = {
    {.name = "--output", .value = "FILE.qlb|-", .kind = ValueKind::Output, .help = "the label file written",
     .shortName = "-o", .required = true}};
constexpr Option kStreamOptions[] = {
    {.name = "--print", .help = "the bytes of a print job"},
    {.name = "--copies", .value = "N", .kind = ValueKind::Number, .help = "copies the print job asks for",
     .low = 1, .high = 999},
    {.name = "--direct-graphics", .help = "pictures and label-font text sent as rasters"},
    {.name = "--store", .value = "NAME", .help = "the bytes that store the label in the printer as form NAME"},
    {.name = "--output", .value = "FILE|-", .kind = ValueKind::Output,
     .help = "write them to this file (standard output when not given)", .shortName = "-o"},
};

constexpr CommandDefinition kExport{"export-form", "the label as a printer form file", kLabelIn, kFormOut, exportForm};
constexpr CommandDefinition kImport{"import-form",
                              "a form file back into a label file; lines not understood are skipped and counted",
                              kFormIn, kLabelOut, importForm};
constexpr CommandDefinition kCommands{"commands", "the bytes a print job (--print) or a stored form (--store NAME) sends",
                                kLabelIn, kStreamOptions, commandStream};
RegisterCommand exportRegistration(kExport);
RegisterCommand importRegistration(kImport);
RegisterCommand commandsRegistration(kCommands);

}  // namespace
}  // namespace tavrin::cli
