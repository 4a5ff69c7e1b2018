#include "document/variable_sheet.h"

#include <algorithm>
#include <charconv>

namespace tavrin {

std::optional<int> wholeNumber(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

VariableSheet VariableSheet::from(const LabelDocument& document) {
    VariableSheet sheet;
    sheet.variables = document.variables;
    sheet.counters = document.counters;
    return sheet;
}

void VariableSheet::applyTo(LabelDocument& document) const {
    document.variables = variables;
    document.counters = counters;
}

Variable& VariableSheet::slot(SlotKind kind, int index) {
    return kind == SlotKind::Variables ? variables.at(static_cast<std::size_t>(index))
                                      : counters.at(static_cast<std::size_t>(index));
}

const Variable& VariableSheet::slot(SlotKind kind, int index) const {
    return kind == SlotKind::Variables ? variables.at(static_cast<std::size_t>(index))
                                      : counters.at(static_cast<std::size_t>(index));
}

std::vector<int> VariableSheet::definedSlots(SlotKind kind) const {
    std::vector<int> slots;
    for (int i = 0; i < slotCount(kind); ++i)
        if (slot(kind, i).isDefined()) slots.push_back(i);
    return slots;
}

std::vector<std::string> VariableSheet::entryNames(SlotKind kind) const {
    const std::string word = kind == SlotKind::Variables ? "Variable " : "Counter ";
    std::vector<std::string> names;
    for (const int i : definedSlots(kind)) names.push_back(word + std::to_string(i));
    return names;
}

std::optional<int> VariableSheet::slotAt(SlotKind kind, int position) const {
    const std::vector<int> slots = definedSlots(kind);
    if (position < 0 || position >= static_cast<int>(slots.size())) return std::nullopt;
    return slots[static_cast<std::size_t>(position)];
}

std::optional<int> VariableSheet::positionOf(SlotKind kind, int index) const {
    const std::vector<int> slots = definedSlots(kind);
    const auto it = std::find(slots.begin(), slots.end(), index);
    if (it == slots.end()) return std::nullopt;
    return static_cast<int>(it - slots.begin());
}

std::optional<int> VariableSheet::addNew(SlotKind kind) {
    for (int i = 0; i < slotCount(kind); ++i) {
        Variable& s = slot(kind, i);
        if (s.isDefined()) continue;
        s.define(kNewSlotLength, kJustifyNone, kind == SlotKind::Variables ? ' ' : '0',
                 (kind == SlotKind::Variables ? "Variable " : "Counter ") + std::to_string(i));
        return i;
    }
    return std::nullopt;
}

std::optional<int> VariableSheet::removeAt(SlotKind kind, int position) {
    const std::optional<int> index = slotAt(kind, position);
    if (!index) return std::nullopt;
    slot(kind, *index).defined = 0;
    if (definedSlots(kind).empty()) return std::nullopt;
    return std::max(position - 1, 0);
}

void VariableSheet::removeAll() {
    for (auto& v : variables) v.defined = 0;
    for (auto& c : counters) c.defined = 0;
}

SlotFields VariableSheet::fields(SlotKind kind, int index) const {
    const Variable& s = slot(kind, index);
    SlotFields f;
    f.length = std::to_string(s.length);
    f.justification = std::min<int>(s.justification, kJustifyRight);
    if (s.padChar != '\0') f.padChar = std::string(1, s.padChar);
    if (kind == SlotKind::Counters) f.step = std::to_string(s.counterStep());
    f.prompt = s.promptText();
    f.value = s.valueText();
    return f;
}

void VariableSheet::storeFields(SlotKind kind, int index, const SlotFields& f) {
    Variable& s = slot(kind, index);
    if (const auto length = wholeNumber(f.length); length && *length >= kMinSlotLength && *length <= kMaxSlotLength)
        s.length = static_cast<std::uint8_t>(*length);
    s.justification = static_cast<std::uint8_t>(std::clamp(f.justification, 0, static_cast<int>(kJustifyRight)));
    if (!f.padChar.empty())
        s.padChar = f.padChar.front();
    else
        s.padChar = kind == SlotKind::Variables ? ' ' : '0';
    if (kind == SlotKind::Counters) {
        if (const auto step = wholeNumber(f.step); step && *step >= kMinCounterStep && *step <= kMaxCounterStep)
            s.step = static_cast<std::uint8_t>(*step);
    } else {
        s.step = 0;
    }
    s.setPrompt(f.prompt);
    s.setValue(f.value);
}

}  // namespace tavrin
