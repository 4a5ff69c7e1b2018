// Translation between the screen's and the printer's character sets. The expected code
// page bytes come from the published cp1251 and cp866 tables.
#include <gtest/gtest.h>

#include "printer/translation.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using test::Bytes;
using test::TempDir;
using test::writeFile;

std::string bytes(std::initializer_list<unsigned> values) {
    std::string s;
    for (unsigned v : values) s.push_back(static_cast<char>(v));
    return s;
}

TEST(Translation, AnsiToOemConvertsCyrillicBetweenCp1251AndCp866) {
    Translation t;
    EXPECT_EQ(t.choice(), kTranslationAnsiToOem);
    // А, я, Ё, ё, № in cp1251, then in cp866.
    const std::string ansi = bytes({0xC0, 0xFF, 0xA8, 0xB8, 0xB9});
    const std::string oem = bytes({0x80, 0xEF, 0xF0, 0xF1, 0xFC});
    EXPECT_EQ(t.toPrinter("Sale " + ansi), "Sale " + oem);
    EXPECT_EQ(t.toScreen(oem + "\"V01\""), ansi + "\"V01\"");

    // Western pages: é is 0xE9 in cp1252 and 0x82 in cp437.
    ASSERT_TRUE(t.setCodePages("CP1252", "CP437"));
    EXPECT_EQ(t.toPrinter(bytes({0xE9})), bytes({0x82}));
    EXPECT_FALSE(t.setCodePages("NO-SUCH-PAGE", "CP437"));
    EXPECT_EQ(t.ansiCodePage(), "CP1252");
}

TEST(Translation, TableFileMapsOnlyUpperBytesEachWay) {
    TempDir dir;
    Bytes table(256);
    for (int i = 0; i < 128; ++i) {
        table[i] = static_cast<std::uint8_t>(0xFF - i);           // out: 0x80 -> 0xFF ...
        table[128 + i] = static_cast<std::uint8_t>(0x80 + (i ^ 1));  // in: swaps pairs
    }
    writeFile(dir / "RUS.TRN", table);
    writeFile(dir / "SHORT.TRN", Bytes(255, 0x41));
    const std::vector<std::filesystem::path> files = {dir / "RUS.TRN", dir / "SHORT.TRN", dir / "GONE.TRN"};

    Translation t;
    ASSERT_EQ(t.load(2, files), 2);
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string out = t.toPrinter(all);
    const std::string in = t.toScreen(all);
    for (int b = 1; b < 0x80; ++b) {
        EXPECT_EQ(out[b - 1], static_cast<char>(b));
        EXPECT_EQ(in[b - 1], static_cast<char>(b));
    }
    EXPECT_EQ(t.toPrinter(std::uint8_t{0x80}), 0xFF);
    EXPECT_EQ(t.toPrinter(std::uint8_t{0xC1}), 0xBE);
    EXPECT_EQ(t.toScreen(std::uint8_t{0x80}), 0x81);
    EXPECT_EQ(t.toScreen(std::uint8_t{0xFF}), 0xFE);

    // A short file, a missing file and a choice past the list fall back without a message.
    EXPECT_EQ(t.load(3, files), kTranslationAnsiToOem);
    EXPECT_EQ(t.load(4, files), kTranslationAnsiToOem);
    EXPECT_EQ(t.load(5, files), kTranslationAnsiToOem);
    EXPECT_EQ(t.load(-1, files), kTranslationAnsiToOem);

    ASSERT_EQ(t.load(kTranslationNone, files), kTranslationNone);
    EXPECT_EQ(t.toPrinter(all), all);
    EXPECT_EQ(t.toScreen(all), all);
}

TEST(Translation, ChoiceNamesListTheFilesAfterTheTwoFixedChoices) {
    EXPECT_EQ(Translation::choiceNames({"/opt/x/RUS.TRN", "GREEK.TRN"}),
              (std::vector<std::string>{"ANSI to OEM", "None", "File: RUS.TRN", "File: GREEK.TRN"}));
}

}  // namespace
}  // namespace tavrin
