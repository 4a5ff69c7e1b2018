#include "document/label_document.h"

#include <cctype>
#include <cstdio>
#include <limits>

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

std::string advancedCounterValue(const std::string& value, int step, long long labels) {
    using Limits = std::numeric_limits<long long>;
    std::size_t i = 0;
    while (i < value.size() && std::isspace(static_cast<unsigned char>(value[i]))) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    long long number = 0;
    for (; i < value.size() && std::isdigit(static_cast<unsigned char>(value[i])); ++i) {
        const int digit = value[i] - '0';
        if (__builtin_mul_overflow(number, 10LL, &number) || __builtin_add_overflow(number, digit, &number)) {
            number = Limits::max();
            break;
        }
    }
    if (negative) number = -number;
    long long delta = 0;
    if (__builtin_mul_overflow(static_cast<long long>(step), labels, &delta))
        delta = (step < 0) != (labels < 0) ? Limits::min() : Limits::max();
    long long sum = 0;
    if (__builtin_add_overflow(number, delta, &sum)) sum = delta < 0 ? Limits::min() : Limits::max();
    return std::to_string(sum);
}

void LabelDocument::advanceCounters(long long labels) {
    for (auto& c : counters) {
        if (!c.isDefined()) continue;
        c.setValue(advancedCounterValue(c.valueText(), c.counterStep(), labels));
    }
}

void LabelDocument::newLabel() {
    figures.clearFigures();
    resetVariables();
}

}  // namespace tavrin
