#include "link/byte_sink.h"

namespace tavrin {

bool BufferSink::write(std::span<const std::uint8_t> bytes) {
    if (bytes_.size() >= limit_) return false;
    const std::size_t room = limit_ - bytes_.size();
    if (bytes.size() > room) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(room));
        return false;
    }
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return true;
}

}  // namespace tavrin
