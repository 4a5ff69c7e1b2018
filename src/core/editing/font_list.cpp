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

}  // namespace tavrin
