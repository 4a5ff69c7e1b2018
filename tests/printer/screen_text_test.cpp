// Text between the screen (UTF-8) and the printer's character set.
#include <gtest/gtest.h>

#include "printer/screen_text.h"

namespace tavrin {
namespace {

TEST(ScreenText, CodePagesMapWhatTheyHaveAndMarkTheRest) {
    EXPECT_EQ(encodeCodePage("a\xD0\x96\xE2\x82\xAC", "CP1251"), "a\xC6\x88");  // Ж and the euro sign
    EXPECT_EQ(encodeCodePage("\xE4\xB8\xAD" "b", "CP1251"), "?b");               // no CJK in cp1251
    EXPECT_EQ(encodeCodePage("\xD0" "b", "CP1251"), "?b");                      // a broken sequence
    EXPECT_EQ(decodeCodePage("\xC6z", "CP1251"), "\xD0\x96z");
    EXPECT_EQ(decodeCodePage("\x98", "CP1251"), "?");  // a byte cp1251 leaves undefined
    EXPECT_EQ(encodeCodePage("\xD0\x96", "NO-SUCH-PAGE"), "?");
}

TEST(ScreenText, GoesThroughTheTranslationBothWays) {
    Translation translation;  // cp1251 <-> cp866
    EXPECT_EQ(screenToPrinter("\"\xD0\x96\"", translation), "\"\x86\"");
    EXPECT_EQ(printerToScreen("\"\x86\"", translation), "\"\xD0\x96\"");
    translation.load(kTranslationNone, {});
    EXPECT_EQ(screenToPrinter("\xD0\x96", translation), "\xC6");
}

}  // namespace
}  // namespace tavrin
