// tavrin-label check FILE.qlb [--data ROWS.csv]: reads every barcode back from the print
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

namespace tavrin::cli {
namespace {

constexpr const char* kUsage = "check FILE.qlb [--data ROWS.csv|- [--rows 15-20]] [--json]";

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

int run(const std::vector<std::string>& arguments) {
    std::string label, data;
    RowSelection rows;
    bool json = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == "--json") json = true;
        else if (a == "--data" && hasValue) data = arguments[++i];
        else if (a == "--rows" && hasValue) {
            const auto parsed = RowSelection::parse(arguments[++i]);
            if (!parsed) return fail("--rows wants rows such as 15-20\nusage: tavrin-label " + std::string(kUsage));
            rows = *parsed;
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return fail("unknown option " + a + "\nusage: tavrin-label " + kUsage);
        } else if (label.empty()) label = a;
        else return fail("more than one label file\nusage: tavrin-label " + std::string(kUsage));
    }
    if (label.empty()) return fail("no label file\nusage: tavrin-label " + std::string(kUsage));

    LabelDocument document;
    if (const LabelFileResult loaded = loadLabelFile(label, document); !loaded.ok) return fail(loaded.message + ": " + label);
    const std::filesystem::path fontPath = ProgramPaths::forThisProcess(nullptr).residentFontPath();
    ResidentFonts fonts;
    if (fonts.load(fontPath) != 0) return fail("Can't open font file " + fontPath.string());
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

RegisterCommand registration("check", kUsage, run);

}  // namespace
}  // namespace tavrin::cli
