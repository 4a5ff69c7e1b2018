#pragma once
// Fetches one stored font from the printer (EI) as the raw bytes of its reply; whether they
// are sound font data is for the font reader to say.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "link/printer_link.h"

namespace tavrin {

// The bytes after the two length bytes (high byte first). Nothing on a failed open, a
// refused write or silence: the progress window has said why.
std::optional<std::vector<std::uint8_t>> ExtractFont(PrinterLink& link, std::string_view name);

}  // namespace tavrin
