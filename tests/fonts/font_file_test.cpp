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
    ByteBuilder b;
    b.text("EK\"A\"\r\nES\"A\"").bytes(threeRecordFont());
    const FontDataResult r = decodeFontFile(b.get());
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.data, threeRecordFont());

    // Only ES without EK is not a command stream: the bytes are read as they stand.
    ByteBuilder lone;
    lone.text("ES\"A\"").bytes(threeRecordFont());
    EXPECT_FALSE(decodeFontFile(lone.get()).ok);
}

TEST(FontFile, DamagedOrHostileDataIsRefused) {
    const Bytes good = threeRecordFont();
    Bytes secondByte = good;
    secondByte[1] = 1;
    Bytes cut = good;
    cut.resize(cut.size() - 1);                    // last bitmap one byte short
    Bytes countTooHigh = good;
    countTooHigh[0] = 4;                           // a fourth record that is not there
    Bytes rowsTooWide = good;
    rowsTooWide[3 + 2] = 200;                      // bytesPerRow x height beyond the file
    Bytes tooTall = good;
    tooTall[2] = 255;
    Bytes headerCut = {3, 0, 16, 'A', 9};          // a record header cut in two
    Bytes huge(kFontDataLimit, 0);                 // one byte over the limit
    huge[0] = 0;
    ByteBuilder commandsCut;
    commandsCut.text("EK\"A\"\r\nES\"A");          // the closing quote and the data missing

    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},          {"two bytes", {0, 0}},       {"second byte", secondByte},
        {"cut", cut},           {"count", countTooHigh},     {"bytes per row", rowsTooWide},
        {"height", tooTall},    {"header cut", headerCut},   {"too long", huge},
        {"commands cut", commandsCut.get()}};
    for (const auto& [what, bytes] : cases) {
        const FontDataResult r = decodeFontFile(bytes);
        EXPECT_FALSE(r.ok) << what;
        EXPECT_EQ(r.message, "Invalid font file") << what;
    }
    // The largest sound size, and bytes after the last record, are accepted.
    Bytes largest(kFontDataLimit - 1, 0);
    EXPECT_TRUE(decodeFontFile(largest).ok);
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
