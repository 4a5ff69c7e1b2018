#include "editing/mouse_editor.h"

namespace tavrin {

namespace {

// Bit A: selected before this click; bit B: the figure under the click.
constexpr std::uint8_t kWasSelected = kFlagEditMarkA;
constexpr std::uint8_t kUnderClick = kFlagEditMarkB;

bool inList(LabelDocument& document, const Figure* figure) {
    for (const Figure& f : document.figures)
        if (&f == figure) return true;
    return false;
}

}  // namespace

MouseEditor::MouseEditor(LabelDocument& document) : document_(document) {}

DotPoint MouseEditor::toFigure(DotPoint p) const {
    return {p.x - document_.setup.leftMargin, p.y - document_.setup.topMargin};
}

DotPoint MouseEditor::toBitmap(DotPoint p) const {
    return {p.x + document_.setup.leftMargin, p.y + document_.setup.topMargin};
}

void MouseEditor::setOverlay(DragOverlay::Kind kind, DotPoint fromFigure, DotPoint toFigurePoint) {
    overlay_ = {kind, toBitmap(fromFigure), toBitmap(toFigurePoint)};
}

void MouseEditor::abandonDrag() {
    // The figure may already be gone; only a figure still in the list is touched.
    if (drag_ == Drag::Resizing && reselectAfterResize_ && inList(document_, resized_))
        resized_->flags |= kFlagSelected;
    drag_ = Drag::None;
    resized_ = nullptr;
    reselectAfterResize_ = false;
    overlay_ = {};
}

bool MouseEditor::clickSelect(DotPoint p, bool shift) {
    for (Figure& f : document_.figures) {
        f.flags &= static_cast<std::uint8_t>(~kUnderClick);
        if (f.selected())
            f.flags |= kWasSelected;
        else
            f.flags &= static_cast<std::uint8_t>(~kWasSelected);
    }
    Figure* hit = figureAt(document_, p);
    if (hit != nullptr) hit->flags |= kUnderClick;

    // Without Shift a click on a member keeps the whole selection, so that it can be moved.
    const bool keepAll = shift || (hit != nullptr && (hit->flags & kWasSelected) != 0);
    for (Figure& f : document_.figures) {
        const bool select = keepAll ? (f.flags & (kWasSelected | kUnderClick)) != 0 : &f == hit;
        f.flags = select && !f.isFont() ? kFlagSelected : 0;
    }
    return hit != nullptr;
}

MouseResult MouseEditor::mouseDown(DotPoint bitmapPoint, MouseButton button, bool shift) {
    MouseResult result;
    const DotPoint p = toFigure(bitmapPoint);
    if (button == MouseButton::Right) {
        setCancelFlag();
        // During a drag the right button only cancels: the drag ends at the left button's
        // release, and no dialog may open while the button is still held.
        if (!dragging()) result.editFigure = figureAt(document_, p);
        return result;
    }
    if (dragging()) {  // a release we never saw: a move already made still needs its redraw
        result.redraw = result.changed = drag_ == Drag::Moving && moved_;
        abandonDrag();
    }
    press_ = last_ = p;
    moved_ = false;

    if (tool_ != Tool::Select) {
        drag_ = Drag::Drawing;
        if (tool_ == Tool::Rectangle || tool_ == Tool::Box)
            setOverlay(DragOverlay::Kind::RubberRectangle, p, p);
        else if (tool_ == Tool::DiagonalLine)
            setOverlay(DragOverlay::Kind::RubberLine, p, p);
        result.overlayChanged = overlay_.kind != DragOverlay::Kind::None;
        return result;
    }

    if (!shift) {
        if (const auto handle = findHandle(document_, p)) {
            cancel_ = false;
            resized_ = handle->figure;
            handle_ = handle->handle;
            first_ = handle->first;
            second_ = handle->second;
            reselectAfterResize_ = resized_->selected();
            if (reselectAfterResize_) {
                resized_->flags &= static_cast<std::uint8_t>(~kFlagSelected);
                result.marksChanged = true;
            }
            drag_ = Drag::Resizing;
            setOverlay(resized_->kind == FigureKind::DiagonalLine ? DragOverlay::Kind::ResizeLine
                                                                  : DragOverlay::Kind::ResizeRectangle,
                       first_, second_);
            result.overlayChanged = true;
            return result;
        }
    }
    const bool hit = clickSelect(p, shift);
    result.marksChanged = true;
    if (!hit) {
        drag_ = Drag::BandSelecting;
        setOverlay(DragOverlay::Kind::Band, p, p);
        result.overlayChanged = true;
    } else if (!shift) {
        cancel_ = false;
        drag_ = Drag::Moving;
    }
    return result;
}

MouseResult MouseEditor::mouseMove(DotPoint bitmapPoint) {
    MouseResult result;
    const DotPoint p = toFigure(bitmapPoint);
    const int dx = p.x - last_.x, dy = p.y - last_.y;
    if (drag_ == Drag::None || (dx == 0 && dy == 0)) return result;
    last_ = p;
    switch (drag_) {
        case Drag::Drawing:
        case Drag::BandSelecting:
            if (overlay_.kind != DragOverlay::Kind::None) {
                overlay_.to = bitmapPoint;
                result.overlayChanged = true;
            }
            break;
        case Drag::Moving:
            document_.figures.moveSelected(dx, dy);
            moved_ = true;
            result.marksChanged = true;
            break;
        case Drag::Resizing:
            switch (handle_) {
                case 1: first_.x += dx, first_.y += dy; break;
                case 2: second_.x += dx, first_.y += dy; break;
                case 3: first_.x += dx, second_.y += dy; break;
                case 4: second_.x += dx, second_.y += dy; break;
                case 5: second_.y += dy; break;
                case 6: first_.x += dx; break;
                case 7: first_.y += dy; break;
                case 8: second_.x += dx; break;
                default: break;
            }
            overlay_.from = toBitmap(first_);
            overlay_.to = toBitmap(second_);
            result.overlayChanged = true;
            break;
        case Drag::None:
            break;
    }
    return result;
}

void MouseEditor::endResize(MouseResult& result) {
    if (!inList(document_, resized_)) return;  // removed while the drag ran
    if (!cancel_) {
        const Record before = resized_->record;
        applyResize(*resized_, handle_, first_, second_);
        result.changed = resized_->record != before;
    }
    if (reselectAfterResize_) resized_->flags |= kFlagSelected;
    result.redraw = true;
}

void MouseEditor::endBand(DotPoint release) {
    const DotRect band = orderedRect(press_, release);
    for (Figure& f : document_.figures)
        if (!f.isFont() && bandTakes(f, document_, band)) f.flags |= kFlagSelected;
}

MouseResult MouseEditor::mouseUp(DotPoint bitmapPoint, [[maybe_unused]] bool shift) {
    // The release point counts as the last move.
    MouseResult result = mouseMove(bitmapPoint);
    const DotPoint p = toFigure(bitmapPoint);
    switch (drag_) {
        case Drag::Moving:
            result.redraw = true;
            result.changed = moved_;
            break;
        case Drag::BandSelecting:
            endBand(p);
            result.marksChanged = true;
            break;
        case Drag::Resizing:
            endResize(result);
            break;
        case Drag::Drawing: {
            const int kind = static_cast<int>(tool_);
            if (kind >= 0 && kind <= static_cast<int>(FigureKind::Picture)) {
                result.openNewDialog = static_cast<FigureKind>(kind);
                result.press = press_;
                result.release = p;
            }
            break;
        }
        case Drag::None:
            break;
    }
    result.overlayChanged = result.overlayChanged || overlay_.kind != DragOverlay::Kind::None;
    overlay_ = {};
    drag_ = Drag::None;
    resized_ = nullptr;
    reselectAfterResize_ = false;
    tool_ = Tool::Select;
    return result;
}

bool MouseEditor::nudgeSelection(int dx, int dy) {
    if (dragging() || document_.figures.countSelected() == 0) return false;
    document_.figures.moveSelected(dx, dy);
    return true;
}

}  // namespace tavrin
