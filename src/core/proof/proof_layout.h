#pragma once
// Where proofs put labels: on a page of the label's own size, or on office paper (A4,
// Letter) as many as fit at true size with thin cut marks at their corners. Places are in
// whole printer dots (8 per millimetre), so a page rasterised at the printer's 203.2 dpi
// gives back every dot of a label on one pixel.
#include <optional>
#include <string_view>
#include <vector>

namespace tavrin {

inline constexpr double kProofDotsPerInch = 203.2;
inline constexpr double kPointsPerDot = 72.0 / kProofDotsPerInch;

enum class ProofPaper { LabelSize, A4, Letter };

// "a4" or "letter", in any case.
std::optional<ProofPaper> proofPaperNamed(std::string_view name);
const char* proofPaperName(ProofPaper paper);

// 10 mm from the paper's edges to the first label, 6 mm between labels: room for the marks,
// which start 1 mm from a corner and run 2 mm along the label's edge, one dot thick.
inline constexpr int kSheetMargin = 80;
inline constexpr int kSheetGap = 48;
inline constexpr int kCutMarkOffset = 8;
inline constexpr int kCutMarkLength = 16;

struct DotRectangle {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const DotRectangle&) const = default;
};

struct ProofLayout {
    double pageWidth = 0, pageHeight = 0;  // in dots; Letter is no whole number of them
    std::vector<DotRectangle> places;      // the labels of one page, left to right, then down
    bool cutMarks = false;
    // 0 when the label is larger than the paper.
    int perPage() const { return static_cast<int>(places.size()); }
};

// Labels from the top-left margin on paper of the size given. A label too big for the
// margins but not for the paper goes one per page into the corner, without marks.
ProofLayout layoutOnPaper(double pageWidth, double pageHeight, int labelWidth, int labelLength, bool onePerPage);
ProofLayout layoutProof(ProofPaper paper, int labelWidth, int labelLength);

// The eight marks around a placed label: two at each corner, continuing its edges outwards.
std::vector<DotRectangle> cutMarksAround(const DotRectangle& place);

// A page size in points that a rasteriser turns back into exactly `dots` pixels at 203.2 dpi:
// a hair under the exact value, since the pixel count is rounded up and a PDF keeps six
// decimals.
double pagePoints(double dots);

}  // namespace tavrin
