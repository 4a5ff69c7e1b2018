#pragma once
// Text between the screen and the printer. The screen side is Unicode (UTF-8 here); label
// text is held in the printer's character set. Going out, the text is first encoded in the
// configured ANSI code page — a character that page lacks becomes '?' — and then passes
// the outgoing translation; coming back, the incoming translation runs first and the ANSI
// bytes are decoded.
#include <string>
#include <string_view>

#include "printer/translation.h"

namespace tavrin {

// UTF-8 to and from a single-byte code page named as iconv knows it. Unknown code pages
// and undecodable input degrade to '?' per character rather than failing.
std::string encodeCodePage(std::string_view utf8, const std::string& codePage);
std::string decodeCodePage(std::string_view bytes, const std::string& codePage);

std::string screenToPrinter(std::string_view utf8, const Translation& translation);
std::string printerToScreen(std::string_view printerText, const Translation& translation);

}  // namespace tavrin
