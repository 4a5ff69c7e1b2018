#pragma once
// A scripted printer at the other end of the link, a window stand-in that records what the
// link showed, and a clock that runs only when asked, so silence costs no real time.
#include <chrono>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/printer_link.h"

namespace tavrin::test {

class FakeTransport : public SerialTransport {
public:
    // When the bytes written so far end with `command`, `reply` arrives; in scripted order.
    void replyTo(std::string_view command, std::string_view reply) { script_.emplace_back(command, reply); }
    void arrive(std::string_view bytes) { input.insert(input.end(), bytes.begin(), bytes.end()); }

    bool open(const std::string& device, const SerialSettings& settings) override {
        openedDevice = device, openedSettings = settings, ++openCount;
        input.clear();  // as a real port: nothing from an earlier session
        vanished = false;
        return opened = !openFails;
    }
    std::string openFailure() const override { return openFailureText; }
    bool isOpen() const override { return opened; }
    void close() override { opened = false, ++closeCount; }
    std::uint32_t bytesWaiting() override {
        return brokenInput ? kBytesWaitingUnknown : static_cast<std::uint32_t>(input.size());
    }
    bool readByte(std::uint8_t& byte) override {
        if (brokenInput || input.empty()) return false;
        byte = static_cast<std::uint8_t>(input.front());
        input.pop_front();
        return true;
    }
    bool writeByte(std::uint8_t byte) override {
        if (vanished) return false;
        if (unflushed) ++writesWithoutFlush;
        if (refuseFrom <= written.size() && refusals > 0) return --refusals, false;
        written.push_back(static_cast<char>(byte));
        unflushed = true;
        if (!script_.empty() && written.ends_with(script_.front().first)) {
            arrive(script_.front().second);
            script_.pop_front();
        }
        return true;
    }
    void flush() override { unflushed = false, ++flushCalls; }
    Readiness waitUntilReadable(std::chrono::milliseconds limit) override {
        ++readWaits;
        return vanished ? Readiness::Gone : SerialTransport::waitUntilReadable(limit);
    }
    // A full printer takes nothing now; otherwise the byte goes through writeByte, refusals
    // and all.
    std::optional<Readiness> writeByteNow(std::uint8_t) override {
        if (vanished) return Readiness::Gone;
        if (full) return Readiness::NotYet;
        return std::nullopt;
    }
    Readiness waitUntilWritable(std::chrono::milliseconds) override {
        return vanished ? Readiness::Gone : full ? Readiness::NotYet : Readiness::Ready;
    }
    bool gone() const override { return vanished; }

    std::string written;
    std::deque<char> input;
    bool opened = false, openFails = false, unflushed = false;
    std::string openFailureText;
    bool brokenInput = false;    // claims input it cannot deliver
    bool vanished = false;       // the device went away, until the port is opened again
    bool full = false;           // the printer holds the line: no room for a byte
    int readWaits = 0;
    std::size_t refuseFrom = 0;  // the refusals start once this many bytes are written
    int refusals = 0, openCount = 0, closeCount = 0, flushCalls = 0, writesWithoutFlush = 0;
    std::string openedDevice;
    SerialSettings openedSettings;

private:
    std::deque<std::pair<std::string, std::string>> script_;
};

// Records what the user would have seen, one event per line.
class FakeUi : public LinkUi {
public:
    void processEvents() override {
        if (++eventRuns == cancelAtEventRun) cancel = true;
    }
    bool cancelRequested() const override { return cancel; }
    bool askRetry(std::string_view title, std::string_view question) override {
        log("ask ", title, question);
        const bool answer = !retryAnswers.empty() && retryAnswers.front();
        if (!retryAnswers.empty()) retryAnswers.pop_front();
        return answer;
    }
    void showProgressWindow(std::string_view title, std::string_view text) override {
        visible = true, log("window ", title, text);
    }
    void setProgressText(std::string_view text) override { events.push_back("text " + std::string(text)); }
    bool progressWindowVisible() const override { return visible; }
    void showProgressError(std::string_view title, std::string_view text) override {
        visible = true, log("window error ", title, text);
    }
    void closeProgressWindow() override { visible = false, events.push_back("close"); }
    void showError(std::string_view title, std::string_view text) override { log("box ", title, text); }
    void beep() override { events.push_back("beep"); }

    std::vector<std::string> events;
    std::deque<bool> retryAnswers;  // No once they run out
    bool visible = false;
    int eventRuns = 0;
    bool cancel = false;         // the user pressed Esc on the progress window
    int cancelAtEventRun = -1;   // ... while the events of that run were processed

private:
    void log(std::string_view kind, std::string_view title, std::string_view text) {
        events.push_back(std::string(kind) + std::string(title) + ": " + std::string(text));
    }
};

// Each look at the clock costs a millisecond, so waiting loops reach the silence limit on
// their own; sleeps advance it and are remembered with the byte count they followed.
struct FakeClock {
    struct Sleep {
        std::size_t afterBytes;
        int milliseconds;
        bool operator==(const Sleep&) const = default;
    };
    LinkTiming timing(const FakeTransport& transport) { return timing(&transport.written); }
    // For a transport that is no FakeTransport: sleeps are remembered after byte 0.
    LinkTiming timing(const std::string* written = nullptr) {
        LinkTiming t;
        t.now = [this] { return std::chrono::milliseconds(now++); };
        t.sleep = [this, written](std::chrono::milliseconds d) {
            now += d.count();
            sleeps.push_back({written != nullptr ? written->size() : 0, static_cast<int>(d.count())});
        };
        t.pollInterval = std::chrono::milliseconds(0);
        return t;
    }
    std::vector<Sleep> sleeps;
    long long now = 0;
};

// A link wired to the fakes.
struct FakePrinter {
    FakeTransport transport;
    FakeUi ui;
    FakeClock clock;
    PrinterLink link{transport, ui, clock.timing(transport)};
};

// A stored object as the printer sends it: the length, high byte first, then the bytes.
inline std::string lengthPrefixed(std::string_view bytes) {
    return std::string{static_cast<char>(bytes.size() >> 8 & 0xFF), static_cast<char>(bytes.size() & 0xFF)} +
           std::string(bytes);
}
// The same with `length` bytes of `fill`.
inline std::string block(std::size_t length, char fill) { return lengthPrefixed(std::string(length, fill)); }

using Events = std::vector<std::string>;
using Sleeps = std::vector<FakeClock::Sleep>;

}  // namespace tavrin::test
