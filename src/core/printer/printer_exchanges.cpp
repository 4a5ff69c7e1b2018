#include "printer/printer_exchanges.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "common/text.h"
#include "document/safe_file.h"

namespace tavrin {

namespace {

// Reply buffers, as characters per line including room for the end.
constexpr std::size_t kMemoryLineSize = 32;
constexpr std::size_t kCountLineSize = 16;
constexpr std::size_t kNameLineSize = 32;
constexpr std::size_t kFormLineSize = 250;
constexpr std::size_t kClockLineSize = 31;
// A form reply that goes on longer than this is not a form.
constexpr int kMaxFormLines = 65536;
// More than any printer holds; only a damaged count gets near it.
constexpr int kMaxListCount = 65535;
// Two length bytes cannot announce more.
constexpr std::size_t kMaxBlock = 0xFFFF;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

Result portFailure(const PrinterLink& link) {
    return Result::failure(FailureKind::PortClosed,
                           std::string(kOpenPortFailed) + " " + link.portDevice(link.settings().portIndex));
}

// Opens the port (or keeps the open one) and sends one command.
Result openAndSend(PrinterLink& link, std::string_view command) {
    if (!link.openPort()) return portFailure(link);
    if (!link.writeText(command)) return link.status();
    return Result::success();
}

// Closes the port after an exchange without a progress window. A device that delivers on
// close (a print queue) may fail only then.
Result closeAfter(PrinterLink& link, Result result) {
    link.closePort();
    return result ? link.status() : result;
}

// The failure of an exchange that had shown its progress window: the port closes, the
// window turns into the error.
Result failed(PrinterLink& link) {
    Result failure = link.status();
    link.closePort();
    link.endProgress();
    return failure;
}

// The port is closed before the file is written; the progress window then turns into the
// report, with its OK button.
Result saveExtracted(PrinterLink& link, const std::filesystem::path& path, std::string_view bytes,
                     const std::string& title, const std::string& text) {
    if (!replaceFileContents(path, bytes)) {
        link.ui().showProgressError("Error", "Can't open output file");
        return Result::failure(FailureKind::CannotWrite, "Can't open output file");
    }
    link.ui().showProgressError(title, text);
    return Result::success();
}

}  // namespace

const char* listKindWord(int kind) {
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

Result endExchange(PrinterLink& link) {
    link.closePort();
    link.endProgress();
    return link.status();
}

int parseListCount(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    long long value = 0;
    for (; i < line.size() && isDigit(line[i]); ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > kMaxListCount) value = kMaxListCount;
    }
    return negative ? 0 : static_cast<int>(value);
}

std::string listCommand(int kind) {
    switch (kind) {
        case kListGraphics: return "\r\nUG\r\n";
        case kListFonts: return "\r\nUE\r\n";
        default: return "\r\nUF\r\n";
    }
}

Result receiveNameList(PrinterLink& link, std::string_view command, std::vector<std::string>& names, bool trim) {
    if (!link.writeText(command)) return link.status();
    std::string line;
    link.readLine(line, kCountLineSize);
    if (link.silent()) return link.status();
    const int count = parseListCount(line);
    for (int i = 0; i < count; ++i) {
        link.readLine(line, kNameLineSize);
        if (link.silent()) return link.status();
        // The end mark closes the list even when fewer names came than announced.
        if (link.atEndMark()) break;
        names.push_back(trim ? std::string(trimBlanks(line)) : line);
    }
    return Result::success();
}

Result readLengthPrefixedBlock(PrinterLink& link, std::size_t minimum, std::size_t maximum,
                               std::vector<std::uint8_t>& block) {
    block.clear();
    std::array<std::uint8_t, 2> lengthBytes{};
    if (link.readBytes(lengthBytes) < lengthBytes.size()) return link.status();
    const std::size_t length = static_cast<std::size_t>(lengthBytes[0]) << 8 | lengthBytes[1];
    if (length < minimum || length > maximum) {
        // Read to its end in small pieces, so that nothing is held for a block refused anyway.
        std::array<std::uint8_t, 256> sink{};
        for (std::size_t left = length; left > 0;) {
            const std::size_t chunk = std::min(left, sink.size());
            if (link.readBytes(std::span(sink).first(chunk)) < chunk) return link.status();
            left -= chunk;
        }
        return Result::failure(FailureKind::Damaged, "The printer's reply is not a stored object");
    }
    std::vector<std::uint8_t> bytes(length);
    if (link.readBytes(bytes) < length) return link.status();
    block = std::move(bytes);
    return Result::success();
}

MemoryFigures parseMemoryLine(std::string_view line) {
    MemoryFigures figures;
    std::array<unsigned*, 4> fields = {&figures.forms, &figures.graphics, &figures.fonts, &figures.free};
    std::size_t at = 0;
    for (unsigned* field : fields) {
        while (at < line.size() && line[at] == ' ') ++at;
        unsigned long long value = 0;
        bool digits = false;
        for (; at < line.size() && isDigit(line[at]); ++at) {
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

Result receiveMemory(PrinterLink& link, std::string& line, MemoryFigures& memory) {
    line.clear();
    Result result = openAndSend(link, "\r\nUM\r\n");
    if (result) {
        link.readLine(line, kMemoryLineSize);
        result = link.status();
    }
    result = closeAfter(link, std::move(result));
    if (result) memory = parseMemoryLine(line);
    return result;
}

std::string objectListCaption(int kind, std::size_t count) {
    return std::string(listKindWord(kind)) + " list - " + std::to_string(count) + " object" + (count == 1 ? "" : "s");
}

std::string memoryLine(int kind, const MemoryFigures& memory) {
    const unsigned used = kind == kListGraphics ? memory.graphics : kind == kListFonts ? memory.fonts : memory.forms;
    return std::to_string(used) + " bytes , " + std::to_string(memory.free) + " free";
}

Result receiveObjectList(PrinterLink& link, int kind, ObjectList& list) {
    link.showProgress(listProgressText(kind));
    list = ObjectList{kind, {}, {}};
    if (!link.openPort()) {
        const Result failure = portFailure(link);
        failed(link);
        return failure;
    }
    if (!link.writeText("\r\nUM\r\n")) return failed(link);
    std::string line;
    link.readLine(line, kMemoryLineSize);
    if (link.silent()) return failed(link);
    list.memory = parseMemoryLine(line);
    if (!receiveNameList(link, listCommand(kind), list.names, false)) return failed(link);
    return endExchange(link);
}

std::string deleteLine(int kind, std::string_view name) {
    const char* command = kind == kListGraphics ? "GK" : kind == kListFonts ? "EK" : "FK";
    return "\r\n" + std::string(command) + inQuotes(name) + "\r\n";
}

std::string selectFormLine(std::string_view name) { return "\r\nFR" + inQuotes(name) + "\r\n"; }

Result deleteObject(PrinterLink& link, int kind, std::string_view name) {
    return openAndSend(link, deleteLine(kind, name));
}

Result extractFormToFile(PrinterLink& link, std::string_view name, const std::filesystem::path& path,
                         int day, int month, int year) {
    if (Result sent = openAndSend(link, "\r\nFI" + inQuotes(name) + "\r\n"); !sent) {
        link.closePort();
        return sent;
    }
    link.showProgress("Extracting form " + inQuotes(name));
    char header[64];
    std::snprintf(header, sizeof header, "; Saved by TAVRIN label editor on %02d-%02d-%04d\r\n", day, month, year);
    std::string text = header;
    unsigned lines = 0;
    std::string line;
    for (int read = 0; read < kMaxFormLines; ++read) {
        link.readLine(line, kFormLineSize);
        if (link.silent()) return failed(link);
        text += line + "\r\n";
        // The printer ends a form with a NUL: the file ends with an empty line not counted.
        if (link.atEndMark()) break;
        ++lines;
    }
    link.closePort();
    return saveExtracted(link, path, text, "Form " + inQuotes(name) + " successfully extracted",
                         std::to_string(lines) + " lines saved to " + path.string());
}

Result extractObjectToFile(PrinterLink& link, int kind, std::string_view name, const std::filesystem::path& path) {
    const bool font = kind == kListFonts;
    if (Result sent = openAndSend(link, std::string(font ? "\r\nEI" : "\r\nGI") + inQuotes(name) + "\r\n"); !sent) {
        link.closePort();
        return sent;
    }
    link.showProgress((font ? "Extracting font " : "Extracting graphics ") + inQuotes(name));
    std::vector<std::uint8_t> bytes;
    if (!readLengthPrefixedBlock(link, 0, kMaxBlock, bytes)) return failed(link);
    link.closePort();
    if (bytes.empty()) {
        // The printer answers an unknown name with no data: nothing to save.
        const std::string text = inQuotes(name) + " is not in the printer";
        link.ui().showProgressError("Error", text);
        return Result::failure(FailureKind::Invalid, text);
    }
    return saveExtracted(link, path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()},
                         (font ? "Font " : "PCX file ") + inQuotes(name) + " successfully extracted",
                         std::to_string(bytes.size()) + " bytes saved to " + path.string());
}

Result fetchFontBytes(PrinterLink& link, std::string_view name, std::vector<std::uint8_t>& data) {
    if (Result sent = openAndSend(link, "\r\nEI" + inQuotes(name) + "\r\n"); !sent) {
        link.closePort();
        return sent;
    }
    link.showProgress("Extracting font " + inQuotes(name));
    // An oversized reply is refused by the font check, not cut short here.
    const Result read = readLengthPrefixedBlock(link, 0, kMaxBlock, data);
    const Result ended = endExchange(link);
    link.letEventsRun();
    return read ? ended : read;
}

std::string clockSetLine(int year, int month, int day, int hour, int minute, int second) {
    char line[64];
    std::snprintf(line, sizeof line, "\r\nTS%02u,%02u,%02u,%02u,%02u,%02u\r\n", unsigned(month), unsigned(day),
                  unsigned(year % 100), unsigned(hour), unsigned(minute), unsigned(second));
    return line;
}

Result setClock(PrinterLink& link, int year, int month, int day, int hour, int minute, int second) {
    return closeAfter(link, openAndSend(link, clockSetLine(year, month, day, hour, minute, second)));
}

Result readClock(PrinterLink& link, std::string& reply) {
    reply.clear();
    Result result = openAndSend(link, "\r\nTI\r\n");
    if (result) {
        link.readLine(reply, kClockLineSize);
        result = link.status();
    }
    return closeAfter(link, std::move(result));
}

Result sendMaintenance(PrinterLink& link, Maintenance command) {
    const char* text = "";
    switch (command) {
        case Maintenance::DiagnosticPrint: text = "\r\nU\r\n"; break;
        case Maintenance::FormsListPrint: text = "\r\nFI\r\n"; break;
        case Maintenance::GraphicsListPrint: text = "\r\nGI\r\n"; break;
        case Maintenance::FontsListPrint: text = "\r\nEI\r\n"; break;
        case Maintenance::DefaultParameters: text = "\r\nRESET\r\n"; break;
        case Maintenance::EraseMemory: text = "\r\n\nM\r\nN\r\n"; break;
    }
    return closeAfter(link, openAndSend(link, text));
}

}  // namespace tavrin
