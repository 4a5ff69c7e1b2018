#include "data/data_file.h"

#include <algorithm>
#include <charconv>

#include "printer/screen_text.h"
#include "common/text.h"

namespace tavrin {

namespace {

// A first line longer than this is not looked at further to guess the delimiter.
constexpr std::size_t kSniffLimit = 64 * 1024;

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::optional<long long> positiveNumber(std::string_view text) {
    text = trimBlanks(text);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
    return value;
}

}  // namespace

DataReader::DataReader(std::istream& in, char delimiter, DataEncoding encoding)
    : in_(in), delimiter_(delimiter), encoding_(encoding == DataEncoding::Ansi ? encoding : DataEncoding::Utf8) {
    // The byte order mark: bytes that turn out not to be one are read again as text.
    std::uint8_t first[3] = {};
    int got = 0;
    const auto take = [&] {
        const int c = in_.get();
        if (c == std::char_traits<char>::eof()) return false;
        first[got++] = static_cast<std::uint8_t>(c);
        return true;
    };
    if (take() && (first[0] == 0xEF || first[0] == 0xFF || first[0] == 0xFE) && take()) {
        if (first[0] == 0xFF && first[1] == 0xFE) encoding_ = DataEncoding::Utf16Le, bom_ = true;
        else if (first[0] == 0xFE && first[1] == 0xFF) encoding_ = DataEncoding::Utf16Be, bom_ = true;
        else if (first[0] == 0xEF && first[1] == 0xBB && take() && first[2] == 0xBF) encoding_ = DataEncoding::Utf8, bom_ = true;
    }
    if (!bom_) raw_.assign(first, first + got);

    if (delimiter_ != 0) return;
    // Counts the candidates on the first line outside quotes; the line is then read again.
    std::size_t tabs = 0, semicolons = 0, commas = 0;
    bool quoted = false;
    char c = 0;
    while (pending_.size() < kSniffLimit && decoded(c)) {
        pending_ += c;
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n') break;
        tabs += c == '\t';
        semicolons += c == ';';
        commas += c == ',';
    }
    delimiter_ = tabs > 0 && tabs >= std::max(semicolons, commas) ? '\t' : semicolons > commas ? ';' : ',';
}

bool DataReader::rawByte(std::uint8_t& b) {
    if (rawAt_ < raw_.size()) {
        b = raw_[rawAt_++];
        return true;
    }
    const int c = in_.get();
    if (c == std::char_traits<char>::eof()) return false;
    b = static_cast<std::uint8_t>(c);
    return true;
}

bool DataReader::decoded(char& c) {
    if (encoding_ != DataEncoding::Utf16Le && encoding_ != DataEncoding::Utf16Be) {
        std::uint8_t b = 0;
        if (!rawByte(b)) return false;
        c = static_cast<char>(b);
        return true;
    }
    if (utf16At_ < utf16Out_.size()) {
        c = utf16Out_[utf16At_++];
        return true;
    }
    const auto unit = [&](std::uint32_t& u) {
        std::uint8_t a = 0, b = 0;
        if (!rawByte(a) || !rawByte(b)) return false;
        u = encoding_ == DataEncoding::Utf16Le ? (b << 8 | a) : (a << 8 | b);
        return true;
    };
    std::uint32_t code = 0;
    if (!unit(code)) return false;
    if (code >= 0xD800 && code < 0xDC00) {
        std::uint32_t low = 0;
        if (unit(low) && low >= 0xDC00 && low < 0xE000) code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        else code = 0xFFFD;
    } else if (code >= 0xDC00 && code < 0xE000) {
        code = 0xFFFD;
    }
    utf16Out_.clear();
    utf16At_ = 0;
    appendUtf8(utf16Out_, code);
    c = utf16Out_[utf16At_++];
    return true;
}

bool DataReader::get(char& c) {
    if (peeked_) {
        c = *peeked_;
        peeked_.reset();
        return true;
    }
    if (pendingAt_ < pending_.size()) {
        c = pending_[pendingAt_++];
        if (pendingAt_ == pending_.size()) {
            pending_.clear();
            pending_.shrink_to_fit();
            pendingAt_ = 0;
        }
        return true;
    }
    return decoded(c);
}

bool DataReader::peek(char& c) {
    if (!peeked_) {
        char next = 0;
        if (!get(next)) return false;
        peeked_ = next;
    }
    c = *peeked_;
    return true;
}

bool DataReader::next(std::vector<std::string>& fields) {
    char c = 0;
    if (!get(c)) return false;
    recordLine_ = lineNumber_;
    std::size_t count = 0;
    // Strings past `count` keep their storage for the next record.
    const auto startField = [&]() -> std::string& {
        if (count == fields.size()) fields.emplace_back();
        std::string& field = fields[count++];
        field.clear();
        return field;
    };
    // The vector may still hold more strings from a longer record: they are cut at the end.
    std::string* field = &startField();
    bool inQuotes = false;
    bool onlyBlanks = true;  // nothing but blanks so far in this field: a quote opens it
    for (;;) {
        if (inQuotes) {
            char n = 0;
            if (c == '"') {
                if (peek(n) && n == '"') {
                    get(n);
                    *field += '"';
                } else {
                    inQuotes = false;
                }
            } else if (c == '\r' && peek(n) && n == '\n') {
                // CR LF inside a field is one line break.
            } else {
                if (c == '\n') ++lineNumber_;
                *field += c;
            }
        } else if (c == delimiter_) {
            field = &startField();
            onlyBlanks = true;
        } else if (c == '\n' || c == '\r') {
            char n = 0;
            if (c == '\r' && peek(n) && n == '\n') get(n);
            ++lineNumber_;
            break;
        } else if (c == '"' && onlyBlanks) {
            field->clear();
            inQuotes = true;
            onlyBlanks = false;
        } else {
            *field += c;
            if (c != ' ') onlyBlanks = false;
        }
        if (!get(c)) {
            if (inQuotes) unterminated_ = true;
            break;
        }
    }
    fields.resize(count);
    return true;
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        int extra = 0;
        std::uint32_t code = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, code = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, code = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, code = b & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= bytes.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<std::uint8_t>(bytes[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        static constexpr std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::string fieldToUtf8(std::string_view field, DataEncoding encoding, const std::string& ansiCodePage) {
    if (encoding != DataEncoding::Ansi) return std::string(field);
    const bool ascii = std::all_of(field.begin(), field.end(), [](char c) { return (c & 0x80) == 0; });
    return ascii ? std::string(field) : decodeCodePage(field, ansiCodePage);
}

bool isBlankRecord(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return trimBlanks(f).empty(); });
}

std::optional<RowSelection> RowSelection::parse(std::string_view text) {
    RowSelection selection;
    text = trimBlanks(text);
    if (text.empty() || text == "all" || text == "All" || text == "ALL") return selection;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view part = trimBlanks(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const std::size_t dash = part.find('-');
        Range range{};
        if (dash == std::string_view::npos) {
            const auto row = positiveNumber(part);
            if (!row) return std::nullopt;
            range = {*row, *row};
        } else {
            const auto first = positiveNumber(part.substr(0, dash));
            const std::string_view lastText = trimBlanks(part.substr(dash + 1));
            const auto last = lastText.empty() ? std::optional<long long>(kEnd) : positiveNumber(lastText);
            if (!first || !last || (*last != kEnd && *last < *first)) return std::nullopt;
            range = {*first, *last};
        }
        selection.ranges_.push_back(range);
    }
    return selection;
}

bool RowSelection::contains(long long row) const {
    if (ranges_.empty()) return row >= 1;
    return std::any_of(ranges_.begin(), ranges_.end(),
                       [row](const Range& r) { return row >= r.first && (r.last == kEnd || row <= r.last); });
}

long long RowSelection::countWithin(long long rowCount) const {
    if (ranges_.empty()) return std::max(rowCount, 0LL);
    std::vector<Range> sorted;
    for (const Range& r : ranges_) {
        const long long last = r.last == kEnd ? rowCount : std::min(r.last, rowCount);
        if (r.first <= last) sorted.push_back({r.first, last});
    }
    std::sort(sorted.begin(), sorted.end(), [](const Range& a, const Range& b) { return a.first < b.first; });
    long long count = 0, covered = 0;  // rows up to `covered` are counted
    for (const Range& r : sorted) {
        const long long from = std::max(r.first, covered + 1);
        if (r.last >= from) count += r.last - from + 1;
        covered = std::max(covered, r.last);
    }
    return count;
}

RowSelection RowSelection::after(long long row) const {
    if (ranges_.empty()) return from(row + 1);
    RowSelection rest;
    for (const Range& r : ranges_) {
        if (r.last != kEnd && r.last <= row) continue;
        rest.ranges_.push_back({std::max(r.first, row + 1), r.last});
    }
    // Nothing left: a selection that holds no row at all.
    if (rest.ranges_.empty()) rest.ranges_.push_back({1, 0});
    return rest;
}

std::string RowSelection::text() const {
    if (ranges_.empty()) return "all";
    std::string out;
    for (const Range& r : ranges_) {
        if (r.last != kEnd && r.last < r.first) continue;  // what after() left of nothing
        if (!out.empty()) out += ',';
        out += std::to_string(r.first);
        if (r.last == kEnd) out += '-';
        else if (r.last != r.first) out += '-' + std::to_string(r.last);
    }
    return out;
}

void RowList::add(long long row) {
    if (count_ > 0 && row <= last_) return;  // taken already
    ++count_;
    const bool follows = count_ > 1 && row == last_ + 1 && counted_ == count_ - 1;
    last_ = row;
    if (follows) {
        ranges_.back().second = row;
        ++counted_;
    } else if (limit_ == 0 || ranges_.size() < limit_) {
        ranges_.push_back({row, row});
        ++counted_;
    }
}

bool RowList::contains(long long row) const {
    return std::any_of(ranges_.begin(), ranges_.end(), [row](const auto& r) { return row >= r.first && row <= r.second; });
}

std::string RowList::text() const {
    std::string out;
    for (const auto& [first, last] : ranges_) {
        if (!out.empty()) out += ", ";
        out += std::to_string(first);
        if (last != first) out += "-" + std::to_string(last);
    }
    if (count_ > counted_) out += " and " + groupedNumber(count_ - counted_) + " more";
    return out;
}

std::string groupedNumber(long long value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), ",");
    return value < 0 ? "-" + digits : digits;
}

}  // namespace tavrin
