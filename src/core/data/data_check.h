#pragma once
// What a run of rows must settle before anything prints: which column feeds which variable
// or counter, what the label's figures use, every problem that would print a wrong label
// (refusals) or is merely worth knowing (notes), and the counter rules that give each row
// its values.
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/data_file.h"
#include "data/row_source.h"
#include "document/label_document.h"
#include "printer/translation.h"

namespace tavrin {

// "V00", "C07".
std::string slotName(bool counter, int slot);

// One column that feeds a slot.
struct ColumnMatch {
    int column = 0;
    bool counter = false;
    int slot = 0;
    std::string header;  // as UTF-8
};

struct DataMapping {
    std::vector<ColumnMatch> matches;
    int copiesColumn = -1;
    std::vector<std::string> unmatchedColumns;  // headers that feed nothing (UTF-8)
    bool copiesColumnMissing = false;           // a copies column was asked for and not found
    const ColumnMatch* matchOf(bool counter, int slot) const;
};

// Matches the header's columns (UTF-8) to the defined slots by prompt, compared without
// regard to case or surrounding blanks, or by slot name; the first column to claim a slot
// has it.
DataMapping matchColumns(const std::vector<std::string>& headers, const LabelDocument& document,
                         const Translation& translation, std::string_view copiesColumn = {});

// Which slots the label's Text and Barcode figures refer to, and whether one is drawn in
// the printer's own fonts (whose characters depend on the label's language).
struct SlotUse {
    std::array<bool, kVariableCount> variables{};
    std::array<bool, kCounterCount> counters{};
    std::array<bool, kVariableCount> variablesInResidentText{};
    std::array<bool, kCounterCount> countersInResidentText{};
    bool used(bool counter, int slot) const;
    bool inResidentText(bool counter, int slot) const;
};
SlotUse slotUse(const LabelDocument& document);

// The printer's character set under a label language: English CP850, Bulgarian MIK,
// Russian CP866 (the fourth value prints as English).
std::string printerCodePage(int language);

// Tells which characters of a value reach the printer as something else: those the ANSI
// code page lacks (they go out as "?"), and in the printer's own fonts those whose byte
// shows another character under the label's language. Answers are kept per character.
class PrintableText {
public:
    PrintableText(const Translation& translation, int language) : translation_(translation), language_(language) {}
    // The characters of the UTF-8 text that would not print as given, each once.
    std::vector<std::string> unprintable(std::string_view utf8, bool residentFont);

private:
    bool printable(std::string_view character, bool residentFont);
    const Translation& translation_;
    int language_;
    std::unordered_map<std::string, bool> known_[2];
};

// A field's text as it goes to the printer: its character set, one line.
std::string printerValue(std::string_view utf8, const Translation& translation);

enum class ProblemKind { Note, Refusal };
struct DataProblem {
    ProblemKind kind = ProblemKind::Note;
    std::string text;
};

struct DataCheck {
    std::string error;  // the rows could not be read at all; nothing else is set then
    std::vector<std::string> headers;
    DataMapping mapping;
    long long rowCount = 0;  // data rows, blank records not counted
    std::vector<DataProblem> problems;  // notes first, then refusals
    long long refusals = 0;

    bool refused() const { return !error.empty() || refusals > 0; }
    // The first reason not to print, for a disabled Print button.
    std::string firstRefusal() const;
};

// The rows a run would print checked before it starts. Row problems are looked for in the
// chosen rows only; counters are followed through every row, as the run does.
DataCheck checkRows(RowSource& rows, const LabelDocument& document, const Translation& translation,
                    std::string_view copiesColumn = {}, const RowSelection& chosen = RowSelection::all());

// The values of each row, in file order. A variable takes its cell; without a column it
// keeps the label's value. A counter takes its cell, or, when the cell is empty or it has
// no column, the previous row's value plus its step (the label's value for the first row),
// so any range of rows gets the serials an uninterrupted run of the whole file would.
class RowValues {
public:
    RowValues(const LabelDocument& label, const DataMapping& mapping, const Translation& translation);
    // Puts the next row's values into `into` (the label's other content untouched) and
    // returns its copies: 1 without a copies column, 0 when the cell is no number 1..999.
    unsigned next(const std::vector<std::string>& fields, LabelDocument& into);
    long long row() const { return row_; }

private:
    std::array<Variable, kVariableCount> variables_;
    std::array<Counter, kCounterCount> counters_;  // the last row's
    const DataMapping& mapping_;
    const Translation& translation_;
    long long row_ = 0;
};

// Walks the source to data row `row` (1-based) and puts its values into the document, as a
// print of that row would have them. Empty on success, else the message.
std::string applyDataRow(RowSource& rows, LabelDocument& document, const Translation& translation, long long row);

// "Row 1,234 of 10,000".
std::string rowProgressText(long long index, long long total);

}  // namespace tavrin
