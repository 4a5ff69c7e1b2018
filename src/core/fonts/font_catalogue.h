#pragma once
// The system's scalable fonts as the converter offers them: families (fontconfig), the four
// styles, the scripts a family covers and each script's code page mapped to Unicode (iconv).
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// A script and the character set it stands for; its 256 codes are read in codePage (iconv
// name), except Symbol, which goes through the font's own symbol character map.
struct ScriptInfo {
    const char* name;
    int charset;           // the Windows character set number files and dialogs speak of
    const char* codePage;  // nullptr for Symbol
};

// The code page the OEM character set stands for: the DOS Cyrillic page that the printer
// link's ANSI to OEM translation also uses.
inline constexpr const char* kOemCodePage = "CP866";

// In the order a family's scripts are tried and listed.
const std::array<ScriptInfo, 8>& allScripts();
const ScriptInfo* scriptByName(std::string_view name);  // case-insensitive; nullptr if unknown
bool isSymbolScript(const ScriptInfo& script);

inline constexpr std::array<const char*, 4> kStyleNames = {"Regular", "Italic", "Bold", "Bold Italic"};
inline constexpr int kStyleItalicBit = 1;
inline constexpr int kStyleBoldBit = 2;
// The style index (bit 0 italic, bit 1 bold) of a style name; nothing if unknown.
std::optional<int> styleByName(std::string_view name);

// Unicode of each byte of a code page; 0 where the page defines no character (and for the
// control codes below 32). Empty when iconv does not know the page.
using CodePageTable = std::array<char32_t, 256>;
std::optional<CodePageTable> codePageToUnicode(const char* codePage);

// Scalable TrueType and OpenType families, sorted, each once. Every family name a font
// carries is offered (so "DejaVu Sans Condensed" as well as "DejaVu Sans").
std::vector<std::string> scalableFontFamilies();

// The font file for a family and style; synthetic flags say where the family lacks the
// weight or slant and the rasteriser must make them.
struct FontFileChoice {
    std::filesystem::path path;
    int faceIndex = 0;
    bool syntheticBold = false;
    bool syntheticItalic = false;
};
std::optional<FontFileChoice> findFontFile(std::string_view family, int style);

// The scripts this family covers, in list order: a code page script when the font has every
// character the page puts at 0xC0..0xFF (its letters), Symbol when it has a symbol map.
std::vector<const ScriptInfo*> familyScripts(std::string_view family);
std::vector<const ScriptInfo*> fontFileScripts(const std::filesystem::path& path, int faceIndex = 0);

}  // namespace tavrin
