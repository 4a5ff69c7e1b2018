// Exchanges about stored objects against a scripted printer. Expected command bytes are
// written out by hand from the command table; replies are scripted the same way.
#include <gtest/gtest.h>

#include "support/fake_printer.h"
#include "printer/storage_operations.h"
#include "support/label_builders.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using test::Events;
using test::Sleeps;
using test::TempDir;
using Names = std::vector<std::string>;

std::string withNul(std::string text) { return text + '\0'; }

struct Storage : test::FakePrinter {
    PrinterStorage storage{link};
    LabelDocument label;
};

TEST(ReceiveList, NamesCountAndKindComeFromTheReply) {
    Storage s;
    s.transport.replyTo("\r\nUF\r\n", withNul("2\r\nFORM1\r\n LBL \r\n"));
    ASSERT_TRUE(s.storage.receiveList(kListForms));
    EXPECT_EQ(s.transport.written, "\r\nUF\r\n");
    EXPECT_EQ(s.storage.storeAsList().names, (Names{"FORM1", " LBL "}));
    EXPECT_EQ(s.storage.storeAsList().heading, "Existing forms:");
    EXPECT_FALSE(s.transport.opened);
    EXPECT_EQ(s.ui.events, (Events{"window Communicating ...: Receiving form list", "close"}));
    s.transport.replyTo("\r\nUE\r\n", withNul("0\r\n"));
    ASSERT_TRUE(s.storage.receiveList(kListFonts));
    EXPECT_TRUE(s.storage.storeAsList().names.empty());
    EXPECT_EQ(s.storage.CurrentListKind, kListFonts);
    // Count 3 with two names: silence, the kind unchanged, and the port closed so that the
    // rest of a late reply cannot pass for the next exchange's answer.
    s.transport.replyTo("\r\nUG\r\n", "3\r\nLOGO\r\nPIC\r\n");
    EXPECT_FALSE(s.storage.receiveList(kListGraphics));
    EXPECT_TRUE(s.link.silent());
    EXPECT_FALSE(s.transport.opened);
    EXPECT_EQ(s.storage.storeAsList().names, (Names{"LOGO", "PIC"}));
    EXPECT_EQ(s.storage.CurrentListKind, kListFonts);
    EXPECT_EQ(Events(s.ui.events.end() - 2, s.ui.events.end()),
              (Events{"window error Error: No printer response", "beep"}));
    s.transport.replyTo("\r\nUF\r\n", withNul("0\r\n"));
    EXPECT_TRUE(s.storage.receiveList(kListForms));
    EXPECT_EQ(s.transport.openCount, 4);
}

TEST(ReceiveList, CountsOfAnySizeStayWithinTheReply) {
    EXPECT_EQ(parseListCount("  +2abc"), 2);
    EXPECT_EQ(parseListCount("-5"), 0);
    EXPECT_EQ(parseListCount("none"), 0);
    EXPECT_EQ(parseListCount("99999999999999"), 65535);
    Storage s;
    std::string reply = "3000\r\n";
    for (int i = 0; i < 3000; ++i) reply += "F" + std::to_string(i) + "\r\n";
    s.transport.replyTo("\r\nUF\r\n", withNul(reply));
    ASSERT_TRUE(s.storage.receiveList(kListForms));
    ASSERT_EQ(s.storage.storeAsList().names.size(), 3000u);
    EXPECT_EQ(s.storage.storeAsList().names.back(), "F2999");
    // The end mark closes a list that is shorter than its count, at once.
    s.transport.replyTo("\r\nUF\r\n", withNul("4000\r\nA\r\n"));
    ASSERT_TRUE(s.storage.receiveList(kListForms));
    EXPECT_EQ(s.storage.storeAsList().names, (Names{"A"}));
    EXPECT_FALSE(s.link.silent());
}

TEST(StoreAsName, LettersAndDigitsOnlyAndExistingNamesAskFirst) {
    const Names forms = {"F1", "SHOP"};
    using Action = StoreAsDecision::Action;
    EXPECT_EQ(checkStoreAsName("", kListForms, forms).action, Action::Ignore);
    EXPECT_EQ(checkStoreAsName("AB12CD34", kListForms, forms).action, Action::Store);
    EXPECT_EQ(checkStoreAsName("MY_FORM", kListForms, forms).message, (UserMessage{"Error", "Invalid name: MY_FORM"}));
    EXPECT_EQ(checkStoreAsName("ABCDEFGH9", kListForms, forms).action, Action::Refuse);
    EXPECT_EQ(checkStoreAsName("AB", kListFonts, {}).action, Action::Refuse);
    const auto exists = checkStoreAsName("SHOP", kListForms, forms);
    EXPECT_EQ(exists.action, Action::AskOverwrite);
    EXPECT_EQ(exists.message, (UserMessage{"Warning", "Form exists. Overwrite ?"}));
    EXPECT_EQ(checkStoreAsName("F1", kListGraphics, forms).message.text, "Graphics exists. Overwrite ?");
    EXPECT_EQ(checkStoreAsName("A", kListFonts, {"A"}).message.text, "Font exists. Overwrite ?");
}

TEST(StoreFormFile, DeletesStoresActivatesAndRefreshesTheList) {
    Storage s;
    TempDir dir;
    const std::string form = "; Saved by TAVRIN Label Editor\r\nA10,10,0,1,1,1,N,\"X\"\r\n\r\n";
    test::writeFile(dir / "SHOP.EJF", form);
    s.transport.replyTo("\r\nUF\r\n", withNul("1\r\nF1\r\n"));
    EXPECT_TRUE(s.storage.storeFormFile(dir / "SHOP.EJF", "F1"));
    EXPECT_EQ(s.transport.written, "\r\n\nN\r\nFK\"F1\"\r\nFS\"F1\"\r\n" + form + "\r\nFE\r\nFR\"F1\"\r\n\r\nUF\r\n");
    EXPECT_EQ(s.clock.sleeps, (Sleeps{{14, 150}}));
    EXPECT_EQ(s.storage.storeAsList().names, (Names{"F1"}));
    EXPECT_EQ(s.ui.events, (Events{"window Communicating ...: Store form F1", "close",
                                   "window Communicating ...: Receiving form list", "close"}));
}

TEST(StoreFormFile, UnreadableFileSendsNothing) {
    Storage s;
    EXPECT_FALSE(s.storage.storeFormFile(TempDir().path() / "NONE.EJF", "F1"));
    EXPECT_EQ(s.ui.events, (Events{"box Error: Can't open input file"}));
    EXPECT_EQ(s.transport.openCount, 0);
}

TEST(StoreCurrentLabel, ARefusedByteAnsweredNoStopsTheStore) {
    Storage s;
    s.transport.refuseFrom = 20, s.transport.refusals = 2;
    s.ui.retryAnswers = {true, false};  // one retry, then give up
    test::addText(s.label, 0, 0, 1, 0, "\"X\"");
    EXPECT_FALSE(s.storage.storeCurrentLabel(s.label, "F"));
    EXPECT_TRUE(s.link.refused());
    EXPECT_EQ(s.transport.written.size(), 20u);  // nothing after the refused byte
    EXPECT_FALSE(s.transport.opened);
    EXPECT_EQ(std::count(s.ui.events.begin(), s.ui.events.end(), "ask Error: Can't write to comm. port. Retry ?"), 2);
}

TEST(StoreGraphicsAndFonts, BytesWithTheirCountsAndOwnDownloadLinesLeftOut) {
    Storage s;
    auto buffer = std::make_unique<GraphicsBuffer>();
    const std::string pcx = "\x0A\x05\x01\x01\xC3";
    std::copy(pcx.begin(), pcx.end(), buffer->bytes.begin());
    buffer->count = pcx.size();
    s.transport.replyTo("\r\nUG\r\n", withNul("1\r\nLOGO\r\n"));
    s.storage.CurrentListKind = kListGraphics;
    StoreSources sources;
    sources.graphics = buffer.get();
    EXPECT_TRUE(s.storage.storeAs("LOGO", sources));
    EXPECT_EQ(s.transport.written, "\r\n\nGK\"LOGO\"\nGM\"LOGO\"5\n" + pcx + std::string(256, '\n') + "\r\nUG\r\n");
    EXPECT_EQ(s.clock.sleeps, (Sleeps{{12, 100}}));
    EXPECT_EQ(s.ui.events.front(), "window Communicating ...: Store picture LOGO");
    // A font file with its own EK/ES lines is sent without them, as a raw one is.
    TempDir dir;
    const std::string data = test::byteString({2, 0, 0x10, 0x41, 8, 1}) + std::string(16, '\x55');
    test::writeFile(dir / "OWN.QFT", "\r\n\nEK\"A\"\r\nES\"A\"" + data);
    test::writeFile(dir / "RAW.QFT", data);
    for (const char* file : {"OWN.QFT", "RAW.QFT"}) {
        s.transport.written.clear();
        s.clock.sleeps.clear();
        s.transport.replyTo("\r\nUE\r\n", withNul("1\r\nB\r\n"));
        EXPECT_TRUE(s.storage.storeFontFile(dir / file, "B")) << file;
        EXPECT_EQ(s.transport.written, "\r\n\nEK\"B\"\r\nES\"B\"" + data + std::string(256, '\r') + "\n\r\nUE\r\n");
        EXPECT_EQ(s.clock.sleeps, (Sleeps{{10, 150}}));
        EXPECT_EQ(s.storage.storeAsList().names, (Names{"B"}));
    }
}

TEST(ReceiveVariables, FixedColumnsFillTheSlots) {
    using test::makeSlot;
    Storage s;
    s.label.variables[5] = makeSlot(3, 0, ' ', "Old", "old");
    s.transport.replyTo("\r\n\nVI\r\n", withNul("V00,10,N ,\"Name\",\"Bob\"\r\n"
                                                "V31,05,R0,\"Price  \",\"12\"\r\n"
                                                "C07,04,L*,-12,\"Count\",\"0009\"\r\n"  // quote at column 14
                                                "C00,03,C0,+5,\"Lot\",\"7\"\r\n"
                                                "C01,03,N ,+100,\"Big\",\"1\"\r\n"
                                                "V02,08,N ,\"Say \\\"hi\\\"\",\"x\"\r\n"
                                                "V03,08,N ,\"An overly long prompt text that goes on\",\"v\"\r\n"
                                                "V04,08,N ,\"unterminated\r\n"
                                                "V40,08,N ,\"Past the slots\",\"x\"\r\n"
                                                "C08,08,N ,+1,\"Past the slots\",\"x\"\r\n"));
    EXPECT_EQ(s.storage.receiveVariables(s.label), 8);
    EXPECT_EQ(s.transport.written, "\r\n\nVI\r\n");
    EXPECT_FALSE(s.transport.opened);
    const auto& v = s.label.variables;
    EXPECT_EQ(v[0], makeSlot(10, kJustifyNone, ' ', "Name", "Bob"));
    EXPECT_EQ(v[31], makeSlot(5, kJustifyRight, '0', "Price", "12"));
    EXPECT_EQ(s.label.counters[7], makeSlot(4, kJustifyLeft, '*', "Count", "0009", -12));
    EXPECT_EQ(s.label.counters[0], makeSlot(3, kJustifyCentre, '0', "Lot", "7", 5));
    EXPECT_EQ(s.label.counters[1], makeSlot(3, kJustifyNone, ' ', "Big", "1", 100));
    EXPECT_EQ(v[2].promptText(), "Say \"hi\"");
    EXPECT_EQ(v[3].promptText(), "An overly long prompt text");
    EXPECT_TRUE(v[4].isDefined());
    EXPECT_EQ(v[4].promptText(), "");
    EXPECT_FALSE(v[5].isDefined());  // slots the reply leaves out become undefined
}

TEST(ReceiveVariables, SilenceChangesNothingAndOtherLinesEndTheReply) {
    Storage s;
    s.label.variables[5] = test::makeSlot(3, 0, ' ', "Old", "old");
    const auto before = s.label.variables;
    s.transport.replyTo("\r\n\nVI\r\n", "V00,10,N ,\"Name\",\"Bob\"\r\n");
    EXPECT_EQ(s.storage.receiveVariables(s.label), 0);
    EXPECT_TRUE(s.link.silent());
    EXPECT_EQ(s.label.variables, before);
    s.transport.replyTo("\r\n\nVI\r\n", "V00,10,N ,\"Name\",\"Bob\"\r\nOK\r\nV01,10,N ,\"Late\",\"\"\r\n");
    EXPECT_EQ(s.storage.receiveVariables(s.label), 1);
    EXPECT_FALSE(s.label.variables[1].isDefined());
}

// L = 1000: a 10 x 2 picture, 2 bytes per row, 128-byte header, then 872 bytes of rows.
std::string pictureReply() {
    test::ByteBuilder b;
    b.be16(1000).u8(0x0A).u8(5).u8(1).u8(1).le16(0).le16(0).le16(9).le16(1).zeros(54);
    b.le16(2).zeros(60);  // offset 66: bytes per line
    b.u8(0x00).u8(0x3F).u8(0xFF).u8(0xFF).zeros(868);
    return std::string(b.get().begin(), b.get().end());
}

// One character 'A', 8 wide, 2 rows.
const std::string kFontData = test::byteString({1, 0, 2, 'A', 8, 1, 0x18, 0x3C});

struct Retrieve : Storage {
    Retrieve() {
        transport.replyTo("\r\nUG\r\n", withNul("1\r\n LOGO \r\n"));
        transport.replyTo("\r\nUE\r\n", withNul("2\r\nB\r\nC\r\n"));
        transport.replyTo("\r\nFI\"SHOP\"\r\n", withNul("q400\r\nA10,20,0,B,1,1,N,\"Hi\"\r\nGG5,6,\"LOGO\"\n"
                                                        "LO1,2,3,4\r\nGG7,8,\"LOGO\"\nGG0,0,\"GONE\"\n"));
    }
    void variablesFollow() { transport.replyTo("\r\n\nVI\r\n", withNul("V00,10,N ,\"Name\",\"Bob\"\r\n")); }
    std::vector<Figure> figures() const { return {label.figures.begin(), label.figures.end()}; }
};

TEST(RetrieveForm, RebuildsTheLabelWithSharedPictureFontAndVariables) {
    Retrieve r;
    r.label.variables[9] = test::makeSlot(2, 0, ' ', "Stale");
    r.transport.replyTo("\r\nGI\"LOGO\"\r\n", pictureReply());
    r.transport.replyTo("\r\nEI\"B\"\r\n", test::lengthPrefixed(kFontData));
    r.variablesFollow();
    ASSERT_TRUE(r.storage.retrieveForm("SHOP", r.label));
    // Font C is listed but no text uses it; GONE is in no list: neither is asked for.
    EXPECT_EQ(r.transport.written,
              "\r\nUG\r\n\r\nUE\r\n\r\nFI\"SHOP\"\r\n\r\nGI\"LOGO\"\r\n\r\nEI\"B\"\r\n\r\nFR\"SHOP\"\r\n\r\n\nVI\r\n");
    EXPECT_EQ(r.label.setup.width, 400);
    const auto figures = r.figures();
    ASSERT_EQ(figures.size(), 5u);
    EXPECT_EQ(TextRecord::decode(figures[0].record).font, 6);
    EXPECT_EQ(figures[1].record,
              (PictureRecord{.x = 5, .y = 6, .width = 10, .height = 2, .dataLength = 874, .name = "LOGO"}.encode()));
    ASSERT_TRUE(figures[1].picture);
    std::vector<std::uint8_t> rows = {2, 2, 0x00, 0x3F, 0xFF, 0xFF};  // share count 2, bytes per row, rows
    rows.resize(874);
    EXPECT_EQ(figures[1].picture->bytes, rows);
    EXPECT_EQ(figures[3].picture, figures[1].picture);
    ASSERT_EQ(figures[4].kind, FigureKind::Font);
    EXPECT_EQ(figures[4].record, (FontRecord{.charCount = 1, .height = 2, .dataLength = 8, .letter = 'B'}.encode()));
    EXPECT_EQ(figures[4].fontData, std::vector<std::uint8_t>(kFontData.begin(), kFontData.end()));
    EXPECT_EQ(r.label.variables[0].valueText(), "Bob");
    EXPECT_FALSE(r.label.variables[9].isDefined());
}

TEST(RetrieveForm, DamagedRepliesAreLeftOutAndSilenceStops) {
    Retrieve r;
    // A picture too short for its header, a font longer than any font file.
    r.transport.replyTo("\r\nGI\"LOGO\"\r\n", test::block(100, 'x'));
    r.transport.replyTo("\r\nEI\"B\"\r\n", test::block(65535, 'y'));
    r.variablesFollow();
    ASSERT_TRUE(r.storage.retrieveForm("SHOP", r.label));
    const auto figures = r.figures();
    ASSERT_EQ(figures.size(), 4u);
    EXPECT_FALSE(figures[1].picture);
    EXPECT_EQ(PictureRecord::decode(figures[1].record).dataLength, 0u);
    EXPECT_EQ(TextRecord::decode(figures[0].record).font, 'B');
    EXPECT_EQ(r.label.variables[0].valueText(), "Bob");
    // A picture reply that stops short ends the retrieve without data for it.
    Retrieve silent;
    silent.transport.replyTo("\r\nGI\"LOGO\"\r\n", pictureReply().substr(0, 100));
    EXPECT_FALSE(silent.storage.retrieveForm("SHOP", silent.label));
    EXPECT_TRUE(silent.link.silent());
    EXPECT_FALSE(silent.figures()[1].picture);
    EXPECT_EQ(silent.transport.written.find("EI"), std::string::npos);
}

}  // namespace
}  // namespace tavrin
