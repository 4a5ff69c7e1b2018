#include "link/print_queue_transport.h"

#include <algorithm>

#ifdef TAVRIN_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace tavrin {

namespace {

constexpr std::string_view kScheme = "cups://";
// A print server that takes its time over a job is still given this long.
constexpr std::chrono::milliseconds kMinServerTimeout{1000};

}  // namespace

std::optional<std::string> parsePrintQueueDevice(std::string_view device) {
    if (!device.starts_with(kScheme)) return std::nullopt;
    const std::string_view queue = device.substr(kScheme.size());
    if (queue.empty() || queue.find_first_of("/# \t") != std::string_view::npos) return std::nullopt;
    return std::string(queue);
}

#ifdef TAVRIN_HAVE_CUPS

namespace {

// Gives up a wait on the server at once: the wait itself already lasted the time-out.
int giveUp(http_t*, void*) { return 0; }

}  // namespace

bool printQueuesAvailable() { return true; }

std::string submitRawJob(const std::string& queue, const std::vector<std::uint8_t>& data,
                         std::chrono::milliseconds timeout) {
    timeout = std::max(timeout, kMinServerTimeout);
    int cancel = 0;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                static_cast<int>(timeout.count()), &cancel);
    if (http == nullptr) {
        const std::string server = cupsServer();
        return "Can't reach the print server " +
               (server.starts_with('/') ? server : server + ":" + std::to_string(ippPort()));
    }
    httpSetTimeout(http, static_cast<double>(timeout.count()) / 1000.0, giveUp, nullptr);
    std::string error;
    const int job = cupsCreateJob(http, queue.c_str(), "TAVRIN label", 0, nullptr);
    if (job == 0) {
        error = "The print queue " + queue + " refused the job: " + cupsLastErrorString();
    } else if (cupsStartDocument(http, queue.c_str(), job, "label", CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE ||
               cupsWriteRequestData(http, reinterpret_cast<const char*>(data.data()), data.size()) !=
                   HTTP_STATUS_CONTINUE ||
               cupsFinishDocument(http, queue.c_str()) != IPP_STATUS_OK) {
        error = "The print queue " + queue + " did not take the job: " + cupsLastErrorString();
        cupsCancelJob2(http, queue.c_str(), job, 0);
    }
    httpClose(http);
    return error;
}

#else

bool printQueuesAvailable() { return false; }

std::string submitRawJob(const std::string&, const std::vector<std::uint8_t>&, std::chrono::milliseconds) {
    return "This program was built without print queue support";
}

#endif

bool PrintQueueTransport::open(const std::string& device, const SerialSettings&) {
    close();
    closeError_.clear();
    const auto queue = parsePrintQueueDevice(device);
    if (!queue || !printQueuesAvailable()) return false;
    queue_ = *queue;
    job_.clear();
    open_ = true;
    return true;
}

void PrintQueueTransport::close() {
    if (!open_) return;
    open_ = false;
    if (!job_.empty()) closeError_ = submit_(queue_, job_, timeout_);
    job_.clear();
    job_.shrink_to_fit();
}

bool PrintQueueTransport::writeByte(std::uint8_t byte) {
    if (!open_ || job_.size() >= kMaxJobBytes) return false;
    job_.push_back(byte);
    return true;
}

std::string PrintQueueTransport::refuseReply() {
    // The refused exchange's commands are not printed; a later exchange on the same open
    // port starts a job afresh.
    job_.clear();
    return kPrintQueueCannotAnswer;
}

}  // namespace tavrin
