#include "editing/undo_history.h"

#include <algorithm>
#include <cstring>

#include "render/barcode/barcode.h"

namespace tavrin {

namespace {

// The record bytes the renderers write back: a text's drawn width, a barcode's two lengths.
struct MeasuredBytes {
    std::size_t from = 0, to = 0;  // [from, to)
};
MeasuredBytes measuredBytes(FigureKind kind) {
    switch (kind) {
        case FigureKind::Text: return {14, 16};
        case FigureKind::Barcode: return {16, 20};
        default: return {};
    }
}

// A 2D symbol's height field is measured too: the renderer writes the symbol's extent there.
bool heightIsMeasured(const Figure& figure) {
    return figure.kind == FigureKind::Barcode &&
           barcode::isMatrixSymbology(BarcodeRecord::decode(figure.record).type);
}
constexpr std::size_t kBarcodeHeightOffset = 6;

bool sameFigure(const Figure& a, const Figure& b) {
    if (a.kind != b.kind) return false;
    const MeasuredBytes skip = measuredBytes(a.kind);
    if (heightIsMeasured(a) && heightIsMeasured(b)) {
        if (std::memcmp(a.record.data(), b.record.data(), kBarcodeHeightOffset) != 0) return false;
        if (std::memcmp(a.record.data() + kBarcodeHeightOffset + 2, b.record.data() + kBarcodeHeightOffset + 2,
                        skip.from - kBarcodeHeightOffset - 2) != 0)
            return false;
    } else if (std::memcmp(a.record.data(), b.record.data(), skip.from) != 0) {
        return false;
    }
    if (std::memcmp(a.record.data() + skip.to, b.record.data() + skip.to, kRecordSize - skip.to) != 0) return false;
    if (a.picture != b.picture) {
        if (!a.picture || !b.picture || a.picture->bytes != b.picture->bytes) return false;
    }
    return a.fontData == b.fontData;
}

}  // namespace

bool sameLabel(const LabelDocument& a, const LabelDocument& b) {
    if (!(a.setup == b.setup) || a.variables != b.variables || a.counters != b.counters) return false;
    if (a.figures.size() != b.figures.size()) return false;
    return std::equal(a.figures.begin(), a.figures.end(), b.figures.begin(), sameFigure);
}

UndoHistory::UndoHistory(std::size_t limit) : limit_(std::max<std::size_t>(limit, 1)) {
    states_.emplace_back();
}

void UndoHistory::reset(const LabelDocument& current) {
    states_.clear();
    states_.push_back(current);
    index_ = 0;
}

bool UndoHistory::record(const LabelDocument& document) {
    if (sameLabel(document, states_[index_])) return false;
    states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(index_) + 1, states_.end());
    states_.push_back(document);
    if (states_.size() > limit_ + 1) states_.pop_front();
    index_ = states_.size() - 1;
    return true;
}

const LabelDocument* UndoHistory::undo() {
    if (!canUndo()) return nullptr;
    return &states_[--index_];
}

const LabelDocument* UndoHistory::redo() {
    if (!canRedo()) return nullptr;
    return &states_[++index_];
}

}  // namespace tavrin
