#include "document/figure_list.h"

#include <cctype>

namespace tavrin {

namespace {
constexpr int kPasteShift = 24;

UserMessage nothingSelected() { return {"Error", "Nothing is selected"}; }
UserMessage tooManySelected() { return {"Error", "Too many objects selected"}; }

// Moves write only the position fields: the rest of the record stays byte for byte.
template <auto member>
void shiftField(Record& r, int delta) {
    setRecordField<member>(r, recordField<member>(r) + delta);
}
template <typename View>
void shiftPosition(Record& r, int dx, int dy) {
    shiftField<&View::x>(r, dx);
    shiftField<&View::y>(r, dy);
}
template <typename View>
void shiftEnds(Record& r, int dx, int dy) {
    shiftField<&View::x1>(r, dx);
    shiftField<&View::y1>(r, dy);
    shiftField<&View::x2>(r, dx);
    shiftField<&View::y2>(r, dy);
}
}  // namespace

void moveFigure(Figure& figure, int dx, int dy) {
    Record& r = figure.record;
    switch (figure.kind) {
        case FigureKind::Text: shiftPosition<TextRecord>(r, dx, dy); break;
        case FigureKind::Barcode: shiftPosition<BarcodeRecord>(r, dx, dy); break;
        case FigureKind::Rectangle: shiftPosition<RectangleRecord>(r, dx, dy); break;
        case FigureKind::Picture: shiftPosition<PictureRecord>(r, dx, dy); break;
        case FigureKind::DiagonalLine: shiftEnds<LineRecord>(r, dx, dy); break;
        case FigureKind::Box: shiftEnds<BoxRecord>(r, dx, dy); break;
        case FigureKind::Font:
            break;
    }
}

Figure& FigureList::link(iterator where, const Record& record, FigureKind kind) {
    Figure figure;
    figure.kind = kind;
    figure.record = record;
    return *figures_.insert(where, std::move(figure));
}

Figure& FigureList::appendFigure(const Record& record, FigureKind kind) {
    return link(figures_.end(), record, kind);
}

Figure& FigureList::prependFigure(const Record& record, FigureKind kind) {
    return link(figures_.begin(), record, kind);
}

FigureList::iterator FigureList::find(const Figure* figure) {
    for (auto it = figures_.begin(); it != figures_.end(); ++it)
        if (&*it == figure) return it;
    return figures_.end();
}

bool FigureList::removeFigure(const Figure* figure) {
    const auto it = find(figure);
    if (it == figures_.end()) return false;
    figures_.erase(it);  // the block goes with its last user
    return true;
}

void FigureList::clearFigures() { figures_.clear(); }

void FigureList::selectAll() {
    for (auto& f : figures_)
        if (!f.isFont()) f.flags = kFlagSelected;
}

void FigureList::unselectAll() {
    for (auto& f : figures_) f.flags = 0;
}

int FigureList::countSelected() const {
    int n = 0;
    for (const auto& f : figures_)
        if (f.selected() && !f.isFont()) ++n;
    return n;
}

std::optional<UserMessage> FigureList::requireSingleSelection() const {
    const int n = countSelected();
    if (n == 0) return nothingSelected();
    if (n > 1) return tooManySelected();
    return std::nullopt;
}

Figure* FigureList::firstSelected() {
    for (auto& f : figures_)
        if (f.selected() && !f.isFont()) return &f;
    return nullptr;
}

void FigureList::moveSelected(int dx, int dy) {
    for (auto& f : figures_)
        if (f.selected()) moveFigure(f, dx, dy);
}

void FigureList::copy() {
    for (auto& f : figures_) f.copyMark = f.selected() ? 1 : 0;
}

void FigureList::paste() {
    // Copies go to the bottom of the drawing order, so the walk never meets them.
    for (auto& f : figures_) {
        if (!f.copyMark || f.isFont()) continue;
        Figure& copyOf = prependFigure(f.record, f.kind);
        copyOf.picture = f.picture;
        moveFigure(f, kPasteShift, kPasteShift);
    }
}

std::optional<UserMessage> FigureList::moveToTop() {
    if (auto error = requireSingleSelection()) return error;
    const auto it = find(firstSelected());
    figures_.splice(figures_.end(), figures_, it);
    return std::nullopt;
}

std::optional<UserMessage> FigureList::moveToBottom() {
    if (auto error = requireSingleSelection()) return error;
    const auto it = find(firstSelected());
    figures_.splice(figures_.begin(), figures_, it);
    return std::nullopt;
}

DeleteRequest FigureList::requestDelete() const {
    DeleteRequest request;
    request.count = countSelected();
    if (request.count == 0) request.error = nothingSelected();
    request.question = {"Delete " + std::to_string(request.count) + " objects", "Are you sure ?"};
    return request;
}

int FigureList::deleteSelected() {
    int removed = 0;
    for (auto it = figures_.begin(); it != figures_.end();) {
        if (it->selected() && !it->isFont()) {
            it = figures_.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    return removed;
}

std::vector<const Figure*> FigureList::fonts() const {
    std::vector<const Figure*> out;
    for (const auto& f : figures_)
        if (f.isFont()) out.push_back(&f);
    return out;
}

const Figure* FigureList::softFontByNumber(int fontNumber) const {
    if (fontNumber < 6) return nullptr;
    int position = fontNumber - 5;
    for (const auto& f : figures_)
        if (f.isFont() && --position == 0) return &f;
    return nullptr;
}

const Figure* FigureList::fontByLetter(char letter) const {
    const int wanted = std::toupper(static_cast<unsigned char>(letter));
    for (const auto& f : figures_)
        if (f.isFont() && std::toupper(static_cast<unsigned char>(recordField<&FontRecord::letter>(f.record))) == wanted)
            return &f;
    return nullptr;
}

int FigureList::softFontHeight(char letter) const {
    const Figure* font = fontByLetter(letter);
    return font ? static_cast<int>(FontRecord::decode(font->record).height) : 16;
}

int FigureList::shareCount(const PictureBlock* block) const {
    if (block == nullptr) return 0;
    int n = 0;
    for (const auto& f : figures_)
        if (f.kind == FigureKind::Picture && f.picture.get() == block) ++n;
    return n;
}

PictureBlockRef FigureList::pictureBlockByName(const std::string& name) const {
    for (const auto& f : figures_)
        if (f.kind == FigureKind::Picture && f.picture &&
            PictureRecord::decode(f.record).name == name)
            return f.picture;
    return nullptr;
}

}  // namespace tavrin
