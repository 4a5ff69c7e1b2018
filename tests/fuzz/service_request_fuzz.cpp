// A request to the print service as the HTTP front and the watch folder hand it over: the
// job's JSON read with the service's bounds, its label name judged, its rows checked against
// the sample label as a job's are before it is queued, and the rows stored and read back
// unchanged. The same bytes also go through the token comparison.
#include <algorithm>
#include <cctype>
#include <string>

#include "fuzz/fuzz_support.h"
#include "service/job_check.h"
#include "service/job_request.h"

using namespace tavrin;

namespace {

// Rows checked against the label: enough for every refusal, without checking a long job.
constexpr std::size_t kMaxRowsChecked = 40;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Translation translation;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The scheme in any case (HTTP's auth schemes are), the token exactly.
    constexpr std::string_view kScheme = "bearer ";
    const std::string_view scheme = bytes.substr(0, kScheme.size());
    const bool bearer = std::equal(scheme.begin(), scheme.end(), kScheme.begin(), kScheme.end(),
                                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    if (service::bearerMatches(bytes, "fuzz-token") != (bearer && bytes.substr(scheme.size()) == "fuzz-token"))
        std::abort();

    service::RequestLimits limits;
    limits.bodyBytes = 64 * 1024;
    limits.rows = 200;
    service::JobRequest request;
    if (const auto refusal = service::parseJobRequest(bytes, limits, request)) {
        if (refusal->status != 400 && refusal->status != 413) std::abort();
        if (refusal->message.empty()) std::abort();
        return 0;
    }
    // What was taken keeps to the bounds.
    if (request.rows.empty() || request.rows.size() > limits.rows || request.copies < 1 || request.copies > limits.copies)
        std::abort();
    if (!service::labelNameProblem(request.label).empty() || request.key.size() > limits.keyLength) std::abort();
    if (service::rowsFromJson(service::rowsToJson(request.rows)) != request.rows) std::abort();
    if (request.rows.size() <= kMaxRowsChecked) {
        const auto refusals = service::jobRefusals(fuzz::sampleLabel(), request.rows, request.copies, translation);
        for (const std::string& refusal : refusals)
            if (refusal.empty()) std::abort();
    }
    return 0;
}
