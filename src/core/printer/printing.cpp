#include "printer/printing.h"

#include <algorithm>
#include <cstdio>

#include "common/text.h"
#include "printer/printer_exchanges.h"

namespace tavrin {

namespace {

// Closes the port. False when the device could deliver only now and failed to (a print
// queue whose server refused the job); a serial line has delivered every byte already.
bool closeDelivered(PrinterLink& link) {
    link.closePort();
    return !link.silent();
}

}  // namespace

std::string printLine(unsigned sets, unsigned copies) {
    return "P" + std::to_string(sets) + "," + std::to_string(copies) + "\r\n";
}

unsigned validateQuantity(std::string_view text, unsigned current) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t digitsStart = i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kMaxQuantity) value = kMaxQuantity + 1;  // stays out of range, cannot overflow
    }
    // Anything after the digits makes the text no number at all.
    if (i == digitsStart || i != text.size() || negative) return current;
    if (value < kMinQuantity || value > kMaxQuantity) return current;
    return static_cast<unsigned>(value);
}

bool hasPrintableFigures(const FigureList& figures) {
    return std::any_of(figures.begin(), figures.end(),
                       [](const Figure& figure) { return figure.kind != FigureKind::Font; });
}

bool hasVariablesOrCounters(const LabelDocument& document) {
    const auto defined = [](const Variable& v) { return v.isDefined(); };
    return std::any_of(document.variables.begin(), document.variables.end(), defined) ||
           std::any_of(document.counters.begin(), document.counters.end(), defined);
}

std::string printDialogTitle(std::string_view activeFormName) {
    if (activeFormName.empty()) return "Print";
    return "Print - " + std::string(activeFormName);
}

std::vector<ValueRow> valueRows(const LabelDocument& document) {
    std::vector<ValueRow> rows;
    for (int slot = 0; slot < kVariableCount; ++slot) {
        const Variable& v = document.variables[static_cast<std::size_t>(slot)];
        if (v.isDefined()) rows.push_back({false, slot, v.promptText(), v.valueText()});
    }
    for (int slot = 0; slot < kCounterCount; ++slot) {
        const Counter& c = document.counters[static_cast<std::size_t>(slot)];
        if (c.isDefined()) rows.push_back({true, slot, c.promptText(), c.valueText()});
    }
    return rows;
}

void storeValues(LabelDocument& document, const std::vector<std::string>& values) {
    const std::vector<ValueRow> rows = valueRows(document);
    for (std::size_t i = 0; i < rows.size() && i < values.size(); ++i) {
        const auto slot = static_cast<std::size_t>(rows[i].slot);
        Variable& target = rows[i].counter ? document.counters[slot] : document.variables[slot];
        target.setValue(values[i]);
    }
}

PrintOutcome testPrint(PrinterLink& link, LabelDocument& document, unsigned copies,
                       const RasterFigureWriter& rasterFigure) {
    PrintOutcome outcome;
    if (!hasPrintableFigures(document.figures)) {
        outcome.message = {"Error", kNothingToPrint};
        return outcome;
    }
    if (!link.openPort()) return outcome;
    link.showProgress(kPrintingLabel);
    PrintJob job;
    job.quantity = copies;
    job.rasterFigure = rasterFigure;
    LinkByteSink sink(link);
    outcome.sent = writePrintLabel(document, job, sink) && !link.refused();
    if (!outcome.sent) {
        // The printer keeps what it got; the labels did not print, so the counters stay.
        link.endProgress();
        link.closePort();
        return outcome;
    }
    outcome.sent = closeDelivered(link);
    link.endProgress();
    if (outcome.sent) AdvanceCounters(document, 1);
    return outcome;
}

bool receiveActiveFormAndVariables(PrinterStorage& storage, LabelDocument& document) {
    PrinterLink& link = storage.link();
    link.showProgress("Receiving active form name");
    {
        const ProgressChain chain(link);
        storage.receiveActiveForm();
        if (!link.silent()) {
            link.showProgress("Receiving variables");
            storage.receiveVariables(document);
        }
    }
    link.endProgress();
    return !link.silent();
}

namespace {
// Opens the port and makes the form active, then sends what follows; nothing is sent
// without a form name.
PrintOutcome sendToActiveForm(PrinterLink& link, std::string_view activeFormName, const std::string& rest) {
    PrintOutcome outcome;
    if (activeFormName.empty()) {
        outcome.message = {"Error", kNoFormSelected};
        return outcome;
    }
    if (!link.openPort()) return outcome;
    outcome.sent = link.writeText(selectFormLine(activeFormName)) && link.writeText(rest);
    outcome.sent = closeDelivered(link) && outcome.sent;
    return outcome;
}
}  // namespace

PrintOutcome printStoredForm(PrinterLink& link, std::string_view activeFormName, unsigned sets, unsigned copies) {
    // The print line begins with LF CR, in that order.
    return sendToActiveForm(link, activeFormName, "\n\r" + printLine(sets, copies));
}

std::string storedFormValues(const LabelDocument& document) {
    std::string text = "?\r\n";
    for (const Variable& v : document.variables) {
        if (!v.isDefined()) continue;
        const std::string value = v.valueText();
        // An empty line would not count as a value; a blank does.
        text += (value.empty() ? std::string(" ") : value) + "\r\n";
    }
    for (const Counter& c : document.counters) {
        if (!c.isDefined()) continue;
        const std::string value = c.valueText();
        text += value.empty() ? std::string("0\r\n") : value + "\n";
    }
    return text;
}

bool sendStoredFormValues(PrinterLink& link, const LabelDocument& document) {
    if (!link.openPort()) return false;
    const bool sent = link.writeText("\r\n" + storedFormValues(document));
    return closeDelivered(link) && sent;
}

PrintOutcome printStoredFormWithValues(PrinterLink& link, LabelDocument& document, std::string_view activeFormName,
                                       unsigned sets, unsigned copies) {
    const PrintOutcome outcome =
        sendToActiveForm(link, activeFormName, storedFormValues(document) + printLine(sets, copies));
    if (outcome.sent) AdvanceCounters(document, sets);
    return outcome;
}

std::size_t bitmapTestRowBytes(int width) {
    return width > 0 ? static_cast<std::size_t>((width + 31) / 32) * 4 : 0;
}

std::vector<std::uint8_t> bottomUpRows(const Bitmap& image) {
    const std::size_t rowBytes = bitmapTestRowBytes(image.width());
    std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(std::max(image.height(), 0)), 0xFF);
    const std::size_t copied = std::min(rowBytes, image.stride());
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* from = image.row(y);
        std::uint8_t* to = rows.data() + rowBytes * static_cast<std::size_t>(image.height() - 1 - y);
        std::copy(from, from + copied, to);
        // Dots past the width stay blank whatever the image keeps there.
        const int lastBits = image.width() % 8;
        const std::size_t usedBytes = static_cast<std::size_t>((image.width() + 7) / 8);
        if (lastBits != 0) to[usedBytes - 1] |= static_cast<std::uint8_t>(0xFF >> lastBits);
        std::fill(to + usedBytes, to + rowBytes, std::uint8_t{0xFF});
    }
    return rows;
}

bool PrintBitmapTest(PrinterLink& link, std::span<const std::uint8_t> bottomUp, int width, int height,
                     int darkness) {
    const std::size_t rowBytes = bitmapTestRowBytes(width);
    if (width <= 0 || height <= 0 || bottomUp.size() < rowBytes * static_cast<std::size_t>(height)) return false;
    if (!link.openPort()) return false;
    bool sent = link.writeFormatted("\r\nN\r\nQ%d,80\r\nq%d\r\n", height, width) &&
                link.writeFormatted("D%d\r\nGW0,0,%zu,%d,", darkness, rowBytes, height);
    // Bottom-up in memory: the picture's top row is the last one.
    for (int row = height - 1; sent && row >= 0; --row)
        sent = link.writeBytes(bottomUp.subspan(rowBytes * static_cast<std::size_t>(row), rowBytes));
    sent = sent && link.writeText("\r\n") && link.writeText("P1\r\n");
    return closeDelivered(link) && sent;
}

}  // namespace tavrin
