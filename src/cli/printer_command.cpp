// tavrin-label printer: the printer exchanges from the command line, over a serial device,
// a USB printer device, a network printer (tcp://HOST:PORT), a print queue (cups://QUEUE)
// or the printer simulator's pseudo-terminal.
//   printer --port DEVICE [--baud N] [--xonxoff] [--silence-ms N] SUB-COMMAND ...
// Each sub-command prints what the printer answered; a silent printer or a port that
// cannot be opened ends it with the link's message and a non-zero status.
#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "command_registry.h"
#include "common/text.h"
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

constexpr const char* kUsage =
    "printer --port DEVICE [--baud N] [--xonxoff] [--silence-ms N] SUB-COMMAND\n"
    "  DEVICE: /dev/ttyUSB0, /dev/usb/lp0, tcp://HOST:PORT (9100 by default) or cups://QUEUE\n"
    "    list forms|graphics|fonts\n"
    "    memory\n"
    "    store-label FILE.qlb NAME | store-form FILE.ejf NAME | store-font FILE.qft LETTER\n"
    "    retrieve-form NAME -o FILE.qlb\n"
    "    select NAME | variables\n"
    "    print-label FILE.qlb [--copies N] [--set V00=text ...] [--direct-graphics]\n"
    "    print-form [--sets S] [--copies C] [--set C00=text ...]\n"
    "    delete form|graphics|font NAME\n"
    "    clock get|set\n"
    "    send TEXT   (escapes \\r \\n \\t \\\" \\\\ \\xHH)";

// The printer through the device layer, and its storage exchanges.
struct Session : DeviceLink {
    using DeviceLink::DeviceLink;
    PrinterStorage storage{link};
};

using Arguments = std::vector<std::string>;

int usage(const std::string& problem) { return fail(problem + "\nusage: tavrin-label " + kUsage); }

int finish(const Session& session) {
    const std::string problem = session.problem();
    return problem.empty() ? 0 : fail(problem);
}

std::optional<long> number(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0') return std::nullopt;
    return value;
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

int listCommand(Session& s, const Arguments& a) {
    static const std::map<std::string, int> kinds{{"forms", kListForms}, {"graphics", kListGraphics},
                                                  {"fonts", kListFonts}};
    if (a.size() != 1 || !kinds.count(a[0])) return usage("list forms, graphics or fonts");
    if (!s.storage.receiveList(kinds.at(a[0]))) return finish(s);
    printNames(s.storage.storeAsList().names);
    return finish(s);
}

int memoryCommand(Session& s, const Arguments& a) {
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

int storeCommand(Session& s, const std::string& what, const Arguments& a) {
    if (a.size() != 2) return usage(what + " wants a file and a name");
    const std::string& file = a[0];
    const std::string& name = a[1];
    bool sent = false;
    if (what == "store-label") {
        if (const std::string bad = checkName(name, kListFormsForLabel); !bad.empty()) return fail(bad);
        LabelDocument document;
        if (const LabelFileResult loaded = loadLabelFile(file, document); !loaded.ok)
            return fail(loaded.message + ": " + file);
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
    std::string name, output;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if ((a[i] == "-o" || a[i] == "--output") && i + 1 < a.size()) output = a[++i];
        else if (name.empty() && !a[i].empty() && a[i][0] != '-') name = a[i];
        else return usage("retrieve-form NAME -o FILE.qlb");
    }
    if (name.empty() || output.empty()) return usage("retrieve-form NAME -o FILE.qlb");
    LabelDocument document;
    if (!s.storage.receiveForm(name, document)) return finish(s);
    // The printer answers a name it does not know with an empty form.
    if (document.figures.empty()) return fail("The printer has no stored form " + inQuotes(name));
    if (const LabelFileResult saved = saveLabelFile(output, document); !saved.ok)
        return fail(saved.message + ": " + output);
    const auto figures = std::count_if(document.figures.begin(), document.figures.end(),
                                       [](const Figure& f) { return f.kind != FigureKind::Font; });
    const auto fonts = static_cast<long>(document.figures.size()) - figures;
    std::printf("%s: %ld figures, %ld fonts\n", name.c_str(), static_cast<long>(figures), fonts);
    printSlots(document);
    return finish(s);
}

int selectCommand(Session& s, const Arguments& a) {
    if (a.size() != 1) return usage("select NAME");
    LabelDocument document;
    s.storage.selectActiveForm(a[0], document);
    if (!s.problem().empty()) return finish(s);
    std::printf("active form: %s\n", s.storage.activeFormName().c_str());
    printSlots(document);
    return 0;
}

int variablesCommand(Session& s, const Arguments& a) {
    if (!a.empty()) return usage("variables takes no arguments");
    LabelDocument document;
    s.storage.receiveVariables(document);
    if (!s.problem().empty()) return finish(s);
    printSlots(document);
    return 0;
}

std::string quantityOption(const Arguments& a, std::size_t& i, unsigned& into) {
    const std::string option = a[i];
    if (i + 1 >= a.size()) return option + " needs a number";
    into = validateQuantity(a[++i], 0);
    if (into == 0) return option + " must be 1 to 999";
    return {};
}

int printLabelCommand(Session& s, const Arguments& a) {
    std::string file;
    unsigned copies = 1;
    bool direct = false;
    std::vector<std::string> sets;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == "--copies") {
            if (const std::string bad = quantityOption(a, i, copies); !bad.empty()) return usage(bad);
        } else if (a[i] == "--set" && i + 1 < a.size()) {
            sets.push_back(a[++i]);
        } else if (a[i] == "--direct-graphics") {
            direct = true;
        } else if (file.empty() && !a[i].empty() && a[i][0] != '-') {
            file = a[i];
        } else {
            return usage("unexpected " + a[i]);
        }
    }
    if (file.empty()) return usage("print-label needs a label file");
    LabelDocument document;
    if (const LabelFileResult loaded = loadLabelFile(file, document); !loaded.ok)
        return fail(loaded.message + ": " + file);
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
    std::vector<std::string> sets;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == "--copies") {
            if (const std::string bad = quantityOption(a, i, quantities.copies); !bad.empty()) return usage(bad);
        } else if (a[i] == "--sets") {
            if (const std::string bad = quantityOption(a, i, quantities.sets); !bad.empty()) return usage(bad);
        } else if (a[i] == "--set" && i + 1 < a.size()) {
            sets.push_back(a[++i]);
        } else {
            return usage("unexpected " + a[i]);
        }
    }
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

int deleteCommand(Session& s, const Arguments& a) {
    static const std::map<std::string, int> kinds{{"form", kListForms}, {"graphics", kListGraphics},
                                                  {"font", kListFonts}};
    if (a.size() != 2 || !kinds.count(a[0])) return usage("delete form|graphics|font NAME");
    deleteObject(s.link, kinds.at(a[0]), a[1]);
    s.link.closePort();
    return finish(s);
}

int clockCommand(Session& s, const Arguments& a) {
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
int sendCommand(Session& s, const Arguments& a) {
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
            if (s.link.timeoutFlag) break;
        }
        s.link.setTiming(usual);
    }
    // Silence is an answer to many commands; a printer that went away is not.
    const bool gone = s.link.deviceGone();
    s.link.closePort();
    std::fwrite(reply.data(), 1, reply.size(), stdout);
    return gone ? fail(kNoPrinterResponse) : 0;
}

int run(const Arguments& arguments) {
    std::string device;
    LinkSettings settings;
    std::optional<long> silence;
    std::size_t i = 0;
    for (; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == "--port" && hasValue) {
            device = arguments[++i];
        } else if (a == "--baud" && hasValue) {
            const auto rate = number(arguments[++i]);
            const auto it = rate ? std::find(kBaudRates.begin(), kBaudRates.end(), *rate) : kBaudRates.end();
            if (it == kBaudRates.end()) return usage("--baud must be one of 2400 4800 9600 19200 38400 57600 115200");
            settings.baudIndex = static_cast<int>(it - kBaudRates.begin());
        } else if (a == "--xonxoff") {
            settings.protocol = 1;
        } else if (a == "--silence-ms" && hasValue) {
            silence = number(arguments[++i]);
            if (!silence || *silence < 1 || *silence > 60000) return usage("--silence-ms must be 1 to 60000");
        } else if (!a.empty() && a[0] == '-') {
            return usage("unknown option " + a);
        } else {
            break;
        }
    }
    if (device.empty()) return usage("no --port");
    if (i >= arguments.size()) return usage("no sub-command");
    const std::string sub = arguments[i];
    const Arguments rest(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());

    Session s(device, settings, std::chrono::milliseconds(silence.value_or(0)));

    if (sub == "list") return listCommand(s, rest);
    if (sub == "memory") return memoryCommand(s, rest);
    if (sub == "store-label" || sub == "store-form" || sub == "store-font") return storeCommand(s, sub, rest);
    if (sub == "retrieve-form") return retrieveCommand(s, rest);
    if (sub == "select") return selectCommand(s, rest);
    if (sub == "variables") return variablesCommand(s, rest);
    if (sub == "print-label") return printLabelCommand(s, rest);
    if (sub == "print-form") return printFormCommand(s, rest);
    if (sub == "delete") return deleteCommand(s, rest);
    if (sub == "clock") return clockCommand(s, rest);
    if (sub == "send") return sendCommand(s, rest);
    return usage("unknown sub-command " + sub);
}

RegisterCommand registration("printer", kUsage, run);

}  // namespace
}  // namespace tavrin::cli
