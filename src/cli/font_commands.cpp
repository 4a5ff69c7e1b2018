// tavrin-label make-font: a label font (.qft) from a TrueType or OpenType font, as the
// converter dialog makes it; tavrin-label add-font: a label font attached to a label.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command_registry.h"
#include "standard_streams.h"
#include "document/label_file.h"
#include "fonts/font_file.h"
#include "fonts/font_management.h"
#include "fonts/font_rasteriser.h"

namespace tavrin::cli {
namespace {

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

constexpr Option kMakeOptions[] = {
    {.name = "--font", .value = "FAMILY|PATH", .kind = ValueKind::FontSource,
     .help = "an installed scalable family (see list-fonts) or a TrueType or OpenType file", .required = true},
    {.name = "--style", .value = "STYLE", .help = "the face's style: Regular, Italic, Bold or \"Bold Italic\""},
    {.name = "--size", .value = "PT", .kind = ValueKind::Number, .help = "the size in points", .low = 1, .high = 999,
     .required = true},
    {.name = "--width-correction", .value = "F", .help = "widens (above 1) or narrows the characters: 0.5..2.0"},
    {.name = "--space", .value = "N", .kind = ValueKind::Number, .help = "dots added between characters",
     .low = kMinSpace, .high = kMaxSpace},
    {.name = "--script", .value = "SCRIPT", .help = "the code page the characters come from: Western, Cyrillic, Greek ..."},
    {.name = "--map", .value = "FROM-TO:AT",
     .help = "put the characters FROM..TO at code AT and on (codes 32..255; may be given again); without it every "
             "character stays at its code"},
    {.name = "--trim", .value = "auto|TOP,BOTTOM", .help = "rows taken off the top and bottom of every character"},
    {.name = "--output", .value = "OUT.qft|-", .kind = ValueKind::Output, .help = "the label font written",
     .shortName = "-o", .required = true},
};

std::string parseMake(const Arguments& arguments, MakeArguments& out) {
    out.font = arguments.value("--font");
    if (out.font.empty()) return "--font needs a family or a font file";
    out.output = arguments.value("--output");
    if (arguments.has("--style")) {
        const auto style = styleByName(arguments.value("--style"));
        if (!style) return "unknown style " + arguments.value("--style");
        out.style = *style;
    }
    out.settings.size = clampFontSize(static_cast<int>(*arguments.number("--size")));
    out.sizeGiven = true;
    if (arguments.has("--width-correction")) {
        const std::string text = arguments.value("--width-correction");
        char* end = nullptr;
        const double factor = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !(factor >= 0.5 && factor <= 2.0))
            return "the width correction must be 0.5..2.0";
        out.settings.widthCorrection = factor;
    }
    if (arguments.has("--space")) out.settings.space = static_cast<int>(*arguments.number("--space"));
    out.script = scriptByName(arguments.has("--script") ? arguments.value("--script") : "Western");
    if (out.script == nullptr) return "unknown script " + arguments.value("--script");
    for (const std::string& text : arguments.values("--map")) {
        Mapping mapping;
        if (!parseMapping(text, mapping)) return "--map wants FROM-TO:AT with codes 32..255, for example 0xC0-0xFF:0xC0";
        out.mappings.push_back(mapping);
    }
    if (arguments.has("--trim")) {
        const std::string text = arguments.value("--trim");
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
    }
    return {};
}

int runMake(const Arguments& arguments) {
    MakeArguments args;
    if (const std::string problem = parseMake(arguments, args); !problem.empty()) return usageError(arguments, problem);

    // A font named by its path that cannot be read says why.
    if (args.font.find('/') != std::string::npos && !readProblem(args.font).empty())
        return fail(readFailure("Can't open font file", args.font));
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
    TemporaryFile holder;
    std::string problem;
    const std::filesystem::path outputFile = outputPath(args.output, ".qft", holder, problem);
    if (outputFile.empty()) return fail(problem);
    if (problem = saveLabelFont(outputFile, font); !problem.empty()) return fail(writeFailure(problem, args.output));
    if (problem = finishOutput(args.output, holder); !problem.empty()) return fail(problem);
    std::fprintf(isStandardStream(args.output) ? stderr : stdout, "Characters: %d\nHeight: %d pixels\nMean width: %.1f pixels\nBytes: %zu\n", font.characters,
                font.height, font.meanWidth, font.bytes);
    return 0;
}

constexpr Operand kAddOperands[] = {{"FILE.qlb|-", ValueKind::Label}, {"FONT.qft|-", ValueKind::LabelFont}};
constexpr Option kAddOptions[] = {
    {.name = "--letter", .value = "L", .help = "the letter A..Z the label knows the font by", .required = true},
    {.name = "--output", .value = "OUT.qlb|-", .kind = ValueKind::Output, .help = "the label file written",
     .shortName = "-o", .required = true},
};

int runAdd(const Arguments& arguments) {
    const std::string label = arguments.operand(0), fontFile = arguments.operand(1);
    const std::string letterText = arguments.value("--letter"), output = arguments.value("--output");
    const auto letter = chosenNewFontLetter(letterText);
    if (!letter || letterText.size() != 1) return usageError(arguments, "the letter must be one of A..Z");
    if (isStandardStream(label) && isStandardStream(fontFile))
        return usageError(arguments, "the label and the font cannot both come from standard input");

    TemporaryFile labelHolder, fontHolder, outputHolder;
    std::string problem;
    const std::filesystem::path labelPath = inputPath(label, labelHolder, problem);
    if (labelPath.empty()) return fail(problem);
    const std::filesystem::path fontPath = inputPath(fontFile, fontHolder, problem);
    if (fontPath.empty()) return fail(problem);
    LabelDocument document;
    if (const Result loaded = loadLabelFile(labelPath, document); !loaded)
        return fail(readFailure(loaded.message(), label));
    std::vector<std::uint8_t> font;
    if (const Result read = readFontFile(fontPath, font); !read) return fail(readFailure(read.message(), fontFile));
    addNewFont(document.figures, *letter, std::move(font));
    const std::filesystem::path outputFile = outputPath(output, ".qlb", outputHolder, problem);
    if (outputFile.empty()) return fail(problem);
    if (const Result saved = saveLabelFile(outputFile, document); !saved)
        return fail(writeFailure(saved.message(), output));
    if (problem = finishOutput(output, outputHolder); !problem.empty()) return fail(problem);
    return 0;
}

int runList(const Arguments&) {
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

constexpr CommandDefinition kList{"list-fonts", "the scalable font families make-font takes, with the scripts each covers", {},
                            {}, runList};
constexpr CommandDefinition kMake{"make-font", "a label font (.qft) from a TrueType or OpenType font, as the converter window makes it",
                            {}, kMakeOptions, runMake};
constexpr CommandDefinition kAdd{"add-font", "a label font put into a label", kAddOperands, kAddOptions, runAdd};
RegisterCommand listRegistration(kList);
RegisterCommand makeRegistration(kMake);
RegisterCommand addRegistration(kAdd);

}  // namespace
}  // namespace tavrin::cli
