#pragma once
// The figures of the label in drawing order (front is drawn first) and the editing
// operations on them. Picture data blocks are shared by all Pictures of one name and
// live exactly as long as some figure uses them.
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/figure_records.h"

namespace tavrin {

// A picture's packed, run-length coded rows, byte for byte as stored in label files:
// shareCount, bytesPerRow, then the rows.
struct PictureBlock {
    std::vector<std::uint8_t> bytes;
    unsigned bytesPerRow() const { return bytes.size() > 1 ? bytes[1] : 0; }
};
using PictureBlockRef = std::shared_ptr<PictureBlock>;

inline constexpr std::uint8_t kFlagSelected = 0x01;
inline constexpr std::uint8_t kFlagEditMarkA = 0x04;   // mouse editor's transient marks
inline constexpr std::uint8_t kFlagEditMarkB = 0x08;

struct Figure {
    FigureKind kind = FigureKind::Text;
    std::uint8_t flags = 0;
    std::uint8_t copyMark = 0;
    Record record{};
    PictureBlockRef picture;              // Picture figures: the shared block, or none
    std::vector<std::uint8_t> fontData;   // Font entries: the label font bytes

    bool selected() const { return (flags & kFlagSelected) != 0; }
    bool isFont() const { return kind == FigureKind::Font; }
};

// What a window must tell the user instead of doing an operation.
struct UserMessage {
    std::string title;
    std::string text;
    bool operator==(const UserMessage&) const = default;
};

// The outcome of asking to delete the selection: either an error to show, or the
// Yes/No question to put before calling deleteSelected().
struct DeleteRequest {
    int count = 0;                  // selected figures that would be removed (fonts excluded)
    std::optional<UserMessage> error;
    UserMessage question;           // title "Delete %d objects", text "Are you sure ?"
};

class FigureList {
public:
    using Container = std::list<Figure>;
    using iterator = Container::iterator;
    using const_iterator = Container::const_iterator;

    FigureList() = default;
    FigureList(const FigureList&) = default;
    FigureList& operator=(const FigureList&) = default;
    FigureList(FigureList&&) noexcept = default;
    FigureList& operator=(FigureList&&) noexcept = default;

    iterator begin() { return figures_.begin(); }
    iterator end() { return figures_.end(); }
    const_iterator begin() const { return figures_.begin(); }
    const_iterator end() const { return figures_.end(); }
    std::size_t size() const { return figures_.size(); }
    bool empty() const { return figures_.empty(); }
    Figure& front() { return figures_.front(); }
    Figure& back() { return figures_.back(); }

    Figure& appendFigure(const Record& record, FigureKind kind);
    Figure& prependFigure(const Record& record, FigureKind kind);
    // Removes the figure with this address; false when it is not in the list.
    bool removeFigure(const Figure* figure);
    void clearFigures();

    void selectAll();    // every figure but Font entries
    void unselectAll();
    // Selected figures, Font entries not counted.
    int countSelected() const;
    // The one selected figure, or the message to show when none or several are.
    std::optional<UserMessage> requireSingleSelection() const;
    Figure* firstSelected();

    void moveSelected(int dx, int dy);
    void copy();
    void paste();
    std::optional<UserMessage> moveToTop();
    std::optional<UserMessage> moveToBottom();
    DeleteRequest requestDelete() const;
    int deleteSelected();  // removes the selected figures of kinds 0..5; returns how many

    // Soft fonts: font number n (6 and above) is the (n - 5)-th Font entry in list order.
    const Figure* softFontByNumber(int fontNumber) const;
    const Figure* fontByLetter(char letter) const;  // letters compared case-insensitively
    int softFontHeight(char letter) const;          // 16 when no such font
    std::vector<const Figure*> fonts() const;

    // How many Picture figures use this block.
    int shareCount(const PictureBlock* block) const;
    // The block of the first Picture of this name that has one.
    PictureBlockRef pictureBlockByName(const std::string& name) const;

private:
    Figure& link(iterator where, const Record& record, FigureKind kind);
    iterator find(const Figure* figure);
    Container figures_;
};

// Moves a figure's position fields by dx, dy as its kind keeps them.
void moveFigure(Figure& figure, int dx, int dy);

}  // namespace tavrin
