// tavrin-label info FILE.qlb [-o OUT.json]: the whole document as JSON.
#include <array>
#include <cstdio>

#include "command_registry.h"
#include "standard_streams.h"
#include "document/label_file.h"
#include "json_writer.h"
#include "render/barcode/barcode.h"

namespace tavrin::cli {
namespace {

const char* nameOf(const auto& names, int index) {
    return index >= 0 && index < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(index)] : "?";
}

constexpr std::array<const char*, 4> kRotations = {"None", "90 deg", "180 deg", "270 deg"};
constexpr std::array<const char*, 4> kStyles = {"Normal", "Inverse", "Bold", "BoldInv"};
constexpr std::array<const char*, 3> kColours = {"Black", "Inverse", "White"};
constexpr std::array<const char*, 4> kHumanReadable = {"None", "Left", "Center", "Right"};
constexpr std::array<const char*, 4> kJustifications = {"N", "L", "C", "R"};

void writeSetup(JsonWriter& json, const LabelSetup& s) {
    json.beginObject("setup")
        .value("width", s.width)
        .value("length", s.length)
        .value("leftMargin", s.leftMargin)
        .value("topMargin", s.topMargin)
        .value("offset", s.offset)
        .value("orientation", s.orientation)
        .value("orientationName", nameOf(kOrientationNames, s.orientation))
        .value("darkness", s.darkness)
        .value("speed", s.speed)
        .value("speedName", nameOf(kSpeedNames, s.speed))
        .value("language", s.language)
        .value("languageName", nameOf(kLanguageNames, s.language))
        .value("labelGap", s.labelGap)
        .value("paperType", s.paperType)
        .value("paperTypeName", nameOf(kPaperTypeNames, s.paperType))
        .value("normalText", s.normalText)
        .value("textType", s.normalText ? "Normal" : "Condensed")
        .value("dateFormat", s.dateFormat)
        .value("timeFormat", s.timeFormat)
        .endObject();
}

template <std::size_t N>
void writeSlots(JsonWriter& json, const char* key, char letter, const std::array<Variable, N>& slots) {
    json.beginArray(key);
    for (std::size_t i = 0; i < N; ++i) {
        const Variable& v = slots[i];
        if (!v.isDefined()) continue;
        char name[8];
        std::snprintf(name, sizeof name, "%c%02zu", letter, i);
        json.beginObject()
            .value("slot", static_cast<long long>(i))
            .value("name", name)
            .value("defined", static_cast<long long>(v.defined))
            .value("length", static_cast<long long>(v.length))
            .value("justification", static_cast<long long>(v.justification))
            .value("justificationLetter", nameOf(kJustifications, v.justification))
            .value("padChar", std::string_view(&v.padChar, v.padChar ? 1 : 0))
            .value("step", letter == 'C' ? v.counterStep() : static_cast<long long>(v.step))
            .value("prompt", v.promptText())
            .value("value", v.valueText())
            .endObject();
    }
    json.endArray();
}

void writeFigure(JsonWriter& json, const FigureList& figures, const Figure& f, int index) {
    json.beginObject()
        .value("index", index)
        .value("kind", static_cast<long long>(f.kind))
        .value("kindName", figureKindName(f.kind));
    switch (f.kind) {
        case FigureKind::Text: {
            const auto t = TextRecord::decode(f.record);
            json.value("x", t.x).value("y", t.y).value("hMul", t.hMul).value("vMul", t.vMul)
                .value("font", t.font).value("style", t.style).value("styleName", nameOf(kStyles, t.style))
                .value("rotation", t.rotation).value("rotationName", nameOf(kRotations, t.rotation))
                .value("drawnWidth", t.drawnWidth).value("data", t.data);
            if (const Figure* font = figures.softFontByNumber(t.font))
                json.value("fontLetter", std::string(1, FontRecord::decode(font->record).letter));
            break;
        }
        case FigureKind::Barcode: {
            const auto b = BarcodeRecord::decode(f.record);
            json.value("type", b.type).value("typeName", barcode::symbology(b.type).name).value("x", b.x).value("y", b.y).value("height", b.height)
                .value("narrow", b.narrow).value("wide", b.wide)
                .value("humanReadable", b.humanReadable)
                .value("humanReadableName", nameOf(kHumanReadable, b.humanReadable))
                .value("rotation", b.rotation).value("rotationName", nameOf(kRotations, b.rotation))
                .value("barLength", static_cast<long long>(b.barLength))
                .value("totalLength", static_cast<long long>(b.totalLength)).value("data", b.data);
            break;
        }
        case FigureKind::Rectangle: {
            const auto r = RectangleRecord::decode(f.record);
            json.value("x", r.x).value("y", r.y).value("width", r.width).value("height", r.height)
                .value("colour", r.colour).value("colourName", nameOf(kColours, r.colour));
            break;
        }
        case FigureKind::DiagonalLine: {
            const auto l = LineRecord::decode(f.record);
            json.value("x1", l.x1).value("y1", l.y1).value("x2", l.x2).value("y2", l.y2)
                .value("thickness", l.thickness).value("colour", l.colour)
                .value("colourName", nameOf(kColours, l.colour));
            break;
        }
        case FigureKind::Box: {
            const auto b = BoxRecord::decode(f.record);
            json.value("x1", b.x1).value("y1", b.y1).value("x2", b.x2).value("y2", b.y2)
                .value("thickness", b.thickness);
            break;
        }
        case FigureKind::Picture: {
            const auto p = PictureRecord::decode(f.record);
            json.value("x", p.x).value("y", p.y).value("width", p.width).value("height", p.height)
                .value("name", p.name)
                .value("dataLength", static_cast<long long>(f.picture ? f.picture->bytes.size() : 0))
                .value("bytesPerRow", static_cast<long long>(f.picture ? f.picture->bytesPerRow() : 0))
                .value("shareCount", figures.shareCount(f.picture.get()));
            break;
        }
        case FigureKind::Font: {
            const auto font = FontRecord::decode(f.record);
            json.value("letter", std::string(1, font.letter))
                .value("charCount", static_cast<long long>(font.charCount))
                .value("height", static_cast<long long>(font.height))
                .value("dataLength", static_cast<long long>(f.fontData.size()));
            break;
        }
    }
    json.value("selected", f.selected()).endObject();
}

constexpr Operand kOperands[] = {{"FILE.qlb|-", ValueKind::Label}};
constexpr Option kOptions[] = {
    {.name = "--output", .value = "OUT.json|-", .kind = ValueKind::Output,
     .help = "write the JSON to this file instead of standard output", .shortName = "-o"},
};

int runInfo(const Arguments& arguments) {
    const std::string input = arguments.operand(0);
    const std::string output = arguments.has("--output") ? arguments.value("--output") : "-";
    TemporaryFile inputHolder;
    std::string streamProblem;
    const std::filesystem::path inputFile = inputPath(input, inputHolder, streamProblem);
    if (inputFile.empty()) return fail(streamProblem);
    LabelDocument document;
    if (const auto result = loadLabelFile(inputFile, document); !result) return fail(readFailure(result.message(), input));

    JsonWriter json;
    json.beginObject().value("file", input);
    writeSetup(json, document.setup);
    writeSlots(json, "variables", 'V', document.variables);
    writeSlots(json, "counters", 'C', document.counters);
    json.beginArray("figures");
    int index = 0;
    for (const auto& f : document.figures) writeFigure(json, document.figures, f, index++);
    json.endArray().endObject();
    if (const std::string problem = writeOutput(output, json.text()); !problem.empty()) return fail(problem);
    return 0;
}

constexpr CommandDefinition kInfo{"info", "the whole label as JSON: setup, variables, counters and every figure", kOperands,
                            kOptions, runInfo};
RegisterCommand registration(kInfo);

}  // namespace
}  // namespace tavrin::cli
