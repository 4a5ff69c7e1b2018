#pragma once
// The undo history: whole-document snapshots. Picture blocks are shared between snapshots,
// so a snapshot costs one copy of the figure records.
#include <cstddef>
#include <deque>

#include "document/label_document.h"

namespace tavrin {

// Whether two documents hold the same label: setup, figures with their records, picture
// and font data, variables and counters. Selection and editor marks, copy marks and the
// values the renderers measure (a text's drawn width, a barcode's lengths) do not count.
bool sameLabel(const LabelDocument& a, const LabelDocument& b);

class UndoHistory {
public:
    // Keeps at most `limit` steps; the oldest are forgotten first.
    explicit UndoHistory(std::size_t limit);

    // Starts afresh from this state: nothing to undo or redo.
    void reset(const LabelDocument& current);
    // Records the document as a new step after the current one (dropping any redo steps);
    // false, and nothing recorded, when it holds the same label as the current state.
    bool record(const LabelDocument& document);

    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ + 1 < states_.size(); }
    // Steps back or forward; the state to restore, or nullptr when there is none.
    const LabelDocument* undo();
    const LabelDocument* redo();
    const LabelDocument& current() const { return states_[index_]; }
    std::size_t steps() const { return states_.size() - 1; }

private:
    std::size_t limit_;
    std::deque<LabelDocument> states_;
    std::size_t index_ = 0;
};

}  // namespace tavrin
