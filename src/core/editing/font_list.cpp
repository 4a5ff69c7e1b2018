#include "editing/font_list.h"

#include <array>

namespace tavrin {

std::vector<std::string> buildFontList(const FigureList& figures) {
    static constexpr std::array<const char*, 5> kResident = {"1  (8x12)", "2  (10x16)", "3  (12x20)",
                                                             "4  (14x24)", "5  (32x48)"};
    std::vector<std::string> items(kResident.begin(), kResident.end());
    for (const Figure* font : figures.fonts()) {
        const FontRecord record = FontRecord::decode(font->record);
        items.push_back(std::string(1, record.letter) + "  h=" + std::to_string(record.height));
    }
    return items;
}

std::optional<char> storedFontLetter(const std::string& name) {
    if (name.size() != 1) return std::nullopt;
    const char letter = name[0] >= 'a' && name[0] <= 'z' ? static_cast<char>(name[0] - 'a' + 'A') : name[0];
    if (letter < 'A' || letter > 'Z') return std::nullopt;
    return letter;
}

}  // namespace tavrin
