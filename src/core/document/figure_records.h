#pragma once
// Typed views of the figure records. Each struct decodes from and encodes to the exact
// 84-byte record of its kind; the offsets below are the label file's record bodies.
#include <cstdint>
#include <string>

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

// Body sizes of the label file's figure records (without their data strings or blocks).
inline constexpr std::size_t kRectangleBodySize = 10;
inline constexpr std::size_t kLineBodySize = 12;
inline constexpr std::size_t kBoxBodySize = 10;
inline constexpr std::size_t kPictureBodySize = 26;
inline constexpr std::size_t kFontBodySize = 8;

}  // namespace tavrin
