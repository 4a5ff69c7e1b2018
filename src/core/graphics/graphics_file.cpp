#include "graphics/graphics_file.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace tavrin {
namespace {

constexpr const char* kFileTooBig = "File too big";
constexpr const char* kHorizontalTooBig = "Horizontal size too big";
constexpr const char* kVerticalTooBig = "Vertical size too big";
// A BMP whose header or rows do not hold together cannot be read at all.
constexpr const char* kUnreadable = "Can't read graphics file";

unsigned le16(std::span<const std::uint8_t> b, std::size_t at) {
    return at + 2 <= b.size() ? static_cast<unsigned>(b[at] | b[at + 1] << 8) : 0;
}
std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
    if (at + 4 > b.size()) return 0;
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

GraphicsLoadResult failed(UserMessage message) { return {GraphicsKind::Failed, std::move(message)}; }

// A file cut off inside its headers: what is missing is named, as no size floor can tell a
// small complete picture from a short broken one.
GraphicsLoadResult cutOff(const char* part) { return failed(graphicsError((std::string("File too small: ") + part).c_str())); }

// Rows counted from 1 in the order the file stores them; `row` is the first one the data
// does not complete.
GraphicsLoadResult rowsCutOff(std::int64_t row, std::int64_t height) {
    char text[64];
    std::snprintf(text, sizeof text, "Picture data ends at row %lld of %lld", static_cast<long long>(row),
                  static_cast<long long>(height));
    return failed(graphicsError(text));
}

// How many whole rows of bytesPerLine bytes the run-length data codes, at most `height`. A
// row is decoded as the canvas decodes it: a run longer than what is left of the row is cut
// at its end, and a count byte with nothing after it ends the data.
std::uint32_t completePcxRows(std::span<const std::uint8_t> data, unsigned bytesPerLine, std::uint32_t height) {
    std::size_t at = 0;
    for (std::uint32_t row = 0; row < height; ++row) {
        unsigned produced = 0;
        while (produced < bytesPerLine) {
            if (at >= data.size()) return row;
            const std::uint8_t byte = data[at++];
            if (byte >= 0xC0) {
                if (at >= data.size()) return row;
                ++at;
                produced += byte & 0x3Fu;
            } else {
                ++produced;
            }
        }
    }
    return height;
}

GraphicsLoadResult loadPcx(std::span<const std::uint8_t> file, GraphicsBuffer& buffer) {
    if (file.size() > kMaxPcxFileSize) return failed(graphicsError(kFileTooBig));
    if (file.size() < GraphicsBuffer::kHeaderSize) return cutOff("the PCX header is incomplete");
    // All checks run; the last one that fails names the problem.
    std::optional<UserMessage> problem;
    if (file[2] != 1) problem = notMonochromeMessage();
    const std::uint32_t height = static_cast<std::uint32_t>(le16(file, 10)) - le16(file, 6) + 1;
    if (height > static_cast<std::uint32_t>(kMaxPictureHeight)) problem = graphicsError(kVerticalTooBig);
    if (file[65] != 1) problem = notMonochromeMessage();
    if (le16(file, 66) > kMaxPcxBytesPerLine) problem = graphicsError(kHorizontalTooBig);
    if (problem) return failed(*problem);
    // The printer would get the file as it stands and print a picture cut short.
    const unsigned bytesPerLine = le16(file, 66);
    if (const std::uint32_t rows = completePcxRows(file.subspan(GraphicsBuffer::kHeaderSize), bytesPerLine, height);
        rows < height)
        return rowsCutOff(rows + 1, height);
    std::memcpy(buffer.bytes.data(), file.data(), file.size());
    buffer.count = file.size();
    return {GraphicsKind::Pcx, {}};
}

void writePcxHeader(GraphicsBuffer& buffer, int width, int height, unsigned bytesPerLine) {
    std::uint8_t* h = buffer.bytes.data();
    std::memset(h, 0, GraphicsBuffer::kHeaderSize);
    const auto put16 = [h](std::size_t at, unsigned value) {
        h[at] = static_cast<std::uint8_t>(value & 0xFF);
        h[at + 1] = static_cast<std::uint8_t>(value >> 8 & 0xFF);
    };
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = 1;
    h[3] = 1;
    put16(8, static_cast<unsigned>(width - 1));
    put16(10, static_cast<unsigned>(height - 1));
    put16(12, 120);
    put16(14, 120);
    for (int i = 0; i < 16; ++i) {
        const auto level = static_cast<std::uint8_t>(15 - i);
        h[16 + 3 * i] = h[17 + 3 * i] = h[18 + 3 * i] = level;
    }
    h[65] = 1;
    put16(66, bytesPerLine);
    h[68] = 1;
}

GraphicsLoadResult loadBmp(std::span<const std::uint8_t> file, GraphicsBuffer& buffer) {
    if (file.size() > kMaxBmpFileSize) return failed(graphicsError(kFileTooBig));

    // Information header: the 12-byte core form or the 40-byte form and its extensions.
    constexpr std::size_t kFileHeaderSize = 14;
    if (file.size() < kFileHeaderSize + 4) return cutOff("the BMP header is incomplete");
    const std::uint32_t headerSize = le32(file, kFileHeaderSize);
    const bool core = headerSize == 12;
    if (!core && (headerSize < 40 || headerSize > 124)) return failed(graphicsError(kUnreadable));
    if (file.size() < kFileHeaderSize + headerSize) return cutOff("the BMP header is incomplete");
    const std::size_t paletteAt = kFileHeaderSize + headerSize;
    const std::size_t entrySize = core ? 3 : 4;

    const unsigned planes = le16(file, core ? 22 : 26);
    const unsigned bitsPerPixel = le16(file, core ? 24 : 28);
    if (planes != 1 || bitsPerPixel != 1) return failed(notMonochromeMessage());

    std::int64_t width = 0, height = 0;
    bool topDown = false;
    if (core) {
        width = le16(file, 18);
        height = le16(file, 20);
    } else {
        width = static_cast<std::int32_t>(le32(file, 18));
        height = static_cast<std::int32_t>(le32(file, 22));
        if (height < 0) topDown = true, height = -height;
    }
    std::optional<UserMessage> problem;
    if (width < 1 || width > kMaxBmpWidth) problem = graphicsError(kHorizontalTooBig);
    if (height < 1 || height > kMaxPictureHeight) problem = graphicsError(kVerticalTooBig);
    if (problem) return failed(*problem);
    if (!core && le32(file, 30) != 0) return failed(graphicsError(kUnreadable));  // one-bit rows are never compressed
    if (paletteAt + 2 * entrySize > file.size()) return cutOff("the colour table is incomplete");

    // The converter takes bytesPerLine bytes of each row; the last row needs no padding after them.
    const unsigned bytesPerLine = static_cast<unsigned>((width + 15) / 16) * 2;
    const std::size_t stride = static_cast<std::size_t>((width + 31) / 32) * 4;
    const std::size_t dataAt = le32(file, 10);
    const std::size_t rowsPresent =
        dataAt + bytesPerLine > file.size() ? 0 : (file.size() - dataAt - bytesPerLine) / stride + 1;
    if (rowsPresent < static_cast<std::size_t>(height)) return rowsCutOff(static_cast<std::int64_t>(rowsPresent) + 1, height);

    // The darker palette colour must come out as the 0 (printed) bits. The two entries are
    // compared as the little-endian numbers they are stored as; for the usual 40-byte header
    // they are the words at offsets 54 and 58.
    const auto entry = [&](std::size_t i) {
        const std::size_t at = paletteAt + i * entrySize;
        return core ? static_cast<std::uint32_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16) : le32(file, at);
    };
    const std::uint8_t flip = entry(0) > entry(1) ? 0xFF : 0x00;

    std::array<std::uint8_t, kMaxPcxBytesPerLine> row{};
    std::span<std::uint8_t> out(buffer.bytes);
    std::size_t at = GraphicsBuffer::kHeaderSize;
    for (std::int64_t y = 0; y < height; ++y) {
        const std::int64_t stored = topDown ? y : height - 1 - y;
        const std::uint8_t* source = file.data() + dataAt + static_cast<std::size_t>(stored) * stride;
        for (unsigned i = 0; i < bytesPerLine; ++i) row[i] = source[i] ^ flip;
        at = EncodePcxRow(std::span(row).first(bytesPerLine), out, at);
        // The buffer offsets here leave out the two length bytes in front of the PCX.
        if (at == 0 || at + 2 > kBmpConversionLimit) return failed(graphicsError(kFileTooBig));
    }
    writePcxHeader(buffer, static_cast<int>(width), static_cast<int>(height), bytesPerLine);
    buffer.count = at;
    return {GraphicsKind::ConvertedBmp, {}};
}

}  // namespace

UserMessage graphicsError(const char* text) { return {"Error", text}; }
// "&&" is how a caption writes one "&"; a message shows its text as it stands.
UserMessage notMonochromeMessage() { return {"Not monochrome graphics", "Use Color to Black & White converter"}; }

std::size_t EncodePcxRow(std::span<const std::uint8_t> row, std::span<std::uint8_t> out, std::size_t at) {
    bool full = false;
    const auto emit = [&](unsigned count, std::uint8_t value, unsigned literalBelow) {
        if (count == 1 && value < literalBelow) {
            if (at + 1 > out.size()) return void(full = true);
            out[at++] = value;
        } else {
            if (at + 2 > out.size()) return void(full = true);
            out[at++] = static_cast<std::uint8_t>(0xC0 | count);
            out[at++] = value;
        }
    };
    unsigned count = 0;
    std::uint8_t value = 0;
    for (const std::uint8_t byte : row) {
        if (count != 0 && byte != value) {
            emit(count, value, 0x64);
            count = 0;
        } else if (count == 63) {
            emit(count, value, 0x64);
            count = 0;
        }
        value = byte;
        ++count;
    }
    if (count != 0) emit(count, value, 0x40);
    return full ? 0 : at;
}

GraphicsLoadResult LoadGraphicsBytes(std::span<const std::uint8_t> file, GraphicsBuffer& buffer) {
    if (file.size() >= 2 && file[0] == 0x0A) return loadPcx(file, buffer);
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') return loadBmp(file, buffer);
    return failed(graphicsError("Invalid graphics format"));
}

GraphicsLoadResult LoadGraphicsFile(const std::filesystem::path& path, GraphicsBuffer& buffer) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return failed(graphicsError("Can't open input file"));
    // One byte more than the largest file either format takes is enough to know the file is
    // too big, and keeps a huge file (or an endless device) from being read whole.
    std::vector<std::uint8_t> bytes(kMaxBmpFileSize + 1);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get())) return failed(graphicsError("Can't open input file"));
    bytes.resize(got);
    return LoadGraphicsBytes(bytes, buffer);
}

}  // namespace tavrin
