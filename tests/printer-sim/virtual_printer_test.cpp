// The virtual printer's side of the command language, driven byte by byte, and
// tavrin-printer-sim as a process on a real pseudo-terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "label_job.h"
#include "render/canvas.h"
#include "render/render_context.h"
#include "render/resident_font.h"
#include "support/test_support.h"
#include "virtual_printer.h"

namespace tavrin::sim {
namespace {

struct Printer {
    explicit Printer(std::optional<std::filesystem::path> folder = std::nullopt) : memory(std::move(folder)) {
        fonts.load(std::filesystem::path(TAVRIN_SOURCE_DATA_DIR) / "ZREDIT.FNT");
        printer = std::make_unique<VirtualPrinter>(
            memory, &fonts,
            [this](std::span<const std::uint8_t> b) { replies.insert(replies.end(), b.begin(), b.end()); },
            [this](const PrintedLabel& l) { printed.push_back(l); });
    }
    std::string ask(std::string_view command) {
        replies.clear();
        printer->receive(command);
        return std::string(replies.begin(), replies.end());
    }
    PrinterMemory memory;
    ResidentFonts fonts;
    std::unique_ptr<VirtualPrinter> printer;
    Bytes replies;
    std::vector<PrintedLabel> printed;
};

const char* kForm =
    "\r\nN\r\nFK\"SHOP\"\r\nFS\"SHOP\"\r\n"
    "V00,05,R0,\"Lot \"A\"\"\r\nC01,04,L,-12,\"Serial\"\r\n"
    "D8\r\nS6\r\nI0\r\nZT\r\nQ120,24\r\n\r\nq200\r\nTDDD-MN-Y4\r\nTTH:M:S\r\nR4,6\r\n"
    "A0,0,0,1,1,1,N,\"L\"V00\r\nLO0,30,50,5\r\nFE\r\n\r\nFR\"SHOP\"\r\n";

TEST(VirtualPrinter, StoresListsRetrievesAndDeletesForms) {
    Printer p;
    EXPECT_EQ(p.ask("\r\nUF\r\n"), "0\r\n");
    p.ask(kForm);
    EXPECT_EQ(p.ask("\r\nUF\r\n"), "1\r\nSHOP\r\n");
    EXPECT_EQ(p.ask("\r\nFA\r\n"), "SHOP\r\n");
    const std::string form = p.ask("\r\nFI\"SHOP\"\r\n");
    EXPECT_TRUE(form.starts_with("V00,05,R0,\"Lot \"A\"\"\r\n")) << form;
    EXPECT_TRUE(form.ends_with(std::string("LO0,30,50,5\r\n") + '\0')) << form;
    EXPECT_EQ(p.ask("\r\nFI\"NONE\"\r\n"), std::string(1, '\0'));
    p.ask("\r\nFK\"SHOP\"\r\n");
    EXPECT_EQ(p.ask("\r\nUF\r\n"), "0\r\n");
    EXPECT_EQ(p.ask("\r\nFA\r\n"), "\r\n");
}

TEST(VirtualPrinter, VariablesReplyInFixedColumnsAndCountersAdvancePerSet) {
    Printer p;
    p.ask(kForm);
    p.ask("\r\n?\r\n42\r\n0100\n");
    EXPECT_EQ(p.ask("\r\n\nVI\r\n"),
              std::string("V00,05,R0,\"Lot \\\"A\\\"\",\"42\"\r\nC01,04,L ,-12,\"Serial\",\"0100\"\r\n") + '\0');
    p.ask("\n\rP3,2\r\n");
    ASSERT_EQ(p.printed.size(), 6u);
    EXPECT_EQ(std::pair(p.printed[5].set, p.printed[5].copy), std::pair(3, 2));
    EXPECT_NE(p.ask("\r\n\nVI\r\n").find("\"Serial\",\"64\""), std::string::npos);  // 100 - 3 x 12
}

TEST(VirtualPrinter, KeepsGraphicsAndFontsAndAnswersWithTheirLengths) {
    Printer p;
    Bytes pcx(128, 0);  // PCX header: x max 15 (16 dots wide), y max 1 (2 rows), 2 bytes per row; the rows
    pcx[0] = 10, pcx[8] = 15, pcx[10] = 1, pcx[66] = 2;
    pcx.insert(pcx.end(), {0xC2, 0x00, 0xFF, 0x0F});
    p.printer->receive("\r\n\nGK\"LOGO\"\nGM\"LOGO\"" + std::to_string(pcx.size()) + "\n");
    p.printer->receive(pcx);
    p.printer->receive("\r\n\n\n");
    // A font: two characters, height 2, then 256 CRs that are not part of it.
    const Bytes font = {2, 0, 2, 'A', 3, 1, 0xE0, 0xA0, 'B', 8, 1, 0xFF, 0x81};
    p.printer->receive("\r\n\nEK\"F\"\r\nES\"F\"");
    p.printer->receive(font);
    p.printer->receive(std::string(256, '\r') + "\n");
    EXPECT_EQ(p.ask("\r\nUG\r\n"), "1\r\nLOGO\r\n");
    EXPECT_EQ(p.ask("\r\nUE\r\n"), "1\r\nF\r\n");
    // Two length bytes, high first, then the object.
    EXPECT_EQ(p.ask("\r\nGI\"LOGO\"\r\n"), std::string("\x00\x84", 2) + std::string(pcx.begin(), pcx.end()));  // 132
    EXPECT_EQ(p.ask("\r\nEI\"F\"\r\n"), std::string("\x00\x0D", 2) + std::string(font.begin(), font.end()));  // 13
    EXPECT_EQ(p.ask("\r\nGI\"NONE\"\r\n"), std::string(2, '\0'));
    EXPECT_EQ(p.ask("\r\nUM\r\n"), "0," + std::to_string(pcx.size()) + ",13," +
                                       std::to_string(PrinterMemory::kCapacity - pcx.size() - 13) + "\r\n");
    p.ask("\r\n\nM\r\nN\r\n");
    EXPECT_EQ(p.ask("\r\nUG\r\n"), "0\r\n");
}

TEST(VirtualPrinter, ImmediateJobPrintsWhatTheCanvasDraws) {
    Printer p;
    p.printer->receive(
        "\r\nN\r\nVC\r\nV02,03,R*,\"v\"\r\n?\r\n7\r\nD8\r\nS6\r\nI0\r\nZT\r\nQ100,24\r\n\r\nq160\r\nR3,2\r\n"
        "TDDD-MN-Y4\r\nTTH:M:S\r\nA10,10,0,2,2,1,R,\"x\"V02\r\nX0,0,2,150,90\r\nLS5,5,3,100,60\r\n"
        "GW20,50,1,2,\x0F\xF0\r\nP2\r\n");
    ASSERT_EQ(p.printed.size(), 2u);
    LabelDocument expected;
    expected.setup = {.width = 160, .length = 100, .leftMargin = 3, .topMargin = 2};
    expected.variables[2] = Variable{.defined = 1, .length = 3, .justification = kJustifyRight, .padChar = '*'};
    expected.variables[2].setValue("7");
    expected.figures.appendFigure(TextRecord{10, 10, 2, 1, 2, 1, 0, 0, "\"x\"V02"}.encode(), FigureKind::Text);
    expected.figures.appendFigure(BoxRecord{0, 0, 150, 90, 2}.encode(), FigureKind::Box);
    expected.figures.appendFigure(LineRecord{5, 5, 100, 60, 3, 0}.encode(), FigureKind::DiagonalLine);
    Bitmap image = renderPrintImage(expected, RenderContext{&expected, &p.fonts, {}});
    // The raster's 0 bits print: four dots on the first row, four more on the second.
    for (int x = 0; x < 8; ++x) image.setDot(23 + x, 52 + x / 4, true);
    EXPECT_GT(image.countInk(), 500);
    EXPECT_TRUE(p.printed[0].image == image && p.printed[1].image == image);
}

// Values with neither a job nor an active form make no nameless form.
TEST(VirtualPrinter, ValuesWithoutAFormMakeNoNamelessForm) {
    Printer p;
    p.ask("\r\nFR\"NONE\"\r\n?\r\n");
    EXPECT_EQ(p.ask("\r\nUF\r\n"), "0\r\n");
}

TEST(VirtualPrinter, FaultsShapeTheReplies) {
    Printer p;
    p.ask(kForm);
    p.printer->setFaults({.silent = true});
    EXPECT_EQ(p.ask("\r\nUF\r\n"), "");
    p.printer->setFaults({.truncateReplies = true});
    EXPECT_EQ(p.ask("\r\nUF\r\n"), "1\r\nS");
    p.printer->setFaults({.garbage = true});
    EXPECT_EQ(p.ask("\r\nUF\r\n").size(), 9u);
    EXPECT_NE(p.ask("\r\nUF\r\n"), "1\r\nSHOP\r\n");
}

TEST(VirtualPrinter, MemorySurvivesARestartWithAStoreFolder) {
    test::TempDir dir;
    {
        Printer p(dir.path());
        p.ask(kForm);
        p.printer->receive(std::string("ES\"Q\"\0\0\x08", 8));  // a font of no characters
        // Names that look like the folder's encoding of other names.
        p.ask("FS\"xyz\"\r\nFE\r\nFS\"x41\"\r\nFE\r\n");
    }
    Printer again(dir.path());
    EXPECT_EQ(again.ask("\r\nUF\r\n"), "3\r\nSHOP\r\nx41\r\nxyz\r\n");
    EXPECT_EQ(again.ask("\r\nUE\r\n"), "1\r\nQ\r\n");
    EXPECT_EQ(again.ask("\r\nFA\r\n"), "SHOP\r\n");
}

TEST(VirtualPrinter, ClockIsSetAndRead) {
    Printer p;
    p.printer->setClock([] { return std::time_t{1700000000}; });
    p.ask("\r\nTS03,07,04,09,05,00\r\n");
    EXPECT_EQ(p.ask("\r\nTI\r\n"), "03,07,04,09,05,00\r\n");
}

// Printing and silence through the terminal are in the end-to-end suite. A host that stops
// reading must not keep the simulator from ending when it is told to.
TEST(SimulatorProcess, LinksItsTerminalAndEndsOnSigtermWithALargeReplyUnread) {
    test::TempDir dir;
    auto sim = test::startSimulator(dir / "out", {"--link", (dir / "printer").string()});
    ASSERT_EQ(sim.device().rfind("/dev/pts/", 0), 0u) << sim.device();
    EXPECT_EQ(std::filesystem::read_symlink(dir / "printer").string(), sim.device());
    const int fd = ::open(sim.device().c_str(), O_RDWR | O_NOCTTY);
    termios raw{};
    ASSERT_EQ(::tcgetattr(fd, &raw), 0);
    ::cfmakeraw(&raw), ::tcsetattr(fd, TCSANOW, &raw);
    const std::string command = "\r\nGM\"BIG\"60000\n" + std::string(60000, 'x') + "\r\nGI\"BIG\"\r\n";
    ASSERT_EQ(::write(fd, command.data(), command.size()), static_cast<ssize_t>(command.size()));
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 3000), 1);  // the reply has begun, and stays unread
    EXPECT_TRUE(sim.stop());
    ::close(fd);
}

}  // namespace
}  // namespace tavrin::sim
