#include "render/text_drawing.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "document/label_document.h"
#include "render/resident_font.h"
#include "render/text_data.h"

namespace tavrin {
namespace {

// A glyph is drawn only when its expanded size fits the glyph buffer (512 dots less room
// for the margins); larger glyphs still move the pen.
constexpr int kMaxExpandedDots = 508;
constexpr int kGlyphBufferRows = 512;
constexpr int kGlyphBufferStride = 64;

// One glyph in the fonts' own layout: rows top to bottom, MSB leftmost, 1 = ink.
struct Glyph {
    const std::uint8_t* bits = nullptr;
    int width = 0;        // W: dots per stored row that are drawn
    int height = 0;       // h
    int bytesPerRow = 0;
    int advanceWidth = 0; // resident: w; soft: the character's own width
};

// The font one text is drawn in, resolved once per text.
struct FontChoice {
    bool soft = false;
    int font = 3;
    int language = 0;
    int height = 0;
    const ResidentFonts* resident = nullptr;
    std::span<const std::uint8_t> softData;
    std::array<int, 256> softRecord{};  // offset of the first record of each code, -1 none
};

// Indexes the character records of label font data, stopping at the first record that
// would run past the end so that damaged data is never read beyond its size.
void indexSoftFont(FontChoice& choice) {
    choice.softRecord.fill(-1);
    const auto data = choice.softData;
    if (data.size() < 3) return;
    const int count = data[0];
    const std::size_t height = data[2];
    choice.height = data[2];
    std::size_t at = 3;
    for (int i = 0; i < count; ++i) {
        if (at + 3 > data.size()) break;
        const std::size_t size = 3 + static_cast<std::size_t>(data[at + 2]) * height;
        if (size > data.size() - at) break;
        int& slot = choice.softRecord[data[at]];
        if (slot < 0) slot = static_cast<int>(at);
        at += size;
    }
}

bool chooseFont(const RenderContext& context, int font, FontChoice& choice) {
    const LabelDocument* document = context.document;
    choice.language = document ? document->setup.language : 0;
    if (font >= 6) {
        if (document == nullptr) return false;
        const Figure* entry = document->figures.softFontByNumber(font);
        if (entry == nullptr) return false;
        const Figure* softFont = document->figures.fontByLetter(FontRecord::decode(entry->record).letter);
        if (softFont == nullptr) return false;
        choice.soft = true;
        choice.softData = softFont->fontData;
        indexSoftFont(choice);
        return true;
    }
    choice.font = font >= 1 && font <= kResidentFontCount ? font : 3;
    choice.resident = context.residentFonts;
    choice.height = residentFontInfo(choice.font).cellHeight;
    return true;
}

// Finds the glyph of character c; false when a soft font lacks it. Emboldened glyphs are
// built in scratch.
bool lookupGlyph(const FontChoice& choice, std::uint8_t c, bool bold, std::array<std::uint8_t, 256>& scratch,
                 Glyph& glyph) {
    if (choice.soft) {
        const int at = choice.softRecord[c];
        if (at < 0) return false;
        const auto* record = choice.softData.data() + at;
        glyph.advanceWidth = record[1];
        glyph.bytesPerRow = record[2];
        glyph.width = record[2] * 8;
        glyph.height = choice.height;
        glyph.bits = record + 3;
        return true;
    }
    const ResidentFontInfo& info = residentFontInfo(choice.font);
    glyph.width = glyph.advanceWidth = info.cellWidth;
    glyph.height = info.cellHeight;
    glyph.bytesPerRow = info.bytesPerRow;
    const std::size_t size = static_cast<std::size_t>(info.bytesPerGlyph);
    std::span<const std::uint8_t> source;
    if (choice.resident != nullptr) source = choice.resident->glyph(choice.font, choice.language, c);
    if (source.size() < size) {
        std::fill(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(size), 0);
        glyph.bits = scratch.data();
        return true;  // no font data: a blank cell, as every byte has a glyph
    }
    if (!bold) {
        glyph.bits = source.data();
        return true;
    }
    // Each row ORed with itself one dot to the right, carrying across its bytes.
    for (int row = 0; row < info.cellHeight; ++row) {
        unsigned carry = 0;
        for (int k = 0; k < info.bytesPerRow; ++k) {
            const std::size_t i = static_cast<std::size_t>(row * info.bytesPerRow + k);
            const unsigned b = source[i];
            scratch[i] = static_cast<std::uint8_t>(b | (b >> 1) | carry);
            carry = (b & 1u) << 7;
        }
    }
    glyph.bits = scratch.data();
    return true;
}

// The glyph turned and multiplied along its rows into the glyph buffer (1 = ink here; the
// margins are added where the cell is placed).
struct Expanded {
    int rows = 0;         // R
    int rowDots = 0;      // glyph dots per row after expansion: L x expand
    int expand = 1;       // e: the multiplier along buffer rows (one margin unit)
    int repeat = 1;       // r: how often each row is repeated
    int cellWidth = 0;    // (L + 2) x expand
    int cellHeight = 0;   // (R + 2) x repeat
};

class GlyphBuffer {
public:
    GlyphBuffer() : bits_(static_cast<std::size_t>(kGlyphBufferRows) * kGlyphBufferStride) {}
    const std::uint8_t* row(int i) const { return bits_.data() + static_cast<std::size_t>(i) * kGlyphBufferStride; }

    // Fills rows 0..R-1; the caller has checked that the expanded glyph fits.
    void build(const Glyph& g, int rotation, int hMul, int vMul, Expanded& out) {
        const bool across = rotation == 1 || rotation == 3;  // rows are glyph columns
        out.rows = across ? g.width : g.height;
        const int dotsPerRow = across ? g.height : g.width;
        out.expand = across ? vMul : hMul;
        out.repeat = across ? hMul : vMul;
        out.rowDots = dotsPerRow * out.expand;
        out.cellWidth = (dotsPerRow + 2) * out.expand;
        out.cellHeight = (out.rows + 2) * out.repeat;
        const int usedBytes = (out.rowDots + 7) / 8;
        for (int i = 0; i < out.rows; ++i) std::fill(rowMut(i), rowMut(i) + usedBytes, 0);
        const auto stride = static_cast<std::size_t>(g.bytesPerRow);
        if (rotation == 0 && out.expand == 1) {
            for (int i = 0; i < out.rows; ++i) {
                std::copy(g.bits + static_cast<std::size_t>(i) * stride,
                          g.bits + static_cast<std::size_t>(i) * stride + static_cast<std::size_t>(usedBytes), rowMut(i));
                if (out.rowDots & 7)
                    rowMut(i)[usedBytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - (out.rowDots & 7)));
            }
            return;
        }
        // Walk the glyph's ink dot by dot, whole blank bytes at once, and place each dot as a
        // run of `expand` dots in the buffer row the rotation sends it to.
        for (int r = 0; r < g.height; ++r) {
            const std::uint8_t* src = g.bits + static_cast<std::size_t>(r) * stride;
            for (int c = 0; c < g.width; ++c) {
                const std::uint8_t byte = src[c >> 3];
                if (byte == 0) {
                    c |= 7;
                    continue;
                }
                if ((byte & (0x80 >> (c & 7))) == 0) continue;
                int i = 0, j = 0;
                switch (rotation) {
                    case 0: i = r; j = c; break;
                    case 1: i = c; j = g.height - 1 - r; break;
                    case 2: i = g.height - 1 - r; j = g.width - 1 - c; break;
                    default: i = g.width - 1 - c; j = r; break;
                }
                setRun(rowMut(i), j * out.expand, out.expand);
            }
        }
    }

private:
    std::uint8_t* rowMut(int i) { return bits_.data() + static_cast<std::size_t>(i) * kGlyphBufferStride; }
    static void setRun(std::uint8_t* row, int start, int count) {
        const int end = start + count - 1;
        const int first = start >> 3, last = end >> 3;
        const auto head = static_cast<std::uint8_t>(0xFF >> (start & 7));
        const auto tail = static_cast<std::uint8_t>(0xFF << (7 - (end & 7)));
        if (first == last) {
            row[first] |= static_cast<std::uint8_t>(head & tail);
            return;
        }
        row[first] |= head;
        for (int b = first + 1; b < last; ++b) row[b] = 0xFF;
        row[last] |= tail;
    }
    std::vector<std::uint8_t> bits_;
};

// Eight dots of a buffer row of `dots` dots starting at dot s; dots outside read blank.
std::uint8_t fetch8(const std::uint8_t* row, int dots, long long s) {
    if (row == nullptr || s >= dots || s <= -8) return 0;
    if (s < 0) return static_cast<std::uint8_t>(row[0] >> (-s));
    const auto k = static_cast<int>(s >> 3);
    const int shift = static_cast<int>(s & 7);
    unsigned v = static_cast<unsigned>(row[k]) << shift;
    if (shift != 0 && k + 1 < (dots + 7) / 8) v |= static_cast<unsigned>(row[k + 1]) >> (8 - shift);
    return static_cast<std::uint8_t>(v);
}

// The dots of [lo, hi) inside the byte whose first dot is b8.
std::uint8_t rangeMask(long long b8, long long lo, long long hi) {
    const long long a = std::max<long long>(lo - b8, 0), z = std::min<long long>(hi - b8, 8);
    if (a >= z) return 0;
    return static_cast<std::uint8_t>((0xFFu >> a) & (0xFFu << (8 - z)));
}

struct Sink {
    Bitmap* canvas = nullptr;
    const std::function<void(const GlyphRaster&)>* emit = nullptr;
};

// ANDs one cell onto the canvas. Each distinct cell row is shifted to the canvas's byte grid
// once and then applied to all the canvas rows that repeat it. With inverse the whole cell is
// inked except the glyph's dots; otherwise only the glyph's dots.
void drawCell(Bitmap& canvas, const GlyphBuffer& buffer, const Expanded& e, long long cx, long long cy, bool inverse) {
    const long long glyphX = cx + e.expand;
    const long long lo = std::max<long long>(inverse ? cx : glyphX, 0);
    const long long hi = std::min<long long>(inverse ? cx + e.cellWidth : glyphX + e.rowDots, canvas.width());
    const long long top = std::max<long long>(cy + (inverse ? 0 : e.repeat), 0);
    const long long bottom = std::min<long long>(cy + static_cast<long long>(inverse ? e.rows + 2 : e.rows + 1) * e.repeat,
                                                 canvas.height());
    if (lo >= hi || top >= bottom) return;
    const auto firstByte = static_cast<int>(lo >> 3), lastByte = static_cast<int>((hi - 1) >> 3);
    const auto headMask = static_cast<std::uint8_t>(0xFF >> (lo & 7));
    const auto tailMask = static_cast<std::uint8_t>(0xFF << (7 - ((hi - 1) & 7)));
    static std::vector<std::uint8_t> keep;  // per canvas byte: 0 bits become ink
    keep.resize(static_cast<std::size_t>(lastByte - firstByte + 1));

    long long cellRow = -1;
    bool anyInk = false;
    for (long long y = top; y < bottom; ++y) {
        const long long b = (y - cy) / e.repeat;  // 0 top margin, 1..rows glyph rows, rows + 1 bottom margin
        if (b != cellRow) {
            cellRow = b;
            const std::uint8_t* glyphRow = (b >= 1 && b <= e.rows) ? buffer.row(static_cast<int>(b - 1)) : nullptr;
            anyInk = false;
            for (int k = firstByte; k <= lastByte; ++k) {
                std::uint8_t m = 0xFF;
                if (k == firstByte) m &= headMask;
                if (k == lastByte) m &= tailMask;
                const std::uint8_t g = fetch8(glyphRow, e.rowDots, k * 8LL - glyphX);
                const auto ink = static_cast<std::uint8_t>(inverse ? (m & ~g) : (m & g));
                keep[static_cast<std::size_t>(k - firstByte)] = static_cast<std::uint8_t>(~ink);
                anyInk = anyInk || ink != 0;
            }
        }
        if (!anyInk) continue;
        std::uint8_t* row = canvas.row(static_cast<int>(y)) + firstByte;
        for (std::size_t k = 0; k < keep.size(); ++k) row[k] &= keep[k];
    }
}

void emitCell(const std::function<void(const GlyphRaster&)>& emit, const GlyphBuffer& buffer, const Expanded& e,
              long long cx, long long cy, bool inverse) {
    // Each row: one margin unit, then the glyph dots in full, so no glyph column is cut.
    const int dots = e.expand + e.rowDots;
    const int bytesPerRow = (dots + 7) / 8;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(bytesPerRow) * static_cast<std::size_t>(e.rows));
    for (int i = 0; i < e.rows; ++i) {
        for (int b = 0; b < bytesPerRow; ++b) {
            const std::uint8_t m = rangeMask(b * 8LL, inverse ? 0 : e.expand, inverse ? e.cellWidth : dots);
            const std::uint8_t g = fetch8(buffer.row(i), e.rowDots, b * 8LL - e.expand);
            const auto ink = static_cast<std::uint8_t>(inverse ? (m & ~g) : (m & g));
            data[static_cast<std::size_t>(i * bytesPerRow + b)] = static_cast<std::uint8_t>(~ink);
        }
    }
    GlyphRaster raster;
    raster.x = static_cast<int>(cx);
    raster.y = static_cast<int>(cy);
    raster.bytesPerRow = bytesPerRow;
    raster.rows = e.rows;
    raster.verticalRepeat = e.repeat;
    raster.data = data;
    emit(raster);
}

struct RunOptions {
    int rotation = 0;
    int hMul = 1, vMul = 1;
    bool inverse = false, bold = false;
    int residentGap = 2;  // dots added to a resident cell width for the advance (x hMul)
    int extraSpacing = 0; // dots added to every advance
};

// Lays out and draws (or emits) the characters; returns the extent along the writing line.
long long runText(const RenderContext& context, const Sink& sink, long long x, long long y, const FontChoice& font,
                  const RunOptions& options, std::string_view characters) {
    const LabelSetup defaults;
    const LabelSetup& setup = context.document ? context.document->setup : defaults;
    const long long width = setup.width, length = setup.length;
    const int rotation = options.rotation, hMul = options.hMul, vMul = options.vMul;
    const long long across = static_cast<long long>(font.height + 2) * vMul;

    bool visible = true;
    switch (rotation) {
        case 0: visible = !(y > length || y + across < 0); break;
        case 1: visible = !(x < 0 || x - across > width); break;
        case 2: visible = !(y < 0 || y - across > length); break;
        default: visible = !(x > width || x + across < 0); break;
    }

    static GlyphBuffer buffer;  // one work area, as drawing runs on one thread
    std::array<std::uint8_t, 256> scratch{};
    long long pen = (rotation == 0 || rotation == 2) ? x : y;
    long long extent = 0;
    for (const char ch : characters) {
        Glyph glyph;
        if (!lookupGlyph(font, static_cast<std::uint8_t>(ch), options.bold, scratch, glyph)) continue;
        const long long advance =
            font.soft ? static_cast<long long>(glyph.advanceWidth + 2) * hMul
                      : static_cast<long long>(glyph.advanceWidth + options.residentGap) * hMul + options.extraSpacing;
        const long long along = static_cast<long long>(glyph.width + 2) * hMul;
        bool draw = visible;
        switch (rotation) {
            case 0: draw = draw && pen <= width && pen + along >= 0; break;
            case 1: draw = draw && pen <= length && pen + along >= 0; break;
            case 2: draw = draw && pen >= 0 && pen - along <= width; break;
            default: draw = draw && pen >= 0 && pen - along <= length; break;
        }
        if (static_cast<long long>(glyph.width) * hMul > kMaxExpandedDots ||
            static_cast<long long>(glyph.height) * vMul > kMaxExpandedDots)
            draw = false;
        if (draw) {
            Expanded e;
            buffer.build(glyph, rotation, hMul, vMul, e);
            long long cx = 0, cy = 0;
            switch (rotation) {
                case 0: cx = pen; cy = y; break;
                case 1: cx = x - e.cellWidth + 1; cy = pen; break;
                case 2: cx = pen - e.cellWidth + 1; cy = y - e.cellHeight + 1; break;
                default: cx = x; cy = pen - e.cellHeight + 1; break;
            }
            if (sink.canvas != nullptr) drawCell(*sink.canvas, buffer, e, cx, cy, options.inverse);
            if (sink.emit != nullptr && *sink.emit) emitCell(*sink.emit, buffer, e, cx, cy, options.inverse);
        }
        pen += (rotation == 0 || rotation == 1) ? advance : -advance;
        extent += advance;
    }
    return extent;
}

int clampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, -2147483647LL, 2147483647LL));
}

int drawText(const RenderContext& context, const Sink& sink, int x, int y, int rotation, int font, int hMul,
             int vMul, int style, std::string_view data) {
    FontChoice choice;
    if (!chooseFont(context, font, choice)) return 0;
    RunOptions options;
    options.rotation = rotation >= 0 && rotation <= 3 ? rotation : 0;
    options.hMul = std::max(hMul, 1);
    options.vMul = std::max(vMul, 1);
    if (!choice.soft) {
        options.inverse = (style & kStyleInverse) != 0;
        options.bold = (style & kStyleBold) != 0;
    }
    const bool normalText = context.document == nullptr || context.document->setup.normalText != 0;
    options.residentGap = normalText ? 2 : 0;
    std::string text;
    ExpandTextData(data, context, text);
    if (text.empty()) text.assign(1, ' ');  // assign(), not = " ": GCC 12 warns falsely on the latter at -O2
    return clampToInt(runText(context, sink, x, y, choice, options, text));
}

}  // namespace

int DrawLabelText(Bitmap& canvas, const RenderContext& context, int x, int y, int rotation, int font, int hMul,
                  int vMul, int style, std::string_view data) {
    Sink sink;
    sink.canvas = &canvas;
    return drawText(context, sink, x, y, rotation, font, hMul, vMul, style, data);
}

int DrawLabelTextToPrinter(const RenderContext& context, int x, int y, int rotation, int font, int hMul, int vMul,
                           int style, std::string_view data, const std::function<void(const GlyphRaster&)>& emit) {
    Sink sink;
    sink.emit = &emit;
    return drawText(context, sink, x, y, rotation, font, hMul, vMul, style, data);
}

void DrawCaptionText(Bitmap& canvas, const RenderContext& context, int x, int y, int rotation, int font,
                     int extraSpacing, std::string_view characters) {
    FontChoice choice;
    chooseFont(context, font == 3 ? 3 : 4, choice);
    RunOptions options;
    options.rotation = rotation >= 0 && rotation <= 3 ? rotation : 0;
    options.residentGap = 2;
    options.extraSpacing = extraSpacing;
    Sink sink;
    sink.canvas = &canvas;
    runText(context, sink, x, y, choice, options, characters);
}

}  // namespace tavrin
