// Label font files written by hand from the byte layout: plain and behind download commands,
// and every way a file can fail to be a font.
#include "fonts/font_file.h"

#include <gtest/gtest.h>

#include "fonts/font_management.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using test::Bytes;
using test::ByteBuilder;

// charCount, 0, height, then the records (code, width, bytesPerRow, bitmap).
Bytes threeRecordFont() {
    ByteBuilder b;
    b.u8(3).u8(0).u8(16);
    for (const unsigned code : {'A', 'B', 'C'}) {
        b.u8(code).u8(9).u8(2);
        for (int row = 0; row < 16; ++row) b.u8(0xFF).u8(0x80);
    }
    return b.get();
}

TEST(FontFile, PlainFileLoadsWithItsCountAndHeight) {
    test::TempDir dir;
    test::writeFile(dir / "plain.qft", threeRecordFont());
    const FontDataResult r = readFontFile(dir / "plain.qft");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.data, threeRecordFont());

    FigureList figures;
    addNewFont(figures, 'q', r.data);
    EXPECT_EQ(fontListEntries(figures), std::vector<std::string>{"Q  Height=16 Chars=3"});
}

TEST(FontFile, DownloadCommandsAreSkipped) {
    const FontDataResult r = decodeFontFile(ByteBuilder().text("EK\"A\"\r\nES\"A\"").bytes(threeRecordFont()).get());
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.data, threeRecordFont());
    // Only ES without EK is not a command stream: the bytes are read as they stand.
    EXPECT_FALSE(decodeFontFile(ByteBuilder().text("ES\"A\"").bytes(threeRecordFont()).get()).ok);
}

TEST(FontFile, DamagedOrHostileDataIsRefused) {
    const Bytes good = threeRecordFont();
    const auto patched = [&](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"two bytes", {0, 0}},
        {"second byte", patched(1, 1)},
        {"cut", Bytes(good.begin(), good.end() - 1)},  // last bitmap one byte short
        {"count", patched(0, 4)},                       // a fourth record that is not there
        {"bytes per row", patched(3 + 2, 200)},         // bytesPerRow x height beyond the file
        {"height", patched(2, 255)},
        {"header cut", {3, 0, 16, 'A', 9}},             // a record header cut in two
        {"too long", Bytes(kFontDataLimit, 0)},         // one byte over the limit
        {"commands cut", ByteBuilder().text("EK\"A\"\r\nES\"A").get()}};  // no closing quote, no data
    for (const auto& [what, bytes] : cases) {
        const FontDataResult r = decodeFontFile(bytes);
        EXPECT_FALSE(r.ok) << what;
        EXPECT_EQ(r.message, "Invalid font file") << what;
    }
    // The largest sound size, and bytes after the last record, are accepted.
    EXPECT_TRUE(decodeFontFile(Bytes(kFontDataLimit - 1, 0)).ok);
    Bytes trailing = good;
    trailing.push_back('\r');
    EXPECT_TRUE(decodeFontFile(trailing).ok);
}

TEST(FontFile, MissingAndOversizedFiles) {
    test::TempDir dir;
    EXPECT_EQ(readFontFile(dir.path()).message, "Can't open input file");
    test::writeFile(dir / "big.qft", Bytes(200000, 0));
    EXPECT_EQ(readFontFile(dir / "big.qft").message, "Invalid font file");
    EXPECT_TRUE(fontFromPrinterReply(threeRecordFont()).ok);
}

}  // namespace
}  // namespace tavrin
