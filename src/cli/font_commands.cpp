// tavrin-label make-font: a label font (.qft) from a TrueType or OpenType font, as the
// converter dialog makes it; tavrin-label add-font: a label font attached to a label.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command_registry.h"
#include "document/label_file.h"
#include "fonts/font_file.h"
#include "fonts/font_management.h"
#include "fonts/font_rasteriser.h"

namespace tavrin::cli {
namespace {

constexpr const char* kMakeUsage =
    "make-font --font FAMILY|PATH [--style Regular|Italic|Bold|\"Bold Italic\"] --size PT "
    "[--width-correction F] [--space N] [--script Western|Cyrillic|Greek|...] [--map FROM-TO:AT ...] "
    "[--trim auto|TOP,BOTTOM] -o OUT.qft";
constexpr const char* kAddUsage = "add-font FILE.qlb FONT.qft --letter L -o OUT.qlb";
// The scalable font families make-font takes, one a line with the scripts each covers.
constexpr const char* kListUsage = "list-fonts";

// A whole number in decimal or 0x hexadecimal, nothing else.
bool parseInt(const std::string& text, long& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtol(text.c_str(), &end, 0);
    return errno == 0 && *end == '\0';
}

struct Mapping {
    int from = 0, to = 0, at = 0;
};

// "FROM-TO:AT", or "CODE:AT" for one character.
bool parseMapping(const std::string& text, Mapping& out) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) return false;
    const std::string range = text.substr(0, colon);
    const auto dash = range.find('-', 1);
    long from = 0, to = 0, at = 0;
    if (!parseInt(range.substr(0, dash), from) || !parseInt(text.substr(colon + 1), at)) return false;
    to = from;
    if (dash != std::string::npos && !parseInt(range.substr(dash + 1), to)) return false;
    const auto inTable = [](long code) { return code >= kTableFirstCode && code <= 255; };
    if (!inTable(from) || !inTable(to) || !inTable(at) || to < from) return false;
    out = {static_cast<int>(from), static_cast<int>(to), static_cast<int>(at)};
    return true;
}

struct MakeArguments {
    std::string font;
    int style = 0;
    const ScriptInfo* script = nullptr;
    std::vector<Mapping> mappings;
    RasterSettings settings;
    bool sizeGiven = false;
    std::string output;
};

std::string parseMake(const std::vector<std::string>& arguments, MakeArguments& out) {
    out.script = scriptByName("Western");
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        std::string text;
        const auto value = [&] {
            if (i + 1 >= arguments.size()) return false;
            text = arguments[++i];
            return true;
        };
        long number = 0;
        if (a == "-o" || a == "--output") {
            if (!value()) return "-o needs a file name";
            out.output = text;
        } else if (a == "--font") {
            if (!value() || text.empty()) return "--font needs a family or a font file";
            out.font = text;
        } else if (a == "--style") {
            if (!value()) return "--style needs a style";
            const auto style = styleByName(text);
            if (!style) return "unknown style " + text;
            out.style = *style;
        } else if (a == "--size") {
            if (!value() || !parseInt(text, number) || number < 1 || number > 999) return "--size needs a number of points";
            out.settings.size = clampFontSize(static_cast<int>(number));
            out.sizeGiven = true;
        } else if (a == "--width-correction") {
            if (!value()) return "--width-correction needs a factor";
            char* end = nullptr;
            const double factor = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0' || !(factor >= 0.5 && factor <= 2.0))
                return "the width correction must be 0.5..2.0";
            out.settings.widthCorrection = factor;
        } else if (a == "--space") {
            if (!value() || !parseInt(text, number) || number < kMinSpace || number > kMaxSpace)
                return "the space must be -16..16";
            out.settings.space = static_cast<int>(number);
        } else if (a == "--script") {
            if (!value() || (out.script = scriptByName(text)) == nullptr) return "unknown script " + text;
        } else if (a == "--map") {
            Mapping mapping;
            if (!value() || !parseMapping(text, mapping))
                return "--map wants FROM-TO:AT with codes 32..255, for example 0xC0-0xFF:0xC0";
            out.mappings.push_back(mapping);
        } else if (a == "--trim") {
            if (!value()) return "--trim needs auto or TOP,BOTTOM";
            const auto comma = text.find(',');
            long top = 0, bottom = 0;
            if (text == "auto") {
                out.settings.autoTrim = true;
            } else if (comma != std::string::npos && parseInt(text.substr(0, comma), top) &&
                       parseInt(text.substr(comma + 1), bottom) && top >= 0 && bottom >= 0 && top < 256 && bottom < 256) {
                out.settings.topRemove = static_cast<int>(top);
                out.settings.bottomRemove = static_cast<int>(bottom);
            } else {
                return "--trim needs auto or TOP,BOTTOM";
            }
        } else {
            return "unknown argument " + a;
        }
    }
    if (out.font.empty()) return "no font (--font)";
    if (!out.sizeGiven) return "no size (--size)";
    if (out.output.empty()) return "no output file (-o)";
    return {};
}

int runMake(const std::vector<std::string>& arguments) {
    MakeArguments args;
    if (const std::string problem = parseMake(arguments, args); !problem.empty())
        return fail(problem + "\nusage: tavrin-label " + kMakeUsage);

    std::string error;
    const auto source = GlyphSource::open(args.font, args.style, *args.script, error);
    if (!source) return fail(error);

    // Without mappings, as a Copy of the whole source grid: every character at its own code.
    CharacterTable table;
    CharacterTable::Cells cells = table.cells();
    if (args.mappings.empty()) {
        table.copyAll();
        cells = table.cells();
    }
    for (const Mapping& m : args.mappings)
        for (int code = m.from, at = m.at; code <= m.to && at <= 255; ++code, ++at)
            cells[static_cast<std::size_t>(at - kTableFirstCode)] = static_cast<std::uint8_t>(code);

    const RasterFont font = rasteriseFont(*source, cells, args.settings);
    if (font.characters == 0) return fail("the font has none of the chosen characters");
    if (const std::string problem = saveLabelFont(args.output, font); !problem.empty())
        return fail(problem + ": " + args.output);
    std::printf("Characters: %d\nHeight: %d pixels\nMean width: %.1f pixels\nBytes: %zu\n", font.characters,
                font.height, font.meanWidth, font.bytes);
    return 0;
}

int runAdd(const std::vector<std::string>& arguments) {
    std::vector<std::string> files;
    std::string letterText, output;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if ((a == "--letter" || a == "-o" || a == "--output") && i + 1 < arguments.size()) {
            (a == "--letter" ? letterText : output) = arguments[++i];
        } else if (!a.empty() && a[0] == '-') {
            return fail("unknown or incomplete option " + a + "\nusage: tavrin-label " + kAddUsage);
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2 || output.empty() || letterText.empty())
        return fail(std::string("a label, a font, --letter and -o are needed\nusage: tavrin-label ") + kAddUsage);
    const auto letter = chosenNewFontLetter(letterText);
    if (!letter || letterText.size() != 1) return fail("the letter must be one of A..Z");

    LabelDocument document;
    if (const LabelFileResult loaded = loadLabelFile(files[0], document); !loaded.ok)
        return fail(loaded.message + ": " + files[0]);
    FontDataResult font = readFontFile(files[1]);
    if (!font.ok) return fail(font.message + ": " + files[1]);
    addNewFont(document.figures, *letter, std::move(font.data));
    if (const LabelFileResult saved = saveLabelFile(output, document); !saved.ok)
        return fail(saved.message + ": " + output);
    return 0;
}

int runList(const std::vector<std::string>& arguments) {
    if (!arguments.empty()) return fail(std::string("usage: tavrin-label ") + kListUsage);
    for (const std::string& family : scalableFontFamilies()) {
        std::string line = family + ":";
        const char* separator = " ";
        for (const ScriptInfo* script : familyScripts(family)) {
            line += separator;
            line += script->name;
            separator = ", ";
        }
        std::printf("%s\n", line.c_str());
    }
    return std::ferror(stdout) ? fail("cannot write the list") : 0;
}

RegisterCommand listRegistration("list-fonts", kListUsage, runList);
RegisterCommand makeRegistration("make-font", kMakeUsage, runMake);
RegisterCommand addRegistration("add-font", kAddUsage, runAdd);

}  // namespace
}  // namespace tavrin::cli
