#include "printer/extract_font.h"

#include <array>
#include <string>

namespace tavrin {

std::optional<std::vector<std::uint8_t>> ExtractFont(PrinterLink& link, std::string_view name) {
    if (!link.openPort()) return std::nullopt;
    const std::string quoted = "\"" + std::string(name) + "\"";
    if (!link.writeText("\r\nEI" + quoted + "\r\n")) {
        link.closePort();
        return std::nullopt;
    }
    link.showProgress("Extracting font " + quoted);
    std::optional<std::vector<std::uint8_t>> data;
    std::array<std::uint8_t, 2> length{};
    if (link.readBytes(length) == length.size()) {
        // Two length bytes cap the reply at 64 KiB, so taking it whole is safe; an
        // oversized one is refused by the font check, not cut short here.
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length[0]) << 8 | length[1]);
        if (link.readBytes(bytes) == bytes.size()) data = std::move(bytes);
    }
    link.closePort();
    link.endProgress();
    link.letEventsRun();
    if (link.timeoutFlag) return std::nullopt;
    return data;
}

}  // namespace tavrin
