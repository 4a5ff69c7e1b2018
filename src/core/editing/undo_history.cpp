#include "editing/undo_history.h"

#include <algorithm>

#include "render/barcode/barcode.h"

namespace tavrin {

namespace {

// The record with the values the renderers write back set to zero: a text's drawn width, a
// barcode's two lengths, and a 2D symbol's height, where the renderer puts its extent.
Record withoutMeasurements(const Figure& figure) {
    Record r = figure.record;
    if (figure.kind == FigureKind::Text) {
        setRecordField<&TextRecord::drawnWidth>(r, 0);
    } else if (figure.kind == FigureKind::Barcode) {
        setRecordField<&BarcodeRecord::barLength>(r, 0);
        setRecordField<&BarcodeRecord::totalLength>(r, 0);
        if (barcode::isMatrixSymbology(recordField<&BarcodeRecord::type>(r))) setRecordField<&BarcodeRecord::height>(r, 0);
    }
    return r;
}

bool sameFigure(const Figure& a, const Figure& b) {
    if (a.kind != b.kind || withoutMeasurements(a) != withoutMeasurements(b)) return false;
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
