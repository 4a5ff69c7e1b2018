#include "editing/figure_edit.h"

namespace tavrin {
namespace {

template <typename Kind>
bool editThrough(Figure& figure, Kind& templateRecord, const std::function<bool(Kind&)>& dialog) {
    if (!dialog) return false;
    Kind record = Kind::decode(figure.record);
    if (!dialog(record)) return false;
    templateRecord = record;
    // The whole record: a text of up to 67 characters reaches its last bytes, and a shorter
    // one leaves nothing of the old text behind its end.
    figure.record = record.encode();
    return true;
}

}  // namespace

bool editFigureInDialog(Figure& figure, FigureTemplates& templates, const FigureDialogs& dialogs) {
    switch (figure.kind) {
        case FigureKind::Text: return editThrough(figure, templates.text, dialogs.text);
        case FigureKind::Barcode: return editThrough(figure, templates.barcode, dialogs.barcode);
        case FigureKind::Rectangle: return editThrough(figure, templates.rectangle, dialogs.rectangle);
        case FigureKind::Box: return editThrough(figure, templates.box, dialogs.box);
        case FigureKind::DiagonalLine: return editThrough(figure, templates.line, dialogs.line);
        case FigureKind::Picture:
        case FigureKind::Font: break;
    }
    return false;
}

}  // namespace tavrin
