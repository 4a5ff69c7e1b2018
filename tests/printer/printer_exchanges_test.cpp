// The printer's stand-alone exchanges against a scripted printer. Command bytes are written
// out by hand from the command table.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "printer/extract_graphics.h"
#include "printer/printer_exchanges.h"
#include "support/fake_printer.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using test::block;

// A failure handed no kind of failure still fails: no result claims success by default.
TEST(Result, AFailureWithoutAKindIsStillAFailure) { EXPECT_FALSE(Result::failure(FailureKind::None, "x")); }

TEST(LengthPrefixedBlock, LengthHighByteFirstWithinItsLimits) {
    const struct {
        const char* what;
        std::string reply;
        FailureKind failure;  // None: the block comes whole
        std::size_t size;
    } cases[] = {
        {"0x01 0x90 is 400 bytes", block(400, 'x'), FailureKind::None, 400},
        {"empty block", block(0, 'x'), FailureKind::Damaged, 0},
        {"below the least", block(9, 'x'), FailureKind::Damaged, 0},
        {"above the most", block(0x1000, 'x'), FailureKind::Damaged, 0},
        {"fewer bytes than announced", block(400, 'x').substr(0, 100), FailureKind::Silent, 0},
        {"one length byte", std::string(1, '\x01'), FailureKind::Silent, 0},
    };
    for (const auto& c : cases) {
        test::FakePrinter p;
        p.link.openPort();
        p.transport.arrive(c.reply);
        p.transport.arrive("NEXT");
        std::vector<std::uint8_t> got{1, 2, 3};
        const Result read = readLengthPrefixedBlock(p.link, 10, 0x0FFF, got);
        EXPECT_EQ(read.kind(), c.failure) << c.what;
        EXPECT_EQ(got.size(), c.size) << c.what;
        // A refused block is read to its end: what follows it is left for the next read.
        if (c.failure == FailureKind::Damaged) {
            EXPECT_EQ(p.transport.input.size(), 4u) << c.what;
        }
    }
}

// The picture dialog's fetch: the block into the graphics buffer, or the buffer untouched.
TEST(ExtractGraphics, ThePictureFillsTheBufferAndARefusedOneLeavesItAlone) {
    test::FakePrinter p;
    auto buffer = std::make_unique<GraphicsBuffer>();
    p.transport.replyTo("\r\nGI\"LOGO\"\r\n", block(400, 'x'));
    ASSERT_TRUE(ExtractGraphics(p.link, *buffer, "LOGO"));
    EXPECT_EQ(buffer->count, 400u);
    EXPECT_EQ(buffer->bytes[399], 'x');
    EXPECT_EQ(p.ui.events.front(), "window Communicating ...: Extracting graphics \"LOGO\"");
    EXPECT_FALSE(p.transport.opened);
    // Longer than the buffer.
    p.transport.replyTo("\r\nGI\"BIG\"\r\n", block(0xFFFF, 'y'));
    EXPECT_FALSE(ExtractGraphics(p.link, *buffer, "BIG"));
    EXPECT_EQ(buffer->count, 400u);
    EXPECT_EQ(buffer->bytes[0], 'x');
    p.transport.replyTo("\r\nGI\"CUT\"\r\n", block(400, 'z').substr(0, 100));
    EXPECT_FALSE(ExtractGraphics(p.link, *buffer, "CUT"));
    EXPECT_EQ(p.ui.events.end()[-2], "window error Error: No printer response");
}

// Exchanges answered with paper or nothing: the bytes, and the port closed afterwards.
TEST(PrinterExchanges, CommandsWithoutReplySendTheirBytesAndClose) {
    using Exchange = std::function<Result(PrinterLink&)>;
    const struct {
        Exchange exchange;
        const char* bytes;
    } cases[] = {
        {[](PrinterLink& l) { return sendMaintenance(l, Maintenance::DiagnosticPrint); }, "\r\nU\r\n"},
        {[](PrinterLink& l) { return sendMaintenance(l, Maintenance::FormsListPrint); }, "\r\nFI\r\n"},
        {[](PrinterLink& l) { return sendMaintenance(l, Maintenance::GraphicsListPrint); }, "\r\nGI\r\n"},
        {[](PrinterLink& l) { return sendMaintenance(l, Maintenance::FontsListPrint); }, "\r\nEI\r\n"},
        {[](PrinterLink& l) { return sendMaintenance(l, Maintenance::DefaultParameters); }, "\r\nRESET\r\n"},
        {[](PrinterLink& l) { return sendMaintenance(l, Maintenance::EraseMemory); }, "\r\n\nM\r\nN\r\n"},
        // Month, day, year of the century first.
        {[](PrinterLink& l) { return setClock(l, 2004, 3, 7, 9, 5, 0); }, "\r\nTS03,07,04,09,05,00\r\n"},
        {[](PrinterLink& l) { return setClock(l, 2031, 12, 31, 23, 59, 58); }, "\r\nTS12,31,31,23,59,58\r\n"},
    };
    for (const auto& c : cases) {
        test::FakePrinter p;
        EXPECT_TRUE(c.exchange(p.link)) << c.bytes;
        EXPECT_EQ(p.transport.written, c.bytes);
        EXPECT_FALSE(p.transport.opened) << c.bytes;
        // A port that does not open: nothing sent, and the failure says so.
        test::FakePrinter closed;
        closed.transport.openFails = true;
        EXPECT_EQ(c.exchange(closed.link).kind(), FailureKind::PortClosed) << c.bytes;
        EXPECT_EQ(closed.transport.written, "");
    }
    test::FakePrinter p;
    EXPECT_TRUE(deleteObject(p.link, kListGraphics, "LOGO"));
    EXPECT_TRUE(deleteObject(p.link, kListFonts, "A"));
    EXPECT_TRUE(deleteObject(p.link, kListForms, "F1"));
    EXPECT_EQ(p.transport.written, "\r\nGK\"LOGO\"\r\n\r\nEK\"A\"\r\n\r\nFK\"F1\"\r\n");
}

TEST(PrinterExchanges, RepliesOfClockAndMemoryAndTheirSilence) {
    test::FakePrinter p;
    p.transport.replyTo("\r\nTI\r\n", "03,07,04,09,05,00\r\n");
    std::string clock;
    ASSERT_TRUE(readClock(p.link, clock));
    EXPECT_EQ(clock, "03,07,04,09,05,00");
    p.transport.replyTo("\r\nUM\r\n", "120,4000,800,51200\r\n");
    std::string line;
    MemoryFigures memory;
    ASSERT_TRUE(receiveMemory(p.link, line, memory));
    EXPECT_EQ(memory, (MemoryFigures{120, 4000, 800, 51200}));
    EXPECT_EQ(parseMemoryLine("7,x"), (MemoryFigures{7, 0, 0, 0}));
    // Silence: the link's message, the port given up.
    const Result silent = readClock(p.link, clock);
    EXPECT_EQ(silent.kind(), FailureKind::Silent);
    EXPECT_EQ(silent.message(), "No printer response");
    EXPECT_FALSE(p.transport.opened);
}

TEST(PrinterExchanges, ObjectListClosesThePortAfterSilence) {
    test::FakePrinter p;
    p.transport.replyTo("\r\nUM\r\n", "1,2,3,9\r\n");
    p.transport.replyTo("\r\nUG\r\n", std::string("2\r\nLOGO\r\n") + '\0');
    ObjectList list;
    ASSERT_TRUE(receiveObjectList(p.link, kListGraphics, list));
    EXPECT_EQ(p.transport.written, "\r\nUM\r\n\r\nUG\r\n");
    EXPECT_EQ(list.names, std::vector<std::string>{"LOGO"});
    EXPECT_EQ(list.memory.graphics, 2u);
    // The list window's caption and memory line, each kind with its own figure.
    EXPECT_EQ(parseMemoryLine(""), MemoryFigures{});
    const std::tuple<int, std::size_t, const char*, const char*> shown[] = {
        {kListForms, 3, "Form list - 3 objects", "1 bytes , 9 free"},
        {kListGraphics, 1, "Graphics list - 1 object", "2 bytes , 9 free"},
        {kListFonts, 0, "Font list - 0 objects", "3 bytes , 9 free"}};
    for (const auto& [kind, count, caption, line] : shown) {
        EXPECT_EQ(objectListCaption(kind, count), caption);
        EXPECT_EQ(memoryLine(kind, list.memory), line);
    }
    p.transport.replyTo("\r\nUM\r\n", "1,2,3,9\r\n");
    p.transport.replyTo("\r\nUF\r\n", "3\r\nA\r\n");
    EXPECT_EQ(receiveObjectList(p.link, kListForms, list).kind(), FailureKind::Silent);
    EXPECT_FALSE(p.transport.opened);
    EXPECT_EQ(p.ui.events.end()[-2], "window error Error: No printer response");
}

TEST(PrinterExchanges, ExtractWritesTheFileOnlyWhenTheWholeObjectCame) {
    test::TempDir dir;
    test::FakePrinter p;
    p.transport.replyTo("\r\nEI\"A\"\r\n", block(5, 'f'));
    ASSERT_TRUE(extractObjectToFile(p.link, kListFonts, "A", dir / "A.QFT"));
    EXPECT_EQ(test::readFile(dir / "A.QFT").size(), 5u);
    EXPECT_EQ(p.ui.events.back(), "window error Font \"A\" successfully extracted: 5 bytes saved to " +
                                      (dir / "A.QFT").string());
    // A name the printer does not know comes back empty: no file.
    p.transport.replyTo("\r\nGI\"NONE\"\r\n", block(0, 'x'));
    EXPECT_EQ(extractObjectToFile(p.link, kListGraphics, "NONE", dir / "NONE.PCX").kind(), FailureKind::Invalid);
    EXPECT_EQ(p.ui.events.back(), "window error Error: \"NONE\" is not in the printer");
    // A form cut short by silence: no file either.
    p.transport.replyTo("\r\nFI\"F1\"\r\n", "A10,10\r\n");
    EXPECT_FALSE(extractFormToFile(p.link, "F1", dir / "F1.EJF", 7, 3, 2004));
    p.transport.replyTo("\r\nFI\"F2\"\r\n", std::string("N\r\nP1\r\n") + '\0');
    ASSERT_TRUE(extractFormToFile(p.link, "F2", dir / "F2.EJF", 7, 3, 2004));
    EXPECT_EQ(p.ui.events.back(), "window error Form \"F2\" successfully extracted: 2 lines saved to " +
                                      (dir / "F2.EJF").string());
    EXPECT_FALSE(std::filesystem::exists(dir / "NONE.PCX") || std::filesystem::exists(dir / "F1.EJF"));
    const test::Bytes form = test::readFile(dir / "F2.EJF");
    EXPECT_EQ(std::string(form.begin(), form.end()),
              "; Saved by TAVRIN label editor on 07-03-2004\r\nN\r\nP1\r\n\r\n");
}

}  // namespace
}  // namespace tavrin
