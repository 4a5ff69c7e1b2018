// tavrin-label add-picture FILE.qlb PICTURE.pcx|.bmp --at X,Y [--name NAME] -o OUT.qlb: puts a
// picture file on a label from scripts, with the Picture dialog's checks and messages.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "command_registry.h"
#include "document/label_file.h"
#include "graphics/graphics_file.h"
#include "graphics/picture_data.h"

namespace tavrin::cli {
namespace {

constexpr const char* kUsage = "add-picture FILE.qlb PICTURE.pcx|.bmp --at X,Y [--name NAME] -o OUT.qlb";
constexpr std::size_t kMaxNameLength = 8;
constexpr int kMaxX = 607, kMaxY = 1539;

struct AddPictureArguments {
    std::string label;
    std::string picture;
    std::string output;
    std::string name;
    bool named = false;
    bool placed = false;
    int x = 0, y = 0;
};

bool parsePoint(const std::string& text, int& x, int& y) {
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%d,%d%n", &x, &y, &consumed) != 2) return false;
    return static_cast<std::size_t>(consumed) == text.size();
}

std::string parse(const std::vector<std::string>& arguments, AddPictureArguments& out) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= arguments.size()) return false;
            into = arguments[++i];
            return true;
        };
        std::string text;
        if (a == "-o" || a == "--output") {
            if (!value(out.output)) return "-o needs a file name";
        } else if (a == "--at") {
            if (!value(text) || !parsePoint(text, out.x, out.y)) return "--at wants X,Y";
            out.placed = true;
        } else if (a == "--name") {
            if (!value(out.name)) return "--name needs a name";
            out.named = true;
        } else if (!a.empty() && a[0] == '-') {
            return "unknown option " + a;
        } else if (out.label.empty()) {
            out.label = a;
        } else if (out.picture.empty()) {
            out.picture = a;
        } else {
            return "more than one picture file";
        }
    }
    if (out.label.empty()) return "no label file";
    if (out.picture.empty()) return "no picture file";
    if (!out.placed) return "no position (--at X,Y)";
    if (out.output.empty()) return "no output file (-o)";
    return {};
}

std::string messageText(const UserMessage& message) {
    // The box for a colour picture has the problem as its title and the advice as its text.
    if (message.title == "Error" || message.title.empty()) return message.text;
    return message.title + ": " + message.text;
}

int run(const std::vector<std::string>& arguments) {
    AddPictureArguments args;
    if (const std::string problem = parse(arguments, args); !problem.empty())
        return fail(problem + "\nusage: tavrin-label " + kUsage);

    LabelDocument document;
    if (const LabelFileResult loaded = loadLabelFile(args.label, document); !loaded.ok)
        return fail(loaded.message + ": " + args.label);

    if (args.named) {
        if (const auto problem = checkPictureName(args.name)) return fail(problem->text);
        if (args.name.size() > kMaxNameLength) return fail("Invalid picture name: at most 8 letters and digits");
        if (!IsPictureNameFree(document.figures, args.name, ""))
            return fail("Picture name already exists: " + args.name);
    } else {
        for (int n = 1; n < 10000 && args.name.empty(); ++n) {
            const std::string candidate = defaultPictureName(n);
            if (IsPictureNameFree(document.figures, candidate, "")) args.name = candidate;
        }
        if (args.name.empty()) return fail("no free picture name: give one with --name");
    }
    if (args.x < -kMaxX || args.x > kMaxX || args.y < -kMaxY || args.y > kMaxY)
        return fail("position out of range: X -607..607, Y -1539..1539");

    auto buffer = std::make_unique<GraphicsBuffer>();
    LoadedBlock loaded;
    if (const MakePictureResult made = MakePictureData(args.picture, true, *buffer, loaded); !made.ok)
        return fail(messageText(made.message.value_or(UserMessage{"Error", "Can't open input file"})) + ": " +
                    args.picture);

    PictureRecord picture;
    picture.x = args.x;
    picture.y = args.y;
    picture.width = loaded.width;
    picture.height = loaded.height;
    picture.dataLength = loaded.dataLength;
    picture.name = args.name;
    Figure& figure = document.figures.appendFigure(picture.encode(), FigureKind::Picture);
    figure.picture = loaded.block;
    loaded.block->bytes[0] = 1;

    if (const LabelFileResult saved = saveLabelFile(args.output, document); !saved.ok)
        return fail(saved.message + ": " + args.output);
    std::printf("%s: %d x %d dots, %u bytes\n", args.name.c_str(), loaded.width, loaded.height, loaded.dataLength);
    return 0;
}

RegisterCommand registration("add-picture", kUsage, run);

}  // namespace
}  // namespace tavrin::cli
