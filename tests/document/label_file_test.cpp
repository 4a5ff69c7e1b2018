// The label file against fixtures written by hand from the file's tables.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "document/label_file.h"
#include "document/safe_file.h"
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
    return b.field("MN/DD/Y2", 16).field("H.M", 16);
}

// Tag, body length 97, then slot, defined, length, justification, pad, step, prompt, value.
Bytes slot(char tag, unsigned number, unsigned length, int step, const std::string& prompt, const std::string& value) {
    return ByteBuilder().text(std::string(1, tag)).be16(97).u8(number).u8(1).u8(length).u8(3).u8('0')
        .u8(static_cast<unsigned>(step) & 0xFF).field(prompt, 27).field(value, 64).get();
}

const Bytes kPictureBlock = {2, 2, 0xC3, 0x00, 0xFF, 0x0F};  // shareCount, bytesPerRow, rows
const Bytes kFontData = {1, 0, 2, 'A', 3, 1, 0xE0, 0xA0};     // one 3-dot character, 2 rows
const Bytes kFontRecord = ByteBuilder().text("E").be16(8).le16(1).le16(2).le16(8).text("A").u8(0).get();

// A Picture named LOGO at (x, 6), 10 x 2, with the block when `dataLength` is not 0.
ByteBuilder& picture(ByteBuilder& b, int x, int dataLength) {
    return b.text("G").be16(26).le16(x).le16(6).le16(10).le16(2).le16(dataLength).field("LOGO", 16);
}

// Every record kind once, in the writer's order, with a shared picture pair and a font.
Bytes fullFixture() {
    ByteBuilder b = header();
    b.bytes(slot('V', 3, 5, 0, "Lot", "42")).bytes(slot('C', 0, 4, -2, "", "0100"));
    b.bytes(kFontRecord).bytes(kFontData);
    b.text("A").be16(17 + 7).le16(10).le16(20).le16(1).le16(2).le16(65).le16(0).le16(1).le16(33).text("\"Hello\"").u8(0);
    b.text("B").be16(21 + 3).le16(3).le16(40).le16(41).le16(80).le16(2).le16(3).le16(2).le16(0)
        .le16(150).le16(150).text("V03").u8(0);
    b.text("R").be16(10).le16(1).le16(2).le16(100).le16(20).le16(1);
    b.text("L").be16(12).le16(40).le16(40).le16(140).le16(90).le16(4).le16(2);
    b.text("X").be16(10).le16(-3).le16(5).le16(60).le16(70).le16(2);
    picture(b, 5, 6).bytes(kPictureBlock);
    picture(b, 50, 0);
    return b.get();
}

LabelDocument decoded(const Bytes& bytes) {
    LabelDocument doc;
    EXPECT_TRUE(decodeLabelFile(bytes, doc));
    return doc;
}

TEST(LabelFile, ReadsEveryFieldOfTheFixtureAndWritesItBackByteForByte) {
    const LabelDocument doc = decoded(fullFixture());
    EXPECT_EQ(encodeLabelFile(doc), fullFixture());
    EXPECT_EQ(doc.setup, (LabelSetup{.width = 608, .length = 400, .leftMargin = 16, .topMargin = -4, .offset = -8,
                                     .orientation = 1, .darkness = 11, .speed = 5, .language = 2, .labelGap = 30,
                                     .paperType = 1, .normalText = 0, .dateFormat = "MN/DD/Y2", .timeFormat = "H.M"}));
    const Variable& v = doc.variables[3];
    EXPECT_EQ(std::tuple(v.isDefined(), int{v.length}, int{v.justification}, v.padChar, v.promptText(), v.valueText()),
              std::tuple(true, 5, kJustifyRight, '0', "Lot", "42"));
    EXPECT_EQ(std::tuple(doc.counters[0].counterStep(), doc.counters[0].valueText()), std::tuple(-2, "0100"));
    EXPECT_FALSE(doc.variables[0].isDefined());
    ASSERT_EQ(doc.figures.size(), 8u);
    std::vector<const Figure*> f;
    for (const Figure& figure : doc.figures) f.push_back(&figure);
    EXPECT_EQ(f[0]->kind, FigureKind::Font);
    EXPECT_EQ(f[0]->fontData, kFontData);
    const auto text = TextRecord::decode(f[1]->record);  // font 6 is stored as 65
    EXPECT_EQ(std::tuple(text.font, text.rotation, text.drawnWidth, text.data), std::tuple(6, 1, 33, "\"Hello\""));
    const auto bar = BarcodeRecord::decode(f[2]->record);
    EXPECT_EQ(std::tuple(bar.type, bar.totalLength, bar.data), std::tuple(3, 150u, "V03"));
    EXPECT_EQ((std::array<int, 3>{RectangleRecord::decode(f[3]->record).colour, LineRecord::decode(f[4]->record).colour,
                          BoxRecord::decode(f[5]->record).x1}),
              (std::array<int, 3>{kColourInverse, kColourWhite, -3}));
    ASSERT_TRUE(f[6]->picture);
    EXPECT_EQ(f[6]->picture, f[7]->picture);  // one block, shared by name
    EXPECT_EQ(f[6]->picture->bytes, kPictureBlock);
    EXPECT_EQ(PictureRecord::decode(f[7]->record).dataLength, 6u);
    EXPECT_EQ(doc.figures.shareCount(f[6]->picture.get()), 2);
}

TEST(LabelFile, PictureDataMovesToTheNextPictureOfTheNameWhenTheFirstIsDeleted) {
    LabelDocument doc = decoded(fullFixture());
    doc.figures.removeFigure(&*std::next(doc.figures.begin(), 6));
    // Everything before the two Pictures stays; then one Picture carrying the block,
    // whose share count byte now says 1.
    const Bytes full = fullFixture();
    ByteBuilder expected = ByteBuilder().bytes(Bytes(full.begin(), full.end() - (3 + 26 + 6) - (3 + 26)));
    picture(expected, 50, 6).u8(1).bytes(Bytes(kPictureBlock.begin() + 1, kPictureBlock.end()));
    EXPECT_EQ(encodeLabelFile(doc), expected.get());
}

// Saved over a longer file, which is replaced whole.
TEST(LabelFile, FontOnlyLabelSavesAndLoads) {
    test::TempDir dir;
    test::writeFile(dir / "font.qlb", Bytes(5000, 0xAA));
    LabelDocument doc;
    doc.figures.appendFigure(FontRecord{1, 2, 8, 'A'}.encode(), FigureKind::Font).fontData = kFontData;
    doc.setup = decoded(header().get()).setup;
    ASSERT_TRUE(saveLabelFile(dir / "font.qlb", doc));
    EXPECT_EQ(test::readFile(dir / "font.qlb"), header().bytes(kFontRecord).bytes(kFontData).get());
    EXPECT_EQ(decoded(test::readFile(dir / "font.qlb")).figures.front().fontData, kFontData);
}

TEST(LabelFile, FailuresReportTheWindowsMessageAndKeepTheDocument) {
    test::TempDir dir;
    LabelDocument doc = decoded(fullFixture());
    const auto before = encodeLabelFile(doc);
    EXPECT_EQ(loadLabelFile(dir / "missing.qlb", doc).message(), "Can't open input file");
    EXPECT_EQ(loadLabelFile(dir.path(), doc).message(), "Can't open input file");
    Bytes foreign = fullFixture();
    foreign[11] = ' ';  // the magic's zero byte
    test::writeFile(dir / "foreign.qlb", foreign);
    EXPECT_EQ(loadLabelFile(dir / "foreign.qlb", doc).message(), "Invalid label file");
    foreign[11] = 0, foreign.resize(40);  // the right magic, the header cut short
    EXPECT_EQ(decodeLabelFile(foreign, doc).message(), "Invalid label file");
    EXPECT_EQ(encodeLabelFile(doc), before);
    EXPECT_EQ(saveLabelFile(dir / "empty.qlb", LabelDocument{}).message(), "Nothing to save");
    EXPECT_FALSE(std::filesystem::exists(dir / "empty.qlb"));
    EXPECT_EQ(saveLabelFile(dir / "no" / "such" / "folder.qlb", doc).message(), "Can't open output file");
}

// The header alone gives an empty label with the stored setup, whatever was loaded before.
TEST(LabelFile, AFileCutAnywhereLoadsWhatCameBeforeTheCut) {
    const Bytes full = fullFixture();
    std::size_t previousCount = 0;
    for (std::size_t cut = kLabelFileHeaderSize; cut <= full.size(); ++cut) {
        LabelDocument doc = cut == kLabelFileHeaderSize ? decoded(full) : LabelDocument{};
        ASSERT_TRUE(decodeLabelFile(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut)), doc));
        if (cut == kLabelFileHeaderSize) {
            EXPECT_EQ(std::tuple(doc.figures.size(), doc.variables[3].isDefined(), doc.setup.offset),
                      std::tuple(0u, false, -8));
        }
        EXPECT_GE(doc.figures.size(), previousCount) << "cut at " << cut;
        previousCount = doc.figures.size();
        for (const auto& f : doc.figures)
            EXPECT_TRUE(!f.picture || f.picture->bytes == kPictureBlock) << "cut at " << cut;
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
    EXPECT_EQ(decoded(encodeLabelFile(doc)).figures.size(), 2u);  // written back well-formed
    // An unknown tag ends the reading too.
    b = header().text("R").be16(10).le16(1).zeros(8).text("Q").be16(10).zeros(10).text("R").be16(10).zeros(10);
    EXPECT_EQ(decoded(b.get()).figures.size(), 1u);
}

// Replacing a file's contents never turns a link or a device into a plain file, nor
// overrides a file's protection, and a replacement that fails leaves the old file whole.
// Every file the program writes goes through it.
TEST(SafeFile, LinksKeepPointingAndDevicesStayDevices) {
    test::TempDir dir;
    const test::Bytes bytes = {'n', 'e', 'w'};
    test::writeFile(dir / "target", test::Bytes{'o', 'l', 'd', '!'});
    std::filesystem::create_symlink("target", dir / "link");
    ASSERT_TRUE(replaceFileContents(dir / "link", bytes));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_EQ(test::readFile(dir / "target"), bytes);

    // A pipe (as a device would) gets the bytes written into it and stays a pipe.
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const int reader = ::open((dir / "pipe").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(replaceFileContents(dir / "pipe", bytes));
    struct stat after {};
    ASSERT_EQ(::stat((dir / "pipe").c_str(), &after), 0);
    EXPECT_TRUE(S_ISFIFO(after.st_mode));
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 3);
    EXPECT_EQ(std::string(got, 3), "new");
    ::close(reader);
    EXPECT_FALSE(replaceFileContents(dir.path(), bytes));  // a folder is never replaced
}

TEST(SafeFile, AFileItsOwnerMadeReadOnlyIsNotReplaced) {
    test::TempDir dir;
    // Anyone may write the folder, so only the file's own protection stands in the way.
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    test::writeFile(dir / "kept", "old");
    ::chmod((dir / "kept").c_str(), 0444);
    EXPECT_EQ(test::asUnprivileged([&] { return replaceFileContents(dir / "kept", "new") ? "replaced" : "refused"; }),
              "refused");
    EXPECT_EQ(test::readText(dir / "kept"), "old");
}

// A write that fails part way (a file size limit, as a full disk would, and even for root)
// or cannot start (a folder that cannot be written) leaves the old file and nothing beside it.
TEST(SafeFile, AFailedReplacementKeepsTheOldFileAndLeavesNoTemporary) {
    test::TempDir dir;
    const auto path = dir / "kept";
    test::writeFile(path, "old");
    const auto expectOldFileAlone = [&] {
        EXPECT_EQ(test::readText(path), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    };
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit small{64, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool replaced = static_cast<bool>(replaceFileContents(path, std::string(1000, 'n')));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(replaced);
    expectOldFileAlone();
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_EQ(test::asUnprivileged([&] { return replaceFileContents(path, "new") ? "replaced" : "refused"; }),
              "refused");
    ::chmod(dir.path().c_str(), 0700);
    expectOldFileAlone();
}

}  // namespace
}  // namespace tavrin
