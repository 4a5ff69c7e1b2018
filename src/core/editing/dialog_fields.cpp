#include "editing/dialog_fields.h"

#include <algorithm>
#include <charconv>

#include "render/barcode/barcode.h"

namespace tavrin {

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

std::string number(int value) { return std::to_string(value); }

template <std::size_t N>
int positionIn(const std::array<const char*, N>&, int value, int first) {
    return listPosition(value, static_cast<int>(N), first);
}

template <std::size_t N>
int valueFrom(const std::array<const char*, N>&, int position, int first, int current) {
    return acceptListField(position, static_cast<int>(N), first, current);
}

// Data from the form, unless it is longer than the record may take: then the old data
// stays rather than being cut.
void acceptData(const std::string& data, std::size_t limit, std::string& current) {
    if (data.size() <= limit) current = data;
}

}  // namespace

std::optional<int> readInteger(std::string_view text) {
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    const bool plus = !text.empty() && text.front() == '+';
    if (plus) text.remove_prefix(1);
    if (text.empty() || (plus && text.front() == '-')) return std::nullopt;
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end) return std::nullopt;
    return value;
}

int acceptField(std::string_view text, int current, FieldRange range) {
    const int value = readInteger(text).value_or(current);
    return range.contains(value) ? value : current;
}

int acceptListField(int position, int itemCount, int first, int current) {
    return position >= 0 && position < itemCount ? position + first : current;
}

int listPosition(int value, int itemCount, int first) {
    const int position = value - first;
    return position >= 0 && position < itemCount ? position : -1;
}

std::size_t textDataLimit(std::size_t currentLength) {
    return std::clamp(currentLength, kDialogDataLength, TextRecord::kMaxData);
}

std::size_t barcodeDataLimit(std::size_t currentLength) {
    return std::clamp(currentLength, kDialogDataLength, BarcodeRecord::kMaxData);
}

std::vector<std::string> barcodeTypeItems() {
    std::vector<std::string> names;
    for (int type = 0; type < barcode::kSymbologyCount; ++type) names.emplace_back(barcode::symbology(type).name);
    return names;
}

TextForm textForm(const TextRecord& record, int fontCount) {
    TextForm form;
    form.x = number(record.x);
    form.y = number(record.y);
    form.hMul = positionIn(kHorizontalSizeItems, record.hMul, 1);
    form.vMul = positionIn(kVerticalSizeItems, record.vMul, 1);
    form.font = listPosition(record.font, fontCount, 1);
    form.style = positionIn(kTextStyleItems, record.style, 0);
    form.rotation = positionIn(kRotationItems, record.rotation, 0);
    form.data = record.data;
    return form;
}

void applyTextForm(const TextForm& form, int fontCount, TextRecord& record) {
    record.x = acceptField(form.x, record.x, kFigureXRange);
    record.y = acceptField(form.y, record.y, kTextYRange);
    record.hMul = valueFrom(kHorizontalSizeItems, form.hMul, 1, record.hMul);
    record.vMul = valueFrom(kVerticalSizeItems, form.vMul, 1, record.vMul);
    record.font = acceptListField(form.font, fontCount, 1, record.font);
    record.style = valueFrom(kTextStyleItems, form.style, 0, record.style);
    record.rotation = valueFrom(kRotationItems, form.rotation, 0, record.rotation);
    acceptData(form.data, textDataLimit(record.data.size()), record.data);
}

BarcodeForm barcodeForm(const BarcodeRecord& record) {
    BarcodeForm form;
    form.x = number(record.x);
    form.y = number(record.y);
    form.height = number(record.height);
    form.narrow = positionIn(kNarrowBarItems, record.narrow, 1);
    form.wide = positionIn(kWideBarItems, record.wide, 2);
    form.humanReadable = positionIn(kHumanReadableItems, record.humanReadable, 0);
    form.rotation = positionIn(kRotationItems, record.rotation, 0);
    form.type = listPosition(record.type, barcode::kSymbologyCount, 0);
    form.data = record.data;
    const int levels = static_cast<int>(barcode::errorLevelItems(record.type).size());
    form.errorLevel = record.wide >= 0 && record.wide < levels ? record.wide : 0;
    // A level is no wide bar: should the type change, the wide bar starts from its default.
    if (barcode::isMatrixSymbology(record.type)) form.wide = 1;
    return form;
}

BarcodeControls barcodeControls(int typePosition) {
    if (!barcode::isMatrixSymbology(typePosition)) return {};
    return {false, false, false, true};
}

void applyBarcodeForm(const BarcodeForm& form, BarcodeRecord& record) {
    record.x = acceptField(form.x, record.x, kFigureXRange);
    record.y = acceptField(form.y, record.y, kFigureYRange);
    record.narrow = valueFrom(kNarrowBarItems, form.narrow, 1, record.narrow);
    record.rotation = valueFrom(kRotationItems, form.rotation, 0, record.rotation);
    record.type = acceptListField(form.type, barcode::kSymbologyCount, 0, record.type);
    acceptData(form.data, barcodeDataLimit(record.data.size()), record.data);
    if (barcode::isMatrixSymbology(record.type)) {
        // The wide field carries the error-correction level; height and human-readable
        // line keep what they held (the renderer measures the symbol's height itself).
        const int levels = static_cast<int>(barcode::errorLevelItems(record.type).size());
        record.wide = form.errorLevel >= 0 && form.errorLevel < levels ? form.errorLevel : 0;
        return;
    }
    record.height = acceptField(form.height, record.height, kBarcodeHeightRange);
    record.wide = valueFrom(kWideBarItems, form.wide, 2, record.wide);
    record.humanReadable = valueFrom(kHumanReadableItems, form.humanReadable, 0, record.humanReadable);
}

RectangleForm rectangleForm(const RectangleRecord& record) {
    return {number(record.x), number(record.y), number(record.width), number(record.height),
            positionIn(kColourItems, record.colour, 0)};
}

void applyRectangleForm(const RectangleForm& form, RectangleRecord& record) {
    record.x = acceptField(form.x, record.x, kFigureXRange);
    record.y = acceptField(form.y, record.y, kFigureYRange);
    record.width = acceptField(form.width, record.width, kRectangleWidthRange);
    record.height = acceptField(form.height, record.height, kRectangleHeightRange);
    record.colour = valueFrom(kColourItems, form.colour, 0, record.colour);
}

BoxForm boxForm(const BoxRecord& record) {
    return {number(record.x1), number(record.y1), number(record.x2), number(record.y2),
            number(record.thickness)};
}

namespace {
// A Box and a Diagonal Line share their two ends and their thickness.
template <typename Form, typename View>
void applyEndsAndThickness(const Form& form, View& record) {
    record.x1 = acceptField(form.x1, record.x1, kFigureXRange);
    record.y1 = acceptField(form.y1, record.y1, kFigureYRange);
    record.x2 = acceptField(form.x2, record.x2, kFigureXRange);
    record.y2 = acceptField(form.y2, record.y2, kFigureYRange);
    record.thickness = acceptField(form.thickness, record.thickness, kThicknessRange);
}
}  // namespace

void applyBoxForm(const BoxForm& form, BoxRecord& record) { applyEndsAndThickness(form, record); }

LineForm lineForm(const LineRecord& record) {
    return {number(record.x1), number(record.y1), number(record.x2), number(record.y2),
            number(record.thickness), positionIn(kColourItems, record.colour, 0)};
}

void applyLineForm(const LineForm& form, LineRecord& record) {
    applyEndsAndThickness(form, record);
    record.colour = valueFrom(kColourItems, form.colour, 0, record.colour);
}

std::optional<int> acceptGridStep(std::string_view text) {
    const auto step = readInteger(text);
    if (!step || !kGridStepRange.contains(*step)) return std::nullopt;
    return step;
}

}  // namespace tavrin
