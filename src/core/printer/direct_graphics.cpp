#include "printer/direct_graphics.h"

#include <string>
#include <vector>

#include "printer/matrix_symbols.h"
#include "render/picture_decode.h"

namespace tavrin {

namespace {
constexpr int kMaxRasterBytesPerRow = 512;
constexpr int kMaxRasterRows = 512;

std::string gwHeader(int x, int y, int bytesPerRow, int rows) {
    return "GW" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(bytesPerRow) + "," +
           std::to_string(rows) + ",";
}

// Sets the bits of byte `column` that lie beyond `width` dots to blank.
std::uint8_t maskToWidth(std::uint8_t byte, int column, int width) {
    const long long end = (column + 1LL) * 8;
    if (end <= width) return byte;
    if (end - width >= 8) return 0xFF;
    return static_cast<std::uint8_t>(byte | (0xFF >> (width - column * 8)));
}
}  // namespace

bool writePictureRaster(const Figure& figure, CommandWriter& out) {
    if (!figure.picture || figure.picture->bytes.size() < 2) return false;
    const PictureRecord p = PictureRecord::decode(figure.record);
    PictureRowDecoder rows(figure.picture->bytes);
    const int bytesPerRow = rows.bytesPerRow();
    // Rows above the top edge are decoded but not sent; a picture wholly above it sends nothing.
    const int skipped = p.y < 0 ? -p.y : 0;
    const int sentRows = p.height - skipped;
    if (sentRows <= 0 || bytesPerRow <= 0) return true;
    if (!out.send(gwHeader(p.x, p.y < 0 ? 0 : p.y, bytesPerRow, sentRows))) return true;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(bytesPerRow));
    for (int r = 0; r < p.height; ++r) {
        rows.nextRow(row);
        if (r < skipped) continue;
        for (int c = 0; c < bytesPerRow; ++c)
            row[static_cast<std::size_t>(c)] = maskToWidth(row[static_cast<std::size_t>(c)], c, p.width);
        if (!out.send(row)) return true;
    }
    out.send("\r\n");
    return true;
}

void writeGlyphRaster(const GlyphRaster& glyph, const LabelSetup& setup, CommandWriter& out) {
    const long long rowsSent = static_cast<long long>(glyph.rows) * glyph.verticalRepeat;
    if (glyph.x > setup.width || static_cast<long long>(glyph.x) + glyph.bytesPerRow < 0 ||
        glyph.y > setup.length || static_cast<long long>(glyph.y) + glyph.rows < 0 ||
        glyph.bytesPerRow > kMaxRasterBytesPerRow || rowsSent > kMaxRasterRows)
        return;
    // The glyph must hold what it claims; a short one is not sent rather than over-read.
    if (glyph.bytesPerRow < 0 || glyph.rows < 0 || glyph.verticalRepeat < 0 ||
        glyph.data.size() < static_cast<std::size_t>(glyph.bytesPerRow) * static_cast<std::size_t>(glyph.rows))
        return;
    if (!out.send(gwHeader(glyph.x, glyph.y, glyph.bytesPerRow, static_cast<int>(rowsSent)))) return;
    const auto width = static_cast<std::size_t>(glyph.bytesPerRow);
    for (int r = 0; r < glyph.rows; ++r) {
        const auto row = glyph.data.subspan(static_cast<std::size_t>(r) * width, width);
        for (int repeat = 0; repeat < glyph.verticalRepeat; ++repeat)
            if (!out.send(row)) return;
    }
    out.send("\r");
    out.send("\n");
}

RasterFigureWriter directGraphicsWriter(const RenderContext& context) {
    return [context](const Figure& figure, CommandWriter& out) {
        if (figure.kind == FigureKind::Picture) return writePictureRaster(figure, out);
        if (writeMatrixRaster(figure, context, out)) return true;
        if (figure.kind != FigureKind::Text || context.document == nullptr) return false;
        const TextRecord t = TextRecord::decode(figure.record);
        if (t.font < 6 || context.document->figures.softFontByNumber(t.font) == nullptr) return false;
        const LabelSetup& setup = context.document->setup;
        DrawLabelTextToPrinter(context, t.x, t.y, t.rotation, t.font, t.hMul, t.vMul, t.style, t.data,
                               [&](const GlyphRaster& glyph) { writeGlyphRaster(glyph, setup, out); });
        return true;
    };
}

}  // namespace tavrin
