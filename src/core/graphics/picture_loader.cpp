#include <sys/stat.h>

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
        return {false, {"Error", "Unknown file extension"}, true};
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return {false, {"Error", "Can't open input file"}};
    // Only ordinary files: a device or a pipe could feed bytes without end.
    struct stat status {};
    if (fstat(fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode))
        return {false, {"Error", "Can't read graphics file"}};
    // No picture this program takes comes near 1 GiB.
    if (status.st_size > (off_t{1} << 30)) return {false, {"Error", "Can't read graphics file"}};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(status.st_size));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    if (std::ferror(file.get())) return {false, {"Error", "Can't open input file"}};
    PictureReadResult result;
    if (extension == ".BMP") result = readBmpPicture(bytes, picture);
    else if (extension == ".PNG") result = readPngPicture(bytes, picture);
    else result = readJpegPicture(bytes, picture);
    if (result.ok && picture.empty()) return {false, {"Error", "Can't read graphics file"}};
    return result;
}

}  // namespace tavrin
