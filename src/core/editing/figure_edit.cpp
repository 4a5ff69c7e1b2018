#include "editing/figure_edit.h"

#include "printer/screen_text.h"

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

template <typename Kind>
void addThrough(FigureList& figures, Kind& templateRecord, const Kind& record, FigureKind kind) {
    templateRecord = record;
    figures.appendFigure(record.encode(), kind);
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

void addNewFigure(FigureList& figures, FigureTemplates& templates, const TextRecord& record) {
    addThrough(figures, templates.text, record, FigureKind::Text);
}

void addNewFigure(FigureList& figures, FigureTemplates& templates, const BarcodeRecord& record) {
    addThrough(figures, templates.barcode, record, FigureKind::Barcode);
}

void addNewFigure(FigureList& figures, FigureTemplates& templates, const RectangleRecord& record) {
    addThrough(figures, templates.rectangle, record, FigureKind::Rectangle);
}

void addNewFigure(FigureList& figures, FigureTemplates& templates, const BoxRecord& record) {
    addThrough(figures, templates.box, record, FigureKind::Box);
}

void addNewFigure(FigureList& figures, FigureTemplates& templates, const LineRecord& record) {
    addThrough(figures, templates.line, record, FigureKind::DiagonalLine);
}

Figure* findFigure(FigureList& figures, const Figure* figure) {
    for (Figure& candidate : figures)
        if (&candidate == figure) return &candidate;
    return nullptr;
}

std::string copiedBackText(const std::string& printerText, const std::string& shownText, const std::string& editedText,
                           const Translation& translation) {
    return editedText == shownText ? printerText : screenToPrinter(editedText, translation);
}

}  // namespace tavrin
