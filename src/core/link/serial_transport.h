#pragma once
// The byte channel under the printer link: a serial port, a pseudo-terminal, or a scripted
// fake in tests. It knows nothing about commands or replies; the link does the pacing.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tavrin {

enum class FlowControl : int { Hardware = 0, XonXoff = 1 };

struct SerialSettings {
    int baudRate = 115200;
    FlowControl flowControl = FlowControl::Hardware;
    bool operator==(const SerialSettings&) const = default;
};

// What bytesWaiting() answers when the port cannot tell; callers treat it as "something
// is there" and let the read find out.
inline constexpr std::uint32_t kBytesWaitingUnknown = 0xFFFFFFFFu;

// What a wait on the channel found: a byte can be read (or written), not yet, or never
// again, because the device went away (a terminal hung up, a connection the printer reset
// or closed, a printer unplugged, the process at the other end gone).
enum class Readiness { Ready, NotYet, Gone };

class SerialTransport {
public:
    virtual ~SerialTransport() = default;

    // Opens the device exclusively and sets it up: the rate, 8 data bits, no parity, one
    // stop bit and the flow control; a single write or read gives up after about three
    // seconds. Input left over from an earlier session is discarded.
    virtual bool open(const std::string& device, const SerialSettings& settings) = 0;
    // Why the last open() failed, in the system's words with a hint where one helps; empty
    // when the channel cannot tell.
    virtual std::string openFailure() const { return {}; }
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // Received bytes ready to be read without waiting, or kBytesWaitingUnknown.
    virtual std::uint32_t bytesWaiting() = 0;
    // One byte; false when none came within the port's time-out or on an error.
    virtual bool readByte(std::uint8_t& byte) = 0;
    // One byte; false when it could not be written within the port's time-out.
    virtual bool writeByte(std::uint8_t byte) = 0;
    // Pushes what was written out to the device.
    virtual void flush() = 0;

    // Waits at most `limit` until a byte can be read, asleep in the system rather than
    // looking again and again. The default looks without waiting, for a channel that cannot
    // wait (a scripted one in tests).
    virtual Readiness waitUntilReadable(std::chrono::milliseconds /*limit*/) {
        return bytesWaiting() != 0 ? Readiness::Ready : Readiness::NotYet;
    }
    // Writes one byte if the device takes it now, without waiting: Ready when it went,
    // NotYet when the printer holds the line, Gone when the device went away. Nothing for a
    // channel that can only write with the wait of writeByte (the default).
    virtual std::optional<Readiness> writeByteNow(std::uint8_t /*byte*/) { return std::nullopt; }
    // Waits at most `limit` for room to write after writeByteNow() answered NotYet.
    virtual Readiness waitUntilWritable(std::chrono::milliseconds /*limit*/) { return Readiness::Ready; }
    // The device went away while the channel was open: every read and write fails at once
    // from then on, until it is opened again.
    virtual bool gone() const { return false; }

    // Asked when an exchange waits for the printer's answer. Empty for a device that can
    // answer; a device that never can (a print queue) gives the reason and drops what the
    // exchange wrote, so a half-done exchange is not delivered.
    virtual std::string refuseReply() { return {}; }
    // Why the last close could not deliver what was written (a print job the server
    // refused); empty when it could.
    virtual std::string closeError() const { return {}; }
};

}  // namespace tavrin
