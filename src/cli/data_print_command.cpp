// tavrin-label print FILE.qlb --port DEVICE --data ROWS.csv: one print of the label per row
// of a data file, the label stored once as a form and each row sending only its values;
// every run recorded in the print journal, and `--resume ID` going on with one of its runs.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "command_registry.h"
#include "data/data_run.h"
#include "data/sha256.h"
#include "data_rows.h"
#include "device_options.h"
#include "standard_streams.h"
#include "document/app_config.h"
#include "document/label_file.h"
#include "document/program_paths.h"
#include "link/printer_link.h"
#include "link/transport_factory.h"
#include "printer/command_writer.h"
#include "printer/direct_graphics.h"
#include "printer/printing.h"
#include "printer/storage_operations.h"
#include "render/render_context.h"
#include "render/resident_font.h"

namespace tavrin::cli {
namespace {

constexpr Operand kOperands[] = {{"FILE.qlb|-", ValueKind::Label, nullptr, true}};
constexpr Option kOptions[] = {
    kPortOption,
    {.name = "--data", .value = "ROWS.csv|-", .kind = ValueKind::Data,
     .help = "the rows: a CSV or TSV file, columns named like a variable's prompt or V00..V31, C00..C07"},
    {.name = "--rows", .value = "15-20", .help = "only these rows (15-20, 15- or 3,5,9-12)"},
    {.name = "--copies-column", .value = "NAME", .help = "the column giving each row's number of copies"},
    {.name = "--direct", .help = "send each row as a whole label instead of storing a form"},
    {.name = "--direct-graphics", .help = "as --direct, with pictures and label-font text as rasters"},
    {.name = "--active-form", .help = "print through the form the printer already has active"},
    {.name = "--form", .value = "NAME", .help = "the name the label is stored under in the printer"},
    {.name = "--print-anyway", .help = "print rows the check would refuse, as they are"},
    kBaudOption,
    kXonXoffOption,
    kSilenceOption,
    {.name = "--label-ms", .value = "N", .kind = ValueKind::Number,
     .help = "how long one label may take to print, in milliseconds", .low = 1, .high = 600000},
    {.name = "--confirm-every", .value = "N", .kind = ValueKind::Number,
     .help = "ask the printer to confirm after this many rows", .low = 1, .high = kMaxRowNumber},
    {.name = "--journal", .value = "FILE", .kind = ValueKind::File, .help = "the print journal to record the run in"},
    {.name = "--no-journal", .help = "print without recording the run"},
    {.name = "--resume", .value = "ID", .kind = ValueKind::Number,
     .help = "go on with this run of the journal where its confirmed rows end", .low = 1, .high = kMaxRowNumber},
};

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

struct PrintSettings {
    std::string label, device, data, copiesColumn, form, journal;
    std::optional<RowSelection> rows;
    bool direct = false, directGraphics = false, activeForm = false, anyway = false, noJournal = false;
    std::optional<int> baudIndex, protocol;
    long long silenceMs = 0, confirmEvery = 0, labelMs = -1, resume = 0;
};

// Ctrl-C or a polite kill stops the run after the row on its way, with the printer asked to
// confirm and the run's objects deleted; a second one ends the program at once.
volatile std::sig_atomic_t stopsAsked = 0;
int stopsTaken = 0;
void onStop(int signal) {
    stopsAsked = stopsAsked + 1;
    if (stopsAsked > 1) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

std::string parse(const Arguments& a, PrintSettings& out) {
    out.label = a.operand(0);
    out.device = a.value("--port");
    out.data = a.value("--data");
    out.copiesColumn = a.value("--copies-column");
    out.form = a.value("--form");
    out.journal = a.value("--journal");
    if (a.has("--rows")) {
        out.rows = RowSelection::parse(a.value("--rows"));
        if (!out.rows) return "--rows wants rows such as 15-20, 15- or 3,5,9-12";
    }
    out.resume = a.number("--resume").value_or(0);
    if (a.has("--baud") || a.has("--xonxoff")) {
        const LinkSettings settings = linkSettingsFrom(a);
        if (a.has("--baud")) out.baudIndex = settings.baudIndex;
        if (a.has("--xonxoff")) out.protocol = settings.protocol;
    }
    out.silenceMs = a.number("--silence-ms").value_or(0);
    out.labelMs = a.number("--label-ms").value_or(-1);
    out.confirmEvery = a.number("--confirm-every").value_or(0);
    out.direct = a.has("--direct") || a.has("--direct-graphics");
    out.directGraphics = a.has("--direct-graphics");
    out.activeForm = a.has("--active-form");
    out.anyway = a.has("--print-anyway");
    out.noJournal = a.has("--no-journal");
    if (isStandardStream(out.label) && isStandardStream(out.data))
        return "the label and the data cannot both come from standard input";
    if (out.resume > 0) {
        if (out.noJournal) return "--resume reads the journal: not with --no-journal";
        if (out.rows || out.activeForm || out.direct || !out.form.empty() || !out.copiesColumn.empty())
            return "--resume takes the run's own rows and settings from the journal";
        return {};
    }
    if (out.label.empty() && !out.activeForm) return "no label file";
    if (out.device.empty()) return "no --port";
    if (out.data.empty()) return "no --data";
    if (out.activeForm && out.direct) return "--active-form prints through the stored form, not direct jobs";
    if (out.activeForm && !out.form.empty()) return "--active-form prints through the form already there, not --form";
    return {};
}

std::string absolute(const std::filesystem::path& path) {
    std::error_code error;
    const auto full = std::filesystem::absolute(path, error);
    return error ? path.string() : full.lexically_normal().string();
}

// The active form's definitions stand for its label file: a resume checks they are the same.
std::string activeFormHash(const std::string& name, const LabelDocument& document) {
    std::string text = name + "\n";
    for (int i = 0; i < kVariableCount; ++i)
        if (document.variables[static_cast<std::size_t>(i)].isDefined())
            text += variableDefinitionLine(i, document.variables[static_cast<std::size_t>(i)]);
    for (int i = 0; i < kCounterCount; ++i)
        if (document.counters[static_cast<std::size_t>(i)].isDefined())
            text += counterDefinitionLine(i, document.counters[static_cast<std::size_t>(i)]);
    return sha256Hex({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

// Fills in what a resume takes from the journal's run; empty, or why it cannot.
std::string takeFromJournal(const JournalRun& run, PrintSettings& args) {
    if (run.mode == "active form") args.activeForm = true;
    else if (args.label.empty()) {
        if (run.labelPath == "-")
            return "run " + std::to_string(run.id) + " read its label from standard input: give it again";
        args.label = run.labelPath;
    }
    if (args.data.empty()) {
        if (run.dataPath == "-")
            return "run " + std::to_string(run.id) + " read its rows from standard input: give them again with --data";
        args.data = run.dataPath;
    }
    if (args.device.empty()) args.device = run.device;
    const auto rate = std::find(kBaudRates.begin(), kBaudRates.end(), run.baudRate);
    if (!args.baudIndex && rate != kBaudRates.end()) args.baudIndex = static_cast<int>(rate - kBaudRates.begin());
    if (!args.protocol) args.protocol = run.protocol;
    args.directGraphics = run.mode == "direct graphics";
    return {};
}

int run(const Arguments& arguments) {
    PrintSettings args;
    if (const std::string problem = parse(arguments, args); !problem.empty()) return usageError(arguments, problem);
    // A journal on a full or size-limited disk is an error to report, not a reason to die.
    std::signal(SIGXFSZ, SIG_IGN);

    std::optional<PrintJournal> journal;
    if (!args.noJournal) {
        journal.emplace(args.journal.empty() ? PrintJournal::defaultPath() : std::filesystem::path(args.journal));
        if (!journal->isOpen()) return fail(journal->error() + "; nothing printed (--no-journal prints without it)");
    }
    std::optional<JournalRun> resumed;
    if (args.resume > 0) {
        resumed = journal->run(args.resume);
        if (!resumed) return fail("No run " + std::to_string(args.resume) + " in the print journal " + journal->path().string());
        if (const std::string problem = takeFromJournal(*resumed, args); !problem.empty()) return fail(problem);
    }
    // A bad form name is refused before the printer is touched.
    if (!args.form.empty()) {
        if (const std::string bad = checkStoreAsName(args.form, kListFormsForLabel, {}).message.text; !bad.empty())
            return fail(bad + ": " + args.form);
    }
    DataInput input;
    if (const std::string bad = input.open(args.data); !bad.empty()) return fail(bad);

    DeviceTransport transport;
    RunUi ui;
    PrinterLink link(transport, ui);
    link.setPortDevice(0, args.device);
    LinkSettings settings;
    if (args.baudIndex) settings.baudIndex = *args.baudIndex;
    if (args.protocol) settings.protocol = *args.protocol;
    link.setSettings(settings);
    if (args.silenceMs > 0) {
        LinkTiming timing = link.timing();
        timing.silenceLimit = std::chrono::milliseconds(args.silenceMs);
        link.setTiming(timing);
        transport.setIoTimeout(std::chrono::milliseconds(args.silenceMs));
    }

    LabelDocument document;
    TemporaryFile labelHolder;
    DataRunOptions options = resumed ? optionsFromJournal(*resumed) : DataRunOptions{};
    std::string labelHash;
    if (args.activeForm) {
        // The printer's active form and its variables stand for the label.
        PrinterStorage storage(link);
        if (!receiveActiveFormAndVariables(storage, document)) return fail(kNoPrinterResponse);
        if (storage.activeFormName().empty()) return fail(kNoFormSelected);
        options.activeForm = storage.activeFormName();
        labelHash = activeFormHash(options.activeForm, document);
        options.record.labelPath = "active form " + options.activeForm;
    } else {
        std::string problem;
        const std::filesystem::path labelFile = inputPath(args.label, labelHolder, problem);
        if (labelFile.empty()) return fail(problem);
        if (const Result loaded = loadLabelFile(labelFile, document); !loaded)
            return fail(readFailure(loaded.message(), args.label));
        labelHash = sha256OfFile(labelFile).value_or("");
        options.record.labelPath = isStandardStream(args.label) ? "-" : absolute(args.label);
    }
    const std::string dataHash = sha256OfFile(input.path()).value_or("");
    if (resumed) {
        if (const std::string changed = resumeRefusal(*resumed, labelHash, dataHash); !changed.empty())
            return fail(changed + "; nothing printed");
    } else {
        if (args.rows) options.rows = *args.rows;
        options.copiesColumn = args.copiesColumn;
        options.direct = args.direct;
        options.formName = args.form;
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
    options.printAnyway = args.anyway;
    options.beforeRow = [](long long, long long, long long) { return stopsAsked == 0; };
    options.takeStopRequest = [] {
        if (stopsAsked == stopsTaken) return false;
        stopsTaken = stopsAsked;
        return true;
    };
    if (args.confirmEvery > 0) options.confirmEvery = args.confirmEvery;
    if (args.labelMs > 0) options.timePerLabel = std::chrono::milliseconds(args.labelMs);
    if (journal) {
        options.journal = &*journal;
        options.record.origin = "command line";
        options.record.labelHash = labelHash;
        options.record.dataPath = input.fromStandardInput() ? "-" : absolute(args.data);
        options.record.dataHash = dataHash;
        options.record.device = args.device;
        options.record.baudRate = baudRate(settings.baudIndex);
        options.record.protocol = settings.protocol;
    }

    const Translation translation = configuredTranslation();
    DataFileRows rows(input.path(), translation.ansiCodePage());
    DataRun dataRun(document, rows, translation, options);
    const DataCheck& check = dataRun.check();
    if (!check.error.empty()) return fail(check.error);
    reportDataProblems(check);
    if (check.refused() && !args.anyway)
        return fail("nothing printed: mend the rows above, or print them as they are with --print-anyway");

    std::signal(SIGINT, onStop);
    std::signal(SIGTERM, onStop);
    const DataRunResult result = dataRun.print(link);
    if (result.completed && result.toPrintQueue) {
        std::printf("%s\n", runReport(result).c_str());
        return 0;
    }
    if (result.completed) {
        const long long count = result.confirmed.count();
        std::printf("printed %lld %s\n", count, count == 1 ? "row" : "rows");
        return 0;
    }
    std::string message = !ui.first.empty() ? ui.first : result.message;
    if (result.refused && result.toPrintQueue) message += " (--direct, or --form NAME)";
    if (result.refused) return fail(message + "; nothing printed");
    if (result.namesUnknown)
        return fail(message + "; nothing printed: a printer that does not answer prints only under a form name "
                              "given with --form NAME, or with --direct");
    message += "; " + runReport(result);
    if (result.runId > 0 && result.firstNotConfirmed > 0) message += ", or --resume " + std::to_string(result.runId);
    return fail(message);
}

constexpr CommandDefinition kPrint{"print",
                             "one print of the label per row of a data file, checked first and recorded in the print "
                             "journal; --resume ID goes on with a run",
                             kOperands, kOptions, run};
RegisterCommand registration(kPrint);

}  // namespace
}  // namespace tavrin::cli
