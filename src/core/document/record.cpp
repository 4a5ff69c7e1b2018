#include "document/record.h"

#include <algorithm>

namespace tavrin {

std::string recordString(const Record& r, std::size_t offset, std::size_t width) {
    std::string out;
    const std::size_t end = std::min(kRecordSize, offset + width);
    for (std::size_t i = offset; i < end && r[i] != 0; ++i) out.push_back(static_cast<char>(r[i]));
    return out;
}

void setRecordString(Record& r, std::size_t offset, std::string_view text, std::size_t width) {
    const std::size_t end = std::min(kRecordSize, offset + width);
    if (offset >= end) return;
    const std::size_t room = end - offset - 1;
    const std::size_t n = std::min(room, text.size());
    std::fill(r.begin() + static_cast<std::ptrdiff_t>(offset), r.begin() + static_cast<std::ptrdiff_t>(end), 0);
    std::copy_n(text.begin(), n, r.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace tavrin
