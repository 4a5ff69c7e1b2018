// The port side of the link: which device "Com n" opens, "--port" on the command line, the
// terminal settings the POSIX transport leaves on a pseudo-terminal, and the character set
// translation. Expected code page bytes come from the published cp1251,
// cp866, cp1252 and cp437 tables.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "link/port_names.h"
#include "link/posix_serial_transport.h"
#include "link/transport_factory.h"
#include "printer/screen_text.h"
#include "printer/translation.h"
#include "support/label_builders.h"
#include "support/fake_printer.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using Arguments = std::vector<std::string>;

TEST(PortNames, ConfiguredDeviceThenCommandLineOverrideTheDefault) {
    EXPECT_EQ(portName(0), "Com1");
    EXPECT_EQ(portName(7), "Com8");
    PortDevices devices;
    devices.configured[2] = "/dev/ttyUSB0";
    EXPECT_EQ(portDevice(devices, 0), "/dev/ttyS0");
    EXPECT_EQ(portDevice(devices, 7), "/dev/ttyS7");
    EXPECT_EQ(portDevice(devices, 2), "/dev/ttyUSB0");
    devices.commandLine = "/dev/pts/4";
    EXPECT_EQ(portDevice(devices, 2), "/dev/pts/4");
    EXPECT_EQ(portDevice(devices, 1), "/dev/pts/4");
    // No port outside Com1..Com8, whatever else is set.
    EXPECT_EQ(portDevice(devices, -1), "");
    EXPECT_EQ(portDevice(devices, 8), "");
    EXPECT_EQ(defaultPortDevice(8), "");
}

TEST(PortNames, PortArgumentIsTakenOutOfTheCommandLine) {
    for (const Arguments& given :
         {Arguments{"--port", "/dev/pts/2", "label.qlb"}, {"label.qlb", "--port=/dev/pts/2"}}) {
        const PortArguments a = takePortArgument(given);
        EXPECT_EQ(a.device, "/dev/pts/2");
        EXPECT_EQ(a.rest, Arguments{"label.qlb"});
        EXPECT_EQ(a.error, "");
    }
    EXPECT_EQ(takePortArgument({"label.qlb"}).device, "");
    // A missing device is an error, and the next option is not taken for one.
    for (const Arguments& missing : {Arguments{"--port"}, {"--port="}, {"--port", "--help"}}) {
        EXPECT_EQ(takePortArgument(missing).device, "");
        EXPECT_NE(takePortArgument(missing).error, "");
    }
    EXPECT_EQ(takePortArgument({"--port", "--help"}).rest, Arguments{"--help"});
}

TEST(PosixSerialTransport, OpensTheTerminalRawExclusiveAtTheRate) {
    test::PseudoTerminal pty;
    ASSERT_FALSE(pty.device().empty());
    const int observer = open(pty.device().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(observer, 0);
    PosixSerialTransport port;
    ASSERT_TRUE(port.open(pty.device(), {38400, FlowControl::XonXoff}));
    termios options{};
    int exclusive = 0;
    ASSERT_EQ(tcgetattr(observer, &options), 0);
    EXPECT_EQ(cfgetospeed(&options), B38400);
    EXPECT_EQ(options.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(options.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(options.c_cc[VSTART], 0x11);
    EXPECT_EQ(options.c_cc[VSTOP], 0x13);
    EXPECT_EQ(options.c_oflag & OPOST, 0u);
    ASSERT_EQ(ioctl(observer, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    port.close();
    ASSERT_TRUE(port.open(pty.device(), {115200, FlowControl::Hardware}));
    ASSERT_EQ(tcgetattr(observer, &options), 0);
    EXPECT_EQ(cfgetospeed(&options), B115200);
    EXPECT_EQ(options.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_NE(options.c_cflag & CRTSCTS, 0u);
    port.close();
    ASSERT_EQ(ioctl(observer, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    close(observer);
}

void ignoreSignal(int) {}

// Signals arriving faster than the time-out (without SA_RESTART, each cuts a wait short)
// must not keep a read of a silent printer, or a write to a full line, from giving up.
TEST(PosixSerialTransport, WaitsRunOutUnderASignalStorm) {
    struct sigaction action{}, old{};
    action.sa_handler = ignoreSignal;
    ASSERT_EQ(sigaction(SIGUSR1, &action, &old), 0);
    test::PseudoTerminal pty;  // nobody answers and nobody reads
    PosixSerialTransport port;
    port.setIoTimeout(std::chrono::milliseconds(300));
    ASSERT_TRUE(port.open(pty.device(), {}));
    std::atomic<bool> done{false}, stormOver{false};
    std::thread storm([&done, &stormOver, target = pthread_self()] {
        for (int i = 0; i < 100 && !done; ++i) {  // 5 s of signals, far beyond the time-out
            pthread_kill(target, SIGUSR1);
            usleep(50000);
        }
        stormOver = true;
    });
    std::uint8_t byte = 0;
    EXPECT_FALSE(port.readByte(byte));
    EXPECT_FALSE(stormOver) << "the read waited until the signals stopped";
    std::size_t sent = 0;
    while (sent < (1u << 20) && port.writeByte('x')) ++sent;
    EXPECT_LT(sent, 1u << 20);
    EXPECT_FALSE(stormOver) << "the write waited until the signals stopped";
    done = true;
    storm.join();
    sigaction(SIGUSR1, &old, nullptr);
}

// Counts the link's waits for input on a real device.
struct CountingDevice : DeviceTransport {
    Readiness waitUntilReadable(std::chrono::milliseconds limit) override {
        ++waits;
        return DeviceTransport::waitUntilReadable(limit);
    }
    int waits = 0;
};

// A silent printer is waited for asleep, a slice at a time rather than a look every
// millisecond; a terminal whose far end closed (the printer's process killed) ends the
// wait at once, and the next write fails without the retry question.
TEST(PosixSerialTransport, SilenceIsWaitedAsleepAndAHungUpTerminalEndsTheWaitAtOnce) {
    auto pty = std::make_unique<test::PseudoTerminal>();
    CountingDevice transport;
    test::FakeUi ui;
    LinkTiming timing = LinkTiming::system();
    timing.silenceLimit = std::chrono::milliseconds(300);
    PrinterLink link(transport, ui, timing);
    link.setPortDevice(0, pty->device());
    ASSERT_TRUE(link.openPort());
    std::string line;
    EXPECT_EQ(link.readLine(line, 32), 0u);
    EXPECT_TRUE(link.silent());
    EXPECT_FALSE(link.deviceGone());
    EXPECT_LE(transport.waits, 300 / 50 + 2);

    pty.reset();
    transport.waits = 0;
    EXPECT_EQ(link.readLine(line, 32), 0u);
    EXPECT_TRUE(link.silent() && link.deviceGone());
    EXPECT_EQ(transport.waits, 1);
    EXPECT_FALSE(link.writeText("UF"));
    EXPECT_TRUE(link.refused());
    EXPECT_EQ(ui.events, (test::Events{"beep", "box Error: No printer response"}));
}

using test::byteString;

TEST(Translation, AnsiToOemConvertsBetweenCodePages) {
    Translation t;
    EXPECT_EQ(t.choice(), kTranslationAnsiToOem);
    // А, я, Ё, ё, № in cp1251, then in cp866.
    const std::string ansi = byteString({0xC0, 0xFF, 0xA8, 0xB8, 0xB9});
    const std::string oem = byteString({0x80, 0xEF, 0xF0, 0xF1, 0xFC});
    EXPECT_EQ(t.toPrinter("Sale " + ansi), "Sale " + oem);
    EXPECT_EQ(t.toScreen(oem + "\"V01\""), ansi + "\"V01\"");
    ASSERT_TRUE(t.setCodePages("CP1252", "CP437"));
    EXPECT_EQ(t.toPrinter(byteString({0xE9})), byteString({0x82}));  // é
    EXPECT_FALSE(t.setCodePages("NO-SUCH-PAGE", "CP437"));
    EXPECT_EQ(t.ansiCodePage(), "CP1252");
    EXPECT_TRUE(configureCodePages(t, AppConfig{.oemCodePage = "CP850"}));  // the ANSI page back to its default
    EXPECT_EQ(t.ansiCodePage() + " " + t.oemCodePage(), "CP1251 CP850");
    EXPECT_EQ(Translation::choiceNames({"/opt/x/RUS.TRN", "GREEK.TRN"}),
              (std::vector<std::string>{"ANSI to OEM", "None", "File: RUS.TRN", "File: GREEK.TRN"}));
}

// Text between the screen (UTF-8) and a printer code page.
TEST(Translation, CodePagesMapWhatTheyHaveAndMarkTheRest) {
    EXPECT_EQ(encodeCodePage("a\xD0\x96\xE2\x82\xAC", "CP1251"), "a\xC6\x88");  // Ж and the euro sign
    EXPECT_EQ(encodeCodePage("\xE4\xB8\xAD" "b", "CP1251"), "?b");               // no CJK in cp1251
    EXPECT_EQ(encodeCodePage("\xD0" "b", "CP1251"), "?b");                      // a broken sequence
    EXPECT_EQ(decodeCodePage("\xC6z", "CP1251"), "\xD0\x96z");
    EXPECT_EQ(decodeCodePage("\x98", "CP1251"), "?");  // a byte cp1251 leaves undefined
    EXPECT_EQ(encodeCodePage("\xD0\x96", "NO-SUCH-PAGE"), "?");
}

TEST(Translation, TableFileMapsOnlyUpperBytesEachWayAndNoneNothing) {
    test::TempDir dir;
    test::Bytes table(256);
    for (int i = 0; i < 128; ++i) {
        table[i] = static_cast<std::uint8_t>(0xFF - i);              // out: 0x80 -> 0xFF ...
        table[128 + i] = static_cast<std::uint8_t>(0x80 + (i ^ 1));  // in: swaps pairs
    }
    test::writeFile(dir / "RUS.TRN", table);
    test::writeFile(dir / "SHORT.TRN", test::Bytes(255, 0x41));
    const std::vector<std::filesystem::path> files = {dir / "RUS.TRN", dir / "SHORT.TRN", dir / "GONE.TRN"};
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string low = all.substr(0, 0x7F);
    Translation t;
    ASSERT_EQ(t.load(2, files), 2);
    EXPECT_EQ(t.toPrinter(all).substr(0, 0x7F) + "|" + t.toScreen(all).substr(0, 0x7F), low + "|" + low);
    EXPECT_EQ(t.toPrinter(byteString({0x80, 0xC1})), byteString({0xFF, 0xBE}));
    EXPECT_EQ(t.toScreen(byteString({0x80, 0xFF})), byteString({0x81, 0xFE}));
    // A short file, a missing file and a choice past the list fall back without a message.
    for (int choice : {3, 4, 5, -1}) EXPECT_EQ(t.load(choice, files), kTranslationAnsiToOem) << choice;
    ASSERT_EQ(t.load(kTranslationNone, files), kTranslationNone);
    EXPECT_EQ(t.toPrinter(all), all);
    EXPECT_EQ(t.toScreen(all), all);
}

}  // namespace
}  // namespace tavrin
