#pragma once
// The 84-byte figure record and the little-endian field access every kind uses.
// The label file stores these bytes verbatim, so their layout is fixed.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

inline constexpr std::size_t kRecordSize = 84;
using Record = std::array<std::uint8_t, kRecordSize>;

inline std::int16_t recordI16(const Record& r, std::size_t offset) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(r[offset] | (r[offset + 1] << 8)));
}
inline std::uint16_t recordU16(const Record& r, std::size_t offset) {
    return static_cast<std::uint16_t>(r[offset] | (r[offset + 1] << 8));
}
// Stores the low 16 bits of value, little-endian.
inline void setRecord16(Record& r, std::size_t offset, int value) {
    const auto v = static_cast<std::uint16_t>(value);
    r[offset] = static_cast<std::uint8_t>(v & 0xFF);
    r[offset + 1] = static_cast<std::uint8_t>(v >> 8);
}
// The zero-terminated string at offset; stops at the end of the record if no zero is found.
std::string recordString(const Record& r, std::size_t offset, std::size_t width = kRecordSize);
// Copies at most width - 1 characters and zero-fills the rest of the field.
void setRecordString(Record& r, std::size_t offset, std::string_view text, std::size_t width);

}  // namespace tavrin
