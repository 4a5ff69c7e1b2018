#include "editing/setup_fields.h"

namespace tavrin {

namespace {
std::string number(int value) { return std::to_string(value); }
constexpr int kDarknessLevels = 16;
constexpr int kFirstWarnedDarkness = 12;
}  // namespace

std::optional<std::pair<int, int>> labelSizePreset(int position) {
    if (position <= 0 || position >= static_cast<int>(kLabelSizePresets.size())) return std::nullopt;
    const auto& preset = kLabelSizePresets[static_cast<std::size_t>(position)];
    return std::pair{preset.width, preset.length};
}

std::vector<std::string> darknessItems() {
    std::vector<std::string> items;
    for (int level = 0; level < kDarknessLevels; ++level)
        items.push_back(level < kFirstWarnedDarkness ? number(level) : number(level) + " Warning !");
    return items;
}

SetupForm setupForm(const LabelSetup& setup) {
    SetupForm form;
    form.labelSize = 0;
    form.width = number(setup.width);
    form.length = number(setup.length);
    form.gap = number(setup.labelGap);
    form.offset = number(setup.offset);
    form.darkness = listPosition(setup.darkness, kDarknessLevels, 0);
    form.speed = listPosition(setup.speed, static_cast<int>(kSpeedNames.size()), 0);
    form.leftMargin = number(setup.leftMargin);
    form.topMargin = number(setup.topMargin);
    form.orientation = listPosition(setup.orientation, static_cast<int>(kOrientationNames.size()), 0);
    form.language = listPosition(setup.language, static_cast<int>(kLanguageNames.size()), 0);
    form.paperType = listPosition(setup.paperType, static_cast<int>(kPaperTypeNames.size()), 0);
    form.textType = listPosition(1 - setup.normalText, static_cast<int>(kTextTypeItems.size()), 0);
    form.dateFormat = setup.dateFormat;
    form.timeFormat = setup.timeFormat;
    return form;
}

void applySetupForm(const SetupForm& form, LabelSetup& setup) {
    setup.width = acceptField(form.width, setup.width, kLabelWidthRange);
    setup.length = acceptField(form.length, setup.length, kLabelLengthRange);
    setup.labelGap = acceptField(form.gap, setup.labelGap, kLabelGapRange);
    setup.offset = acceptField(form.offset, setup.offset, kLabelOffsetRange);
    setup.topMargin = acceptField(form.topMargin, setup.topMargin, kTopMarginRange);
    setup.leftMargin = acceptField(form.leftMargin, setup.leftMargin, kLeftMarginRange);
    setup.orientation = acceptListField(form.orientation, static_cast<int>(kOrientationNames.size()), 0, setup.orientation);
    setup.darkness = acceptListField(form.darkness, kDarknessLevels, 0, setup.darkness);
    setup.speed = acceptListField(form.speed, static_cast<int>(kSpeedNames.size()), 0, setup.speed);
    setup.language = acceptListField(form.language, static_cast<int>(kLanguageNames.size()), 0, setup.language);
    setup.paperType = acceptListField(form.paperType, static_cast<int>(kPaperTypeNames.size()), 0, setup.paperType);
    const int textType = acceptListField(form.textType, static_cast<int>(kTextTypeItems.size()), 0, -1);
    if (textType >= 0) setup.normalText = 1 - textType;
    if (auto date = checkDateFormat(form.dateFormat)) setup.dateFormat = *date;
    if (auto time = checkTimeFormat(form.timeFormat)) setup.timeFormat = *time;
}

}  // namespace tavrin
