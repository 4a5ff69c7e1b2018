#include "printer/screen_text.h"

#include <iconv.h>

namespace tavrin {

namespace {

constexpr char kUnknown = '?';

// One iconv conversion held open for a whole string, converting one character at a time
// so that a character the target lacks costs only itself.
class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : handle_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Appends the conversion of one character's bytes; false when it cannot be converted.
    bool append(std::string_view character, std::string& out) {
        if (!valid()) return false;
        char buffer[16];
        char* in = const_cast<char*>(character.data());
        std::size_t inLeft = character.size();
        char* outPointer = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        const std::size_t result = iconv(handle_, &in, &inLeft, &outPointer, &outLeft);
        if (result == static_cast<std::size_t>(-1) || inLeft != 0 || outLeft == sizeof buffer) return false;
        // Some converters report a character they could not map as a substitution.
        if (result > 0) return false;
        out.append(buffer, sizeof buffer - outLeft);
        return true;
    }

private:
    iconv_t handle_;
};

// Bytes of the UTF-8 sequence starting with this byte; 0 for a byte that cannot start one.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

std::string encodeCodePage(std::string_view utf8, const std::string& codePage) {
    Converter converter(codePage, "UTF-8");
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(utf8[i++]);
            continue;
        }
        std::size_t length = sequenceLength(lead);
        if (length == 0 || i + length > utf8.size()) length = 1;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(utf8[i + k]) & 0xC0) != 0x80) length = 1;
        if (length == 1 || !converter.append(utf8.substr(i, length), out)) out.push_back(kUnknown);
        i += length;
    }
    return out;
}

std::string decodeCodePage(std::string_view bytes, const std::string& codePage) {
    Converter converter("UTF-8", codePage);
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            out.push_back(bytes[i]);
            continue;
        }
        if (!converter.append(bytes.substr(i, 1), out)) out.push_back(kUnknown);
    }
    return out;
}

std::string screenToPrinter(std::string_view utf8, const Translation& translation) {
    return translation.toPrinter(encodeCodePage(utf8, translation.ansiCodePage()));
}

std::string printerToScreen(std::string_view printerText, const Translation& translation) {
    return decodeCodePage(translation.toScreen(printerText), translation.ansiCodePage());
}

}  // namespace tavrin
