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

Result loadSourcePicture(const std::filesystem::path& path, SourcePicture& picture) {
    picture = {};
    const std::string extension = upperExtension(path);
    if (extension != ".BMP" && extension != ".JPG" && extension != ".JPEG" && extension != ".PNG")
        return Result::failure(FailureKind::Invalid, "Unknown file extension");
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return Result::failure(FailureKind::CannotOpen, "Can't open input file");
    // Only ordinary files: a device or a pipe could feed bytes without end.
    struct stat status {};
    if (fstat(fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode))
        return unreadablePicture();
    // No picture this program takes comes near 1 GiB.
    if (status.st_size > (off_t{1} << 30)) return unreadablePicture();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(status.st_size));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    if (std::ferror(file.get())) return Result::failure(FailureKind::CannotOpen, "Can't open input file");
    const Result result = extension == ".BMP"   ? readBmpPicture(bytes, picture)
                          : extension == ".PNG" ? readPngPicture(bytes, picture)
                                                : readJpegPicture(bytes, picture);
    if (result && picture.empty()) return unreadablePicture();
    return result;
}

}  // namespace tavrin
