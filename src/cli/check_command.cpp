// tavrin-label check FILE.qlb|- [--data ROWS.csv|-]: reads every barcode back from the print
// image, for the label as it is or for each row of a data file, and fails when one does
// not read back as its data, or when the data has a problem a print run would refuse.
#include <cstdio>
#include <string>
#include <vector>

#include "command_registry.h"
#include "data_rows.h"
#include "document/label_file.h"
#include "document/program_paths.h"
#include "json_writer.h"
#include "render/barcode_check.h"
#include "render/canvas.h"
#include "render/resident_font.h"
#include "standard_streams.h"

namespace tavrin::cli {
namespace {


struct CheckedRow {
    long long row = 0;  // 0: the label as it is
    std::vector<BarcodeCheckResult> results;
};

void printText(const std::vector<CheckedRow>& rows) {
    for (const CheckedRow& checked : rows)
        for (const BarcodeCheckResult& r : checked.results) {
            std::string line = checked.row > 0 ? "row " + std::to_string(checked.row) + ": " : "";
            line += "barcode " + std::to_string(r.figure + 1) + " (" + r.symbology + "): " +
                    barcodeStatusText(r.status);
            if (r.status != BarcodeReadStatus::NotChecked) line += " \"" + r.expected + "\"";
            if (!r.note.empty()) line += " - " + r.note;
            std::printf("%s\n", line.c_str());
        }
}

void printJson(const std::vector<CheckedRow>& rows, bool withRows) {
    JsonWriter json;
    json.beginObject().value("reader", barcodeCheckAvailable()).beginArray("barcodes");
    for (const CheckedRow& checked : rows)
        for (const BarcodeCheckResult& r : checked.results) {
            json.beginObject();
            if (withRows) json.value("row", checked.row);
            json.value("figure", r.figure + 1)
                .value("type", r.type)
                .value("symbology", r.symbology)
                .value("status", barcodeStatusText(r.status))
                .value("expected", r.expected)
                .value("read", r.read)
                .value("note", r.note)
                .endObject();
        }
    json.endArray().endObject();
    std::printf("%s\n", json.text().c_str());
}

constexpr Operand kOperands[] = {{"FILE.qlb|-", ValueKind::Label}};
constexpr Option kOptions[] = {
    {.name = "--data", .value = "ROWS.csv|-", .kind = ValueKind::Data,
     .help = "check the label with each row of this data file"},
    {.name = "--rows", .value = "15-20", .help = "only these rows of the data file (15-20, 15- or 3,5,9-12)"},
    {.name = "--json", .help = "report as JSON"},
};

int run(const Arguments& arguments) {
    const std::string label = arguments.operand(0), data = arguments.value("--data");
    const bool json = arguments.has("--json");
    RowSelection rows;
    if (arguments.has("--rows")) {
        const auto parsed = RowSelection::parse(arguments.value("--rows"));
        if (!parsed) return usageError(arguments, "--rows wants rows such as 15-20, 15- or 3,5,9-12");
        if (data.empty()) return usageError(arguments, "--rows needs --data");
        rows = *parsed;
    }
    if (isStandardStream(label) && isStandardStream(data))
        return usageError(arguments, "the label and the data cannot both come from standard input");
    TemporaryFile labelHolder;
    std::string streamProblem;
    const std::filesystem::path labelFile = inputPath(label, labelHolder, streamProblem);
    if (labelFile.empty()) return fail(streamProblem);

    LabelDocument document;
    if (const Result loaded = loadLabelFile(labelFile, document); !loaded)
        return fail(readFailure(loaded.message(), label));
    const std::filesystem::path fontPath = ProgramPaths::forThisProcess(nullptr).residentFontPath();
    ResidentFonts fonts;
    if (fonts.load(fontPath) != 0) return fail("Can't open font file " + fontPath.string() + readProblem(fontPath.string()));
    RenderContext context;
    context.document = &document;
    context.residentFonts = &fonts;

    std::vector<CheckedRow> checked;
    bool refused = false;
    const auto checkNow = [&](long long row) {
        const Bitmap image = renderPrintImage(document, context);
        checked.push_back({row, checkBarcodes(document, context, image)});
    };
    if (data.empty()) {
        checkNow(0);
    } else {
        DataInput input;
        if (const std::string bad = input.open(data); !bad.empty()) return fail(bad);
        const Translation translation = configuredTranslation();
        DataFileRows source(input.path(), translation.ansiCodePage());
        const DataCheck check = checkRows(source, document, translation, {}, rows);
        if (!check.error.empty()) return fail(check.error);
        reportDataProblems(check);
        refused = check.refused();
        if (!source.rewind()) return fail("Can't read " + source.name());
        const LabelDocument asDesigned = document;
        RowValues values(asDesigned, check.mapping, translation);
        std::vector<std::string> fields;
        while (source.next(fields)) {
            values.next(fields, document);
            if (rows.contains(values.row())) checkNow(values.row());
        }
    }
    if (json) printJson(checked, !data.empty());
    else printText(checked);
    long long failures = 0;
    for (const CheckedRow& c : checked)
        for (const BarcodeCheckResult& r : c.results) failures += isBarcodeFailure(r.status) ? 1 : 0;
    std::string problem;
    if (failures > 0) problem = std::to_string(failures) + (failures == 1 ? " barcode fails" : " barcodes fail");
    if (refused) problem += std::string(problem.empty() ? "" : "; ") + "the data would not print as it is (see above)";
    return problem.empty() ? 0 : fail(problem);
}

constexpr CommandDefinition kCheck{"check",
                             "every barcode read back from the print image; with a data file, for each row, and the "
                             "problems a print run would refuse",
                             kOperands, kOptions, run};
RegisterCommand registration(kCheck);

}  // namespace
}  // namespace tavrin::cli
