#include "fonts/font_file.h"

#include <algorithm>
#include <fstream>
#include <string_view>

namespace tavrin {
namespace {

// Index of the first occurrence of the three characters in the leading window, or npos.
std::size_t findInWindow(std::span<const std::uint8_t> file, std::string_view what) {
    const std::size_t window = std::min(file.size(), kFontCommandWindow);
    if (window < what.size()) return std::string_view::npos;
    for (std::size_t i = 0; i + what.size() <= window; ++i) {
        if (std::equal(what.begin(), what.end(), file.begin() + static_cast<std::ptrdiff_t>(i),
                       [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }))
            return i;
    }
    return std::string_view::npos;
}

FontDataResult refused(std::string message) {
    FontDataResult r;
    r.message = std::move(message);
    return r;
}

}  // namespace

std::size_t fontDataStart(std::span<const std::uint8_t> file) {
    const std::size_t kill = findInWindow(file, "EK\"");
    const std::size_t store = findInWindow(file, "ES\"");
    if (kill == std::string_view::npos || store == std::string_view::npos) return 0;
    // ES, the opening quote, the one-letter name and the closing quote.
    return store + 5;
}

std::string checkFontData(std::span<const std::uint8_t> data) {
    if (data.size() < 3 || data[1] != 0 || data.size() >= kFontDataLimit) return kInvalidFontFile;
    const std::size_t count = data[0];
    const std::size_t height = data[2];
    std::size_t at = 3;
    for (std::size_t i = 0; i < count; ++i) {
        if (data.size() - at < 3) return kInvalidFontFile;
        const std::size_t bitmap = static_cast<std::size_t>(data[at + 2]) * height;
        if (data.size() - at - 3 < bitmap) return kInvalidFontFile;
        at += 3 + bitmap;
    }
    return {};
}

FontDataResult decodeFontFile(std::span<const std::uint8_t> file) {
    const std::size_t start = fontDataStart(file);
    if (start > file.size()) return refused(kInvalidFontFile);
    const auto data = file.subspan(start);
    std::string problem = checkFontData(data);
    if (!problem.empty()) return refused(std::move(problem));
    FontDataResult r;
    r.ok = true;
    r.data.assign(data.begin(), data.end());
    return r;
}

FontDataResult readFontFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (!in || error || std::filesystem::is_directory(path, error)) return refused(kCantOpenFontFile);
    // Never more than the commands (they end within 50 bytes) and the largest font: a huge
    // file is refused without being read whole.
    constexpr std::size_t kMostRead = 64 + kFontDataLimit;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uintmax_t>(size, kMostRead));
    std::vector<std::uint8_t> bytes(wanted);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(wanted));
    if (static_cast<std::size_t>(in.gcount()) != wanted) return refused(kCantOpenFontFile);
    if (size > wanted) return refused(kInvalidFontFile);
    return decodeFontFile(bytes);
}

FontDataResult fontFromPrinterReply(std::vector<std::uint8_t> bytes) {
    std::string problem = checkFontData(bytes);
    if (!problem.empty()) return refused(std::move(problem));
    FontDataResult r;
    r.ok = true;
    r.data = std::move(bytes);
    return r;
}

}  // namespace tavrin
