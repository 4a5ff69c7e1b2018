#pragma once
// Where printer command bytes go: a file, a serial port, or a buffer in tests. The writers
// only talk to this interface, so the same streams can be saved, sent or compared.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// Pacing pauses the printer needs after deleting and downloading stored objects. A serial
// sink sleeps on them; a file or buffer ignores them.
enum class PrinterPause : int { Short = 50, Medium = 100, Long = 150 };

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False when the bytes could not be delivered and the user gave up; the writer then
    // stops at once and leaves the rest unsent.
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    virtual void pause(PrinterPause) {}
    // A text for the progress window ("Store picture ..."); ignored by default.
    virtual void progress(std::string_view) {}
};

// Collects the bytes and records where each pause fell.
class BufferSink : public ByteSink {
public:
    struct PauseMark {
        std::size_t offset;  // bytes written before the pause
        PrinterPause pause;
        bool operator==(const PauseMark&) const = default;
    };

    bool write(std::span<const std::uint8_t> bytes) override;
    void pause(PrinterPause pause) override { pauses_.push_back({bytes_.size(), pause}); }
    void progress(std::string_view text) override { progressTexts_.emplace_back(text); }

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::string text() const { return std::string(bytes_.begin(), bytes_.end()); }
    const std::vector<PauseMark>& pauses() const { return pauses_; }
    const std::vector<std::string>& progressTexts() const { return progressTexts_; }
    // Refuses every write once this many bytes have been taken (a link that gave up).
    void failAfter(std::size_t byteCount) { limit_ = byteCount; }

private:
    std::vector<std::uint8_t> bytes_;
    std::vector<PauseMark> pauses_;
    std::vector<std::string> progressTexts_;
    std::size_t limit_ = static_cast<std::size_t>(-1);
};

}  // namespace tavrin
