// tavrin-label info, run as a user would run it.
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tavrin {
namespace {

using test::ByteBuilder;

test::CommandResult info(const std::string& file) { return test::runProgram(TAVRIN_LABEL_EXE, {"info", file}); }

ByteBuilder header() {
    ByteBuilder b;
    b.field("ZR5500 FILE", 12).be16(384).be16(200).be16(0).be16(0).be16(-8);
    b.u8(0).u8(8).u8(4).u8(0).u8(24).u8(0).zeros(4).field("DD-MN-Y4", 16).field("H:M:S", 16);
    return b;
}

TEST(InfoCommand, ReportsSetupSlotsAndEveryFigureField) {
    test::TempDir dir;
    ByteBuilder b = header();
    b.text("V").be16(97).u8(31).u8(1).u8(12).u8(2).u8('*').u8(0).field("Weight \"kg\"", 27).field("12.5", 64);
    b.text("E").be16(8).le16(1).le16(2).le16(8).text("Q").u8(0).bytes({1, 0, 2, 'A', 3, 1, 0xE0, 0xA0});
    b.text("A").be16(17 + 3).le16(-7).le16(20).le16(2).le16(3).le16(65).le16(0).le16(3).le16(0).text("\"\xC0\"").u8(0);
    b.text("G").be16(26).le16(5).le16(6).le16(8).le16(1).le16(3).field("P1", 16).bytes({2, 1, 0x55});
    b.text("G").be16(26).le16(9).le16(6).le16(8).le16(1).le16(0).field("P1", 16);
    test::writeFile(dir / "label.qlb", b.get());

    const auto r = info((dir / "label.qlb").string());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string& out = r.out;
    for (const char* expected : {
             "\"offset\": -8", "\"dateFormat\": \"DD-MN-Y4\"", "\"textType\": \"Normal\"",
             "\"name\": \"V31\"", "\"justificationLetter\": \"C\"", "\"padChar\": \"*\"",
             "\"prompt\": \"Weight \\\"kg\\\"\"", "\"value\": \"12.5\"",
             "\"kindName\": \"Font\"", "\"letter\": \"Q\"", "\"charCount\": 1", "\"height\": 2",
             "\"x\": -7", "\"font\": 6", "\"fontLetter\": \"Q\"", "\"rotationName\": \"270 deg\"",
             "\"data\": \"\\\"\\u00c0\\\"\"", "\"name\": \"P1\"", "\"dataLength\": 3", "\"shareCount\": 2"}) {
        EXPECT_NE(out.find(expected), std::string::npos) << "missing " << expected << " in\n" << out;
    }
    EXPECT_EQ(out.find("\"counters\": []") != std::string::npos, true);
}

TEST(InfoCommand, MissingDamagedAndForeignFilesFailWithAMessage) {
    test::TempDir dir;
    auto r = info((dir / "nothing.qlb").string());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Can't open input file"), std::string::npos);

    test::writeFile(dir / "foreign.qlb", std::string_view("GIF89a this is not a label"));
    r = info((dir / "foreign.qlb").string());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Invalid label file"), std::string::npos);
    EXPECT_TRUE(r.out.empty());

    r = test::runProgram(TAVRIN_LABEL_EXE, {"info"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("usage"), std::string::npos);
}

}  // namespace
}  // namespace tavrin
