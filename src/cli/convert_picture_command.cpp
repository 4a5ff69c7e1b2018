// tavrin-label convert-picture IN.bmp|.jpg|.png -o OUT.bmp [options]: the colour to black and
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
#include "graphics/bw_converter.h"
#include "link/device_link.h"
#include "printer/printing.h"

namespace tavrin::cli {
namespace {

constexpr const char* kUsage =
    "convert-picture IN.bmp|.jpg|.png -o OUT.bmp [--width W] [--height H] [--rotate 0|90|180|270]\n"
    "    [--brightness N] [--contrast N] [--red N --green N --blue N] [--threshold] [--smooth]\n"
    "    [--cut X,Y,W,H] [--print --port DEVICE [--darkness N]]\n"
    "  DEVICE: /dev/ttyUSB0, /dev/usb/lp0, tcp://HOST:PORT (9100 by default) or cups://QUEUE";

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

std::optional<int> number(const std::string& text, int low, int high) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < low || value > high) return std::nullopt;
    return static_cast<int>(value);
}

std::string parse(const std::vector<std::string>& arguments, ConvertArguments& out) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        std::string text;
        const auto value = [&]() {
            if (i + 1 >= arguments.size()) return false;
            text = arguments[++i];
            return true;
        };
        // A number option within its control's range.
        const auto ranged = [&](int& into, int low, int high) -> std::string {
            const auto n = value() ? number(text, low, high) : std::nullopt;
            if (!n) return a + " wants a number from " + std::to_string(low) + " to " + std::to_string(high);
            into = *n;
            return {};
        };
        std::string problem;
        if (a == "-o" || a == "--output") {
            if (!value()) return "-o needs a file name";
            out.output = text;
        } else if (a == "--width" || a == "--height") {
            // The size fields take four digits; a larger number becomes 9999 as there.
            const auto n = value() ? number(text, 0, 1'000'000'000) : std::nullopt;
            if (!n) return a + " wants a number of dots";
            (a == "--width" ? out.width : out.height) = std::min(*n, kMaxTargetSide);
        } else if (a == "--rotate") {
            int degrees = 0;
            if (!(problem = ranged(degrees, 0, 270)).empty() || degrees % 90 != 0) return "--rotate wants 0, 90, 180 or 270";
            out.rotation = degrees / 90;
        } else if (a == "--brightness") {
            problem = ranged(out.settings.brightness, -100, 100);
        } else if (a == "--contrast") {
            problem = ranged(out.settings.contrast, 0, 250);
        } else if (a == "--red") {
            problem = ranged(out.settings.red, 0, 32);
        } else if (a == "--green") {
            problem = ranged(out.settings.green, 0, 32);
        } else if (a == "--blue") {
            problem = ranged(out.settings.blue, 0, 32);
        } else if (a == "--darkness") {
            problem = ranged(out.darkness, 0, 15);
        } else if (a == "--threshold") {
            out.settings.threshold = true;
        } else if (a == "--smooth") {
            out.settings.smooth = true;
        } else if (a == "--cut") {
            std::array<int, 4> r{};
            int consumed = 0;
            if (!value() || std::sscanf(text.c_str(), "%d,%d,%d,%d%n", &r[0], &r[1], &r[2], &r[3], &consumed) != 4 ||
                static_cast<std::size_t>(consumed) != text.size())
                return "--cut wants X,Y,W,H";
            out.cut = r;
        } else if (a == "--print") {
            out.print = true;
        } else if (a == "--port") {
            if (!value()) return "--port needs a device";
            out.port = text;
        } else if (!a.empty() && a[0] == '-') {
            return "unknown option " + a;
        } else if (out.input.empty()) {
            out.input = a;
        } else {
            return "more than one picture file";
        }
        if (!problem.empty()) return problem;
    }
    if (out.input.empty()) return "no picture file";
    if (out.output.empty() && !out.print) return "no output file (-o)";
    if (out.print && out.port.empty()) return "--print needs --port DEVICE";
    return {};
}

int run(const std::vector<std::string>& arguments) {
    ConvertArguments args;
    if (const std::string problem = parse(arguments, args); !problem.empty())
        return fail(problem + "\nusage: tavrin-label " + kUsage);

    SourcePicture source;
    if (const PictureReadResult loaded = loadSourcePicture(args.input, source); !loaded.ok)
        return fail(loaded.message.text + ": " + args.input);
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

    if (!args.output.empty() && !saveMonochromeBmp(args.output, result))
        return fail("Can't open output file: " + args.output);
    if (args.print) {
        DeviceLink printer(args.port);
        const bool sent =
            PrintBitmapTest(printer.link, bottomUpRows(result), result.width(), result.height(), args.darkness);
        if (const std::string problem = printer.problem(); !problem.empty()) return fail(problem);
        if (!sent) return fail("test print failed");
    }
    std::printf("%d x %d dots\n", result.width(), result.height());
    return 0;
}

RegisterCommand registration("convert-picture", kUsage, run);

}  // namespace
}  // namespace tavrin::cli
