#pragma once
// Replacing a file so that a failure never leaves it half-written: the bytes go to a
// temporary file beside it, are flushed to disk, and only then take the old file's name.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tavrin {

// Every file this program writes goes this way. False (and the old file untouched) when
// any step fails, and when the file is one its owner may not write: renaming over a
// read-only file would defeat its protection.
bool replaceFileContents(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
// Text is written as its bytes.
bool replaceFileContents(const std::filesystem::path& path, std::string_view text);

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path);

}  // namespace tavrin
