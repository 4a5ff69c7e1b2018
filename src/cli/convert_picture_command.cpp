// tavrin-label convert-picture IN.bmp|.jpg|.png -o OUT.bmp|.png|.pbm [options]: the colour to black and
// white converter from scripts. The settings mean what the converter window's controls mean
// right after loading the picture, so the same settings give the same dots.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "command_registry.h"
#include "device_options.h"
#include "render/image_io.h"
#include "standard_streams.h"
#include "graphics/bw_converter.h"
#include "link/device_link.h"
#include "printer/printing.h"

namespace tavrin::cli {
namespace {

constexpr Operand kOperands[] = {{"IN.bmp|.jpg|.png|-", ValueKind::Photo}};
constexpr Option kOptions[] = {
    {.name = "--output", .value = "OUT.bmp|.png|.pbm|-", .kind = ValueKind::Output,
     .help = "the monochrome picture written, in the format its extension names (- writes BMP to standard output)",
     .shortName = "-o"},
    {.name = "--width", .value = "W", .kind = ValueKind::Number,
     .help = "the width in dots (above 9999 becomes 9999); alone, the height follows the picture's shape",
     .low = 0, .high = 1'000'000'000},
    {.name = "--height", .value = "H", .kind = ValueKind::Number,
     .help = "the height in dots (above 9999 becomes 9999); alone, the width follows the picture's shape",
     .low = 0, .high = 1'000'000'000},
    {.name = "--rotate", .value = "DEGREES", .kind = ValueKind::Choice, .help = "turn the picture clockwise",
     .choices = "0 90 180 270"},
    {.name = "--brightness", .value = "N", .kind = ValueKind::Number, .help = "brightness", .low = -100, .high = 100},
    {.name = "--contrast", .value = "N", .kind = ValueKind::Number, .help = "contrast", .low = 0, .high = 250},
    {.name = "--red", .value = "N", .kind = ValueKind::Number, .help = "the weight of red", .low = 0, .high = 32},
    {.name = "--green", .value = "N", .kind = ValueKind::Number, .help = "the weight of green", .low = 0, .high = 32},
    {.name = "--blue", .value = "N", .kind = ValueKind::Number, .help = "the weight of blue", .low = 0, .high = 32},
    {.name = "--threshold", .help = "black and white by a threshold instead of dithering"},
    {.name = "--smooth", .help = "smooth the picture when it is scaled"},
    {.name = "--cut", .value = "X,Y,W,H", .help = "use only this part of the picture, in its own pixels"},
    {.name = "--print", .help = "print the result on the printer as a test"},
    kPortOption,
    {.name = "--darkness", .value = "N", .kind = ValueKind::Number, .help = "the test print's darkness",
     .low = 0, .high = 15},
};

struct ConvertArguments {
    std::string input;
    std::string output;
    std::optional<int> width, height;
    int rotation = 0;
    ConvertSettings settings;
    std::optional<std::array<int, 4>> cut;
    bool print = false;
    std::string port;
    int darkness = 8;
};

std::string parse(const Arguments& arguments, ConvertArguments& out) {
    out.input = arguments.operand(0);
    out.output = arguments.value("--output");
    const auto number = [&](const char* option, int& into) {
        if (arguments.has(option)) into = static_cast<int>(*arguments.number(option));
    };
    // The size fields take four digits; a larger number becomes 9999 as there.
    if (arguments.has("--width")) out.width = static_cast<int>(std::min<long long>(*arguments.number("--width"), kMaxTargetSide));
    if (arguments.has("--height")) out.height = static_cast<int>(std::min<long long>(*arguments.number("--height"), kMaxTargetSide));
    if (arguments.has("--rotate")) out.rotation = static_cast<int>(*arguments.number("--rotate") / 90);
    number("--brightness", out.settings.brightness);
    number("--contrast", out.settings.contrast);
    number("--red", out.settings.red);
    number("--green", out.settings.green);
    number("--blue", out.settings.blue);
    number("--darkness", out.darkness);
    out.settings.threshold = arguments.has("--threshold");
    out.settings.smooth = arguments.has("--smooth");
    if (arguments.has("--cut")) {
        const std::string text = arguments.value("--cut");
        std::array<int, 4> r{};
        int consumed = 0;
        if (std::sscanf(text.c_str(), "%d,%d,%d,%d%n", &r[0], &r[1], &r[2], &r[3], &consumed) != 4 ||
            static_cast<std::size_t>(consumed) != text.size())
            return "--cut wants X,Y,W,H";
        out.cut = r;
    }
    out.print = arguments.has("--print");
    out.port = arguments.value("--port");
    if (out.output.empty() && !out.print) return "no output file (-o)";
    if (out.print && out.port.empty()) return "--print needs --port DEVICE";
    // The output's format is the one its name says; nothing is written under a wrong name.
    const std::string extension = lowerExtension(out.output);
    if (!out.output.empty() && !isStandardStream(out.output) && extension != ".bmp" && extension != ".png" &&
        extension != ".pbm")
        return "convert-picture writes .bmp, .png or .pbm files, not " + out.output;
    return {};
}

// The result in the format the output's name asks for; empty, or the message.
std::string writeResult(const std::string& output, const Bitmap& result) {
    TemporaryFile holder;
    std::string problem;
    const std::string extension = isStandardStream(output) ? ".bmp" : lowerExtension(output);
    const std::filesystem::path path = outputPath(output, extension, holder, problem);
    if (path.empty()) return problem;
    if (extension == ".bmp") {
        if (!saveMonochromeBmp(path, result)) return writeFailure("Can't open output file", output);
    } else if (const Result written = extension == ".png" ? writePng(path, result) : writePbm(path, result);
               !written) {
        return writeFailure("Can't open output file", output);
    }
    return finishOutput(output, holder);
}

int run(const Arguments& arguments) {
    ConvertArguments args;
    if (const std::string problem = parse(arguments, args); !problem.empty()) return usageError(arguments, problem);

    TemporaryFile inputHolder;
    std::string problem;
    const std::filesystem::path inputFile = pictureInputPath(args.input, inputHolder, problem);
    if (inputFile.empty()) return fail(problem);
    SourcePicture source;
    if (const Result loaded = loadSourcePicture(inputFile, source); !loaded) {
        // Only a file that cannot be opened has a reason from the system.
        if (loaded.kind() == FailureKind::CannotOpen) return fail(readFailure(loaded.message(), args.input));
        return fail(loaded.message() + ": " + displayName(args.input, false));
    }
    // A cut is taken from the picture as loaded, before any other setting, as in the window.
    if (args.cut) {
        const auto [x, y, w, h] = *args.cut;
        // The far corner may lie anywhere; it is clamped to the picture anyway.
        const auto corner = [](int from, int size) {
            return static_cast<int>(std::clamp<long long>(static_cast<long long>(from) + size, INT_MIN, INT_MAX));
        };
        std::optional<SourcePicture> cut = CutPicture(source, x, y, corner(x, w), corner(y, h));
        if (!cut) return fail("Too small selected area");
        source = std::move(*cut);
    }
    ConvertSettings& s = args.settings;
    s.width = source.width;
    s.height = source.height;
    applyRotation(s, args.rotation);
    // Only the quarter turns read the turned copy; a large photo need not be turned for nothing.
    const SourcePicture rotated = s.rotation % 2 ? MakeRotatedSource(source) : SourcePicture{};
    const SourcePicture& shown = s.rotation % 2 ? rotated : source;
    if (args.width && args.height) {
        s.width = *args.width, s.height = *args.height;
    } else if (args.width) {
        s.width = *args.width, s.height = std::min(heightForWidth(shown, s.width), kMaxTargetSide);
    } else if (args.height) {
        s.height = *args.height, s.width = std::min(widthForHeight(shown, s.height), kMaxTargetSide);
    }

    const SourcePicture preview = RenderPreview(source, rotated, s);
    const Bitmap result = ConvertToBW(preview, s);

    if (!args.output.empty()) {
        if (const std::string written = writeResult(args.output, result); !written.empty()) return fail(written);
    }
    if (args.print) {
        DeviceLink printer(args.port);
        const bool sent =
            PrintBitmapTest(printer.link, bottomUpRows(result), result.width(), result.height(), args.darkness);
        if (const std::string linkProblem = printer.problem(); !linkProblem.empty()) return fail(linkProblem);
        if (!sent) return fail("test print failed");
    }
    // The picture itself may be on standard output; the size then goes to standard error.
    std::fprintf(isStandardStream(args.output) ? stderr : stdout, "%d x %d dots\n", result.width(), result.height());
    return 0;
}

constexpr CommandDefinition kConvert{"convert-picture",
                                "a colour picture turned into printer dots as the converter window does; "
                                "--print --port DEVICE prints it as a test",
                                kOperands, kOptions, run};
RegisterCommand registration(kConvert);

}  // namespace
}  // namespace tavrin::cli
