#include "render/text_data.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "document/label_document.h"

namespace tavrin {
namespace {

constexpr long kIndexLimit = 65535;
constexpr long kOffsetLimit = 32767;
constexpr long kMaxSlotOffset = 10000;
constexpr long kMaxDayOffset = 3600;
constexpr std::string_view kMonthNames = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";

// Reads a run of decimal digits at pos (none reads as 0), saturating at limit.
long readNumber(std::string_view data, std::size_t& pos, long limit) {
    long value = 0;
    while (pos < data.size() && data[pos] >= '0' && data[pos] <= '9') {
        value = std::min(limit, value * 10 + (data[pos] - '0'));
        ++pos;
    }
    return value;
}

// A slot value read as an integer: leading blanks, an optional sign, digits up to the
// first other character; no digits read as 0. Saturates instead of overflowing.
long long valueAsInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr long long kLimit = 1'000'000'000'000'000LL;
    long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = std::min(kLimit, value * 10 + (text[i] - '0'));
        ++i;
    }
    return negative ? -value : value;
}

const Variable* slot(const RenderContext& context, bool counter, long index) {
    if (context.document == nullptr) return nullptr;
    if (counter) return &context.document->counters[static_cast<std::size_t>(index)];
    return &context.document->variables[static_cast<std::size_t>(index)];
}

// The slot's value laid into a field of its length by its justification.
std::string buildSlotItem(const Variable& slot, std::string value) {
    const std::size_t length = slot.length;
    if (value.size() > length) value.resize(length);
    if (slot.justification == kJustifyNone || slot.justification > kJustifyRight) return value;
    // A zero pad byte would end the field early and hide a right-justified value.
    const char pad = slot.padChar == '\0' ? ' ' : slot.padChar;
    std::string field(length, pad);
    std::size_t at = 0;
    if (slot.justification == kJustifyCentre) at = (length - value.size()) / 2;
    if (slot.justification == kJustifyRight) at = length - value.size();
    field.replace(at, value.size(), value);
    return field;
}

void appendTwoDigits(std::string& out, int value) {
    value = ((value % 100) + 100) % 100;
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

// Day number of a proleptic Gregorian date (0 = 1970-01-01) and back; plain arithmetic, so
// adding days never meets time zones or daylight saving.
long long daysFromCivil(long long y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, long long& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

// The format as its 16-byte field holds it: characters past the end read as zero.
char formatAt(std::string_view format, std::size_t i) { return i < format.size() ? format[i] : '\0'; }

std::string buildDate(const std::tm& now, long dayOffset, std::string_view format) {
    const int month = std::clamp(now.tm_mon, 0, 11) + 1;
    long long year = now.tm_year + 1900LL;
    int m = 0, d = 0;
    civilFromDays(daysFromCivil(year, month, now.tm_mday) + dayOffset, year, m, d);

    std::string out;
    for (std::size_t position = 0; position < 3; ++position) {
        const char first = formatAt(format, position * 3);
        const char second = formatAt(format, position * 3 + 1);
        if (first == 'D') {
            appendTwoDigits(out, d);
        } else if (first == 'M') {
            if (second == 'N')
                appendTwoDigits(out, m);
            else
                out += kMonthNames.substr(static_cast<std::size_t>(m - 1) * 3, 3);
        } else if (first == 'Y') {
            if (second == '2') {
                appendTwoDigits(out, static_cast<int>(((year % 100) + 100) % 100));
            } else {
                char digits[24];
                std::snprintf(digits, sizeof digits, "%04lld", year);
                out += digits;
            }
        }
        const char separator = formatAt(format, position * 3 + 2);
        if (separator == '\0') break;
        out += separator;
    }
    return out;
}

std::string buildTime(const std::tm& now, std::string_view format) {
    std::string out;
    for (std::size_t position = 0; position < 3; ++position) {
        const char letter = formatAt(format, position * 2);
        if (letter == 'H') appendTwoDigits(out, now.tm_hour);
        if (letter == 'M') appendTwoDigits(out, now.tm_min);
        if (letter == 'S') appendTwoDigits(out, now.tm_sec);
        const char separator = formatAt(format, position * 2 + 1);
        if (separator == '\0') break;
        out += separator;
    }
    return out;
}

bool isModifier(char c) {
    return c == 'L' || c == 'R' || c == 'M' || c == 'X' || c == '>' || c == '<' || c == '#';
}

// Applies the modifiers that follow an item; false when one is malformed.
bool applyModifiers(std::string_view data, std::size_t& pos, std::string& item) {
    while (pos < data.size() && isModifier(data[pos])) {
        const char modifier = data[pos++];
        switch (modifier) {
            case 'L': {
                const auto n = static_cast<std::size_t>(readNumber(data, pos, kIndexLimit));
                if (n < item.size()) item.resize(n);
                break;
            }
            case 'R': {
                const auto n = static_cast<std::size_t>(readNumber(data, pos, kIndexLimit));
                if (n < item.size()) item.erase(0, item.size() - n);
                break;
            }
            case 'M': {
                auto start = static_cast<std::size_t>(readNumber(data, pos, kIndexLimit));
                if (pos >= data.size() || data[pos] != '.') return false;
                ++pos;
                auto count = static_cast<std::size_t>(readNumber(data, pos, kIndexLimit));
                start = std::max<std::size_t>(start, 1);
                count = std::max<std::size_t>(count, 1);
                item = start > item.size() ? std::string() : item.substr(start - 1, count);
                break;
            }
            case 'X': {
                if (pos + 2 > data.size()) return false;
                const char from = data[pos], to = data[pos + 1];
                pos += 2;
                std::replace(item.begin(), item.end(), from, to);
                break;
            }
            case '>':
            case '<': {
                char strip = ' ';
                if (pos < data.size()) strip = data[pos++];
                if (modifier == '>') {
                    item.erase(0, std::min(item.find_first_not_of(strip), item.size()));
                } else {
                    const std::size_t last = item.find_last_not_of(strip);
                    item.resize(last == std::string::npos ? 0 : last + 1);
                }
                break;
            }
            case '#': {
                item.erase(0, std::min(item.find_first_not_of('0'), item.size()));
                if (item.empty() || item.front() == '.') item.insert(item.begin(), '0');
                break;
            }
            default: return false;
        }
    }
    return true;
}

// Reads a variable or counter item after its letter; false when malformed.
bool readSlotItem(std::string_view data, std::size_t& pos, const RenderContext& context, bool counter,
                  std::string& item) {
    const long index = readNumber(data, pos, kIndexLimit);
    if (index > (counter ? kCounterCount - 1 : kVariableCount - 1)) return false;
    const Variable* source = slot(context, counter, index);
    const Variable empty{};
    const Variable& s = source ? *source : empty;
    std::string value = s.valueText();
    if (pos < data.size() && (data[pos] == '+' || data[pos] == '-')) {
        const bool negative = data[pos++] == '-';
        const long offset = readNumber(data, pos, kOffsetLimit);
        if (offset > kMaxSlotOffset) return false;
        value = std::to_string(valueAsInteger(value) + (negative ? -offset : offset));
    }
    item = buildSlotItem(s, std::move(value));
    return true;
}

// Reads the day offset after TD ("+"d, "-"d or a sign and a variable); false when malformed.
bool readDayOffset(std::string_view data, std::size_t& pos, const RenderContext& context, long& days) {
    days = 0;
    if (pos >= data.size() || (data[pos] != '+' && data[pos] != '-')) return true;
    const bool negative = data[pos++] == '-';
    long long amount = 0;
    if (pos < data.size() && data[pos] == 'V') {
        ++pos;
        const long index = readNumber(data, pos, kIndexLimit);
        if (index >= kVariableCount) return false;
        const Variable* source = slot(context, false, index);
        amount = source ? valueAsInteger(source->valueText()) : 0;
        if (amount > kMaxDayOffset || amount < -kMaxDayOffset) return false;
    } else {
        amount = readNumber(data, pos, kOffsetLimit);
        if (amount > kMaxDayOffset) return false;
    }
    days = static_cast<long>(negative ? -amount : amount);
    return true;
}

// Reads a quoted part after its opening quote, a backslash taking the next character as it
// is; false when the closing quote is missing.
bool readQuoted(std::string_view data, std::size_t& pos, std::string* out) {
    for (;;) {
        if (pos >= data.size()) return false;
        char ch = data[pos++];
        if (ch == '"') return true;
        if (ch == '\\') {
            if (pos >= data.size()) return false;
            ch = data[pos++];
        }
        if (out) *out += ch;
    }
}

// Where an expansion stopped: `at` is the position of the item that could not be read;
// `openQuote` is set when a quoted part had no closing quote.
struct ExpandStop {
    std::size_t at = 0;
    bool openQuote = false;
};

bool expand(std::string_view data, const RenderContext& context, std::string& out, ExpandStop& stop) {
    const LabelSetup defaults;
    const LabelSetup& setup = context.document ? context.document->setup : defaults;
    std::size_t pos = 0;
    while (pos < data.size()) {
        stop.at = pos;
        const char c = data[pos++];
        std::string item;
        if (c == '"') {
            if (!readQuoted(data, pos, &item)) {
                stop.openQuote = true;
                return false;
            }
            out += item;
            continue;
        }
        if (c == 'V' || c == 'C') {
            if (!readSlotItem(data, pos, context, c == 'C', item)) return false;
        } else if (c == 'T' && pos < data.size() && (data[pos] == 'D' || data[pos] == 'd')) {
            ++pos;
            long days = 0;
            if (!readDayOffset(data, pos, context, days)) return false;
            item = buildDate(context.currentTime(), days, setup.dateFormat);
        } else if (c == 'T' && pos < data.size() && (data[pos] == 'T' || data[pos] == 't')) {
            ++pos;
            item = buildTime(context.currentTime(), setup.timeFormat);
        } else {
            return false;
        }
        if (!applyModifiers(data, pos, item)) return false;
        out += item;
    }
    return true;
}

}  // namespace

bool ExpandTextData(std::string_view data, const RenderContext& context, std::string& out, std::size_t limit) {
    out.clear();
    ExpandStop stop;
    if (!expand(data, context, out, stop)) {
        out = kMalformedText;
        return false;
    }
    if (out.size() > limit) out.resize(limit);
    return true;
}

std::optional<std::string> textDataProblem(std::string_view data) {
    std::string out;
    ExpandStop stop;
    if (expand(data, RenderContext{}, out, stop)) return std::nullopt;
    if (stop.openQuote) return "The closing quote is missing";
    return "Not readable from character " + std::to_string(stop.at + 1);
}

std::vector<SlotReference> slotReferences(std::string_view data) {
    // The grammar of expand(), reading without a document: items are parsed, not built.
    std::vector<SlotReference> references;
    const RenderContext none{};
    std::size_t pos = 0;
    while (pos < data.size()) {
        const char c = data[pos++];
        std::string item;
        if (c == '"') {
            if (!readQuoted(data, pos, nullptr)) return references;
            continue;
        }
        if (c == 'V' || c == 'C') {
            std::size_t at = pos;
            const long index = readNumber(data, at, kIndexLimit);
            if (!readSlotItem(data, pos, none, c == 'C', item)) return references;
            references.push_back({c == 'C', static_cast<int>(index)});
        } else if (c == 'T' && pos < data.size() && (data[pos] == 'D' || data[pos] == 'd')) {
            ++pos;
            if (pos + 1 < data.size() && (data[pos] == '+' || data[pos] == '-') && data[pos + 1] == 'V') {
                std::size_t at = pos + 2;
                const long index = readNumber(data, at, kIndexLimit);
                if (index < kVariableCount) references.push_back({false, static_cast<int>(index)});
            }
            long days = 0;
            if (!readDayOffset(data, pos, none, days)) return references;
        } else if (c == 'T' && pos < data.size() && (data[pos] == 'T' || data[pos] == 't')) {
            ++pos;
        } else {
            return references;
        }
        if (!applyModifiers(data, pos, item)) return references;
    }
    return references;
}

bool isFixedTextData(std::string_view data) {
    std::size_t pos = 0;
    while (pos < data.size())
        if (data[pos++] != '"' || !readQuoted(data, pos, nullptr)) return false;
    return true;
}

}  // namespace tavrin
