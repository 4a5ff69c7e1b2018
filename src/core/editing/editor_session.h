#pragma once
// One editing session: the document, the new-figure templates, the canvas with its options,
// the render context, the mouse editor and the undo history. Every window works through it,
// so that no change goes without its redraw, its undo step and the modified flag.
#include <cstddef>

#include "document/label_document.h"
#include "editing/mouse_editor.h"
#include "editing/undo_history.h"
#include "render/canvas.h"
#include "render/render_context.h"

namespace tavrin {

class ResidentFonts;

class EditorSession {
public:
    static constexpr std::size_t kHistoryLimit = 200;

    explicit EditorSession(const ResidentFonts* residentFonts, int pictureNumber = 1);
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    LabelDocument& document() { return document_; }
    const LabelDocument& document() const { return document_; }
    FigureTemplates& templates() { return templates_; }
    CanvasOptions& canvasOptions() { return options_; }
    const LabelCanvas& canvas() const { return canvas_; }
    const RenderContext& renderContext() const { return context_; }
    MouseEditor& mouse() { return mouse_; }

    void redraw();        // figures and overlays
    void refreshMarks();  // overlays only, the figures as last drawn

    // After every finished change: records one undo step when the label differs from the
    // last recorded state (selection and measured values do not count) and updates modified().
    void commit();
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    // Restore the previous or next state and redraw; false when there is none. A change
    // not yet committed is recorded first, so it is the one undone.
    bool undo();
    bool redo();
    // A new or opened label: a fresh history, not modified.
    void resetHistory();
    // Whether the label differs from the one last saved (or opened, or started).
    bool modified() const { return modified_; }
    void markSaved();
    // A label that was never saved where the user can find it (a restored recovery copy).
    void markUnsaved();
    std::size_t undoSteps() const { return history_.steps(); }

private:
    void restore(const LabelDocument& state);
    // Undo or redo: what was not yet committed is recorded first.
    bool step(const LabelDocument* (UndoHistory::*move)());

    LabelDocument document_;
    FigureTemplates templates_;
    CanvasOptions options_;
    LabelCanvas canvas_;
    RenderContext context_;
    MouseEditor mouse_;
    UndoHistory history_;
    LabelDocument saved_;
    bool modified_ = false;
};

}  // namespace tavrin
