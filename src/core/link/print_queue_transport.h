#pragma once
// A printer shared through a print server ("cups://QUEUE"): what an exchange writes is
// collected and handed to the queue as one raw job when the port is closed. A queue takes
// jobs but cannot answer, so an exchange that waits for the printer's answer is refused
// with a message that says so, and what it wrote is dropped.
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/serial_transport.h"

namespace tavrin {

inline constexpr const char* kPrintQueueCannotAnswer =
    "A print queue cannot answer: choose a serial, USB or network printer for this";

// "cups://QUEUE": the queue's name, or nothing for anything else.
std::optional<std::string> parsePrintQueueDevice(std::string_view device);

// Hands one raw job to a queue; the error text, or empty when the server took it.
using JobSubmitter = std::function<std::string(const std::string& queue, const std::vector<std::uint8_t>& data,
                                               std::chrono::milliseconds timeout)>;

// Whether this program was built with the print server's library.
bool printQueuesAvailable();
// Submits through the print server the system is set up for (CUPS_SERVER, client.conf),
// giving up when the server does not answer within `timeout` at any step.
std::string submitRawJob(const std::string& queue, const std::vector<std::uint8_t>& data,
                         std::chrono::milliseconds timeout);

class PrintQueueTransport : public SerialTransport {
public:
    explicit PrintQueueTransport(JobSubmitter submit = submitRawJob) : submit_(std::move(submit)) {}
    ~PrintQueueTransport() override { close(); }
    PrintQueueTransport(const PrintQueueTransport&) = delete;
    PrintQueueTransport& operator=(const PrintQueueTransport&) = delete;

    // Fails for a device that names no queue, or when print queues are not built in.
    bool open(const std::string& device, const SerialSettings& settings) override;
    bool isOpen() const override { return open_; }
    // Submits what was written since the port opened or an exchange was last refused.
    void close() override;
    // Nothing ever comes back from a queue.
    std::uint32_t bytesWaiting() override { return 0; }
    bool readByte(std::uint8_t&) override { return false; }
    // False only past the largest job this takes.
    bool writeByte(std::uint8_t byte) override;
    void flush() override {}
    std::string refuseReply() override;
    std::string closeError() const override { return closeError_; }

    void setIoTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

    // A label is a few hundred kilobytes at most; a runaway stream is cut here.
    static constexpr std::size_t kMaxJobBytes = std::size_t{64} << 20;

private:
    JobSubmitter submit_;
    std::string queue_;
    std::vector<std::uint8_t> job_;
    std::chrono::milliseconds timeout_{3000};
    bool open_ = false;
    std::string closeError_;
};

}  // namespace tavrin
