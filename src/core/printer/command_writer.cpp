#include "printer/command_writer.h"

#include <cstdarg>
#include <cstdio>

#include "render/barcode/barcode.h"

namespace tavrin {

namespace {

__attribute__((format(printf, 1, 2))) std::string formatted(const char* format, ...) {
    char buffer[256];
    va_list arguments;
    va_start(arguments, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < sizeof buffer) return std::string(buffer, static_cast<std::size_t>(n));
    // Longer than any piece this language has; format again at full size.
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    va_start(arguments, format);
    std::vsnprintf(out.data(), out.size(), format, arguments);
    va_end(arguments);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

// The printer's numbers that are never negative are written as unsigned, as stored.
unsigned asUnsigned(int value) { return static_cast<unsigned>(value); }

// Justification letter, then the pad character when it means something.
std::string justificationPiece(const Variable& slot) {
    static constexpr char kLetters[] = {'N', 'L', 'C', 'R'};
    const int justification = slot.justification < 4 ? slot.justification : 0;
    std::string piece(1, kLetters[justification]);
    if (justification != kJustifyNone && slot.padChar != ' ' && slot.padChar != '\0')
        piece.push_back(slot.padChar);
    return piece;
}

std::string quotedPromptLine(const Variable& slot) { return ",\"" + slot.promptText() + "\"\r\n"; }

std::optional<std::string> textLine(const Figure& figure, const FigureList& figures) {
    const TextRecord t = TextRecord::decode(figure.record);
    std::string fontPiece;
    bool softFont = false;
    if (t.font >= 1 && t.font <= 5) {
        fontPiece = formatted("%d,", t.font);
    } else if (const Figure* font = figures.softFontByNumber(t.font)) {
        fontPiece = std::string(1, FontRecord::decode(font->record).letter) + ",";
        softFont = true;
    } else if (t.font >= 'A' && t.font <= 'Z') {
        // A form read back without its fonts keeps the font's letter here.
        fontPiece = std::string(1, static_cast<char>(t.font)) + ",";
        softFont = true;
    } else {
        return std::nullopt;
    }
    static constexpr char kStyles[] = {'N', 'R', 'B', 'W'};
    const char style = softFont ? 'N' : kStyles[t.style & 3];
    return formatted("A%d,%d,%d,", t.x, t.y, t.rotation) + fontPiece +
           formatted("%d,%d,", t.hMul, t.vMul) + style + "," + t.data + "\r\n";
}

std::optional<std::string> barcodeLine(const Figure& figure) {
    const BarcodeRecord b = BarcodeRecord::decode(figure.record);
    const std::string_view code = barcode::symbology(b.type).printerCode;
    if (code.empty()) return std::nullopt;
    static constexpr const char* kReadable[] = {"N", "B", "BC", "BR"};
    const char* readable = b.humanReadable >= 0 && b.humanReadable <= 3 ? kReadable[b.humanReadable] : "N";
    return formatted("B%d,%d,%d,", b.x, b.y, b.rotation) + std::string(code) + "," +
           formatted("%d,%d,%d,", b.narrow, b.wide, b.height) + readable + "," + b.data + "\r\n";
}

std::string rectangleLine(const Figure& figure) {
    const RectangleRecord r = RectangleRecord::decode(figure.record);
    const char* command = r.colour == kColourInverse ? "LE" : r.colour == kColourWhite ? "LW" : "LO";
    return command + formatted("%d,%d,", r.x, r.y) + formatted("%d,%d\r\n", r.width, r.height);
}

std::string diagonalLine(const Figure& figure) {
    const LineRecord l = LineRecord::decode(figure.record);
    const char* colour = l.colour == kColourInverse ? "E" : l.colour == kColourWhite ? "W" : "";
    return formatted("LS%d,%d,", l.x1, l.y1) + formatted("%u", asUnsigned(l.thickness)) + colour +
           formatted(",%d,%d\r\n", l.x2, l.y2);
}

std::string boxLine(const Figure& figure) {
    const BoxRecord b = BoxRecord::decode(figure.record);
    return formatted("X%d,%d,%u,", b.x1, b.y1, asUnsigned(b.thickness)) + formatted("%d,%d\r\n", b.x2, b.y2);
}

std::string pictureLine(const Figure& figure, PictureLineEnd end) {
    const PictureRecord p = PictureRecord::decode(figure.record);
    return formatted("GG%d,%d,\"", p.x, p.y) + p.name + (end == PictureLineEnd::Lf ? "\"\n" : "\"\r\n");
}

}  // namespace

std::string variableDefinitionLine(int slot, const Variable& variable) {
    return formatted("V%02d,%02d,", slot, variable.length) + justificationPiece(variable) +
           quotedPromptLine(variable);
}

std::string counterDefinitionLine(int slot, const Counter& counter) {
    return formatted("C%02d,%02d,", slot, counter.length) + justificationPiece(counter) +
           formatted(",%+d", counter.counterStep()) + quotedPromptLine(counter);
}

std::string numberLines(const LabelSetup& setup, unsigned speedValue) {
    return formatted("D%u\r\nS%u\r\nI%u\r\n", asUnsigned(setup.darkness), speedValue,
                     asUnsigned(setup.language));
}

std::string directionLine(const LabelSetup& setup) { return setup.orientation == 1 ? "ZB\r\n" : "ZT\r\n"; }

std::string formatLines(const LabelSetup& setup) {
    return "TD" + setup.dateFormat + "\r\nTT" + setup.timeFormat + "\r\n";
}

std::string lengthAndWidthLines(const LabelSetup& setup) {
    std::string out = setup.paperType == 1
                          ? formatted("Q%u,B%u", asUnsigned(setup.length), asUnsigned(setup.labelGap))
                          : formatted("Q%u,%u", asUnsigned(setup.length), asUnsigned(setup.labelGap));
    if (setup.offset > 0) out += formatted("+%d", setup.offset);
    if (setup.offset < 0) out += formatted("%d", setup.offset);
    return out + formatted("\r\nq%u\r\n", asUnsigned(setup.width));
}

std::string referencePointLine(const LabelSetup& setup) {
    return formatted("R%d,%d\r\n", setup.leftMargin, setup.topMargin);
}

std::optional<std::string> figureLine(const Figure& figure, const FigureList& figures, PictureLineEnd pictureEnd) {
    switch (figure.kind) {
        case FigureKind::Text: return textLine(figure, figures);
        case FigureKind::Barcode: return barcodeLine(figure);
        case FigureKind::Rectangle: return rectangleLine(figure);
        case FigureKind::DiagonalLine: return diagonalLine(figure);
        case FigureKind::Box: return boxLine(figure);
        case FigureKind::Picture: return pictureLine(figure, pictureEnd);
        case FigureKind::Font: return std::nullopt;
    }
    return std::nullopt;
}

std::array<std::uint8_t, 128> pcxHeaderForPicture(int width, int height, unsigned bytesPerRow) {
    std::array<std::uint8_t, 128> h{};
    auto put16 = [&h](std::size_t offset, int value) {
        const auto v = static_cast<std::uint16_t>(value);
        h[offset] = static_cast<std::uint8_t>(v & 0xFF);
        h[offset + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    h[0] = 10;  // manufacturer
    h[1] = 5;   // version
    h[2] = 1;   // run-length encoding
    h[3] = 1;   // bits per pixel
    put16(8, width - 1);
    put16(10, height - 1);
    put16(12, 150);
    put16(14, 150);
    h[19] = h[20] = h[21] = 255;  // second palette entry: white
    h[65] = 1;                    // planes
    put16(66, static_cast<int>(bytesPerRow));
    h[68] = 1;  // palette information
    return h;
}

bool CommandWriter::send(std::string_view text) {
    return send(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool CommandWriter::send(std::span<const std::uint8_t> bytes) {
    if (ok_ && !bytes.empty()) ok_ = sink_.write(bytes);
    return ok_;
}

void CommandWriter::pause(PrinterPause pause) {
    if (ok_) sink_.pause(pause);
}

void CommandWriter::progress(std::string_view text) {
    if (ok_) sink_.progress(text);
}

bool CommandWriter::writeVarCounterLines(const LabelDocument& document) {
    for (int i = 0; i < kVariableCount; ++i) {
        const Variable& v = document.variables[static_cast<std::size_t>(i)];
        if (v.isDefined() && !send(variableDefinitionLine(i, v))) return false;
    }
    for (int i = 0; i < kCounterCount; ++i) {
        const Counter& c = document.counters[static_cast<std::size_t>(i)];
        if (c.isDefined() && !send(counterDefinitionLine(i, c))) return false;
    }
    return ok_;
}

bool CommandWriter::writeFigureLines(const FigureList& figures, PictureLineEnd pictureEnd) {
    for (const Figure& figure : figures) {
        const auto line = figureLine(figure, figures, pictureEnd);
        if (line && !send(*line)) return false;
    }
    return ok_;
}

}  // namespace tavrin
