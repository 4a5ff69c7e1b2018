#pragma once
// The 32 variable and 8 counter slots. A slot is 96 bytes, stored verbatim in label files.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

inline constexpr int kVariableCount = 32;
inline constexpr int kCounterCount = 8;
inline constexpr std::size_t kSlotSize = 96;
inline constexpr std::size_t kPromptWidth = 27;
inline constexpr std::size_t kValueWidth = 64;

// Justification codes and their printer letters N, L, C, R.
enum Justification : std::uint8_t { kJustifyNone = 0, kJustifyLeft = 1, kJustifyCentre = 2, kJustifyRight = 3 };

// One slot; every member is a byte, so the struct is the 96-byte layout itself.
struct Variable {
    std::uint8_t defined = 0;
    std::uint8_t length = 0;
    std::uint8_t justification = 0;
    char padChar = 0;
    std::uint8_t step = 0;  // counters only: a signed 8-bit increment
    std::array<char, kPromptWidth> prompt{};
    std::array<char, kValueWidth> value{};

    bool isDefined() const { return defined != 0; }
    int counterStep() const { return static_cast<std::int8_t>(step); }
    std::string promptText() const;
    std::string valueText() const;
    void setPrompt(std::string_view text);  // keeps at most 26 characters
    void setValue(std::string_view text);   // keeps at most 63 characters
    // Defines the slot with these fields; its value stays as it is.
    void define(int length, int justification, char pad, std::string_view promptText, int counterStep = 0);

    std::array<std::uint8_t, kSlotSize> toBytes() const;
    static Variable fromBytes(const std::uint8_t* bytes, std::size_t count);  // missing bytes are zero

    bool operator==(const Variable&) const = default;
};
static_assert(sizeof(Variable) == kSlotSize, "a slot must stay 96 bytes");

// Counters share the layout; their step byte is used.
using Counter = Variable;

}  // namespace tavrin
