// EI for one stored font against a scripted printer.
#include <gtest/gtest.h>

#include "fake_printer.h"
#include "printer/extract_font.h"

namespace tavrin {
namespace {

TEST(ExtractFont, TakesTheAnnouncedBytesAndReportsSilence) {
    test::FakePrinter p;
    const std::string data = {3, 0, 16, 'x', 'y'};
    p.transport.replyTo("\r\nEI\"A\"\r\n", std::string{0, 5} + data);
    const auto font = ExtractFont(p.link, "A");
    ASSERT_TRUE(font);
    EXPECT_EQ(std::string(font->begin(), font->end()), data);
    EXPECT_EQ(p.ui.events.front(), "window Communicating ...: Extracting font \"A\"");
    EXPECT_FALSE(p.transport.opened);

    // An unknown name: no bytes, which the font check refuses later.
    p.transport.replyTo("\r\nEI\"Q\"\r\n", std::string{0, 0});
    const auto none = ExtractFont(p.link, "Q");
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());

    // Fewer bytes than announced: nothing taken.
    p.transport.replyTo("\r\nEI\"C\"\r\n", std::string{0, 9} + "abc");
    EXPECT_FALSE(ExtractFont(p.link, "C"));
    EXPECT_TRUE(p.link.timeoutFlag);
}

}  // namespace
}  // namespace tavrin
