#include "printer/form_file.h"

#include "document/safe_file.h"
#include "printer/form_writer.h"

namespace tavrin {

Result saveAsForm(const std::filesystem::path& path, const LabelDocument& document) {
    if (document.figures.empty()) return Result::failure(FailureKind::Invalid, "Nothing to save");
    BufferSink sink;
    writeFormFile(document, sink);
    if (!replaceFileContents(path, sink.bytes())) return Result::failure(FailureKind::CannotWrite, "Can't open output file");
    return Result::success();
}

std::vector<std::string> splitFormLines(std::span<const std::uint8_t> bytes) {
    std::vector<std::string> lines;
    std::string line;
    bool pending = false;
    for (const std::uint8_t byte : bytes) {
        if (byte == 0) break;
        if (byte == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            pending = false;
            continue;
        }
        pending = true;
        if (byte < 0x20) continue;
        line.push_back(static_cast<char>(byte));
    }
    if (pending) lines.push_back(std::move(line));
    return lines;
}

FormImport importFormFile(const std::filesystem::path& path, LabelDocument& document, PictureResolver resolver) {
    FormImport outcome{Result::success()};
    const auto bytes = readWholeFile(path);
    if (!bytes) {
        outcome.result = Result::failure(FailureKind::CannotOpen, "Can't open input file");
        return outcome;
    }
    document.figures.clearFigures();
    document.variables.fill(Variable{});
    document.counters.fill(Counter{});
    FormReader reader(document, std::move(resolver));
    for (const std::string& line : splitFormLines(*bytes)) {
        if (reader.readFormLine(line)) ++outcome.linesRead;
        else if (!line.empty() && line[0] != ';') ++outcome.linesSkipped;
    }
    return outcome;
}

}  // namespace tavrin
