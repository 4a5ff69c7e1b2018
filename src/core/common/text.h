#pragma once
// Small text helpers every part of the core needs the same way.
#include <string>
#include <string_view>

namespace tavrin {

// A name as the printer's commands carry it: in double quotes, as it stands. (Not called
// quoted: std::quoted would win over it for std::string arguments.)
inline std::string inQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

// The text without leading and trailing blanks and tabs.
inline std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace tavrin
