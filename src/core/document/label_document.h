#pragma once
// The one label being edited: setup, figures, variables and counters, and the templates
// new figures start from.
#include <array>

#include "document/figure_list.h"
#include "document/figure_records.h"
#include "document/label_setup.h"
#include "document/variables.h"

namespace tavrin {

struct FigureTemplates {
    TextRecord text;
    BarcodeRecord barcode;
    RectangleRecord rectangle;
    LineRecord line;
    BoxRecord box;
    PictureRecord picture;

    // The start-up templates; the picture's name comes from the picture counter.
    static FigureTemplates defaults(int pictureNumber);
};

// "PICT%04u" of the picture counter modulo 10000.
std::string defaultPictureName(int pictureNumber);

struct LabelDocument {
    LabelSetup setup;
    FigureList figures;
    std::array<Variable, kVariableCount> variables{};
    std::array<Counter, kCounterCount> counters{};

    // Clears the defined flag of every slot; the other bytes stay.
    void resetVariables();
    // New Label: no figures, no variables or counters; the setup stays.
    void newLabel();
    // Adds step x labels to every defined counter's value (after printing that many labels).
    void advanceCounters(long long labels);
};

// A counter value after `labels` steps: the value is read as a signed decimal (leading
// blanks skipped, an optional sign, digits up to the first non-digit, none giving 0) and
// written back as a plain decimal. Sums beyond 64 bits stop at the 64-bit limits.
std::string advancedCounterValue(const std::string& value, int step, long long labels);

}  // namespace tavrin
