#include "clock_option.h"

#include <cstdio>

namespace tavrin::cli {

bool parseClock(const std::string& text, std::tm& out) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char separator = 0;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &year, &month, &day, &separator, &hour, &minute,
                    &second, &consumed) != 7 ||
        static_cast<std::size_t>(consumed) != text.size() || (separator != 'T' && separator != ' '))
        return false;
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    std::tm normalised = t;
    if (std::mktime(&normalised) == static_cast<std::time_t>(-1)) return false;
    // A date that mktime had to move (31 February) is not a date.
    if (normalised.tm_mday != day || normalised.tm_mon != month - 1 || normalised.tm_year != year - 1900 ||
        hour > 23 || minute > 59 || second > 59)
        return false;
    out = normalised;
    return true;
}

}  // namespace tavrin::cli
