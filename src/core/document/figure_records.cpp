#include "document/figure_records.h"

namespace tavrin {

const char* figureKindName(FigureKind kind) {
    switch (kind) {
        case FigureKind::Text: return "Text";
        case FigureKind::Barcode: return "Barcode";
        case FigureKind::Rectangle: return "Rectangle";
        case FigureKind::DiagonalLine: return "Diagonal Line";
        case FigureKind::Box: return "Box";
        case FigureKind::Picture: return "Picture";
        case FigureKind::Font: return "Font";
    }
    return "Unknown";
}

TextRecord TextRecord::decode(const Record& r) {
    TextRecord t;
    t.x = recordI16(r, 0);
    t.y = recordI16(r, 2);
    t.hMul = recordI16(r, 4);
    t.vMul = recordI16(r, 6);
    t.font = recordI16(r, 8);
    t.style = recordI16(r, 10);
    t.rotation = recordI16(r, 12);
    t.drawnWidth = recordI16(r, 14);
    t.data = recordString(r, kDataOffset);
    return t;
}

Record TextRecord::encode() const {
    Record r{};
    setRecord16(r, 0, x);
    setRecord16(r, 2, y);
    setRecord16(r, 4, hMul);
    setRecord16(r, 6, vMul);
    setRecord16(r, 8, font);
    setRecord16(r, 10, style);
    setRecord16(r, 12, rotation);
    setRecord16(r, 14, drawnWidth);
    setRecordString(r, kDataOffset, data, kRecordSize - kDataOffset);
    return r;
}

BarcodeRecord BarcodeRecord::decode(const Record& r) {
    BarcodeRecord b;
    b.type = recordI16(r, 0);
    b.x = recordI16(r, 2);
    b.y = recordI16(r, 4);
    b.height = recordI16(r, 6);
    b.narrow = recordI16(r, 8);
    b.wide = recordI16(r, 10);
    b.humanReadable = recordI16(r, 12);
    b.rotation = recordI16(r, 14);
    b.barLength = recordU16(r, 16);
    b.totalLength = recordU16(r, 18);
    b.data = recordString(r, kDataOffset);
    return b;
}

Record BarcodeRecord::encode() const {
    Record r{};
    setRecord16(r, 0, type);
    setRecord16(r, 2, x);
    setRecord16(r, 4, y);
    setRecord16(r, 6, height);
    setRecord16(r, 8, narrow);
    setRecord16(r, 10, wide);
    setRecord16(r, 12, humanReadable);
    setRecord16(r, 14, rotation);
    setRecord16(r, 16, static_cast<int>(barLength));
    setRecord16(r, 18, static_cast<int>(totalLength));
    setRecordString(r, kDataOffset, data, kRecordSize - kDataOffset);
    return r;
}

RectangleRecord RectangleRecord::decode(const Record& r) {
    return {recordI16(r, 0), recordI16(r, 2), recordI16(r, 4), recordI16(r, 6), recordI16(r, 8)};
}

Record RectangleRecord::encode() const {
    Record r{};
    setRecord16(r, 0, x);
    setRecord16(r, 2, y);
    setRecord16(r, 4, width);
    setRecord16(r, 6, height);
    setRecord16(r, 8, colour);
    return r;
}

LineRecord LineRecord::decode(const Record& r) {
    return {recordI16(r, 0), recordI16(r, 2), recordI16(r, 4),
            recordI16(r, 6), recordI16(r, 8), recordI16(r, 10)};
}

Record LineRecord::encode() const {
    Record r{};
    setRecord16(r, 0, x1);
    setRecord16(r, 2, y1);
    setRecord16(r, 4, x2);
    setRecord16(r, 6, y2);
    setRecord16(r, 8, thickness);
    setRecord16(r, 10, colour);
    return r;
}

BoxRecord BoxRecord::decode(const Record& r) {
    return {recordI16(r, 0), recordI16(r, 2), recordI16(r, 4), recordI16(r, 6), recordI16(r, 8)};
}

Record BoxRecord::encode() const {
    Record r{};
    setRecord16(r, 0, x1);
    setRecord16(r, 2, y1);
    setRecord16(r, 4, x2);
    setRecord16(r, 6, y2);
    setRecord16(r, 8, thickness);
    return r;
}

PictureRecord PictureRecord::decode(const Record& r) {
    PictureRecord p;
    p.x = recordI16(r, 0);
    p.y = recordI16(r, 2);
    p.width = recordI16(r, 4);
    p.height = recordI16(r, 6);
    p.dataLength = recordU16(r, 8);
    p.name = recordString(r, kNameOffset, kNameWidth);
    return p;
}

Record PictureRecord::encode() const {
    Record r{};
    setRecord16(r, 0, x);
    setRecord16(r, 2, y);
    setRecord16(r, 4, width);
    setRecord16(r, 6, height);
    setRecord16(r, 8, static_cast<int>(dataLength));
    setRecordString(r, kNameOffset, name, kNameWidth);
    return r;
}

FontRecord FontRecord::decode(const Record& r) {
    FontRecord f;
    f.charCount = recordU16(r, 0);
    f.height = recordU16(r, 2);
    f.dataLength = recordU16(r, 4);
    f.letter = static_cast<char>(r[6]);
    return f;
}

Record FontRecord::encode() const {
    Record r{};
    setRecord16(r, 0, static_cast<int>(charCount));
    setRecord16(r, 2, static_cast<int>(height));
    setRecord16(r, 4, static_cast<int>(dataLength));
    r[6] = static_cast<std::uint8_t>(letter);
    r[7] = 0;
    return r;
}

}  // namespace tavrin
