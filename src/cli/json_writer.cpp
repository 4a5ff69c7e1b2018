#include "json_writer.h"

#include <cstdio>

namespace tavrin::cli {

void JsonWriter::quoted(std::string_view text) {
    out_ += '"';
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\n': out_ += "\\n"; break;
            case '\r': out_ += "\\r"; break;
            case '\t': out_ += "\\t"; break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out_ += escaped;
                } else {
                    out_ += ch;
                }
        }
    }
    out_ += '"';
}

void JsonWriter::prefix(std::string_view key) {
    if (!first_.empty()) {
        if (!first_.back()) out_ += ',';
        first_.back() = false;
        out_ += '\n';
        out_.append(2 * first_.size(), ' ');
    }
    if (!key.empty()) {
        quoted(key);
        out_ += ": ";
    }
}

JsonWriter& JsonWriter::beginObject(std::string_view key) {
    prefix(key);
    out_ += '{';
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) {
        out_ += '\n';
        out_.append(2 * first_.size(), ' ');
    }
    out_ += '}';
    if (first_.empty()) out_ += '\n';
    return *this;
}

JsonWriter& JsonWriter::beginArray(std::string_view key) {
    prefix(key);
    out_ += '[';
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) {
        out_ += '\n';
        out_.append(2 * first_.size(), ' ');
    }
    out_ += ']';
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view key, long long number) {
    prefix(key);
    out_ += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view key, std::string_view text) {
    prefix(key);
    quoted(text);
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view key, bool flag) {
    prefix(key);
    out_ += flag ? "true" : "false";
    return *this;
}

}  // namespace tavrin::cli
