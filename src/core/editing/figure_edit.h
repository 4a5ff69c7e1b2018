#pragma once
// Editing one figure in its kind's dialog (right click, object list). The dialog starts from
// the figure's record; a confirmed dialog puts the whole record back into the figure and
// leaves it in the kind's template, so the next new figure of the kind starts from it, as
// after drawing one. A cancelled dialog changes neither.
#include <functional>

#include "document/figure_list.h"
#include "document/label_document.h"

namespace tavrin {

// The figure dialogs in edit mode: each edits the record in place and returns true when it
// was confirmed.
struct FigureDialogs {
    std::function<bool(TextRecord&)> text;
    std::function<bool(BarcodeRecord&)> barcode;
    std::function<bool(RectangleRecord&)> rectangle;
    std::function<bool(BoxRecord&)> box;
    std::function<bool(LineRecord&)> line;
};

// True when the figure took a confirmed record. Pictures, which carry their data block, and
// fonts have no dialog here and are left as they are.
bool editFigureInDialog(Figure& figure, FigureTemplates& templates, const FigureDialogs& dialogs);

}  // namespace tavrin
