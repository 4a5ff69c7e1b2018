#pragma once
// The label's size and the printer settings that travel with it.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

inline constexpr std::array<const char*, 7> kSpeedNames = {
    "25 mm/s", "37 mm/s", "50 mm/s", "75 mm/s", "100 mm/s", "125 mm/s", "150 mm/s"};
inline constexpr std::array<const char*, 3> kLanguageNames = {"English", "Bulgarian", "Russian"};
inline constexpr std::array<const char*, 3> kPaperTypeNames = {"Continuous", "Normal Label", "Black Line"};
inline constexpr std::array<const char*, 2> kOrientationNames = {"Top", "Bottom"};

struct LabelSetup {
    int width = 384;        // dots
    int length = 200;       // dots
    int leftMargin = 0;     // reference point x
    int topMargin = 0;      // reference point y
    int offset = 8;         // feed offset after the label, signed
    int orientation = 0;    // 0 "Top", 1 "Bottom"
    int darkness = 8;       // 0..15
    int speed = 4;          // index into kSpeedNames
    int language = 0;       // 0 English, 1 Bulgarian, 2 Russian
    int labelGap = 24;
    int paperType = 0;      // 0 Continuous, 1 Normal Label, 2 Black Line
    int normalText = 1;     // 1 "Normal", 0 "Condensed"
    std::string dateFormat = "DD-MN-Y4";  // at most 15 characters
    std::string timeFormat = "H:M:S";     // at most 15 characters

    bool operator==(const LabelSetup&) const = default;
};

inline constexpr std::size_t kFormatFieldWidth = 16;  // the formats' stored field, with its zero

// Returns the format upper-cased when it is valid, nothing when it must be refused.
// Date: 2, 5 or 8 characters; pairs DD, MN/ME, Y2/Y4 each at most once, any separator.
std::optional<std::string> checkDateFormat(std::string_view text);
// Time: 1, 3 or 5 characters; letters H, M, S each at most once, any separator.
std::optional<std::string> checkTimeFormat(std::string_view text);

}  // namespace tavrin
