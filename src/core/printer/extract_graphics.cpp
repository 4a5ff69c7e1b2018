#include "printer/extract_graphics.h"

#include <array>
#include <string>

#include "common/text.h"

namespace tavrin {

bool ExtractGraphics(PrinterLink& link, GraphicsBuffer& buffer, std::string_view name) {
    if (!link.openPort()) return false;
    if (!link.writeText("\r\nGI" + inQuotes(name) + "\r\n")) {
        link.closePort();
        return false;
    }
    link.showProgress("Extracting graphics " + inQuotes(name));
    bool fits = true;
    std::array<std::uint8_t, 2> length{};
    if (link.readBytes(length) == length.size()) {
        // The printer sends the length high byte first.
        const std::size_t count = static_cast<std::size_t>(length[0]) << 8 | length[1];
        fits = count >= GraphicsBuffer::kHeaderSize && count <= GraphicsBuffer::kCapacity;
        if (fits) {
            buffer.count = link.readBytes(std::span(buffer.bytes).first(count));
        } else {
            std::array<std::uint8_t, 256> sink{};
            for (std::size_t left = count; left > 0 && !link.silent();) {
                const std::size_t chunk = std::min(left, sink.size());
                if (link.readBytes(std::span(sink).first(chunk)) < chunk) break;
                left -= chunk;
            }
        }
    }
    link.closePort();
    link.endProgress();
    link.letEventsRun();
    return !link.silent() && fits;
}

}  // namespace tavrin
