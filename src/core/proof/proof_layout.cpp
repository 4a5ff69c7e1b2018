#include "proof/proof_layout.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace tavrin {

std::optional<ProofPaper> proofPaperNamed(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower == "a4") return ProofPaper::A4;
    if (lower == "letter") return ProofPaper::Letter;
    return std::nullopt;
}

const char* proofPaperName(ProofPaper paper) {
    switch (paper) {
        case ProofPaper::A4: return "A4";
        case ProofPaper::Letter: return "Letter";
        default: return "label size";
    }
}

ProofLayout layoutOnPaper(double pageWidth, double pageHeight, int labelWidth, int labelLength, bool onePerPage) {
    ProofLayout layout;
    layout.pageWidth = pageWidth;
    layout.pageHeight = pageHeight;
    if (labelWidth <= 0 || labelLength <= 0) return layout;
    const auto fitting = [](double room, int size) {
        return std::max(0, static_cast<int>(std::floor((room + kSheetGap) / (size + kSheetGap))));
    };
    int across = fitting(pageWidth - 2 * kSheetMargin, labelWidth);
    int down = fitting(pageHeight - 2 * kSheetMargin, labelLength);
    if (across == 0 || down == 0) {
        if (labelWidth <= pageWidth && labelLength <= pageHeight) layout.places.push_back({0, 0, labelWidth, labelLength});
        return layout;
    }
    if (onePerPage) across = down = 1;
    layout.cutMarks = true;
    for (int row = 0; row < down; ++row)
        for (int column = 0; column < across; ++column)
            layout.places.push_back({kSheetMargin + column * (labelWidth + kSheetGap),
                                     kSheetMargin + row * (labelLength + kSheetGap), labelWidth, labelLength});
    return layout;
}

ProofLayout layoutProof(ProofPaper paper, int labelWidth, int labelLength) {
    switch (paper) {
        case ProofPaper::A4: return layoutOnPaper(210 * 8, 297 * 8, labelWidth, labelLength, false);
        case ProofPaper::Letter:
            return layoutOnPaper(8.5 * kProofDotsPerInch, 11 * kProofDotsPerInch, labelWidth, labelLength, false);
        default: {
            ProofLayout layout;
            layout.pageWidth = labelWidth;
            layout.pageHeight = labelLength;
            if (labelWidth > 0 && labelLength > 0) layout.places.push_back({0, 0, labelWidth, labelLength});
            return layout;
        }
    }
}

std::vector<DotRectangle> cutMarksAround(const DotRectangle& p) {
    const int near = kCutMarkOffset, far = kCutMarkOffset + kCutMarkLength;
    const int right = p.x + p.width, bottom = p.y + p.height;
    return {// along the top and bottom edges, to the left and to the right
            {p.x - far, p.y, kCutMarkLength, 1}, {right + near, p.y, kCutMarkLength, 1},
            {p.x - far, bottom - 1, kCutMarkLength, 1}, {right + near, bottom - 1, kCutMarkLength, 1},
            // along the left and right edges, above and below
            {p.x, p.y - far, 1, kCutMarkLength}, {right - 1, p.y - far, 1, kCutMarkLength},
            {p.x, bottom + near, 1, kCutMarkLength}, {right - 1, bottom + near, 1, kCutMarkLength}};
}

double pagePoints(double dots) { return std::floor(dots * kPointsPerDot * 1e6 - 1e-3) / 1e6; }

}  // namespace tavrin
