#pragma once
// What every drawing routine reads besides the figure itself: the document (setup,
// soft fonts, variables and counters), the resident fonts, and the clock for date and
// time fields (injectable so that renders and tests are repeatable).
#include <ctime>
#include <functional>

namespace tavrin {

struct LabelDocument;
class ResidentFonts;

struct RenderContext {
    const LabelDocument* document = nullptr;
    const ResidentFonts* residentFonts = nullptr;
    // Local date and time for TD/TT fields; defaults to the system clock when empty.
    std::function<std::tm()> now;

    std::tm currentTime() const;
};

}  // namespace tavrin
