#pragma once
// The one channel to the printer. Every exchange opens the port (or reuses it while it is
// still open), shows the progress window, writes commands byte by byte, reads replies with
// a silence limit, closes the port and ends the progress window. Callers learn what went
// wrong from status() (or refused() after writes, silent() after reads).
//
// How an exchange ends when it cannot go on. A write waiting for room and a read waiting
// for the answer wait asleep in the transport, in slices of at most LinkTiming::waitSlice;
// between slices window events run and a stop is looked for. So:
//  - a printer that went away (a terminal hung up, a connection reset or closed, a device
//    unplugged, the process at the far end killed) ends it at once: silent(),
//    deviceGone() true, failureMessage() "No printer response". A write sets refused() too
//    and asks no "Retry ?"; without the progress window on screen it shows the message
//    itself. The next openPort() opens the device afresh;
//  - a printer that stays silent ends it after the silence limit, in the same words;
//  - the user's stop (LinkUi::cancelRequested() while the progress window is up: Esc, its
//    close box or its Stop button) ends it within one slice: stopped(), with refused()
//    after a write or silent() after a read, failureMessage() "Stopped", and
//    endProgress() closes the window without an error box. The request stays with the
//    window, so every later write or read of the same exchange stops too, until the caller
//    clears it or the window, once closed, is shown again.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/result.h"
#include "link/byte_sink.h"
#include "link/link_ui.h"
#include "link/serial_transport.h"

namespace tavrin {

// The link's part of the configuration: port index 0..7 ("Com1".."Com8"), baud index into
// kBaudRates, protocol 0 hardware or 1 XON/XOFF.
struct LinkSettings {
    int portIndex = 0;
    int baudIndex = 6;
    int protocol = 0;
    bool operator==(const LinkSettings&) const = default;
};

// Clock and sleep are injectable so that the three-second silence costs tests nothing.
struct LinkTiming {
    std::function<std::chrono::milliseconds()> now;        // monotonic
    std::function<void(std::chrono::milliseconds)> sleep;
    std::chrono::milliseconds silenceLimit{3000};
    // The longest one wait in the transport lasts before window events run and a stop is
    // looked for.
    std::chrono::milliseconds waitSlice{50};
    // Rest between looks at a transport that cannot wait for input (a scripted one);
    // the real ones wait themselves.
    std::chrono::milliseconds pollInterval{0};

    static LinkTiming system();
};

inline constexpr const char* kOpenPortFailed = "Can't open communication port";
inline constexpr const char* kWriteRetryQuestion = "Can't write to comm. port. Retry ?";
inline constexpr const char* kNoPrinterResponse = "No printer response";
inline constexpr const char* kProgressTitle = "Communicating ...";
inline constexpr const char* kStoppedByUser = "Stopped";

class PrinterLink {
public:
    PrinterLink(SerialTransport& transport, LinkUi& ui, LinkTiming timing = LinkTiming::system());

    const LinkSettings& settings() const { return settings_; }
    void setSettings(const LinkSettings& settings) { settings_ = settings; }
    // The device a port index opens: the configured one, else /dev/ttyS<index>.
    void setPortDevice(int portIndex, std::string device);
    std::string portDevice(int portIndex) const;
    SerialSettings serialSettings() const;

    LinkUi& ui() { return ui_; }
    const LinkTiming& timing() const { return timing_; }
    void setTiming(LinkTiming timing);

    // Reuses an open port, unless its device went away: that one is opened afresh.
    bool openPort();
    void closePort();
    bool isOpen() const { return transport_.isOpen(); }
    // The device went away while the port was open (see the top of this file).
    bool deviceGone() const { return transport_.isOpen() && transport_.gone(); }
    std::uint32_t bytesWaiting();

    // One byte, flushed; asks whether to retry while the port refuses it (not when the
    // device went away, nor after a stop). With the port closed nothing is sent and the
    // result is true.
    bool writeByte(std::uint8_t byte);
    // Byte by byte while the port is open, stopping at the first refusal. The result is
    // false only when a byte was refused (refused() then).
    bool writeBytes(std::span<const std::uint8_t> bytes);
    bool writeText(std::string_view text);
    bool writeFormatted(const char* format, ...) __attribute__((format(printf, 2, 3)));

    bool readByte(std::uint8_t& byte);
    // Up to bytes.size() bytes; stops after the silence limit (silent()).
    std::size_t readBytes(std::span<std::uint8_t> bytes);
    // One reply line of at most size - 1 characters: LF ends it, other control bytes are
    // dropped. Returns its length; 0 for an empty line, silence (silent()), a NUL
    // (atEndMark()) or an over-long line, whose remaining characters come with the next read.
    std::size_t readLine(std::string& line, std::size_t size);
    // Reads and drops whatever is waiting, without waiting for more.
    void discardInput();

    // A pacing pause, and a chance for pending events to run.
    void pause(std::chrono::milliseconds duration);
    void letEventsRun() { ui_.processEvents(); }

    void showProgress(std::string_view text);
    void endProgress();
    // How the latest write or read ended: success, or Stopped (the user's stop), Refused (a
    // byte the port would not take) or Silent (no answer within the limit, or the device went
    // away), with failureMessage() as its message.
    Result status() const;
    // A read got nothing in time, the device went away or the port failed to open or close.
    bool silent() const { return silent_; }
    // The latest write gave up on a byte; stays set until the next write.
    bool refused() const { return refused_; }
    // The user stopped the latest write or read; cleared with silent().
    bool stopped() const { return stopped_; }
    // The latest readLine() met the NUL that ends a list.
    bool atEndMark() const { return endMark_; }
    // An exchange that found its reply incomplete ends as if the printer fell silent, so its
    // progress window ends as an error instead of closing as if all had come.
    void markSilent();
    // What a failure means: "Stopped" after the user's stop, else "No printer response", or
    // the device's own reason (a print queue that cannot answer, a job the print server
    // refused).
    std::string failureMessage() const;
    // Off while an exchange runs inside a longer one that shows its own progress window:
    // showProgress() then only changes the window's text and endProgress() leaves it open.
    void setProgressWindowShown(bool shown) { progressShown_ = shown; }

private:
    bool nextByte(std::uint8_t& byte, std::chrono::milliseconds& lastByteTime);
    // One byte, flushed, waiting for room within the silence limit. NotYet when it could not
    // go in time or the user stopped (stopped_), Gone when the device went away.
    Readiness sendByte(std::uint8_t byte);
    bool stopRequested();
    void clearFailure();
    std::chrono::milliseconds now() const { return timing_.now(); }

    SerialTransport& transport_;
    LinkUi& ui_;
    LinkTiming timing_;
    LinkSettings settings_;
    std::array<std::string, 8> portDevices_{};
    // A character read past the end of an over-long line, kept for the next read.
    std::optional<std::uint8_t> pushedBack_;
    // The device's reason for the latest failure, when it gave one.
    std::string deviceMessage_;
    // The latest failure has been shown (an open-port error in the progress window, or
    // "No printer response"); EndProgress must neither hide nor repeat it.
    bool failureShown_ = false;
    bool silent_ = false;
    bool refused_ = false;
    bool endMark_ = false;
    bool progressShown_ = true;
    bool stopped_ = false;
};

// For its lifetime the exchanges run as steps of a longer one that shows its own progress
// window: their showProgress() only changes its text and their endProgress() leaves it open.
class ProgressChain {
public:
    explicit ProgressChain(PrinterLink& link) : link_(link) { link_.setProgressWindowShown(false); }
    ~ProgressChain() { link_.setProgressWindowShown(true); }
    ProgressChain(const ProgressChain&) = delete;
    ProgressChain& operator=(const ProgressChain&) = delete;

private:
    PrinterLink& link_;
};

// A ByteSink over the link, so the command writers' streams go to the printer: pauses
// sleep, progress texts go to the progress window, and a refused byte stops the stream.
class LinkByteSink : public ByteSink {
public:
    explicit LinkByteSink(PrinterLink& link) : link_(link) {}
    bool write(std::span<const std::uint8_t> bytes) override { return link_.writeBytes(bytes); }
    void pause(PrinterPause pause) override {
        link_.pause(std::chrono::milliseconds(static_cast<int>(pause)));
    }
    void progress(std::string_view text) override { link_.showProgress(text); }

private:
    PrinterLink& link_;
};

}  // namespace tavrin
