#pragma once
// Typed views of the figure records and the one description of where each of their fields
// lies in the 84-byte record, which the label file stores as its record bodies.
#include <cstdint>
#include <iterator>
#include <string>
#include <variant>

#include "document/record.h"

namespace tavrin {

enum class FigureKind : std::uint8_t {
    Text = 0,
    Barcode = 1,
    Rectangle = 2,
    DiagonalLine = 3,
    Box = 4,
    Picture = 5,
    Font = 6,
};
inline constexpr int kFigureKindCount = 7;
const char* figureKindName(FigureKind kind);

// Colours of Rectangle and Diagonal Line.
enum FigureColour : int { kColourBlack = 0, kColourInverse = 1, kColourWhite = 2 };

// The typed views. Each decodes from and encodes to its record by walking the record's
// field description (RecordLayout below), so both directions use the same offsets.
struct TextRecord {
    static constexpr std::size_t kDataOffset = 16;
    static constexpr std::size_t kMaxData = kRecordSize - kDataOffset - 1;  // 67
    int x = 0, y = 0;
    int hMul = 1, vMul = 1;
    int font = 3;        // 1..5 resident, 6.. soft font by position in the font list
    int style = 0;       // bit 0 inverse, bit 1 bold
    int rotation = 0;    // 0..3, clockwise quarter turns
    int drawnWidth = 0;  // written by the canvas
    std::string data;

    static TextRecord decode(const Record& r);
    Record encode() const;
};

struct BarcodeRecord {
    static constexpr std::size_t kDataOffset = 20;
    static constexpr std::size_t kMaxData = kRecordSize - kDataOffset - 1;  // 63
    int type = 8;
    int x = 0, y = 0;
    int height = 80;
    int narrow = 2, wide = 3;
    int humanReadable = 2;  // 0 none, 1 left, 2 centre, 3 right
    int rotation = 0;
    unsigned barLength = 0;    // written by the barcode renderer
    unsigned totalLength = 0;  // main symbol plus add-on and its gap
    std::string data;

    static BarcodeRecord decode(const Record& r);
    Record encode() const;
};

struct RectangleRecord {
    int x = 0, y = 0, width = 0, height = 0, colour = kColourBlack;
    static RectangleRecord decode(const Record& r);
    Record encode() const;
};

struct LineRecord {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0, thickness = 1, colour = kColourBlack;
    static LineRecord decode(const Record& r);
    Record encode() const;
};

struct BoxRecord {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0, thickness = 1;
    static BoxRecord decode(const Record& r);
    Record encode() const;
};

struct PictureRecord {
    static constexpr std::size_t kNameOffset = 10;
    static constexpr std::size_t kNameWidth = 16;
    int x = 0, y = 0;
    int width = 0, height = 0;
    unsigned dataLength = 0;
    std::string name;  // at most 15 characters

    static PictureRecord decode(const Record& r);
    Record encode() const;
};

struct FontRecord {
    unsigned charCount = 0;
    unsigned height = 0;
    unsigned dataLength = 0;
    char letter = 0;

    static FontRecord decode(const Record& r);
    Record encode() const;
};

// One field of a record: where its bytes lie, how many there are, its name, and the member
// of the typed view that holds it. A number takes two bytes, little-endian, read signed
// into an int and unsigned into an unsigned; a char takes the low byte of its two, the high
// one being zero; a string fills its width, zero-terminated and zero-filled.
template <typename View>
struct RecordField {
    std::size_t offset;
    std::size_t width;
    const char* name;
    std::variant<int View::*, unsigned View::*, char View::*, std::string View::*> member;
};

// The fields of each record in the order they lie in it.
template <typename View>
struct RecordLayout;

template <>
struct RecordLayout<TextRecord> {
    using T = TextRecord;
    static constexpr RecordField<T> fields[] = {
        {0, 2, "x", &T::x},
        {2, 2, "y", &T::y},
        {4, 2, "hMul", &T::hMul},
        {6, 2, "vMul", &T::vMul},
        {8, 2, "font", &T::font},
        {10, 2, "style", &T::style},
        {12, 2, "rotation", &T::rotation},
        {14, 2, "drawnWidth", &T::drawnWidth},
        {T::kDataOffset, kRecordSize - T::kDataOffset, "data", &T::data},
    };
};

template <>
struct RecordLayout<BarcodeRecord> {
    using T = BarcodeRecord;
    static constexpr RecordField<T> fields[] = {
        {0, 2, "type", &T::type},
        {2, 2, "x", &T::x},
        {4, 2, "y", &T::y},
        {6, 2, "height", &T::height},
        {8, 2, "narrow", &T::narrow},
        {10, 2, "wide", &T::wide},
        {12, 2, "humanReadable", &T::humanReadable},
        {14, 2, "rotation", &T::rotation},
        {16, 2, "barLength", &T::barLength},
        {18, 2, "totalLength", &T::totalLength},
        {T::kDataOffset, kRecordSize - T::kDataOffset, "data", &T::data},
    };
};

template <>
struct RecordLayout<RectangleRecord> {
    using T = RectangleRecord;
    static constexpr RecordField<T> fields[] = {
        {0, 2, "x", &T::x}, {2, 2, "y", &T::y}, {4, 2, "width", &T::width}, {6, 2, "height", &T::height},
        {8, 2, "colour", &T::colour},
    };
};

template <>
struct RecordLayout<LineRecord> {
    using T = LineRecord;
    static constexpr RecordField<T> fields[] = {
        {0, 2, "x1", &T::x1}, {2, 2, "y1", &T::y1}, {4, 2, "x2", &T::x2},
        {6, 2, "y2", &T::y2}, {8, 2, "thickness", &T::thickness}, {10, 2, "colour", &T::colour},
    };
};

template <>
struct RecordLayout<BoxRecord> {
    using T = BoxRecord;
    static constexpr RecordField<T> fields[] = {
        {0, 2, "x1", &T::x1}, {2, 2, "y1", &T::y1}, {4, 2, "x2", &T::x2},
        {6, 2, "y2", &T::y2}, {8, 2, "thickness", &T::thickness},
    };
};

template <>
struct RecordLayout<PictureRecord> {
    using T = PictureRecord;
    static constexpr RecordField<T> fields[] = {
        {0, 2, "x", &T::x},
        {2, 2, "y", &T::y},
        {4, 2, "width", &T::width},
        {6, 2, "height", &T::height},
        {8, 2, "dataLength", &T::dataLength},
        {T::kNameOffset, T::kNameWidth, "name", &T::name},
    };
};

template <>
struct RecordLayout<FontRecord> {
    using T = FontRecord;
    static constexpr RecordField<T> fields[] = {
        {0, 2, "charCount", &T::charCount},
        {2, 2, "height", &T::height},
        {4, 2, "dataLength", &T::dataLength},
        {6, 2, "letter", &T::letter},  // the letter, then a zero byte
    };
};

// Where a record's fixed fields end: the body size of the kinds without a data string.
template <typename View>
constexpr std::size_t recordBodySize() {
    const auto& last = std::end(RecordLayout<View>::fields)[-1];
    return last.offset + last.width;
}

namespace record_detail {
template <typename>
struct MemberOf;
template <typename View, typename Value>
struct MemberOf<Value View::*> {
    using ViewType = View;
    using ValueType = Value;
};

void readField(const Record& r, std::size_t offset, std::size_t width, int& value);
void readField(const Record& r, std::size_t offset, std::size_t width, unsigned& value);
void readField(const Record& r, std::size_t offset, std::size_t width, char& value);
void readField(const Record& r, std::size_t offset, std::size_t width, std::string& value);
void writeField(Record& r, std::size_t offset, std::size_t width, int value);
void writeField(Record& r, std::size_t offset, std::size_t width, unsigned value);
void writeField(Record& r, std::size_t offset, std::size_t width, char value);
void writeField(Record& r, std::size_t offset, std::size_t width, const std::string& value);
}  // namespace record_detail

// The description of the field a member is stored in, found while compiling: naming a
// member that is not in its record's layout does not compile.
template <auto member>
consteval const auto& recordFieldOf() {
    using Member = decltype(member);
    using View = typename record_detail::MemberOf<Member>::ViewType;
    for (const RecordField<View>& field : RecordLayout<View>::fields) {
        // holds_alternative and get rather than get_if: with the undefined-behaviour
        // sanitizer GCC cannot fold get_if's null check while compiling.
        if (std::holds_alternative<Member>(field.member) && std::get<Member>(field.member) == member) return field;
    }
    throw "the member is not a field of its record";
}

// One field read from or written into a record in place; the other bytes stay as they are.
template <auto member>
auto recordField(const Record& r) {
    constexpr const auto& field = recordFieldOf<member>();
    typename record_detail::MemberOf<decltype(member)>::ValueType value{};
    record_detail::readField(r, field.offset, field.width, value);
    return value;
}
template <auto member>
void setRecordField(Record& r, const typename record_detail::MemberOf<decltype(member)>::ValueType& value) {
    constexpr const auto& field = recordFieldOf<member>();
    record_detail::writeField(r, field.offset, field.width, value);
}

// Body sizes of the label file's figure records (without their data strings or blocks).
inline constexpr std::size_t kRectangleBodySize = recordBodySize<RectangleRecord>();
inline constexpr std::size_t kLineBodySize = recordBodySize<LineRecord>();
inline constexpr std::size_t kBoxBodySize = recordBodySize<BoxRecord>();
inline constexpr std::size_t kPictureBodySize = recordBodySize<PictureRecord>();
inline constexpr std::size_t kFontBodySize = recordBodySize<FontRecord>();

}  // namespace tavrin
