#pragma once
// The staging buffer for one picture in PCX form: filled from a PCX or BMP file or from
// the printer, and sent byte for byte when a picture is stored in the printer.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tavrin {

struct GraphicsBuffer {
    // PCX bytes the buffer holds at most (header and encoded rows).
    static constexpr std::size_t kCapacity = 49406;

    std::array<std::uint8_t, kCapacity> bytes{};
    std::size_t count = 0;  // PCX bytes in use

    std::span<const std::uint8_t> pcx() const { return {bytes.data(), std::min(count, kCapacity)}; }
};

}  // namespace tavrin
