#include "render/barcode_figure.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "document/figure_list.h"
#include "document/figure_records.h"
#include "document/label_document.h"
#include "render/text_data.h"
#include "render/text_drawing.h"

namespace tavrin {
namespace {

// The symbol's own frame: `along` the bars' row from the anchor, `across` the bars (down
// for rotation 0). Everything is laid out in it and turned clockwise around the anchor.
struct Frame {
    int x = 0, y = 0, rotation = 0;

    void point(int along, int across, int& px, int& py) const {
        switch (rotation) {
            case 1: px = x - across; py = y + along; break;
            case 2: px = x - along; py = y - across; break;
            case 3: px = x + across; py = y - along; break;
            default: px = x + along; py = y + across; break;
        }
    }

    // Inks the area [along, along + alongLength) x [across, across + acrossLength).
    void fill(Bitmap& canvas, int along, int across, int alongLength, int acrossLength) const {
        if (alongLength <= 0 || acrossLength <= 0) return;
        int px = 0, py = 0;
        point(along, across, px, py);
        switch (rotation) {
            case 1: canvas.fillRect(px - acrossLength + 1, py, acrossLength, alongLength, FillOp::Ink); break;
            case 2: canvas.fillRect(px - alongLength + 1, py - acrossLength + 1, alongLength, acrossLength, FillOp::Ink); break;
            case 3: canvas.fillRect(px, py - alongLength + 1, acrossLength, alongLength, FillOp::Ink); break;
            default: canvas.fillRect(px, py, alongLength, acrossLength, FillOp::Ink); break;
        }
    }
};

// Every bar column of row as a line of `height` dots starting `across` from the anchor's
// side; neighbouring columns are filled together.
void drawBars(Bitmap& canvas, const Frame& frame, const barcode::BarRow& row, int along, int across,
              int height) {
    const auto& columns = row.columns();
    for (std::size_t i = 0; i < columns.size();) {
        if (!columns[i]) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < columns.size() && columns[end]) ++end;
        frame.fill(canvas, along + static_cast<int>(i), across, static_cast<int>(end - i), height);
        i = end;
    }
}

void drawCaption(Bitmap& canvas, const RenderContext& context, const Frame& frame, int along, int across,
                 int font, int spacing, const std::string& text) {
    int px = 0, py = 0;
    frame.point(along, across, px, py);
    DrawCaptionText(canvas, context, px, py, frame.rotation, font, spacing, text);
}

void drawEanUpc(Bitmap& canvas, const RenderContext& context, const Frame& frame,
                const barcode::BarcodeResult& r, const BarcodeRecord& b) {
    const int h = b.height;
    if (b.humanReadable == 0) {
        drawBars(canvas, frame, r.bars, 0, 0, h);
        drawBars(canvas, frame, r.addOnBars, r.addOnOffset, 0, h);
        return;
    }
    const barcode::EanCaption caption = barcode::layoutEanCaption(r, b.narrow, h);
    const int shift = caption.symbolShift;
    drawBars(canvas, frame, r.bars, shift, 0, caption.guardTop);
    drawBars(canvas, frame, r.guardBars, shift, caption.guardTop, h - caption.guardTop);
    for (const auto& run : caption.runs)
        drawCaption(canvas, context, frame, shift + run.offset, caption.textTop, caption.font, caption.spacing,
                    run.text);
    if (r.addOnDigits > 0) {
        drawBars(canvas, frame, r.addOnBars, shift + r.addOnOffset, caption.addOnBarDrop, h - caption.addOnBarDrop);
        drawCaption(canvas, context, frame, shift + caption.addOn.offset, 0, caption.font, caption.addOnSpacing,
                    caption.addOn.text);
    }
}

// The label-text form of characters that must be drawn as they stand.
std::string quoted(const std::string& characters) {
    std::string out = "\"";
    for (char c : characters) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

void drawPlain(Bitmap& canvas, const RenderContext& context, const Frame& frame, const barcode::BarcodeResult& r,
               const BarcodeRecord& b) {
    drawBars(canvas, frame, r.bars, 0, 0, b.height);
    if (b.humanReadable == 0 || r.text.empty()) return;
    const int characters = static_cast<int>(r.text.size());
    const barcode::PlainCaption caption = barcode::layoutPlainCaption(r.barLength, characters, b.humanReadable);
    int px = 0, py = 0;
    frame.point(caption.start, b.height + caption.gap, px, py);
    DrawLabelText(canvas, context, px, py, frame.rotation, caption.font, 1, caption.vMul, 0, quoted(r.text));
}

void drawPostnet(Bitmap& canvas, const Frame& frame, const barcode::BarcodeResult& r) {
    const int tallPart = r.fixedHeight - r.shortBarHeight;
    drawBars(canvas, frame, r.tallBars, 0, 0, tallPart);
    drawBars(canvas, frame, r.bars, 0, tallPart, r.shortBarHeight);
}

// Each dark module a block; neighbouring dark modules of a row are filled together. The
// quiet zone is left as it is: white unless something else was drawn there.
void drawMatrix(Bitmap& canvas, const Frame& frame, const barcode::ModuleMatrix& m) {
    const int w = m.moduleWidth, h = m.moduleHeight, quiet = m.quietZone * m.moduleWidth;
    for (int row = 0; row < m.rows; ++row) {
        for (int column = 0; column < m.columns;) {
            if (!m.dark(column, row)) {
                ++column;
                continue;
            }
            int end = column;
            while (end < m.columns && m.dark(end, row)) ++end;
            frame.fill(canvas, quiet + column * w, quiet + row * h, (end - column) * w, h);
            column = end;
        }
    }
}

// Two diagonals from 5 dots inside the start corner to 10 dots short of the far corner.
void addCross(const Frame& frame, int length, int height, std::vector<ScreenLine>& screenLines) {
    const int a1 = 5, c1 = 5, a2 = length - 10, c2 = height - 10;
    ScreenLine first, second;
    first.penWidth = second.penWidth = 3;
    frame.point(a1, c1, first.x1, first.y1);
    frame.point(a2, c2, first.x2, first.y2);
    frame.point(a1, c2, second.x1, second.y1);
    frame.point(a2, c1, second.x2, second.y2);
    screenLines.push_back(first);
    screenLines.push_back(second);
}

// The measured lengths go back into the record for hit tests and selection marks.
void writeLengths(Record& record, const barcode::BarcodeResult& r) {
    setRecordField<&BarcodeRecord::barLength>(record, static_cast<unsigned>(r.barLength));
    setRecordField<&BarcodeRecord::totalLength>(record, static_cast<unsigned>(r.totalLength));
}

}  // namespace

barcode::BarcodeResult EncodeBarcode(Figure& figure, const RenderContext& context) {
    const BarcodeRecord b = BarcodeRecord::decode(figure.record);
    std::string data;
    if (barcode::isMatrixSymbology(b.type)) {
        const bool expanded = ExpandTextData(b.data, context, data, kMaxMatrixData);
        barcode::BarcodeResult r = barcode::encodeBarcode({b.type, data, b.narrow, b.wide});
        // A malformed field would make a readable symbol of the placeholder: mark it.
        if (!expanded) r.invalid = true;
        setRecordField<&BarcodeRecord::height>(figure.record, r.acrossLength);
        writeLengths(figure.record, r);
        return r;
    }
    ExpandTextData(b.data, context, data);
    barcode::BarcodeResult r = barcode::encodeBarcode({b.type, data, b.narrow, b.wide});
    writeLengths(figure.record, r);
    return r;
}

void DrawBarcodeFigure(Bitmap& canvas, const RenderContext& context, Figure& figure,
                       std::vector<ScreenLine>& screenLines) {
    const barcode::BarcodeResult r = EncodeBarcode(figure, context);
    const BarcodeRecord b = BarcodeRecord::decode(figure.record);
    Frame frame{b.x, b.y, b.rotation >= 0 && b.rotation <= 3 ? b.rotation : 0};
    if (context.document != nullptr) {
        frame.x += context.document->setup.leftMargin;
        frame.y += context.document->setup.topMargin;
    }
    int height = b.height;
    if (barcode::isMatrixSymbology(b.type)) {
        height = r.acrossLength;
        drawMatrix(canvas, frame, r.matrix);
    } else if (r.fixedHeight > 0) {
        height = r.fixedHeight;
        drawPostnet(canvas, frame, r);
    } else if (r.layout != barcode::kLayoutNone) {
        drawEanUpc(canvas, context, frame, r, b);
    } else {
        drawPlain(canvas, context, frame, r, b);
    }
    if (r.invalid) addCross(frame, r.barLength, height, screenLines);
}

MatrixPicture renderMatrixPicture(const Figure& figure, const RenderContext& context) {
    MatrixPicture picture;
    if (figure.kind != FigureKind::Barcode) return picture;
    Figure copy = figure;  // the measures written back are not the caller's business here
    const barcode::BarcodeResult r = EncodeBarcode(copy, context);
    const BarcodeRecord b = BarcodeRecord::decode(copy.record);
    if (!barcode::isMatrixSymbology(b.type)) return picture;
    picture.invalid = r.invalid;
    if (r.invalid || r.matrix.empty()) return picture;
    const int rotation = b.rotation >= 0 && b.rotation <= 3 ? b.rotation : 0;
    // The extent turned around the anchor: its two opposite corners give the box.
    const Frame anchor{b.x, b.y, rotation};
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    anchor.point(0, 0, x1, y1);
    anchor.point(r.barLength - 1, r.acrossLength - 1, x2, y2);
    picture.x = std::min(x1, x2);
    picture.y = std::min(y1, y2);
    picture.image = Bitmap(std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1);
    drawMatrix(picture.image, Frame{b.x - picture.x, b.y - picture.y, rotation}, r.matrix);
    return picture;
}

}  // namespace tavrin
