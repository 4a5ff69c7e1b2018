#include "tools/storage_exchanges.h"

#include <array>
#include <cstdio>

#include "document/safe_file.h"
#include "printer/storage_operations.h"

namespace tavrin {

namespace {

// Reply buffers, as characters per line including room for the end.
constexpr std::size_t kMemoryLineSize = 32;
constexpr std::size_t kCountLineSize = 16;
constexpr std::size_t kNameLineSize = 32;
constexpr std::size_t kFormLineSize = 250;
// A form reply that goes on longer than this is not a form.
constexpr int kMaxFormLines = 65536;

const char* kindWord(int kind) {
    switch (kind) {
        case kListGraphics: return "Graphics";
        case kListFonts: return "Font";
        default: return "Form";
    }
}

const char* listProgressText(int kind) {
    switch (kind) {
        case kListGraphics: return "Receiving graphics list";
        case kListFonts: return "Receiving font list";
        default: return "Receiving form list";
    }
}

std::string quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

// Ends an exchange that failed: the port is closed rather than left for the next one, so a
// printer that went quiet does not keep the line busy.
bool fail(PrinterLink& link) {
    link.closePort();
    link.endProgress();
    return false;
}

ExtractResult saveExtracted(PrinterLink& link, const std::filesystem::path& path, std::string_view bytes,
                            std::string title, std::string text) {
    if (!replaceFileContents(path, bytes)) {
        link.ui().showProgressError("Error", "Can't open output file");
        return {};
    }
    // The progress window turns into the report, with its OK button.
    link.ui().showProgressError(title, text);
    return {true, std::move(title), std::move(text)};
}

}  // namespace

MemoryFigures parseMemoryLine(std::string_view line) {
    MemoryFigures figures;
    std::array<unsigned*, 4> fields = {&figures.forms, &figures.graphics, &figures.fonts, &figures.free};
    std::size_t at = 0;
    for (unsigned* field : fields) {
        while (at < line.size() && line[at] == ' ') ++at;
        unsigned long long value = 0;
        bool digits = false;
        for (; at < line.size() && line[at] >= '0' && line[at] <= '9'; ++at) {
            digits = true;
            value = std::min<unsigned long long>(value * 10 + static_cast<unsigned>(line[at] - '0'), 0xFFFFFFFFull);
        }
        if (!digits) break;
        *field = static_cast<unsigned>(value);
        if (at >= line.size() || line[at] != ',') break;
        ++at;
    }
    return figures;
}

std::string objectListCaption(int kind, std::size_t count) {
    return std::string(kindWord(kind)) + " list - " + std::to_string(count) + " object" + (count == 1 ? "" : "s");
}

std::string memoryLine(int kind, const MemoryFigures& memory) {
    const unsigned used = kind == kListGraphics ? memory.graphics : kind == kListFonts ? memory.fonts : memory.forms;
    return std::to_string(used) + " bytes , " + std::to_string(memory.free) + " free";
}

bool receiveObjectList(PrinterLink& link, int kind, ObjectList& list) {
    link.showProgress(listProgressText(kind));
    list = ObjectList{kind, {}, {}};
    if (!link.openPort()) return fail(link);
    if (!link.writeFormatted("\r\nUM\r\n")) return fail(link);
    std::string line;
    link.readLine(line, kMemoryLineSize);
    if (link.timeoutFlag) return fail(link);
    list.memory = parseMemoryLine(line);
    const char* command = kind == kListGraphics ? "\r\nUG\r\n" : kind == kListFonts ? "\r\nUE\r\n" : "\r\nUF\r\n";
    if (!link.writeFormatted("%s", command)) return fail(link);
    link.readLine(line, kCountLineSize);
    if (link.timeoutFlag) return fail(link);
    const int count = parseListCount(line);
    for (int i = 0; i < count; ++i) {
        link.readLine(line, kNameLineSize);
        if (link.timeoutFlag) return fail(link);
        // An end mark closes the list even when fewer names came than announced.
        if (link.endMarkFlag) break;
        list.names.push_back(line);
    }
    link.closePort();
    link.endProgress();
    return true;
}

bool sendDelete(PrinterLink& link, int kind, std::string_view name) {
    const char* command = kind == kListGraphics ? "GK" : kind == kListFonts ? "EK" : "FK";
    return link.writeFormatted("\r\n%s%s\r\n", command, quoted(name).c_str());
}

ExtractResult extractFormToFile(PrinterLink& link, std::string_view name, const std::filesystem::path& path,
                                int day, int month, int year) {
    if (!link.openPort()) return {};
    if (!link.writeFormatted("\r\nFI%s\r\n", quoted(name).c_str())) {
        link.closePort();
        return {};
    }
    link.showProgress("Extracting form " + quoted(name));
    char header[64];
    std::snprintf(header, sizeof header, "; Saved by TAVRIN label editor on %02d-%02d-%04d\r\n", day, month, year);
    std::string text = header;
    unsigned lines = 0;
    std::string line;
    for (int read = 0; read < kMaxFormLines; ++read) {
        link.readLine(line, kFormLineSize);
        if (link.timeoutFlag) {
            fail(link);
            return {};
        }
        text += line + "\r\n";
        // The printer ends a form with a NUL: the file ends with an empty line not counted.
        if (link.endMarkFlag) break;
        ++lines;
    }
    link.closePort();
    return saveExtracted(link, path, text, "Form " + quoted(name) + " successfully extracted",
                         std::to_string(lines) + " lines saved to " + path.string());
}

ExtractResult extractObjectToFile(PrinterLink& link, int kind, std::string_view name,
                                  const std::filesystem::path& path) {
    const bool font = kind == kListFonts;
    if (!link.openPort()) return {};
    if (!link.writeFormatted("\r\n%s%s\r\n", font ? "EI" : "GI", quoted(name).c_str())) {
        link.closePort();
        return {};
    }
    link.showProgress((font ? "Extracting font " : "Extracting graphics ") + quoted(name));
    std::array<std::uint8_t, 2> length{};
    if (link.readBytes(length) < length.size()) {
        fail(link);
        return {};
    }
    std::string bytes(static_cast<std::size_t>(length[0]) << 8 | length[1], '\0');
    if (link.readBytes({reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()}) < bytes.size()) {
        fail(link);
        return {};
    }
    link.closePort();
    if (bytes.empty()) {
        // The printer answers an unknown name with no data: nothing to save.
        link.ui().showProgressError("Error", quoted(name) + " is not in the printer");
        return {};
    }
    return saveExtracted(link, path, bytes,
                         (font ? "Font " : "PCX file ") + quoted(name) + " successfully extracted",
                         std::to_string(bytes.size()) + " bytes saved to " + path.string());
}

}  // namespace tavrin
