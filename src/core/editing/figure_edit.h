#pragma once
// Editing one figure in its kind's dialog (right click, object list). The dialog starts from
// the figure's record; a confirmed dialog puts the whole record back into the figure and
// leaves it in the kind's template, so the next new figure of the kind starts from it, as
// after drawing one. A cancelled dialog changes neither.
#include <functional>
#include <string>

#include "document/figure_list.h"
#include "document/label_document.h"
#include "printer/translation.h"

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

// A new figure confirmed in its dialog goes on top of the label and stays as its kind's
// template, so the next figure of the kind starts from it.
void addNewFigure(FigureList& figures, FigureTemplates& templates, const TextRecord& record);
void addNewFigure(FigureList& figures, FigureTemplates& templates, const BarcodeRecord& record);
void addNewFigure(FigureList& figures, FigureTemplates& templates, const RectangleRecord& record);
void addNewFigure(FigureList& figures, FigureTemplates& templates, const BoxRecord& record);
void addNewFigure(FigureList& figures, FigureTemplates& templates, const LineRecord& record);

// The figure a read-only look at the label found, in the list being changed; nullptr when
// it is no longer there.
Figure* findFigure(FigureList& figures, const Figure* figure);

// The text a dialog hands back. Text the user did not touch keeps its printer bytes: a byte
// the screen cannot show must not turn into '?' because another field was edited. Edited
// text is the screen text in the printer's character set.
std::string copiedBackText(const std::string& printerText, const std::string& shownText, const std::string& editedText,
                           const Translation& translation);

}  // namespace tavrin
