#include "document/label_document.h"

#include <cstdio>

namespace tavrin {

std::string defaultPictureName(int pictureNumber) {
    char name[16];
    std::snprintf(name, sizeof name, "PICT%04u", static_cast<unsigned>(pictureNumber) % 10000u);
    return name;
}

FigureTemplates FigureTemplates::defaults(int pictureNumber) {
    FigureTemplates t;
    t.text = TextRecord{40, 40, 1, 1, 3, 0, 0, 0, "\"Text\""};
    t.barcode = BarcodeRecord{8, 40, 40, 80, 2, 3, 2, 0, 0, 0, "\"123456789012\""};
    t.rectangle = RectangleRecord{40, 40, 100, 20, kColourBlack};
    t.line = LineRecord{40, 40, 140, 90, 4, kColourBlack};
    t.box = BoxRecord{40, 40, 140, 90, 4};
    t.picture = PictureRecord{40, 40, 0, 0, 0, defaultPictureName(pictureNumber)};
    return t;
}

void LabelDocument::resetVariables() {
    for (auto& v : variables) v.defined = 0;
    for (auto& c : counters) c.defined = 0;
}

void LabelDocument::newLabel() {
    figures.clearFigures();
    resetVariables();
}

}  // namespace tavrin
