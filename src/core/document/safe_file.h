#pragma once
// Replacing a file so that a failure never leaves it half-written: the bytes go to a
// temporary file beside it, are flushed to disk, and only then take the old file's name.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace tavrin {

// False (and the old file untouched) when any step fails.
bool replaceFileContents(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path);

}  // namespace tavrin
