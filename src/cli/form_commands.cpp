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

// The one input file and the -o file; anything else is an error.
struct InOut {
    std::string input;
    std::string output;
};

std::string parseInOut(const std::vector<std::string>& arguments, InOut& out) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "-o" || a == "--output") {
            if (i + 1 >= arguments.size()) return "-o needs a file name";
            out.output = arguments[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option " + a;
        } else if (out.input.empty()) {
            out.input = a;
        } else {
            return "only one input file";
        }
    }
    if (out.input.empty()) return "no input file";
    if (out.output.empty()) return "no output file (-o)";
    return {};
}

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

std::string readFailure(const std::string& message, const std::string& name) {
    return message + ": " + displayName(name, false) + readProblem(name);
}

std::string writeFailure(const std::string& message, const std::string& name) {
    return message + ": " + displayName(name, true) + writeProblem(name);
}

int exportForm(const std::vector<std::string>& arguments) {
    InOut files;
    if (const std::string error = parseInOut(arguments, files); !error.empty()) return fail(error);
    StreamPaths paths;
    if (!paths.open(files, ".ejf")) return fail(paths.problem);
    LabelDocument document;
    if (const auto loaded = loadLabelFile(paths.input, document); !loaded.ok)
        return fail(readFailure(loaded.message, files.input));
    if (const auto saved = saveAsForm(paths.output, document); !saved.ok)
        return fail(writeFailure(saved.message, files.output));
    if (const std::string problem = finishOutput(files.output, paths.outputHolder); !problem.empty())
        return fail(problem);
    return 0;
}

int importForm(const std::vector<std::string>& arguments) {
    InOut files;
    if (const std::string error = parseInOut(arguments, files); !error.empty()) return fail(error);
    StreamPaths paths;
    if (!paths.open(files, ".qlb")) return fail(paths.problem);
    LabelDocument document;
    // A form file carries no picture data, so its GG lines cannot be placed here.
    const FormImport imported = importFormFile(paths.input, document);
    if (!imported.result.ok) return fail(readFailure(imported.result.message, files.input));
    if (imported.linesSkipped > 0)
        std::fprintf(stderr, "tavrin-label: %d line(s) not understood were skipped\n", imported.linesSkipped);
    if (const auto saved = saveLabelFile(paths.output, document); !saved.ok)
        return fail(writeFailure(saved.message, files.output));
    if (const std::string problem = finishOutput(files.output, paths.outputHolder); !problem.empty())
        return fail(problem);
    return 0;
}

int commandStream(const std::vector<std::string>& arguments) {
    std::string input, output, storeName;
    bool print = false;
    bool directGraphics = false;
    unsigned copies = 1;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == "-o" || a == "--output") {
            if (!hasValue) return fail("-o needs a file name");
            output = arguments[++i];
        } else if (a == "--print") {
            print = true;
        } else if (a == "--direct-graphics") {
            directGraphics = true;
        } else if (a == "--store") {
            if (!hasValue || arguments[i + 1].empty()) return fail("--store needs a form name");
            storeName = arguments[++i];
        } else if (a == "--copies") {
            if (!hasValue) return fail("--copies needs a number");
            const std::string& text = arguments[++i];
            char* end = nullptr;
            const long n = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || n < 1 || n > 999) return fail("copies must be 1..999");
            copies = static_cast<unsigned>(n);
        } else if (a.size() > 1 && a[0] == '-') {
            return fail("unknown option " + a);
        } else if (input.empty()) {
            input = a;
        } else {
            return fail("only one input file");
        }
    }
    if (input.empty()) return fail("no input file");
    if (print == !storeName.empty()) return fail("give either --print or --store NAME");

    TemporaryFile inputHolder;
    std::string streamProblem;
    const std::filesystem::path inputFile = inputPath(input, inputHolder, streamProblem);
    if (inputFile.empty()) return fail(streamProblem);
    LabelDocument document;
    if (const auto loaded = loadLabelFile(inputFile, document); !loaded.ok)
        return fail(readFailure(loaded.message, input));
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
    if (!output.empty() && !isStandardStream(output)) {
        if (!replaceFileContents(output, sink.bytes())) return fail(writeFailure("Can't open output file", output));
        return 0;
    }
    const auto& bytes = sink.bytes();
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
        return fail("cannot write to standard output");
    return 0;
}

RegisterCommand exportRegistration("export-form", "export-form FILE.qlb|- -o FILE.ejf|-", exportForm);
RegisterCommand importRegistration("import-form", "import-form FILE.ejf|- -o FILE.qlb|-", importForm);
RegisterCommand commandsRegistration("commands", "commands FILE.qlb|- (--print [--copies N] [--direct-graphics] | --store NAME) [-o FILE]",
                                     commandStream);

}  // namespace
}  // namespace tavrin::cli
