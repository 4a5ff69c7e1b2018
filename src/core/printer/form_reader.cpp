#include "printer/form_reader.h"

#include <algorithm>

#include "printer/line_scanner.h"
#include "render/barcode/barcode.h"
#include "common/text.h"

namespace tavrin {

namespace {

// Text and barcode positions may reach one dot further left than the other figures.
constexpr int kTextPositionMin = -2047;
constexpr int kPositionMin = -2046;
constexpr int kPositionMax = 2047;
constexpr int kMaxFormatLength = 15;
constexpr int kMaxVariableLength = 32;

bool inRange(int value, int low, int high) { return value >= low && value <= high; }

// A signed position followed by `separator` ('\0' for the end of the line).
bool position(LineScanner& s, int low, int& out, char separator) {
    out = s.scanSigned();
    if (!inRange(out, low, kPositionMax)) return false;
    return separator == '\0' ? s.atEnd() : s.take(separator);
}

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A number that must be the whole rest of the line.
bool wholeUnsigned(std::string_view line, std::size_t start, unsigned high, unsigned& out) {
    LineScanner s(line, start);
    out = s.scanUnsigned();
    return s.atEnd() && out <= high;
}

}  // namespace

PictureResolver FormReader::nameListResolver(std::vector<std::string> graphicsNames) {
    for (auto& name : graphicsNames) name = std::string(trimBlanks(name));
    return [names = std::move(graphicsNames)](const std::string& name) -> std::optional<ResolvedPicture> {
        if (std::find(names.begin(), names.end(), name) == names.end()) return std::nullopt;
        return ResolvedPicture{};
    };
}

bool FormReader::readFormLine(std::string_view line) {
    if (line.empty()) return false;
    const char first = line[0];
    if (first < ';' || first > 'q') return false;
    LabelSetup& setup = document_.setup;
    unsigned value = 0;
    switch (first) {
        case 'A': return readText(line);
        case 'B': return readBarcode(line);
        case 'C': return readDefinition(line, true);
        case 'V': return readDefinition(line, false);
        case 'D':
            if (!wholeUnsigned(line, 1, 15, value)) return false;
            setup.darkness = static_cast<int>(value);
            return true;
        case 'G': return readPicture(line);
        case 'L': return readLineCommand(line);
        case 'Q': return readLength(line);
        case 'S':
            if (!wholeUnsigned(line, 1, 6, value)) return false;
            setup.speed = static_cast<int>(value);
            return true;
        case 'T': {
            if (line.size() < 2 || (line[1] != 'D' && line[1] != 'T')) return false;
            const std::string format(line.substr(2, kMaxFormatLength));
            (line[1] == 'D' ? setup.dateFormat : setup.timeFormat) = format;
            return true;
        }
        case 'X': return readBox(line);
        case 'Z':
            if (line == "ZT") setup.orientation = 0;
            else if (line == "ZB") setup.orientation = 1;
            else return false;
            return true;
        case 'j':
            if (line == "j0") setup.normalText = 1;
            else if (line == "j1") setup.normalText = 0;
            else return false;
            return true;
        case 'q':
            if (!wholeUnsigned(line, 1, 608, value)) return false;
            setup.width = static_cast<int>(value);
            return true;
        default: return false;
    }
}

bool FormReader::readText(std::string_view line) {
    LineScanner s(line, 1);
    TextRecord t;
    if (!position(s, kTextPositionMin, t.x, ',') || !position(s, kTextPositionMin, t.y, ',')) return false;
    const unsigned rotation = s.scanUnsigned();
    if (rotation > 3 || !s.take(',')) return false;
    t.rotation = static_cast<int>(rotation);
    const char font = s.next();
    if (isLetter(font)) t.font = upper(font);  // the letter's code until the font is known
    else if (font >= '1' && font <= '5') t.font = font - '0';
    else return false;
    if (!s.take(',')) return false;
    t.hMul = s.scanSigned();
    if (!inRange(t.hMul, 1, 8) || !s.take(',')) return false;
    t.vMul = s.scanSigned();
    if (!inRange(t.vMul, 1, 8) || !s.take(',')) return false;
    static constexpr std::string_view kStyles = "NRBW";
    const auto style = kStyles.find(s.next());
    if (style == std::string_view::npos || !s.take(',')) return false;
    t.style = static_cast<int>(style);
    t.data = std::string(s.rest().substr(0, TextRecord::kMaxData));
    t.drawnWidth = 0;
    document_.figures.appendFigure(t.encode(), FigureKind::Text);
    return true;
}

bool FormReader::readBarcode(std::string_view line) {
    LineScanner s(line, 1);
    BarcodeRecord b;
    if (!position(s, kTextPositionMin, b.x, ',') || !position(s, kTextPositionMin, b.y, ',')) return false;
    const unsigned rotation = s.scanUnsigned();
    if (rotation > 3 || !s.take(',')) return false;
    b.rotation = static_cast<int>(rotation);
    std::string_view code;
    if (!s.takeUntil(',', code)) return false;
    const int type = barcode::symbologyByPrinterCode(code);
    if (type < 0) return false;
    b.type = type;
    s.take(',');
    b.narrow = s.scanSigned();
    if (!inRange(b.narrow, 1, 8) || !s.take(',')) return false;
    b.wide = s.scanSigned();
    if (!inRange(b.wide, 1, 8) || !s.take(',')) return false;
    const unsigned height = s.scanUnsigned();
    if (height > 255 || !s.take(',')) return false;
    b.height = static_cast<int>(height);
    const char readable = s.next();
    if (readable == 'N') {
        b.humanReadable = 0;
    } else if (readable == 'B') {
        static constexpr std::string_view kPlaces = "LCR";
        const auto place = kPlaces.find(s.peek());
        if (place != std::string_view::npos) {
            s.next();
            b.humanReadable = static_cast<int>(place) + 1;
        } else {
            b.humanReadable = 1;
        }
    } else {
        return false;
    }
    if (!s.take(',')) return false;
    b.data = std::string(s.rest().substr(0, BarcodeRecord::kMaxData));
    b.barLength = b.totalLength = 0;
    document_.figures.appendFigure(b.encode(), FigureKind::Barcode);
    return true;
}

// V<slot>,<length>,<justification>[pad],"prompt" and, for counters, a signed step before
// the prompt. The prompt runs from the first quote to the quote that ends the line, so a
// prompt holding a quote (written as it stands) reads back whole.
bool FormReader::readDefinition(std::string_view line, bool counter) {
    LineScanner s(line, 1);
    const unsigned slot = s.scanUnsigned();
    if (!s.take(',') || slot > (counter ? kCounterCount : kVariableCount) - 1u) return false;
    const unsigned length = s.scanUnsigned();
    if (!s.take(',') || length > static_cast<unsigned>(kMaxVariableLength)) return false;
    static constexpr std::string_view kLetters = "NLCR";
    const auto justification = kLetters.find(s.next());
    if (justification == std::string_view::npos) return false;
    // No pad when a comma follows at once and the next field starts after it (the
    // prompt's quote, or a counter's step); so even a comma can be the pad.
    char pad = ' ';
    LineScanner look = s;
    const char afterComma = look.take(',') ? look.peek() : '\0';
    const bool noPad = counter ? (afterComma == '+' || afterComma == '-' || (afterComma >= '0' && afterComma <= '9'))
                               : afterComma == '"';
    if (!noPad) {
        pad = s.next();
        if (pad == '\0') return false;
    }
    if (!s.take(',')) return false;
    int step = 0;
    if (counter) {
        step = s.scanSigned();
        if (!inRange(step, -128, 127) || !s.take(',')) return false;
    }
    if (!s.take('"')) return false;
    const std::string_view rest = s.rest();
    if (rest.empty() || rest.back() != '"') return false;
    const std::string_view prompt = rest.substr(0, rest.size() - 1);
    if (prompt.size() > kPromptWidth - 1) return false;

    Variable& v = counter ? document_.counters[slot] : document_.variables[slot];
    v.define(static_cast<int>(length), static_cast<int>(justification), pad, prompt, step);
    return true;
}

bool FormReader::readPicture(std::string_view line) {
    if (line.size() < 2 || line[1] != 'G') return false;
    LineScanner s(line, 2);
    PictureRecord p;
    if (!position(s, kPositionMin, p.x, ',') || !position(s, kPositionMin, p.y, ',')) return false;
    if (!s.take('"')) return false;
    std::string name;
    for (;;) {
        if (s.atEnd()) return false;  // no closing quote
        char c = s.next();
        if (c == '"') break;
        if (c == '\\') {
            if (s.atEnd()) return false;
            c = s.next();
        }
        name.push_back(c);
    }
    if (!s.atEnd() || !resolver_) return false;
    const auto resolved = resolver_(name);
    if (!resolved) return false;
    p.name = name.substr(0, PictureRecord::kNameWidth - 1);
    p.width = resolved->width;
    p.height = resolved->height;
    p.dataLength = resolved->block ? static_cast<unsigned>(resolved->block->bytes.size()) : 0;
    Figure& figure = document_.figures.appendFigure(p.encode(), FigureKind::Picture);
    figure.picture = resolved->block;
    return true;
}

bool FormReader::readLineCommand(std::string_view line) {
    if (line.size() < 2) return false;
    if (line[1] == 'S') {
        LineScanner s(line, 2);
        LineRecord l;
        if (!position(s, kPositionMin, l.x1, ',') || !position(s, kPositionMin, l.y1, ',')) return false;
        const unsigned thickness = s.scanUnsigned();
        static constexpr std::string_view kColours = "OEW";
        const auto colour = kColours.find(s.peek());
        l.colour = 0;
        if (colour != std::string_view::npos) {
            s.next();
            l.colour = static_cast<int>(colour);
        }
        if (!s.take(',') || thickness > 80) return false;
        l.thickness = static_cast<int>(thickness);
        if (!position(s, kPositionMin, l.x2, ',') || !position(s, kPositionMin, l.y2, '\0')) return false;
        document_.figures.appendFigure(l.encode(), FigureKind::DiagonalLine);
        return true;
    }
    static constexpr std::string_view kColours = "OEW";
    const auto colour = kColours.find(line[1]);
    if (colour == std::string_view::npos) return false;
    LineScanner s(line, 2);
    RectangleRecord r;
    r.colour = static_cast<int>(colour);
    if (!position(s, kPositionMin, r.x, ',') || !position(s, kPositionMin, r.y, ',')) return false;
    const unsigned width = s.scanUnsigned();
    if (width > 2047 || !s.take(',')) return false;
    const unsigned height = s.scanUnsigned();
    if (height > 2047 || !s.atEnd()) return false;
    r.width = static_cast<int>(width);
    r.height = static_cast<int>(height);
    document_.figures.appendFigure(r.encode(), FigureKind::Rectangle);
    return true;
}

bool FormReader::readLength(std::string_view line) {
    LineScanner s(line, 1);
    const unsigned length = s.scanUnsigned();
    if (!s.take(',') || length > 1650) return false;
    const int paperType = s.take('B') ? 1 : 0;
    const unsigned gap = s.scanUnsigned();
    if (gap > 120) return false;
    int offset = 0;
    if (!s.atEnd()) {
        offset = s.scanSigned();
        if (!inRange(offset, -80, 80) || !s.atEnd()) return false;
    }
    LabelSetup& setup = document_.setup;
    setup.length = static_cast<int>(length);
    setup.labelGap = static_cast<int>(gap);
    setup.offset = offset;
    setup.paperType = paperType;
    return true;
}

bool FormReader::readBox(std::string_view line) {
    LineScanner s(line, 1);
    BoxRecord b;
    if (!position(s, kPositionMin, b.x1, ',') || !position(s, kPositionMin, b.y1, ',')) return false;
    const unsigned thickness = s.scanUnsigned();
    if (thickness > 80 || !s.take(',')) return false;
    b.thickness = static_cast<int>(thickness);
    if (!position(s, kPositionMin, b.x2, ',') || !position(s, kPositionMin, b.y2, '\0')) return false;
    document_.figures.appendFigure(b.encode(), FigureKind::Box);
    return true;
}

}  // namespace tavrin
