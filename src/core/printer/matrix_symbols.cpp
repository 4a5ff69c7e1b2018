#include "printer/matrix_symbols.h"

#include <cstdio>
#include <span>
#include <vector>

#include "graphics/graphics_file.h"
#include "render/barcode/barcode.h"
#include "render/barcode_figure.h"
#include "render/text_data.h"

namespace tavrin {

namespace {

// The picture's rows as the printer takes them: whole bytes, a 0 bit printed, the dots
// beyond the width blank. Even byte counts, as picture files keep their rows.
unsigned storedBytesPerRow(int width) { return static_cast<unsigned>((width + 15) / 16 * 2); }

std::vector<std::uint8_t> rowBytes(const Bitmap& image, int y, std::size_t count) {
    std::vector<std::uint8_t> row(count, 0xFF);
    const std::size_t used = static_cast<std::size_t>((image.width() + 7) / 8);
    std::copy_n(image.row(y), std::min(used, count), row.begin());
    if (image.width() % 8 != 0 && used <= count)
        row[used - 1] |= static_cast<std::uint8_t>(0xFF >> (image.width() % 8));
    return row;
}

// A picture data block of the image: share count, bytes per row, run-length coded rows.
std::vector<std::uint8_t> pictureBlock(const Bitmap& image) {
    const unsigned perRow = storedBytesPerRow(image.width());
    std::vector<std::uint8_t> block(2 + 2 * static_cast<std::size_t>(perRow) * static_cast<std::size_t>(image.height()));
    block[0] = 1;
    block[1] = static_cast<std::uint8_t>(perRow);
    std::size_t at = 2;
    for (int y = 0; y < image.height(); ++y) at = EncodePcxRow(rowBytes(image, y, perRow), block, at);
    block.resize(at);
    return block;
}

std::string figureName(const Figure& figure) {
    const BarcodeRecord b = BarcodeRecord::decode(figure.record);
    return std::string(barcode::symbology(b.type).name) + " at " + std::to_string(b.x) + "," + std::to_string(b.y);
}

bool fitsStoredPicture(const MatrixPicture& picture) {
    return storedBytesPerRow(picture.image.width()) <= kMaxPcxBytesPerLine &&
           picture.image.height() <= kMaxPictureHeight &&
           pictureBlock(picture.image).size() + 126 <= kMaxPcxFileSize;
}

}  // namespace

bool isMatrixSymbolFigure(const Figure& figure) {
    return figure.kind == FigureKind::Barcode &&
           barcode::isMatrixSymbology(BarcodeRecord::decode(figure.record).type);
}

bool writeMatrixRaster(const Figure& figure, const RenderContext& context, CommandWriter& out) {
    if (!isMatrixSymbolFigure(figure)) return false;
    const MatrixPicture picture = renderMatrixPicture(figure, context);
    if (picture.empty()) return true;
    const int skipped = picture.y < 0 ? -picture.y : 0;
    const int rows = picture.image.height() - skipped;
    if (rows <= 0) return true;
    const auto perRow = static_cast<std::size_t>((picture.image.width() + 7) / 8);
    if (!out.send("GW" + std::to_string(picture.x) + "," + std::to_string(picture.y + skipped) + "," +
                  std::to_string(perRow) + "," + std::to_string(rows) + ","))
        return true;
    for (int y = skipped; y < picture.image.height(); ++y)
        if (!out.send(rowBytes(picture.image, y, perRow))) return true;
    out.send("\r\n");
    return true;
}

std::optional<UserMessage> matrixSymbolStoreRefusal(const LabelDocument& document, const RenderContext& context) {
    for (const Figure& figure : document.figures) {
        if (!isMatrixSymbolFigure(figure)) continue;
        const std::string name = figureName(figure);
        if (!isFixedTextData(BarcodeRecord::decode(figure.record).data))
            return UserMessage{"Error", "Can't store the form: " + name +
                                            " takes variables, counters, date or time, and a stored form can "
                                            "only hold a fixed symbol. Print it with Test Print instead."};
        const MatrixPicture picture = renderMatrixPicture(figure, context);
        if (picture.invalid || picture.empty())
            return UserMessage{"Error", "Can't store the form: the data of " + name + " cannot be encoded."};
        if (!fitsStoredPicture(picture))
            return UserMessage{"Error", "Can't store the form: " + name + " is too large for a stored picture."};
    }
    return std::nullopt;
}

std::string matrixPictureName(int type, const std::vector<std::uint8_t>& block) {
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (std::uint8_t byte : block) hash = (hash ^ byte) * 16777619u;
    static constexpr const char* kPrefix[] = {"QR", "DM", "PD"};
    const int index = type - barcode::kLinearSymbologyCount;
    char name[16];
    std::snprintf(name, sizeof name, "%s%06X", index >= 0 && index < 3 ? kPrefix[index] : "2D",
                  static_cast<unsigned>((hash ^ (hash >> 24)) & 0xFFFFFF));
    return name;
}

LabelDocument withMatrixSymbolsAsPictures(const LabelDocument& document, const RenderContext& context) {
    LabelDocument stored = document;
    for (Figure& figure : stored.figures) {
        if (!isMatrixSymbolFigure(figure)) continue;
        const MatrixPicture picture = renderMatrixPicture(figure, context);
        if (picture.empty()) continue;
        auto block = std::make_shared<PictureBlock>();
        block->bytes = pictureBlock(picture.image);
        PictureRecord p;
        p.x = picture.x;
        p.y = picture.y;
        p.width = picture.image.width();
        p.height = picture.image.height();
        p.dataLength = static_cast<unsigned>(block->bytes.size());
        p.name = matrixPictureName(BarcodeRecord::decode(figure.record).type, block->bytes);
        figure.kind = FigureKind::Picture;
        figure.record = p.encode();
        figure.picture = std::move(block);
    }
    return stored;
}

}  // namespace tavrin
