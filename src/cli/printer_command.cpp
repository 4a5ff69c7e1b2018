// tavrin-label printer: the printer exchanges from the command line, over a serial device,
// a USB printer device, a network printer (tcp://HOST:PORT), a print queue (cups://QUEUE)
// or the printer simulator's pseudo-terminal.
//   printer --port DEVICE [--baud N] [--xonxoff] [--silence-ms N] SUB-COMMAND ...
// Each sub-command prints what the printer answered; a silent printer or a port that
// cannot be opened ends it with the link's message and a non-zero status.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command_registry.h"
#include "common/text.h"
#include "device_options.h"
#include "standard_streams.h"
#include "document/app_config.h"
#include "document/label_file.h"
#include "document/program_paths.h"
#include "printer/direct_graphics.h"
#include "link/device_link.h"
#include "printer/printer_exchanges.h"
#include "printer/printing.h"
#include "printer/storage_operations.h"
#include "render/render_context.h"
#include "render/resident_font.h"

namespace tavrin::cli {
namespace {

// The printer through the device layer, and its storage exchanges.
struct Session : DeviceLink {
    using DeviceLink::DeviceLink;
    PrinterStorage storage{link};
};

using Words = std::vector<std::string>;

int usage(const std::string& problem) {
    std::fprintf(stderr, "tavrin-label: %s\n", problem.c_str());
    return kExitUsage;
}

int finish(const Session& session) {
    const std::string problem = session.problem();
    return problem.empty() ? 0 : fail(problem);
}

void printNames(const std::vector<std::string>& names) {
    for (const std::string& name : names) std::printf("%s\n", name.c_str());
}

std::string slotName(bool counter, int slot) {
    char text[8];
    std::snprintf(text, sizeof text, "%c%02d", counter ? 'C' : 'V', slot);
    return text;
}

// V01 "Prompt" = "value", and C00 +1 "Prompt" = "value" with the counter's step.
void printSlots(const LabelDocument& document) {
    for (const ValueRow& row : valueRows(document)) {
        std::string line = slotName(row.counter, row.slot);
        if (row.counter) {
            const int step = document.counters[static_cast<std::size_t>(row.slot)].counterStep();
            line += (step >= 0 ? " +" : " ") + std::to_string(step);
        }
        line += " " + inQuotes(row.prompt) + " = " + inQuotes(row.value);
        std::printf("%s\n", line.c_str());
    }
}

// --set V03=text and C00=text: a value for a slot the label defines.
std::string applySets(const std::vector<std::string>& sets, LabelDocument& document) {
    for (const std::string& set : sets) {
        const auto equals = set.find('=');
        const std::string slotText = set.substr(0, equals);
        if (equals == std::string::npos || slotText.size() != 3 || (slotText[0] != 'V' && slotText[0] != 'C') ||
            !std::isdigit(static_cast<unsigned char>(slotText[1])) ||
            !std::isdigit(static_cast<unsigned char>(slotText[2])))
            return "--set wants V00=text or C00=text: " + set;
        const bool counter = slotText[0] == 'C';
        const int slot = (slotText[1] - '0') * 10 + (slotText[2] - '0');
        if (slot >= (counter ? kCounterCount : kVariableCount)) return "no such slot: " + slotText;
        Variable& target = counter ? document.counters[static_cast<std::size_t>(slot)]
                                   : document.variables[static_cast<std::size_t>(slot)];
        if (!target.isDefined()) return slotText + " is not defined";
        target.setValue(set.substr(equals + 1));
    }
    return {};
}

// C-style escapes; false for one this command does not know.
bool unescape(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size()) return false;
        switch (text[i]) {
            case 'r': out += '\r'; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case 'x': {
                const auto hex = [](char c) {
                    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                };
                if (i + 2 >= text.size() || !hex(text[i + 1]) || !hex(text[i + 2])) return false;
                out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
                i += 2;
                break;
            }
            default: return false;
        }
    }
    return true;
}

int listCommand(Session& s, const Words& a) {
    static const std::map<std::string, int> kinds{{"forms", kListForms}, {"graphics", kListGraphics},
                                                  {"fonts", kListFonts}};
    if (a.size() != 1 || !kinds.count(a[0])) return usage("list forms, graphics or fonts");
    if (!s.storage.receiveList(kinds.at(a[0]))) return finish(s);
    printNames(s.storage.storeAsList().names);
    return finish(s);
}

int memoryCommand(Session& s, const Words& a) {
    if (!a.empty()) return usage("memory takes no arguments");
    std::string line;
    MemoryFigures memory;
    if (!receiveMemory(s.link, line, memory)) return finish(s);
    unsigned forms = 0, graphics = 0, fonts = 0, free = 0;
    if (std::sscanf(line.c_str(), "%u,%u,%u,%u", &forms, &graphics, &fonts, &free) == 4)
        std::printf("forms %u\ngraphics %u\nfonts %u\nfree %u\n", forms, graphics, fonts, free);
    else
        std::printf("%s\n", line.c_str());
    return 0;
}

// The name rules of the store-as window; storing over an existing object needs no question here.
std::string checkName(const std::string& name, int kind) {
    const StoreAsDecision decision = checkStoreAsName(name, kind, {});
    if (decision.action == StoreAsDecision::Action::Refuse) return decision.message.text;
    if (decision.action == StoreAsDecision::Action::Ignore) return "empty name";
    return {};
}

int storeCommand(Session& s, const std::string& what, const Words& a) {
    if (a.size() != 2) return usage(what + " wants a file and a name");
    const std::string& file = a[0];
    const std::string& name = a[1];
    bool sent = false;
    if (what == "store-label") {
        if (const std::string bad = checkName(name, kListFormsForLabel); !bad.empty()) return fail(bad);
        LabelDocument document;
        if (const Result loaded = loadLabelFile(file, document); !loaded)
            return fail(readFailure(loaded.message(), file));
        if (!hasPrintableFigures(document.figures)) return fail("Nothing to store");
        sent = s.storage.storeCurrentLabel(document, name);
    } else if (what == "store-form") {
        if (const std::string bad = checkName(name, kListForms); !bad.empty()) return fail(bad);
        sent = s.storage.storeFormFile(file, name);
    } else {
        if (const std::string bad = checkName(name, kListFonts); !bad.empty()) return fail(bad);
        sent = s.storage.storeFontFile(file, name);
    }
    if (!sent) return finish(s);
    printNames(s.storage.storeAsList().names);
    return finish(s);
}

int retrieveCommand(Session& s, const Arguments& a) {
    const std::string name = a.operand(0), output = a.value("--output");
    LabelDocument document;
    if (!s.storage.receiveForm(name, document)) return finish(s);
    // The printer answers a name it does not know with an empty form.
    if (document.figures.empty()) return fail("The printer has no stored form " + inQuotes(name));
    if (const Result saved = saveLabelFile(output, document); !saved)
        return fail(writeFailure(saved.message(), output));
    const auto figures = std::count_if(document.figures.begin(), document.figures.end(),
                                       [](const Figure& f) { return f.kind != FigureKind::Font; });
    const auto fonts = static_cast<long>(document.figures.size()) - figures;
    std::printf("%s: %ld figures, %ld fonts\n", name.c_str(), static_cast<long>(figures), fonts);
    printSlots(document);
    return finish(s);
}

int selectCommand(Session& s, const Words& a) {
    if (a.size() != 1) return usage("select NAME");
    LabelDocument document;
    s.storage.selectActiveForm(a[0], document);
    if (!s.problem().empty()) return finish(s);
    std::printf("active form: %s\n", s.storage.activeFormName().c_str());
    printSlots(document);
    return 0;
}

int variablesCommand(Session& s, const Words& a) {
    if (!a.empty()) return usage("variables takes no arguments");
    LabelDocument document;
    s.storage.receiveVariables(document);
    if (!s.problem().empty()) return finish(s);
    printSlots(document);
    return 0;
}

int printLabelCommand(Session& s, const Arguments& a) {
    const std::string file = a.operand(0);
    const auto copies = static_cast<unsigned>(a.number("--copies").value_or(1));
    const bool direct = a.has("--direct-graphics");
    const Words& sets = a.values("--set");
    LabelDocument document;
    if (const Result loaded = loadLabelFile(file, document); !loaded)
        return fail(readFailure(loaded.message(), file));
    if (const std::string bad = applySets(sets, document); !bad.empty()) return fail(bad);

    ResidentFonts fonts;
    RenderContext context;
    context.document = &document;
    RasterFigureWriter rasters;
    if (direct) {
        const std::filesystem::path fontPath = ProgramPaths::forThisProcess(nullptr).residentFontPath();
        if (fonts.load(fontPath) != 0) return fail("Can't open font file " + fontPath.string());
        context.residentFonts = &fonts;
        rasters = directGraphicsWriter(context);
    }
    const PrintOutcome outcome = testPrint(s.link, document, copies, rasters);
    if (!outcome.message.text.empty()) return fail(outcome.message.text);
    if (!outcome.sent) return finish(s);
    std::printf("printed %u %s\n", copies, copies == 1 ? "copy" : "copies");
    printSlots(document);
    return finish(s);
}

int printFormCommand(Session& s, const Arguments& a) {
    PrintQuantities quantities;
    if (a.has("--sets")) quantities.sets = static_cast<unsigned>(*a.number("--sets"));
    if (a.has("--copies")) quantities.copies = static_cast<unsigned>(*a.number("--copies"));
    const Words& sets = a.values("--set");
    LabelDocument document;
    if (!receiveActiveFormAndVariables(s.storage, document)) return finish(s);
    const std::string name = s.storage.activeFormName();
    if (const std::string bad = applySets(sets, document); !bad.empty()) return fail(bad);
    PrintOutcome outcome;
    if (sets.empty()) {
        outcome = printStoredForm(s.link, name, quantities.sets, quantities.copies);
        if (outcome.sent) AdvanceCounters(document, quantities.sets);
    } else {
        outcome = printStoredFormWithValues(s.link, document, name, quantities.sets, quantities.copies);
    }
    if (!outcome.message.text.empty()) return fail(outcome.message.text);
    if (!outcome.sent) return finish(s);
    std::printf("printed form %s: %u sets of %u\n", name.c_str(), quantities.sets, quantities.copies);
    printSlots(document);
    return finish(s);
}

int deleteCommand(Session& s, const Words& a) {
    static const std::map<std::string, int> kinds{{"form", kListForms}, {"graphics", kListGraphics},
                                                  {"font", kListFonts}};
    if (a.size() != 2 || !kinds.count(a[0])) return usage("delete form|graphics|font NAME");
    deleteObject(s.link, kinds.at(a[0]), a[1]);
    s.link.closePort();
    return finish(s);
}

int clockCommand(Session& s, const Words& a) {
    if (a.size() != 1 || (a[0] != "get" && a[0] != "set")) return usage("clock get|set");
    if (a[0] == "set") {
        const std::time_t now = std::time(nullptr);
        std::tm t{};
        localtime_r(&now, &t);
        if (!setClock(s.link, t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec))
            return finish(s);
        char text[32];
        std::strftime(text, sizeof text, "%m/%d/%y %H:%M:%S", &t);
        std::printf("clock set to %s\n", text);
        return 0;
    }
    std::string line;
    if (!readClock(s.link, line)) return finish(s);
    std::printf("%s\n", line.c_str());
    return 0;
}

// Sends the text and prints whatever comes back until the printer has been quiet for a
// while (or said nothing within the silence limit: many commands have no reply).
int sendCommand(Session& s, const Words& a) {
    if (a.size() != 1) return usage("send TEXT");
    std::string text;
    if (!unescape(a[0], text)) return usage("unknown escape in " + a[0]);
    if (!s.link.openPort()) return finish(s);
    if (!s.link.writeText(text)) {
        s.link.closePort();
        return finish(s);
    }
    // A print queue never answers: its job goes when the port closes.
    if (s.transport.kind() == DeviceKind::PrintQueue) {
        s.link.closePort();
        return finish(s);
    }
    // A printer that never falls silent must not hold the command forever: the reply is
    // cut at 1 MiB or after a minute.
    constexpr std::size_t kMaxReply = 1 << 20;
    constexpr auto kMaxTime = std::chrono::seconds(60);
    const LinkTiming usual = s.link.timing();
    std::string reply;
    std::uint8_t first = 0;
    if (s.link.readBytes({&first, 1}) == 1) {
        reply += static_cast<char>(first);
        // Once it answers, a short quiet ends the reply.
        LinkTiming quiet = usual;
        quiet.silenceLimit = std::min(usual.silenceLimit, std::chrono::milliseconds(300));
        s.link.setTiming(quiet);
        std::array<std::uint8_t, 4096> chunk{};
        const auto start = usual.now();
        while (reply.size() < kMaxReply && usual.now() - start < kMaxTime) {
            const std::size_t room = std::min(chunk.size(), kMaxReply - reply.size());
            const std::size_t count = s.link.readBytes(std::span(chunk).first(room));
            reply.append(reinterpret_cast<const char*>(chunk.data()), count);
            if (s.link.silent()) break;
        }
        s.link.setTiming(usual);
    }
    // Silence is an answer to many commands; a printer that went away is not.
    const bool gone = s.link.deviceGone();
    s.link.closePort();
    std::fwrite(reply.data(), 1, reply.size(), stdout);
    return gone ? fail(kNoPrinterResponse) : 0;
}

// The session every sub-command talks through, from the options before the sub-command.
std::unique_ptr<Session> openSession(const Arguments& a) {
    return std::make_unique<Session>(a.parent->value("--port"), linkSettingsFrom(*a.parent), silenceFrom(*a.parent));
}

// A sub-command's file named "-" is read from standard input through a temporary file.
struct FileOperand {
    TemporaryFile holder;
    std::string problem;
    // The operands with the file at `index` stood in for; empty `problem` on success.
    Words words(const Words& operands, std::size_t index) {
        Words out = operands;
        if (index < out.size() && isStandardStream(out[index])) out[index] = inputPath(out[index], holder, problem).string();
        return out;
    }
};

template <int (*body)(Session&, const Words&)>
int withWords(const Arguments& a) {
    return body(*openSession(a), a.operands());
}
template <int (*body)(Session&, const Arguments&)>
int withOptions(const Arguments& a) {
    FileOperand file;
    Arguments read = a;
    read.operands_ = file.words(a.operands(), 0);
    if (!file.problem.empty()) return fail(file.problem);
    if (!isStandardStream(a.value("--output"))) return body(*openSession(a), read);
    // -o -: the file goes to standard output, and what the sub-command reports goes to
    // standard error meanwhile so that it does not mix with the file.
    TemporaryFile output;
    std::string problem;
    read.values_["--output"] = {outputPath("-", ".qlb", output, problem).string()};
    if (!problem.empty()) return fail(problem);
    std::fflush(stdout);
    const int savedOutput = ::dup(STDOUT_FILENO);
    if (savedOutput < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return fail("cannot write to standard output");
    const int status = body(*openSession(a), read);
    std::fflush(stdout);
    ::dup2(savedOutput, STDOUT_FILENO);
    ::close(savedOutput);
    if (status != 0) return status;
    problem = finishOutput("-", output);
    return problem.empty() ? 0 : fail(problem);
}
template <const char* what>
int store(const Arguments& a) {
    FileOperand file;
    const Words words = file.words(a.operands(), 0);
    if (!file.problem.empty()) return fail(file.problem);
    return storeCommand(*openSession(a), what, words);
}
constexpr char kStoreLabel[] = "store-label", kStoreForm[] = "store-form", kStoreFont[] = "store-font";

constexpr Operand kListOperands[] = {{"forms|graphics|fonts", ValueKind::Choice, "forms graphics fonts"}};
constexpr Operand kStoreLabelOperands[] = {{"FILE.qlb|-", ValueKind::Label}, {"NAME"}};
constexpr Operand kStoreFormOperands[] = {{"FILE.ejf|-", ValueKind::Form}, {"NAME"}};
constexpr Operand kStoreFontOperands[] = {{"FILE.qft|-", ValueKind::LabelFont}, {"LETTER"}};
constexpr Operand kNameOperand[] = {{"NAME"}};
constexpr Operand kLabelOperand[] = {{"FILE.qlb|-", ValueKind::Label}};
constexpr Operand kDeleteOperands[] = {{"form|graphics|font", ValueKind::Choice, "form graphics font"}, {"NAME"}};
constexpr Operand kClockOperands[] = {{"get|set", ValueKind::Choice, "get set"}};
constexpr Operand kSendOperands[] = {{"TEXT"}};
constexpr Option kRetrieveOptions[] = {{.name = "--output", .value = "FILE.qlb|-", .kind = ValueKind::Output,
                                        .help = "the label file written", .shortName = "-o", .required = true}};
constexpr Option kCopiesOption{.name = "--copies", .value = "N", .kind = ValueKind::Number,
                               .help = "copies of each label", .low = 1, .high = 999};
constexpr Option kSetOption{.name = "--set", .value = "V00=text",
                            .help = "a variable's or counter's value for this print (may be given again)"};
constexpr Option kPrintLabelOptions[] = {
    kCopiesOption, kSetOption, {.name = "--direct-graphics", .help = "pictures and label-font text sent as rasters"}};
constexpr Option kPrintFormOptions[] = {
    {.name = "--sets", .value = "S", .kind = ValueKind::Number, .help = "sets of labels, counters stepping between sets",
     .low = 1, .high = 999},
    kCopiesOption, kSetOption};

constexpr CommandDefinition kSubcommands[] = {
    {"list", "the names stored in the printer", kListOperands, {}, withWords<listCommand>},
    {"memory", "free and used printer memory", {}, {}, withWords<memoryCommand>},
    {"store-label", "stores a label, with its pictures and fonts, as a form", kStoreLabelOperands, {},
     store<kStoreLabel>},
    {"store-form", "stores a form file", kStoreFormOperands, {}, store<kStoreForm>},
    {"store-font", "stores a label font under a letter", kStoreFontOperands, {}, store<kStoreFont>},
    {"retrieve-form", "fetches a stored form as a label file", kNameOperand, kRetrieveOptions,
     withOptions<retrieveCommand>},
    {"select", "makes a stored form the active one and lists its variables", kNameOperand, {},
     withWords<selectCommand>},
    {"variables", "the active form's variables and counters with their values", {}, {}, withWords<variablesCommand>},
    {"print-label", "prints a label file", kLabelOperand, kPrintLabelOptions, withOptions<printLabelCommand>},
    {"print-form", "prints the active form", {}, kPrintFormOptions, withOptions<printFormCommand>},
    {"delete", "removes a stored form, picture or font", kDeleteOperands, {}, withWords<deleteCommand>},
    {"clock", "reads the printer's clock, or sets it to this computer's time", kClockOperands, {},
     withWords<clockCommand>},
    {"send", "sends raw command text (escapes \\r \\n \\t \\\" \\\\ \\xHH) and prints the reply", kSendOperands, {},
     withWords<sendCommand>},
};
constexpr Option kOptions[] = {
    {.name = kPortOption.name, .value = kPortOption.value, .kind = kPortOption.kind, .help = kPortOption.help,
     .required = true},
    kBaudOption, kXonXoffOption, kSilenceOption};
constexpr CommandDefinition kPrinter{"printer", "the printer exchanges: lists, storage, printing, the clock, raw commands",
                               {}, kOptions, nullptr, kSubcommands};
RegisterCommand registration(kPrinter);


}  // namespace
}  // namespace tavrin::cli
