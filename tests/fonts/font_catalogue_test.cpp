// The scripts of installed fonts and the code pages behind them. The Debian DejaVu fonts
// (fonts-dejavu-core) cover Western, Cyrillic and Greek.
#include "fonts/font_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fonts/glyph_source.h"

namespace tavrin {
namespace {

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::vector<std::string> names(const std::vector<const ScriptInfo*>& scripts) {
    std::vector<std::string> out;
    for (const ScriptInfo* s : scripts) out.emplace_back(s->name);
    return out;
}

TEST(FontCatalogue, CodePagesMapToUnicode) {
    const struct {
        const char* codePage;
        int byte;
        char32_t unicode;
    } cases[] = {
        {"CP1251", 0xC6, U'\u0416'},  // Ж
        {"CP1251", 0xE0, U'\u0430'},  // а
        {"CP1253", 0xD9, U'\u03A9'},  // Ω
        {"CP1253", 0xAA, 0},          // not defined in the Greek page
        {"CP1252", 0x80, U'\u20AC'},
        {"CP1252", 0x41, U'A'},
        {"CP866", 0x80, U'\u0410'},
    };
    for (const auto& c : cases) {
        const auto table = codePageToUnicode(c.codePage);
        ASSERT_TRUE(table) << c.codePage;
        EXPECT_EQ((*table)[static_cast<std::size_t>(c.byte)], c.unicode) << c.codePage << " " << c.byte;
    }
    EXPECT_FALSE(codePageToUnicode("NO-SUCH-PAGE"));
}

TEST(FontCatalogue, DejaVuCoversWesternCyrillicAndGreekInListOrder) {
    const auto families = scalableFontFamilies();
    if (std::find(families.begin(), families.end(), "DejaVu Sans") == families.end())
        GTEST_SKIP() << "DejaVu Sans is not installed";
    EXPECT_TRUE(std::is_sorted(families.begin(), families.end()));
    const auto scripts = names(familyScripts("DejaVu Sans"));
    ASSERT_GE(scripts.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(scripts.begin(), scripts.begin() + 2),
              (std::vector<std::string>{"Western", "Cyrillic"}));
    EXPECT_NE(std::find(scripts.begin(), scripts.end(), "Greek"), scripts.end());
    EXPECT_EQ(std::find(scripts.begin(), scripts.end(), "Symbol"), scripts.end());
    EXPECT_EQ(names(fontFileScripts(kDejaVu)), scripts);
    EXPECT_TRUE(familyScripts("No Such Family At All").empty());
    // A script the font lacks, and a file that is not there, open nothing; the glyphs a
    // source finds are compared with FreeType's own in the rasteriser's tests.
    std::string error;
    EXPECT_FALSE(GlyphSource::open("DejaVu Sans", 0, *scriptByName("Symbol"), error));
    EXPECT_FALSE(GlyphSource::open("/no/such/font.ttf", 0, *scriptByName("Western"), error));
}

}  // namespace
}  // namespace tavrin
