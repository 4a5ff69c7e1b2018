#include <array>
#include <cstdio>
#include <memory>

#include "graphics/source_picture.h"

namespace tavrin {

std::string upperExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return extension;
}

PictureReadResult loadSourcePicture(const std::filesystem::path& path, SourcePicture& picture) {
    picture = {};
    const std::string extension = upperExtension(path);
    if (extension != ".BMP" && extension != ".JPG" && extension != ".JPEG" && extension != ".PNG")
        return {false, {"Error", "Unknown file extension"}};
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return {false, {"Error", "Can't open input file"}};
    std::vector<std::uint8_t> bytes;
    std::array<std::uint8_t, 65536> chunk{};
    for (;;) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
        if (got < chunk.size()) break;
        // No picture this program takes comes near this; an endless device stops here.
        if (bytes.size() > (std::size_t{1} << 30)) return {false, {"Error", "Can't read graphics file"}};
    }
    if (std::ferror(file.get())) return {false, {"Error", "Can't open input file"}};
    PictureReadResult result;
    if (extension == ".BMP") result = readBmpPicture(bytes, picture);
    else if (extension == ".PNG") result = readPngPicture(bytes, picture);
    else result = readJpegPicture(bytes, picture);
    if (result.ok && picture.empty()) return {false, {"Error", "Can't read graphics file"}};
    return result;
}

}  // namespace tavrin
