#include "fonts/font_catalogue.h"

#include <fontconfig/fontconfig.h>
#include <iconv.h>
#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>

#include "fonts/truetype_face.h"

namespace tavrin {
namespace {

constexpr std::array<ScriptInfo, 8> kScripts = {{
    {"Western", 0, "CP1252"},
    {"Cyrillic", 204, "CP1251"},
    {"Symbol", 2, nullptr},
    {"Greek", 161, "CP1253"},
    {"Central Europe", 238, "CP1250"},
    {"Turkish", 162, "CP1254"},
    {"Baltic", 186, "CP1257"},
    {"OEM Charset", 255, kOemCodePage},
}};

// The bytes whose characters a font must have to cover a code page: its upper quarter,
// where all these pages keep their letters.
constexpr int kCoverageFirst = 0xC0;

struct PatternDone {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternRef = std::unique_ptr<FcPattern, PatternDone>;

bool sameName(std::string_view a, const char* b) {
    return a.size() == std::char_traits<char>::length(b) && strncasecmp(a.data(), b, a.size()) == 0;
}

bool patternHasFamily(FcPattern* pattern, std::string_view family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        if (sameName(family, reinterpret_cast<const char*>(name))) return true;
    return false;
}

bool isOutlineFormat(FcPattern* pattern) {
    FcChar8* format = nullptr;
    if (FcPatternGetString(pattern, FC_FONTFORMAT, 0, &format) != FcResultMatch) return false;
    const std::string_view f(reinterpret_cast<const char*>(format));
    return f == "TrueType" || f == "CFF";
}

// The best match for the family and style, or nothing when fontconfig would substitute
// another family.
PatternRef matchFamily(std::string_view family, int style) {
    if (FcInit() == FcFalse) return nullptr;
    PatternRef pattern(FcPatternCreate());
    const std::string name(family);
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, (style & kStyleBoldBit) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, (style & kStyleItalicBit) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternRef match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match || result != FcResultMatch || !patternHasFamily(match.get(), family)) return nullptr;
    return match;
}

// Whether the character set holds every character the page defines from 0xC0 on.
bool coversCodePage(FcCharSet* charset, const ScriptInfo& script) {
    const auto table = codePageToUnicode(script.codePage);
    if (!table) return false;
    for (int code = kCoverageFirst; code < 256; ++code) {
        const char32_t u = (*table)[static_cast<std::size_t>(code)];
        if (u != 0 && FcCharSetHasChar(charset, static_cast<FcChar32>(u)) == FcFalse) return false;
    }
    return true;
}

std::vector<const ScriptInfo*> scriptsOf(FcPattern* pattern) {
    std::vector<const ScriptInfo*> out;
    FcCharSet* charset = nullptr;
    FcChar8* file = nullptr;
    int index = 0;
    FcPatternGetCharSet(pattern, FC_CHARSET, 0, &charset);
    FcPatternGetString(pattern, FC_FILE, 0, &file);
    FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
    for (const ScriptInfo& script : kScripts) {
        bool covered = false;
        if (isSymbolScript(script)) {
            std::string error;
            if (file != nullptr) {
                const auto face = TrueTypeFace::open(reinterpret_cast<const char*>(file), index, error);
                covered = face && face->hasSymbolMap();
            }
        } else {
            covered = charset != nullptr && coversCodePage(charset, script);
        }
        if (covered) out.push_back(&script);
    }
    return out;
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// fontconfig loses a block while parsing its configuration files at start-up; it is not
// ours to free, so sanitized builds do not count it as a leak.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

const std::array<ScriptInfo, 8>& allScripts() { return kScripts; }

const ScriptInfo* scriptByName(std::string_view name) {
    for (const ScriptInfo& script : kScripts)
        if (sameName(name, script.name)) return &script;
    return nullptr;
}

bool isSymbolScript(const ScriptInfo& script) { return script.codePage == nullptr; }

std::optional<int> styleByName(std::string_view name) {
    for (std::size_t i = 0; i < kStyleNames.size(); ++i)
        if (sameName(name, kStyleNames[i])) return static_cast<int>(i);
    return std::nullopt;
}

std::optional<CodePageTable> codePageToUnicode(const char* codePage) {
    if (codePage == nullptr) return std::nullopt;
    static std::map<std::string, std::optional<CodePageTable>> cache;  // one thread: the converter's
    const auto cached = cache.find(codePage);
    if (cached != cache.end()) return cached->second;

    std::optional<CodePageTable> result;
    iconv_t cd = iconv_open("UTF-32LE", codePage);
    if (cd != reinterpret_cast<iconv_t>(-1)) {
        CodePageTable table{};
        for (int code = 32; code < 256; ++code) {
            char in = static_cast<char>(code);
            unsigned char out[8] = {};
            char* inPtr = &in;
            char* outPtr = reinterpret_cast<char*>(out);
            std::size_t inLeft = 1, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || outLeft != 4) continue;
            const char32_t u = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
            // Code pages that leave a byte undefined may hand it through as a C1 control.
            if (u < 0x20 || (u >= 0x7F && u < 0xA0)) continue;
            table[static_cast<std::size_t>(code)] = u;
        }
        iconv_close(cd);
        result = table;
    }
    cache.emplace(codePage, result);
    return result;
}

std::vector<std::string> scalableFontFamilies() {
    std::vector<std::string> families;
    if (FcInit() == FcFalse) return families;
    PatternRef pattern(FcPatternCreate());
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FONTFORMAT, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern.get(), objects);
    FcObjectSetDestroy(objects);
    if (set == nullptr) return families;
    for (int i = 0; i < set->nfont; ++i) {
        FcPattern* font = set->fonts[i];
        if (!isOutlineFormat(font)) continue;
        FcChar8* name = nullptr;
        for (int k = 0; FcPatternGetString(font, FC_FAMILY, k, &name) == FcResultMatch; ++k)
            families.emplace_back(reinterpret_cast<const char*>(name));
    }
    FcFontSetDestroy(set);
    std::sort(families.begin(), families.end());
    families.erase(std::unique(families.begin(), families.end()), families.end());
    return families;
}

std::optional<FontFileChoice> findFontFile(std::string_view family, int style) {
    const PatternRef match = matchFamily(family, style);
    if (!match) return std::nullopt;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
    FontFileChoice choice;
    choice.path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &choice.faceIndex);
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match.get(), FC_SLANT, 0, &slant);
    choice.syntheticBold = (style & kStyleBoldBit) != 0 && weight < FC_WEIGHT_DEMIBOLD;
    choice.syntheticItalic = (style & kStyleItalicBit) != 0 && slant == FC_SLANT_ROMAN;
    return choice;
}

std::vector<const ScriptInfo*> familyScripts(std::string_view family) {
    const PatternRef match = matchFamily(family, 0);
    if (!match) return {};
    return scriptsOf(match.get());
}

std::vector<const ScriptInfo*> fontFileScripts(const std::filesystem::path& path, int faceIndex) {
    if (FcInit() == FcFalse) return {};
    int count = 0;
    PatternRef pattern(FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(path.c_str()), static_cast<unsigned>(faceIndex),
                                       nullptr, &count));
    if (!pattern) return {};
    return scriptsOf(pattern.get());
}

}  // namespace tavrin
