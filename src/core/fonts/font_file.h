#pragma once
// Label font files (.qft): the soft font bytes (charCount, 0, height, then the character
// records), either alone or behind the printer's own download commands (EK"x" ... ES"x").
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "common/result.h"

namespace tavrin {

// Font data must stay below this many bytes, in files and in the printer.
inline constexpr std::size_t kFontDataLimit = 49153;
// The download commands are looked for in this many leading bytes.
inline constexpr std::size_t kFontCommandWindow = 48;

inline constexpr const char* kInvalidFontFile = "Invalid font file";
inline constexpr const char* kCantOpenFontFile = "Can't open input file";

// Where the font data starts in these file bytes: 0, or just past ES"x" when the file
// begins with its download commands. Larger than the size when the commands are cut short.
std::size_t fontDataStart(std::span<const std::uint8_t> file);

// Success when the bytes are sound font data; otherwise "Invalid font file" (Damaged), shown
// under the title "Error", as every failure here is. Sound means: at
// least the three header bytes, byte 1 zero, below the size limit, and every one of the
// charCount records (3 bytes, then bytesPerRow x height bitmap bytes) inside the data.
// Bytes after the last record are allowed; nothing reads them.
Result checkFontData(std::span<const std::uint8_t> data);

// The font data (charCount, 0, height, records) of a file's bytes, plain or with download
// commands, checked as above; `data` is left as it was on failure.
Result decodeFontFile(std::span<const std::uint8_t> file, std::vector<std::uint8_t>& data);

// Reads and decodes a .qft file; "Can't open input file" (CannotOpen) when it cannot be read.
Result readFontFile(const std::filesystem::path& path, std::vector<std::uint8_t>& data);

}  // namespace tavrin
