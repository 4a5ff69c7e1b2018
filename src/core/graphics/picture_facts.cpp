#include "graphics/picture_facts.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "graphics/source_picture.h"

namespace tavrin {
namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Opens the file and takes its date and size; nothing when it cannot be opened.
File openWithFacts(const std::filesystem::path& path, PictureFacts& facts) {
    File file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return file;
    struct stat status {};
    if (fstat(fileno(file.get()), &status) == 0) {
        facts.size = static_cast<std::uintmax_t>(status.st_size);
        facts.modified = status.st_mtime;
    }
    return file;
}

int readByte(std::FILE* file) { return std::fgetc(file); }

}  // namespace

PictureFacts readBmpFacts(const std::filesystem::path& path) {
    PictureFacts facts;
    File file = openWithFacts(path, facts);
    if (!file) return facts;
    std::uint8_t header[30] = {};
    const std::size_t got = std::fread(header, 1, sizeof header, file.get());
    if (got < 29 || header[28] == 0) return facts;
    facts.bits = header[28];
    facts.valid = true;
    facts.type = std::string("Bitmap (") + (facts.bits == 1   ? "Monochrome)"
                                            : facts.bits == 4 ? "16 Colors)"
                                            : facts.bits == 8 ? "256 Colors)"
                                                              : "True Color)");
    if (got >= 26) {
        facts.width = static_cast<std::int32_t>(header[18] | header[19] << 8 | header[20] << 16 |
                                                static_cast<std::uint32_t>(header[21]) << 24);
        const auto h = static_cast<std::int32_t>(header[22] | header[23] << 8 | header[24] << 16 |
                                                 static_cast<std::uint32_t>(header[25]) << 24);
        facts.height = h < 0 && h != INT32_MIN ? -h : h;
    }
    return facts;
}

PictureFacts readJpegFacts(const std::filesystem::path& path) {
    PictureFacts facts;
    File file = openWithFacts(path, facts);
    if (!file) return facts;
    std::FILE* f = file.get();
    if (readByte(f) != 0xFF || readByte(f) != 0xD8) return facts;
    for (int segment = 0; segment < 100; ++segment) {
        int c = readByte(f);
        while (c != EOF && c != 0xFF) c = readByte(f);
        while (c == 0xFF) c = readByte(f);  // fill bytes
        if (c == EOF) return facts;
        const int marker = c;
        const int high = readByte(f), low = readByte(f);
        if (high == EOF || low == EOF) return facts;
        const int length = high << 8 | low;
        if (length < 2) return facts;
        if (marker == 0xD8 || marker == 0xDA) return facts;  // a new picture or the scan, and no frame yet
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xCC) {
            std::uint8_t frame[6] = {};
            if (std::fread(frame, 1, sizeof frame, f) < sizeof frame) return facts;
            facts.height = frame[1] << 8 | frame[2];
            facts.width = frame[3] << 8 | frame[4];
            facts.bits = frame[5] * 8;
            facts.largerSide = std::max(facts.width, facts.height);
            facts.type = std::string("JPEG file (") + (facts.bits == 8 ? "Greyscale)" : "Color)");
            facts.valid = true;
            return facts;
        }
        if (std::fseek(f, length - 2, SEEK_CUR) != 0) return facts;
    }
    return facts;
}

PictureFacts readPngFacts(const std::filesystem::path& path) {
    PictureFacts facts;
    File file = openWithFacts(path, facts);
    if (!file) return facts;
    // The signature, then the IHDR chunk: length, type, width, height, depth, colour type.
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::uint8_t header[26] = {};
    if (std::fread(header, 1, sizeof header, file.get()) < sizeof header) return facts;
    if (!std::equal(std::begin(kSignature), std::end(kSignature), header)) return facts;
    if (header[12] != 'I' || header[13] != 'H' || header[14] != 'D' || header[15] != 'R') return facts;
    const auto be32 = [&header](int at) {
        return static_cast<std::uint32_t>(header[at]) << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3];
    };
    const std::uint32_t width = be32(16), height = be32(20);
    int channels = 0;
    switch (header[25]) {
        case 0: case 3: channels = 1; break;
        case 4: channels = 2; break;
        case 2: channels = 3; break;
        case 6: channels = 4; break;
        default: return facts;
    }
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return facts;
    facts.width = static_cast<int>(width);
    facts.height = static_cast<int>(height);
    facts.largerSide = std::max(facts.width, facts.height);
    facts.bits = header[24] * channels;
    const bool grey = header[25] == 0 || header[25] == 4;
    facts.type = std::string("PNG file (") + (grey ? "Greyscale)" : "Color)");
    facts.valid = true;
    return facts;
}

PictureFacts readPictureFacts(const std::filesystem::path& path) {
    const std::string extension = upperExtension(path);
    if (extension == ".BMP") return readBmpFacts(path);
    if (extension == ".PNG") return readPngFacts(path);
    if (extension == ".JPG" || extension == ".JPEG") return readJpegFacts(path);
    return {};
}

PreviewPlacement placePreview(int width, int height, int areaWidth, int areaHeight) {
    // A damaged header may claim a negative side: that is no picture, placed as nothing.
    PreviewPlacement place{0, 0, std::max(width, 0), std::max(height, 0), false};
    if (width > 0 && height > 0 && (width > areaWidth || height > areaHeight)) {
        place.scaled = true;
        if (width > height) {
            place.width = areaWidth;
            place.height = static_cast<int>(static_cast<std::int64_t>(height) * areaWidth / width);
        } else {
            place.height = areaHeight;
            place.width = static_cast<int>(static_cast<std::int64_t>(width) * areaHeight / height);
        }
    }
    place.left = (areaWidth - place.width) / 2;
    place.top = (areaHeight - place.height) / 2;
    return place;
}

int previewScaleDenominator(int largerSide, int previewWidth) {
    if (largerSide > 8 * previewWidth) return 8;
    if (largerSide > 4 * previewWidth) return 4;
    if (largerSide > 2 * previewWidth) return 2;
    return 1;
}

}  // namespace tavrin
