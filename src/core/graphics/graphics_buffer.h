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
    // The PCX header in front of the run-length rows.
    static constexpr std::size_t kHeaderSize = 128;

    std::array<std::uint8_t, kCapacity> bytes{};
    std::size_t count = 0;  // PCX bytes in use

    std::span<const std::uint8_t> pcx() const { return {bytes.data(), std::min(count, kCapacity)}; }

    // A little-endian 16-bit field of the PCX header; 0 beyond what the buffer holds.
    unsigned headerWord(std::size_t offset) const {
        if (offset + 1 >= std::min(count, kCapacity)) return 0;
        return static_cast<unsigned>(bytes[offset] | bytes[offset + 1] << 8);
    }
};

}  // namespace tavrin
