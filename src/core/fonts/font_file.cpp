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

Result invalid() { return Result::failure(FailureKind::Damaged, kInvalidFontFile); }
Result cannotOpen() { return Result::failure(FailureKind::CannotOpen, kCantOpenFontFile); }

}  // namespace

std::size_t fontDataStart(std::span<const std::uint8_t> file) {
    const std::size_t kill = findInWindow(file, "EK\"");
    const std::size_t store = findInWindow(file, "ES\"");
    if (kill == std::string_view::npos || store == std::string_view::npos) return 0;
    // ES, the opening quote, the one-letter name and the closing quote.
    return store + 5;
}

Result checkFontData(std::span<const std::uint8_t> data) {
    if (data.size() < 3 || data[1] != 0 || data.size() >= kFontDataLimit) return invalid();
    const std::size_t count = data[0];
    const std::size_t height = data[2];
    std::size_t at = 3;
    for (std::size_t i = 0; i < count; ++i) {
        if (data.size() - at < 3) return invalid();
        const std::size_t bitmap = static_cast<std::size_t>(data[at + 2]) * height;
        if (data.size() - at - 3 < bitmap) return invalid();
        at += 3 + bitmap;
    }
    return Result::success();
}

Result decodeFontFile(std::span<const std::uint8_t> file, std::vector<std::uint8_t>& data) {
    const std::size_t start = fontDataStart(file);
    if (start > file.size()) return invalid();
    const auto font = file.subspan(start);
    Result checked = checkFontData(font);
    if (checked) data.assign(font.begin(), font.end());
    return checked;
}

Result readFontFile(const std::filesystem::path& path, std::vector<std::uint8_t>& data) {
    std::ifstream in(path, std::ios::binary);
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (!in || error || std::filesystem::is_directory(path, error)) return cannotOpen();
    // Never more than the commands (they end within 50 bytes) and the largest font: a huge
    // file is refused without being read whole.
    constexpr std::size_t kMostRead = 64 + kFontDataLimit;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uintmax_t>(size, kMostRead));
    std::vector<std::uint8_t> bytes(wanted);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(wanted));
    if (static_cast<std::size_t>(in.gcount()) != wanted) return cannotOpen();
    if (size > wanted) return invalid();
    return decodeFontFile(bytes, data);
}

}  // namespace tavrin
