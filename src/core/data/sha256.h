#pragma once
// SHA-256 (FIPS 180-4), so that a journal can tell whether the label or the data file of a
// run has changed since: a file's hash is recorded with the run and compared on resuming.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace tavrin {

class Sha256 {
public:
    Sha256();
    void add(std::span<const std::uint8_t> bytes);
    // The digest as 64 lower-case hex digits; the object is spent afterwards.
    std::string hex();

private:
    void block(const std::uint8_t* data);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t length_ = 0;
};

std::string sha256Hex(std::span<const std::uint8_t> bytes);
// The file's hash, read as a stream; nothing when it cannot be read.
std::optional<std::string> sha256OfFile(const std::filesystem::path& file);

}  // namespace tavrin
