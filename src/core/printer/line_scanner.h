#pragma once
// Reads the fields of one printer command line from left to right. The number scanners
// never fail: a missing number reads as 0 and a long one is clamped, so a hostile line
// cannot overflow anything; the caller then checks what stands after the number.
#include <cstddef>
#include <string_view>

namespace tavrin {

class LineScanner {
public:
    explicit LineScanner(std::string_view line, std::size_t start = 0) : line_(line), pos_(start) {}

    bool atEnd() const { return pos_ >= line_.size(); }
    // The character at the cursor, or '\0' at the end of the line.
    char peek() const { return atEnd() ? '\0' : line_[pos_]; }
    char next() { return atEnd() ? '\0' : line_[pos_++]; }
    // Steps over `c` when it is next; false (and no step) otherwise.
    bool take(char c);

    // A run of decimal digits (none gives 0), clamped at 65535.
    unsigned scanUnsigned();
    // An optional + or -, then a run of digits (none gives 0), clamped at 32767 before the
    // sign is applied.
    int scanSigned();

    // Everything from the cursor to the end of the line; moves the cursor to the end.
    std::string_view rest();
    // The characters up to (not including) the next `c`; nothing when there is none, and
    // the cursor stays. On success the cursor stands on `c`.
    bool takeUntil(char c, std::string_view& field);

private:
    std::string_view line_;
    std::size_t pos_;
};

}  // namespace tavrin
