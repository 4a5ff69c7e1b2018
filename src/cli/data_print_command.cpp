// tavrin-label print FILE.qlb --port DEVICE --data ROWS.csv: one print of the label per row
// of a data file, the label stored once as a form and each row sending only its values.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "command_registry.h"
#include "data_rows.h"
#include "document/app_config.h"
#include "document/label_file.h"
#include "document/program_paths.h"
#include "data/data_run.h"
#include "printer/direct_graphics.h"
#include "link/posix_serial_transport.h"
#include "link/printer_link.h"
#include "printer/printing.h"
#include "printer/storage_operations.h"
#include "render/render_context.h"
#include "render/resident_font.h"

namespace tavrin::cli {
namespace {

constexpr const char* kUsage =
    "print FILE.qlb --port DEVICE --data ROWS.csv|- [--rows 15-20] [--copies-column NAME] [--direct] "
    "[--direct-graphics] [--active-form] [--form NAME] [--print-anyway] [--baud N] [--xonxoff] [--silence-ms N] [--label-ms N]";

class RunUi : public QuietLinkUi {
public:
    void showProgressError(std::string_view title, std::string_view text) override {
        QuietLinkUi::showProgressError(title, text);
        if (first.empty()) first = text;
    }
    void showError(std::string_view title, std::string_view text) override {
        QuietLinkUi::showError(title, text);
        if (first.empty()) first = text;
    }
    std::string first;
};

struct Arguments {
    std::string label, device, data, copiesColumn, form = kDataFormName;
    RowSelection rows;
    bool direct = false, directGraphics = false, activeForm = false, anyway = false;
    LinkSettings settings;
    long long silenceMs = 0, confirmEvery = 0, labelMs = -1;
};

int usage(const std::string& problem) { return fail(problem + "\nusage: tavrin-label " + kUsage); }

std::string parse(const std::vector<std::string>& a, Arguments& out) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        const bool hasValue = i + 1 < a.size();
        long long number = 0;
        if (a[i] == "--port" && hasValue) out.device = a[++i];
        else if (a[i] == "--data" && hasValue) out.data = a[++i];
        else if (a[i] == "--copies-column" && hasValue) out.copiesColumn = a[++i];
        else if (a[i] == "--form" && hasValue) out.form = a[++i];
        else if (a[i] == "--rows" && hasValue) {
            const auto rows = RowSelection::parse(a[++i]);
            if (!rows) return "--rows wants rows such as 15-20, 15- or 3,5,9-12";
            out.rows = *rows;
        } else if (a[i] == "--baud" && hasValue) {
            const std::string& text = a[++i];
            const auto it = std::find_if(kBaudRates.begin(), kBaudRates.end(),
                                         [&](auto rate) { return std::to_string(rate) == text; });
            if (it == kBaudRates.end()) return "--baud must be one of 2400 4800 9600 19200 38400 57600 115200";
            out.settings.baudIndex = static_cast<int>(it - kBaudRates.begin());
        } else if (a[i] == "--silence-ms" && hasValue) {
            if (!parseCount(a[++i], number) || number > 60000) return "--silence-ms must be 1 to 60000";
            out.silenceMs = number;
        } else if (a[i] == "--label-ms" && hasValue) {
            // How long one label may take to print: the wait for the printer's answers.
            if (!parseCount(a[++i], number) || number > 600000) return "--label-ms must be 1 to 600000";
            out.labelMs = number;
        } else if (a[i] == "--confirm-every" && hasValue) {
            if (!parseCount(a[++i], number)) return "--confirm-every wants a number of rows";
            out.confirmEvery = number;
        } else if (a[i] == "--xonxoff") out.settings.protocol = 1;
        else if (a[i] == "--direct") out.direct = true;
        else if (a[i] == "--direct-graphics") out.directGraphics = out.direct = true;
        else if (a[i] == "--active-form") out.activeForm = true;
        else if (a[i] == "--print-anyway") out.anyway = true;
        else if (!a[i].empty() && a[i][0] == '-') return "unknown option " + a[i];
        else if (out.label.empty()) out.label = a[i];
        else return "more than one label file";
    }
    if (out.label.empty() && !out.activeForm) return "no label file";
    if (out.device.empty()) return "no --port";
    if (out.data.empty()) return "no --data";
    if (out.activeForm && out.direct) return "--active-form prints through the stored form, not direct jobs";
    return {};
}

int run(const std::vector<std::string>& arguments) {
    Arguments args;
    if (const std::string problem = parse(arguments, args); !problem.empty()) return usage(problem);
    if (!args.activeForm) {
        if (const std::string bad = checkStoreAsName(args.form, kListFormsForLabel, {}).message.text; !bad.empty())
            return fail(bad + ": " + args.form);
    }
    DataInput input;
    if (const std::string bad = input.open(args.data); !bad.empty()) return fail(bad);

    PosixSerialTransport transport;
    RunUi ui;
    PrinterLink link(transport, ui);
    link.setPortDevice(0, args.device);
    link.setSettings(args.settings);
    if (args.silenceMs > 0) {
        LinkTiming timing = link.timing();
        timing.silenceLimit = std::chrono::milliseconds(args.silenceMs);
        link.setTiming(timing);
        transport.setIoTimeout(std::chrono::milliseconds(args.silenceMs));
    }

    LabelDocument document;
    DataRunOptions options;
    options.rows = args.rows;
    options.direct = args.direct;
    options.formName = args.form;
    if (args.confirmEvery > 0) options.confirmEvery = args.confirmEvery;
    if (args.labelMs > 0) options.timePerLabel = std::chrono::milliseconds(args.labelMs);
    if (args.activeForm) {
        // The printer's active form and its variables stand for the label.
        PrinterStorage storage(link);
        if (!receiveActiveFormAndVariables(storage, document)) return fail(kNoPrinterResponse);
        if (storage.activeFormName().empty()) return fail(kNoFormSelected);
        options.activeForm = storage.activeFormName();
    } else if (const LabelFileResult loaded = loadLabelFile(args.label, document); !loaded.ok) {
        return fail(loaded.message + ": " + args.label);
    }

    ResidentFonts fonts;
    RenderContext context;
    context.document = &document;
    if (args.directGraphics) {
        const std::filesystem::path fontPath = ProgramPaths::forThisProcess(nullptr).residentFontPath();
        if (fonts.load(fontPath) != 0) return fail("Can't open font file " + fontPath.string());
        context.residentFonts = &fonts;
        options.rasterFigure = directGraphicsWriter(context);
    }

    const Translation translation = configuredTranslation();
    DataSource source;
    source.file = input.path();
    source.copiesColumn = args.copiesColumn;
    const DataCheck check = checkDataFile(source, document, translation);
    if (!check.error.empty()) return fail(check.error);
    for (const std::string& problem : check.problems) std::fprintf(stderr, "%s\n", problem.c_str());
    if ((check.badRowCount > 0 || check.mapping.copiesColumnMissing) && !args.anyway)
        return fail("nothing printed: mend the rows above, or print them as they are with --print-anyway");

    const DataRunResult result = runDataPrint(link, document, source, check, translation, options);
    if (result.completed) {
        std::printf("printed %lld %s\n", result.rowsPrinted, result.rowsPrinted == 1 ? "row" : "rows");
        return 0;
    }
    std::string message = !ui.first.empty() ? ui.first : result.message;
    if (result.rowsPrinted > 0 || result.firstRowNotPrinted > 0)
        message += "; last row printed: " + std::to_string(result.lastRowPrinted);
    if (result.firstRowNotPrinted > 0)
        message += " (go on with --rows " + options.rows.after(result.lastRowPrinted).text() + ")";
    std::printf("printed %lld %s\n", result.rowsPrinted, result.rowsPrinted == 1 ? "row" : "rows");
    return fail(message);
}

RegisterCommand registration("print", kUsage, run);

}  // namespace
}  // namespace tavrin::cli
