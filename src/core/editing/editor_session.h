#pragma once
// One editing session: the document, the new-figure templates, the canvas with its options,
// the render context, the mouse editor and the undo history. Every window works through it,
// so that no change goes without its redraw, its undo step and the modified flag.
#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>

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

    // Read-only: the label changes through edit(), select() and startLabel() only.
    const LabelDocument& document() const { return document_; }
    FigureTemplates& templates() { return templates_; }
    CanvasOptions& canvasOptions() { return options_; }
    const LabelCanvas& canvas() const { return canvas_; }
    const RenderContext& renderContext() const { return context_; }
    MouseEditor& mouse() { return mouse_; }

    // The one way to change the label. `change` edits the document; one that returns bool
    // says whether it changed anything, and false skips the rest. Then the canvas is redrawn,
    // the undo step recorded, modified() updated and the listener told, so none of them can
    // be forgotten and no change is folded into the next step. Returns whether it changed.
    template <class Change>
    bool edit(Change&& change) {
        if constexpr (std::is_void_v<std::invoke_result_t<Change&, LabelDocument&>>) {
            change(document_);
        } else if (!change(document_)) {
            return false;
        }
        redraw();
        commit();
        notify();
        return true;
    }
    // A change of the selection only: no undo step, only the marks are redrawn.
    template <class Change>
    void select(Change&& change) {
        change(document_.figures);
        refreshMarks();
        notify();
    }
    // A passing look at the label with other values (a data row's): redrawn, not recorded and
    // not marked modified; the caller puts the values back the same way.
    template <class Change>
    void preview(Change&& change) {
        change(document_);
        redraw();
        notify();
    }
    // A new, opened or restored label: replaces the document, redraws and starts a fresh
    // history (not modified).
    void startLabel(LabelDocument label);
    // Told after every edit, selection change, undo, redo and new label, so the view repaints
    // and the menus follow.
    void setChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

    // The label as it prints; what the renderer measures goes into the records as in redraw().
    Bitmap printImage();

    void redraw();        // figures and overlays
    void refreshMarks();  // overlays only, the figures as last drawn

    // After a change made through mouse(): records one undo step when the label differs from the
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
    void notify() const {
        if (listener_) listener_();
    }
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
    std::function<void()> listener_;
};

}  // namespace tavrin
