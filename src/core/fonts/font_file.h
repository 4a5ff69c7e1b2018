#pragma once
// Label font files (.qft): the soft font bytes (charCount, 0, height, then the character
// records), either alone or behind the printer's own download commands (EK"x" ... ES"x").
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tavrin {

// Font data must stay below this many bytes, in files and in the printer.
inline constexpr std::size_t kFontDataLimit = 49153;
// The download commands are looked for in this many leading bytes.
inline constexpr std::size_t kFontCommandWindow = 48;

inline constexpr const char* kInvalidFontFile = "Invalid font file";
inline constexpr const char* kCantOpenFontFile = "Can't open input file";

// Font data read from a file or the printer, or the message (title "Error") saying why not.
struct FontDataResult {
    bool ok = false;
    std::vector<std::uint8_t> data;  // charCount, 0, height, records
    std::string message;
};

// Where the font data starts in these file bytes: 0, or just past ES"x" when the file
// begins with its download commands. Larger than the size when the commands are cut short.
std::size_t fontDataStart(std::span<const std::uint8_t> file);

// Empty when the bytes are sound font data; otherwise "Invalid font file". Sound means: at
// least the three header bytes, byte 1 zero, below the size limit, and every one of the
// charCount records (3 bytes, then bytesPerRow x height bitmap bytes) inside the data.
// Bytes after the last record are allowed; nothing reads them.
std::string checkFontData(std::span<const std::uint8_t> data);

// The font data of a file's bytes (plain or with download commands), checked as above.
FontDataResult decodeFontFile(std::span<const std::uint8_t> file);

// Reads and decodes a .qft file; "Can't open input file" when it cannot be read.
FontDataResult readFontFile(const std::filesystem::path& path);

// The font data of the printer's reply to a retrieve (the bytes after the two length
// bytes), checked as a file's would be.
FontDataResult fontFromPrinterReply(std::vector<std::uint8_t> bytes);

}  // namespace tavrin
