#include "document/variables.h"

#include <algorithm>
#include <cstring>

namespace tavrin {

namespace {
template <std::size_t N>
std::string fieldText(const std::array<char, N>& field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    return std::string(field.begin(), end);
}

template <std::size_t N>
void setField(std::array<char, N>& field, std::string_view text) {
    field.fill('\0');
    std::copy_n(text.begin(), std::min(text.size(), N - 1), field.begin());
}
}  // namespace

std::string Variable::promptText() const { return fieldText(prompt); }
std::string Variable::valueText() const { return fieldText(value); }
void Variable::setPrompt(std::string_view text) { setField(prompt, text); }

void Variable::define(int newLength, int newJustification, char pad, std::string_view promptText, int counterStep) {
    defined = 1;
    length = static_cast<std::uint8_t>(newLength);
    justification = static_cast<std::uint8_t>(newJustification);
    padChar = pad;
    step = static_cast<std::uint8_t>(static_cast<std::int8_t>(counterStep));
    setPrompt(promptText);
}
void Variable::setValue(std::string_view text) { setField(value, text); }

std::array<std::uint8_t, kSlotSize> Variable::toBytes() const {
    std::array<std::uint8_t, kSlotSize> out{};
    std::memcpy(out.data(), this, kSlotSize);
    return out;
}

Variable Variable::fromBytes(const std::uint8_t* bytes, std::size_t count) {
    Variable v;
    // No bytes may come as a null pointer, which memcpy must never be given.
    if (count > 0) std::memcpy(&v, bytes, std::min(count, kSlotSize));
    return v;
}

}  // namespace tavrin
