#include "editing/editor_session.h"

namespace tavrin {

EditorSession::EditorSession(const ResidentFonts* residentFonts, int pictureNumber)
    : templates_(FigureTemplates::defaults(pictureNumber)), mouse_(document_), history_(kHistoryLimit) {
    context_.document = &document_;
    context_.residentFonts = residentFonts;
    resetHistory();
}

Bitmap EditorSession::printImage() { return renderPrintImage(document_, context_); }

void EditorSession::redraw() { RedrawLabel(canvas_, document_, context_, options_); }

void EditorSession::refreshMarks() { drawSelectionMarks(canvas_, document_, options_, true); }

void EditorSession::commit() {
    history_.record(document_);
    modified_ = !sameLabel(document_, saved_);
}

void EditorSession::restore(const LabelDocument& state) {
    document_ = state;
    modified_ = !sameLabel(document_, saved_);
    redraw();
}

bool EditorSession::undo() { return step(&UndoHistory::undo); }

bool EditorSession::redo() { return step(&UndoHistory::redo); }

bool EditorSession::step(const LabelDocument* (UndoHistory::*move)()) {
    mouse_.abandonDrag();
    commit();
    const LabelDocument* state = (history_.*move)();
    if (state == nullptr) return false;
    restore(*state);
    notify();
    return true;
}

void EditorSession::resetHistory() {
    mouse_.abandonDrag();
    history_.reset(document_);
    saved_ = document_;
    modified_ = false;
}

void EditorSession::startLabel(LabelDocument label) {
    mouse_.abandonDrag();
    document_ = std::move(label);
    redraw();
    resetHistory();
    notify();
}

void EditorSession::markSaved() {
    saved_ = document_;
    modified_ = false;
}

void EditorSession::markUnsaved() {
    saved_ = LabelDocument{};
    modified_ = true;
}

}  // namespace tavrin
