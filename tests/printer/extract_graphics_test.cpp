// GI into the graphics buffer against a scripted printer.
#include <gtest/gtest.h>

#include <memory>

#include "support/fake_printer.h"
#include "printer/extract_graphics.h"

namespace tavrin {
namespace {

std::string reply(std::size_t length, char fill) {
    std::string r;
    r += static_cast<char>(length >> 8);
    r += static_cast<char>(length & 0xFF);
    return r + std::string(length, fill);
}

TEST(ExtractGraphics, LengthHighByteFirstAndRepliesKeptWithinTheBuffer) {
    test::FakePrinter p;
    auto buffer = std::make_unique<GraphicsBuffer>();
    p.transport.replyTo("\r\nGI\"LOGO\"\r\n", reply(0x0190, 'x'));  // 0x01 0x90: 400 bytes
    ASSERT_TRUE(ExtractGraphics(p.link, *buffer, "LOGO"));
    EXPECT_EQ(buffer->count, 400u);
    EXPECT_EQ(buffer->bytes[399], 'x');
    EXPECT_EQ(p.ui.events.front(), "window Communicating ...: Extracting graphics \"LOGO\"");
    EXPECT_FALSE(p.transport.opened);

    // Longer than the buffer: read to its end, refused, nothing beyond the buffer touched.
    buffer->count = 0;
    p.transport.replyTo("\r\nGI\"BIG\"\r\n", reply(0xFFFF, 'y'));
    EXPECT_FALSE(ExtractGraphics(p.link, *buffer, "BIG"));
    EXPECT_TRUE(p.transport.input.empty());
    EXPECT_EQ(buffer->count, 0u);
    // Too short for a header.
    p.transport.replyTo("\r\nGI\"TINY\"\r\n", reply(10, 'z'));
    EXPECT_FALSE(ExtractGraphics(p.link, *buffer, "TINY"));

    // Fewer bytes than announced: silence, "No printer response".
    p.transport.replyTo("\r\nGI\"CUT\"\r\n", reply(400, 'x').substr(0, 100));
    EXPECT_FALSE(ExtractGraphics(p.link, *buffer, "CUT"));
    EXPECT_EQ(p.ui.events.end()[-2], "window error Error: No printer response");
}

}  // namespace
}  // namespace tavrin
