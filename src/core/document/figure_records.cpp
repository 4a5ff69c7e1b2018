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

namespace record_detail {

void readField(const Record& r, std::size_t offset, std::size_t, int& value) { value = recordI16(r, offset); }
void readField(const Record& r, std::size_t offset, std::size_t, unsigned& value) { value = recordU16(r, offset); }
void readField(const Record& r, std::size_t offset, std::size_t, char& value) { value = static_cast<char>(r[offset]); }
void readField(const Record& r, std::size_t offset, std::size_t width, std::string& value) {
    value = recordString(r, offset, width);
}

void writeField(Record& r, std::size_t offset, std::size_t, int value) { setRecord16(r, offset, value); }
void writeField(Record& r, std::size_t offset, std::size_t, unsigned value) {
    setRecord16(r, offset, static_cast<int>(value));
}
void writeField(Record& r, std::size_t offset, std::size_t, char value) {
    setRecord16(r, offset, static_cast<std::uint8_t>(value));
}
void writeField(Record& r, std::size_t offset, std::size_t width, const std::string& value) {
    setRecordString(r, offset, value, width);
}

}  // namespace record_detail

namespace {

// Fields in order, none overlapping another or the end of the record; numbers two bytes.
template <typename View>
constexpr bool wellFormed() {
    std::size_t end = 0;
    for (const RecordField<View>& field : RecordLayout<View>::fields) {
        const bool isString = std::holds_alternative<std::string View::*>(field.member);
        if (field.offset < end || (isString ? field.width < 2 : field.width != 2)) return false;
        end = field.offset + field.width;
    }
    return end <= kRecordSize;
}
static_assert(wellFormed<TextRecord>() && wellFormed<BarcodeRecord>() && wellFormed<RectangleRecord>() &&
              wellFormed<LineRecord>() && wellFormed<BoxRecord>() && wellFormed<PictureRecord>() &&
              wellFormed<FontRecord>());

template <typename View>
View decodeFields(const Record& r) {
    View view;
    for (const RecordField<View>& field : RecordLayout<View>::fields)
        std::visit([&](auto member) { record_detail::readField(r, field.offset, field.width, view.*member); },
                   field.member);
    return view;
}

// Bytes outside every field are zero.
template <typename View>
Record encodeFields(const View& view) {
    Record r{};
    for (const RecordField<View>& field : RecordLayout<View>::fields)
        std::visit([&](auto member) { record_detail::writeField(r, field.offset, field.width, view.*member); },
                   field.member);
    return r;
}

}  // namespace

TextRecord TextRecord::decode(const Record& r) { return decodeFields<TextRecord>(r); }
Record TextRecord::encode() const { return encodeFields(*this); }
BarcodeRecord BarcodeRecord::decode(const Record& r) { return decodeFields<BarcodeRecord>(r); }
Record BarcodeRecord::encode() const { return encodeFields(*this); }
RectangleRecord RectangleRecord::decode(const Record& r) { return decodeFields<RectangleRecord>(r); }
Record RectangleRecord::encode() const { return encodeFields(*this); }
LineRecord LineRecord::decode(const Record& r) { return decodeFields<LineRecord>(r); }
Record LineRecord::encode() const { return encodeFields(*this); }
BoxRecord BoxRecord::decode(const Record& r) { return decodeFields<BoxRecord>(r); }
Record BoxRecord::encode() const { return encodeFields(*this); }
PictureRecord PictureRecord::decode(const Record& r) { return decodeFields<PictureRecord>(r); }
Record PictureRecord::encode() const { return encodeFields(*this); }
FontRecord FontRecord::decode(const Record& r) { return decodeFields<FontRecord>(r); }
Record FontRecord::encode() const { return encodeFields(*this); }

}  // namespace tavrin
