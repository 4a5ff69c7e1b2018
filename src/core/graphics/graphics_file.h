#pragma once
// Picture files into the graphics buffer: a PCX file is taken byte for byte, a one-bit BMP
// is converted to PCX. Every limit is checked on the header before anything is copied, so
// a damaged or hostile file gets its message and never reaches outside the buffer.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "document/figure_list.h"
#include "graphics/graphics_buffer.h"

namespace tavrin {

// Largest accepted files in bytes. There is no floor: a file is refused as short only when
// its headers or rows are cut off ("Picture data ends at row 5 of 40", counting the rows
// from 1 in the order the file stores them).
inline constexpr std::size_t kMaxPcxFileSize = 49280;
inline constexpr std::size_t kMaxBmpFileSize = 63488;
inline constexpr int kMaxPictureHeight = 1600;
inline constexpr int kMaxBmpWidth = 1007;
inline constexpr unsigned kMaxPcxBytesPerLine = 126;
// The BMP converter gives up once, after a row, the buffer (counting its two length
// bytes) is used beyond this offset.
inline constexpr std::size_t kBmpConversionLimit = 49152;

enum class GraphicsKind : int { Failed = 0, Pcx = 1, ConvertedBmp = 2 };

struct GraphicsLoadResult {
    GraphicsKind kind = GraphicsKind::Failed;
    UserMessage message;  // what to show when the load failed
    explicit operator bool() const { return kind != GraphicsKind::Failed; }
};

// Fills `buffer` from the file. On failure the buffer may have been overwritten.
GraphicsLoadResult LoadGraphicsFile(const std::filesystem::path& path, GraphicsBuffer& buffer);
// The same on bytes already read (the whole file).
GraphicsLoadResult LoadGraphicsBytes(std::span<const std::uint8_t> file, GraphicsBuffer& buffer);

// Run-length codes one row into out from `at` on; a run never reaches into the next row.
// Returns the offset after the row, or 0 when out has no room for it.
std::size_t EncodePcxRow(std::span<const std::uint8_t> row, std::span<std::uint8_t> out, std::size_t at);

// The messages of the loader, for callers and tests.
UserMessage graphicsError(const char* text);
UserMessage notMonochromeMessage();

}  // namespace tavrin
