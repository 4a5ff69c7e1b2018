// tavrin-label add-picture FILE.qlb PICTURE.pcx|.bmp --at X,Y [--name NAME] -o OUT.qlb: puts a
// picture file on a label from scripts, with the Picture dialog's checks and messages.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "command_registry.h"
#include "standard_streams.h"
#include "document/label_file.h"
#include "graphics/graphics_file.h"
#include "graphics/picture_data.h"

namespace tavrin::cli {
namespace {

constexpr std::size_t kMaxNameLength = 8;
constexpr int kMaxX = 607, kMaxY = 1539;

constexpr Operand kOperands[] = {{"FILE.qlb|-", ValueKind::Label}, {"PICTURE.pcx|.bmp|-", ValueKind::Picture}};
constexpr Option kOptions[] = {
    {.name = "--at", .value = "X,Y", .help = "where the picture's top left corner goes, in dots from the reference point",
     .required = true},
    {.name = "--name", .value = "NAME", .help = "the picture's name (PICT0001, PICT0002 ... when not given)"},
    {.name = "--output", .value = "OUT.qlb|-", .kind = ValueKind::Output, .help = "the label file written",
     .shortName = "-o", .required = true},
};

bool parsePoint(const std::string& text, int& x, int& y) {
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%d,%d%n", &x, &y, &consumed) != 2) return false;
    return static_cast<std::size_t>(consumed) == text.size();
}

std::string messageText(const UserMessage& message) {
    // The box for a colour picture has the problem as its title and the advice as its text.
    if (message.title == "Error" || message.title.empty()) return message.text;
    return message.title + ": " + message.text;
}

struct AddPictureArguments {
    std::string label, picture, output, name;
    bool named = false;
    int x = 0, y = 0;
};

int run(const Arguments& arguments) {
    AddPictureArguments args{arguments.operand(0), arguments.operand(1), arguments.value("--output"),
                             arguments.value("--name"), arguments.has("--name")};
    if (!parsePoint(arguments.value("--at"), args.x, args.y)) return usageError(arguments, "--at wants X,Y");
    if (isStandardStream(args.label) && isStandardStream(args.picture))
        return usageError(arguments, "the label and the picture cannot both come from standard input");

    TemporaryFile labelHolder, pictureHolder, outputHolder;
    std::string problem;
    const std::filesystem::path labelFile = inputPath(args.label, labelHolder, problem);
    if (labelFile.empty()) return fail(problem);
    const std::filesystem::path pictureFile = pictureInputPath(args.picture, pictureHolder, problem);
    if (pictureFile.empty()) return fail(problem);
    LabelDocument document;
    if (const Result loaded = loadLabelFile(labelFile, document); !loaded)
        return fail(readFailure(loaded.message(), args.label));

    if (args.named) {
        if (const auto badName = checkPictureName(args.name)) return fail(badName->text);
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
    if (const MakePictureResult made = MakePictureData(pictureFile, true, *buffer, loaded); !made.ok) {
        const std::string message = messageText(made.message.value_or(UserMessage{"Error", "Can't open input file"}));
        if (message == "Can't open input file") return fail(readFailure(message, args.picture));
        return fail(message + ": " + displayName(args.picture, false));
    }

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

    const std::filesystem::path outputFile = outputPath(args.output, ".qlb", outputHolder, problem);
    if (outputFile.empty()) return fail(problem);
    if (const Result saved = saveLabelFile(outputFile, document); !saved)
        return fail(writeFailure(saved.message(), args.output));
    if (problem = finishOutput(args.output, outputHolder); !problem.empty()) return fail(problem);
    std::fprintf(isStandardStream(args.output) ? stderr : stdout, "%s: %d x %d dots, %u bytes\n", args.name.c_str(), loaded.width, loaded.height, loaded.dataLength);
    return 0;
}

constexpr CommandDefinition kAddPicture{"add-picture",
                                   "a PCX or one-bit BMP picture put on a label, with the Picture dialog's checks",
                                   kOperands, kOptions, run};
RegisterCommand registration(kAddPicture);

}  // namespace
}  // namespace tavrin::cli
