// The label file against fixtures written by hand from the file's tables.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "document/label_file.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using test::ByteBuilder;
using test::Bytes;

// Header: 608 x 400, margins 16/-4, offset -8, bottom orientation, condensed text.
ByteBuilder header() {
    ByteBuilder b;
    b.field("ZR5500 FILE", 12).be16(608).be16(400).be16(16).be16(-4).be16(-8);
    b.u8(0x03).u8(11).u8(5).u8(2).u8(30).u8(1).zeros(4);
    b.field("MN/DD/Y2", 16).field("H.M", 16);
    return b;
}

Bytes slotBody(unsigned slot, unsigned length, unsigned justification, char pad, int step,
               const std::string& prompt, const std::string& value) {
    return ByteBuilder().u8(slot).u8(1).u8(length).u8(justification).u8(static_cast<unsigned char>(pad))
        .u8(static_cast<unsigned>(step) & 0xFF).field(prompt, 27).field(value, 64).get();
}

const Bytes kPictureBlock = {2, 2, 0xC3, 0x00, 0xFF, 0x0F};  // shareCount, bytesPerRow, rows
const Bytes kFontData = {1, 0, 2, 'A', 3, 1, 0xE0, 0xA0};     // one 3-dot character, 2 rows

// Every record kind once, in the writer's order, with a shared picture pair and a font.
Bytes fullFixture() {
    ByteBuilder b = header();
    b.text("V").be16(97).bytes(slotBody(3, 5, 3, '0', 0, "Lot", "42"));
    b.text("C").be16(97).bytes(slotBody(0, 4, 3, '0', -2, "", "0100"));
    b.text("E").be16(8).le16(1).le16(2).le16(8).text("A").u8(0).bytes(kFontData);
    b.text("A").be16(17 + 7).le16(10).le16(20).le16(1).le16(2).le16(65).le16(0).le16(1).le16(33)
        .text("\"Hello\"").u8(0);
    b.text("B").be16(21 + 3).le16(3).le16(40).le16(41).le16(80).le16(2).le16(3).le16(2).le16(0)
        .le16(150).le16(150).text("V03").u8(0);
    b.text("R").be16(10).le16(1).le16(2).le16(100).le16(20).le16(1);
    b.text("L").be16(12).le16(40).le16(40).le16(140).le16(90).le16(4).le16(2);
    b.text("X").be16(10).le16(-3).le16(5).le16(60).le16(70).le16(2);
    b.text("G").be16(26).le16(5).le16(6).le16(10).le16(2).le16(6).field("LOGO", 16).bytes(kPictureBlock);
    b.text("G").be16(26).le16(50).le16(6).le16(10).le16(2).le16(0).field("LOGO", 16);
    return b.get();
}

LabelDocument decoded(const Bytes& bytes) {
    LabelDocument doc;
    EXPECT_TRUE(decodeLabelFile(bytes, doc).ok);
    return doc;
}

TEST(LabelFile, ReadsEveryFieldOfTheFixture) {
    const LabelDocument doc = decoded(fullFixture());
    const LabelSetup& s = doc.setup;
    EXPECT_EQ((std::array{s.width, s.length, s.leftMargin, s.topMargin, s.offset}),
              (std::array{608, 400, 16, -4, -8}));
    EXPECT_EQ((std::array{s.orientation, s.normalText, s.darkness, s.speed, s.language, s.labelGap, s.paperType}),
              (std::array{1, 0, 11, 5, 2, 30, 1}));
    EXPECT_EQ(s.dateFormat, "MN/DD/Y2");
    EXPECT_EQ(s.timeFormat, "H.M");

    const Variable& v = doc.variables[3];
    EXPECT_TRUE(v.isDefined());
    EXPECT_EQ(v.length, 5);
    EXPECT_EQ(v.justification, kJustifyRight);
    EXPECT_EQ(v.padChar, '0');
    EXPECT_EQ(v.promptText(), "Lot");
    EXPECT_EQ(v.valueText(), "42");
    EXPECT_EQ(doc.counters[0].counterStep(), -2);
    EXPECT_EQ(doc.counters[0].valueText(), "0100");
    EXPECT_FALSE(doc.variables[0].isDefined());

    ASSERT_EQ(doc.figures.size(), 8u);
    auto it = doc.figures.begin();
    EXPECT_EQ(it->kind, FigureKind::Font);
    EXPECT_EQ(it->fontData, kFontData);
    const auto text = TextRecord::decode((++it)->record);
    EXPECT_EQ(text.font, 6);  // stored as 65
    EXPECT_EQ(text.rotation, 1);
    EXPECT_EQ(text.drawnWidth, 33);
    EXPECT_EQ(text.data, "\"Hello\"");
    const auto bar = BarcodeRecord::decode((++it)->record);
    EXPECT_EQ(bar.type, 3);
    EXPECT_EQ(bar.totalLength, 150u);
    EXPECT_EQ(bar.data, "V03");
    EXPECT_EQ(RectangleRecord::decode((++it)->record).colour, kColourInverse);
    EXPECT_EQ(LineRecord::decode((++it)->record).colour, kColourWhite);
    EXPECT_EQ(BoxRecord::decode((++it)->record).x1, -3);
    const Figure& first = *++it;
    const Figure& second = *++it;
    ASSERT_TRUE(first.picture);
    EXPECT_EQ(first.picture, second.picture);  // one block, shared by name
    EXPECT_EQ(first.picture->bytes, kPictureBlock);
    EXPECT_EQ(PictureRecord::decode(second.record).dataLength, 6u);
    EXPECT_EQ(doc.figures.shareCount(first.picture.get()), 2);
}

TEST(LabelFile, WritesTheFixtureByteForByte) {
    const Bytes fixture = fullFixture();
    EXPECT_EQ(encodeLabelFile(decoded(fixture)), fixture);
}

TEST(LabelFile, PictureDataMovesToTheNextPictureOfTheNameWhenTheFirstIsDeleted) {
    LabelDocument doc = decoded(fullFixture());
    Figure* first = nullptr;
    for (auto& f : doc.figures)
        if (f.kind == FigureKind::Picture && !first) first = &f;
    doc.figures.removeFigure(first);

    ByteBuilder expected = header();
    const Bytes full = fullFixture();
    // Everything up to the first 'G' record stays; then one Picture carrying the block,
    // whose share count byte now says 1.
    const auto firstG = full.size() - (3 + 26 + kPictureBlock.size()) - (3 + 26);
    expected = ByteBuilder().bytes(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(firstG)));
    expected.text("G").be16(26).le16(50).le16(6).le16(10).le16(2).le16(6).field("LOGO", 16)
        .u8(1).bytes(Bytes(kPictureBlock.begin() + 1, kPictureBlock.end()));
    EXPECT_EQ(encodeLabelFile(doc), expected.get());
}

TEST(LabelFile, HeaderOnlyFileGivesAnEmptyLabelWithTheStoredSetup) {
    LabelDocument doc;
    doc.figures.appendFigure(RectangleRecord{}.encode(), FigureKind::Rectangle);
    doc.variables[0].defined = 1;
    ASSERT_TRUE(decodeLabelFile(header().get(), doc).ok);
    EXPECT_TRUE(doc.figures.empty());
    EXPECT_FALSE(doc.variables[0].isDefined());
    EXPECT_EQ(doc.setup.offset, -8);
}

TEST(LabelFile, FontOnlyLabelSavesAndLoads) {
    test::TempDir dir;
    LabelDocument doc;
    Figure& font = doc.figures.appendFigure(FontRecord{1, 2, 8, 'A'}.encode(), FigureKind::Font);
    font.fontData = kFontData;
    doc.setup = decoded(header().get()).setup;
    ASSERT_TRUE(saveLabelFile(dir / "font.qlb", doc).ok);
    const Bytes expected = header()
        .text("E").be16(8).le16(1).le16(2).le16(8).text("A").u8(0).bytes(kFontData).get();
    EXPECT_EQ(test::readFile(dir / "font.qlb"), expected);
}

TEST(LabelFile, FailuresReportTheWindowsMessageAndKeepTheDocument) {
    test::TempDir dir;
    LabelDocument doc = decoded(fullFixture());
    const auto before = encodeLabelFile(doc);

    EXPECT_EQ(loadLabelFile(dir / "missing.qlb", doc).message, "Can't open input file");
    EXPECT_EQ(loadLabelFile(dir.path(), doc).message, "Can't open input file");

    Bytes foreign = fullFixture();
    foreign[11] = ' ';  // the magic's zero byte
    test::writeFile(dir / "foreign.qlb", foreign);
    EXPECT_EQ(loadLabelFile(dir / "foreign.qlb", doc).message, "Invalid label file");
    const Bytes full = fullFixture();
    const Bytes cutHeader(full.begin(), full.begin() + 40);
    EXPECT_EQ(decodeLabelFile(cutHeader, doc).message, "Invalid label file");
    EXPECT_EQ(encodeLabelFile(doc), before);

    EXPECT_EQ(saveLabelFile(dir / "empty.qlb", LabelDocument{}).message, "Nothing to save");
    EXPECT_FALSE(std::filesystem::exists(dir / "empty.qlb"));
    EXPECT_EQ(saveLabelFile(dir / "no" / "such" / "folder.qlb", doc).message, "Can't open output file");
}

TEST(LabelFile, SavingReplacesALongerFileWholeAndOnlyWhenComplete) {
    test::TempDir dir;
    test::writeFile(dir / "label.qlb", Bytes(5000, 0xAA));
    LabelDocument doc = decoded(fullFixture());
    ASSERT_TRUE(saveLabelFile(dir / "label.qlb", doc).ok);
    EXPECT_EQ(test::readFile(dir / "label.qlb"), fullFixture());

    // A folder that cannot be written keeps the old file as it was.
    if (::geteuid() != 0) {
        ::chmod(dir.path().c_str(), 0500);
        EXPECT_FALSE(saveLabelFile(dir / "label.qlb", decoded(header().text("R").be16(10).zeros(10).get())).ok);
        ::chmod(dir.path().c_str(), 0700);
        EXPECT_EQ(test::readFile(dir / "label.qlb"), fullFixture());
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename(), "label.qlb");  // no temporary left behind
}

TEST(LabelFile, AFileCutAnywhereLoadsWhatCameBeforeTheCut) {
    const Bytes full = fullFixture();
    std::size_t previousCount = 0;
    for (std::size_t cut = kLabelFileHeaderSize; cut <= full.size(); ++cut) {
        LabelDocument doc;
        ASSERT_TRUE(decodeLabelFile(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut)), doc).ok);
        EXPECT_GE(doc.figures.size(), previousCount) << "cut at " << cut;
        previousCount = doc.figures.size();
        for (const auto& f : doc.figures) {
            if (f.kind == FigureKind::Picture && f.picture) {
                EXPECT_EQ(f.picture->bytes, kPictureBlock);
            }
        }
    }
    EXPECT_EQ(previousCount, 8u);
}

TEST(LabelFile, DamagedRecordsNeverReachBeyondTheirRecordOrSlot) {
    ByteBuilder b = header();
    b.text("V").be16(120).u8(40).zeros(119);           // slot out of range, body too long: skipped
    b.text("C").be16(150).u8(1).u8(1).zeros(148);      // body longer than a slot: cut to 96 bytes
    b.text("R").be16(200).le16(7).zeros(198);          // longer than a figure record: cut to 84
    b.text("A").be16(90).le16(1).le16(1).zeros(12).text(std::string(74, 'x'));  // no terminator
    b.text("E").be16(8).le16(1).le16(2).le16(500).text("Z").u8(0).zeros(10);     // block cut short
    LabelDocument doc = decoded(b.get());
    EXPECT_FALSE(doc.variables[0].isDefined());
    EXPECT_TRUE(doc.counters[1].isDefined());
    ASSERT_EQ(doc.figures.size(), 2u);  // the font record is dropped, reading stops there
    EXPECT_EQ(RectangleRecord::decode(doc.figures.front().record).x, 7);
    EXPECT_EQ(TextRecord::decode(doc.figures.back().record).data.size(), TextRecord::kMaxData);
    // Writing it back gives well-formed records again.
    LabelDocument again = decoded(encodeLabelFile(doc));
    EXPECT_EQ(again.figures.size(), 2u);
}

TEST(LabelFile, ReadingStopsAtAnUnknownTag) {
    ByteBuilder b = header();
    b.text("R").be16(10).le16(1).zeros(8).text("Q").be16(10).zeros(10).text("R").be16(10).zeros(10);
    EXPECT_EQ(decoded(b.get()).figures.size(), 1u);
}

}  // namespace
}  // namespace tavrin
