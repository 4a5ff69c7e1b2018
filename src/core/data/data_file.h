#pragma once
// Tables of data as spreadsheets and databases export them: comma, semicolon or tab
// separated text, quoted fields holding separators, quotes and line breaks, a byte order
// mark, CR LF or LF line ends, rows of differing length. Read as a stream, one record at a
// time, so a file of any length costs the memory of its longest record.
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// How the file's bytes are text: UTF-8 (with or without a mark), UTF-16 with its mark
// (Excel's "Unicode text"), or the configured ANSI code page.
enum class DataEncoding { Utf8, Utf16Le, Utf16Be, Ansi };

class DataReader {
public:
    // `delimiter` 0 picks the one the first line uses most of tab, semicolon and comma.
    // `encoding` is only a default: a byte order mark decides on its own.
    explicit DataReader(std::istream& in, char delimiter = 0, DataEncoding encoding = DataEncoding::Utf8);

    // The next record's fields, as bytes in the file's encoding (UTF-16 arrives as UTF-8).
    // False at the end of the input. The vector and its strings are reused between calls.
    bool next(std::vector<std::string>& fields);

    char delimiter() const { return delimiter_; }
    // UTF-16 with its mark, else the encoding given. Fields of UTF-16 are UTF-8 already.
    DataEncoding encoding() const { return encoding_; }
    DataEncoding fieldEncoding() const {
        return encoding_ == DataEncoding::Ansi ? DataEncoding::Ansi : DataEncoding::Utf8;
    }
    bool hadByteOrderMark() const { return bom_; }
    // The physical line (1-based) on which the record last returned began.
    long long line() const { return recordLine_; }
    // The input ended inside a quoted field; the last record holds what came.
    bool unterminatedQuote() const { return unterminated_; }

private:
    bool get(char& c);
    bool peek(char& c);
    bool rawByte(std::uint8_t& b);
    bool decoded(char& c);

    std::istream& in_;
    char delimiter_ = ',';
    DataEncoding encoding_;
    bool bom_ = false;
    bool unterminated_ = false;
    long long lineNumber_ = 1;
    long long recordLine_ = 0;
    // Bytes taken from the stream to look for a byte order mark that was none.
    std::vector<std::uint8_t> raw_;
    std::size_t rawAt_ = 0;
    // The rest of a UTF-8 sequence made from UTF-16.
    std::string utf16Out_;
    std::size_t utf16At_ = 0;
    // Characters already decoded but not yet handed out (the first line, read to find the
    // delimiter).
    std::string pending_;
    std::size_t pendingAt_ = 0;
    std::optional<char> peeked_;
};

// True when the bytes are well-formed UTF-8 (pure ASCII included).
bool isValidUtf8(std::string_view bytes);

// A field's bytes as UTF-8 text.
std::string fieldToUtf8(std::string_view field, DataEncoding encoding, const std::string& ansiCodePage);

// A record that holds nothing: a blank line, or only empty fields (what spreadsheets leave
// at the end of a sheet).
bool isBlankRecord(const std::vector<std::string>& fields);

// Which data rows (1-based, header excluded, blank records not counted) to print: "" or
// "all" for every row, "15-20", "15", "15-" (to the end), or several joined by commas.
class RowSelection {
public:
    static std::optional<RowSelection> parse(std::string_view text);
    static RowSelection all() { return RowSelection(); }
    static RowSelection from(long long first) {
        RowSelection s;
        s.ranges_.push_back({first, kEnd});
        return s;
    }

    bool isAll() const { return ranges_.empty(); }
    bool contains(long long row) const;
    // How many of rows 1..rowCount are chosen.
    long long countWithin(long long rowCount) const;
    // The chosen rows after `row`: where a run that ended at `row` goes on.
    RowSelection after(long long row) const;
    // The text parse() reads back (empty for a selection after() emptied).
    std::string text() const;

private:
    static constexpr long long kEnd = -1;
    struct Range {
        long long first, last;  // last kEnd: to the end
    };
    std::vector<Range> ranges_;
};

// Row numbers taken in increasing order, kept as ranges so that a long run costs a few
// numbers: "15, 18-20". With a limit, rows past that many ranges are only counted.
class RowList {
public:
    explicit RowList(std::size_t rangeLimit = 0) : limit_(rangeLimit) {}
    void add(long long row);
    bool empty() const { return count_ == 0; }
    long long count() const { return count_; }
    long long first() const { return ranges_.empty() ? 0 : ranges_.front().first; }
    long long last() const { return last_; }
    bool contains(long long row) const;
    // "15, 18-20", and " and 7 more" for rows past the limit.
    std::string text() const;

private:
    std::vector<std::pair<long long, long long>> ranges_;
    std::size_t limit_;
    long long count_ = 0;
    long long counted_ = 0;  // rows held in ranges_
    long long last_ = 0;
};

// "1,234": numbers as the progress line shows them.
std::string groupedNumber(long long value);

}  // namespace tavrin
