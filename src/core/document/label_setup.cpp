#include "document/label_setup.h"

#include <cctype>

namespace tavrin {

namespace {
char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string upperCased(std::string_view text) {
    std::string out(text);
    for (auto& c : out) c = upper(c);
    return out;
}
}  // namespace

std::optional<std::string> checkDateFormat(std::string_view text) {
    if (text.size() != 2 && text.size() != 5 && text.size() != 8) return std::nullopt;
    bool day = false, month = false, year = false;
    for (std::size_t i = 0; i < text.size(); i += 3) {
        const char a = upper(text[i]);
        const char b = upper(text[i + 1]);
        bool* seen = nullptr;
        if (a == 'D' && b == 'D') seen = &day;
        else if (a == 'M' && (b == 'N' || b == 'E')) seen = &month;
        else if (a == 'Y' && (b == '2' || b == '4')) seen = &year;
        if (seen == nullptr || *seen) return std::nullopt;
        *seen = true;
    }
    return upperCased(text);
}

std::optional<std::string> checkTimeFormat(std::string_view text) {
    if (text.size() != 1 && text.size() != 3 && text.size() != 5) return std::nullopt;
    bool hour = false, minute = false, second = false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        bool* seen = nullptr;
        switch (upper(text[i])) {
            case 'H': seen = &hour; break;
            case 'M': seen = &minute; break;
            case 'S': seen = &second; break;
            default: return std::nullopt;
        }
        if (*seen) return std::nullopt;
        *seen = true;
    }
    return upperCased(text);
}

}  // namespace tavrin
