#include "data/data_check.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

#include "document/figure_records.h"
#include "printer/printing.h"
#include "printer/screen_text.h"
#include "render/text_data.h"
#include "common/text.h"

namespace tavrin {

namespace {

// Problems of one kind listed row by row are cut at this many; the rest are counted.
constexpr std::size_t kMaxListedRows = 100;
constexpr std::size_t kMaxListedRanges = 20;

// Lower case for matching headers to prompts: ASCII, Latin-1 and Cyrillic capitals, the
// letters labels here are written in; anything else is compared as it is.
std::string foldCase(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b >= 'A' && b <= 'Z') {
            out += static_cast<char>(b + 32);
            continue;
        }
        if ((b == 0xC3 || b == 0xD0) && i + 1 < utf8.size()) {
            const auto n = static_cast<unsigned char>(utf8[i + 1]);
            unsigned code = ((b & 0x1Fu) << 6) | (n & 0x3Fu);
            if ((code >= 0xC0 && code <= 0xDE && code != 0xD7) || (code >= 0x410 && code <= 0x42F)) code += 0x20;
            else if (code >= 0x400 && code <= 0x40F) code += 0x50;
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
            ++i;
            continue;
        }
        out += static_cast<char>(b);
    }
    return out;
}

bool sameName(std::string_view a, std::string_view b) { return foldCase(trimBlanks(a)) == foldCase(trimBlanks(b)); }

// "V07" or "c03" naming a slot that exists.
std::optional<std::pair<bool, int>> namedSlot(std::string_view header) {
    header = trimBlanks(header);
    if (header.size() != 3) return std::nullopt;
    const char kind = static_cast<char>(header[0] & ~0x20);
    if ((kind != 'V' && kind != 'C') || header[1] < '0' || header[1] > '9' || header[2] < '0' || header[2] > '9')
        return std::nullopt;
    const bool counter = kind == 'C';
    const int slot = (header[1] - '0') * 10 + (header[2] - '0');
    if (slot >= (counter ? kCounterCount : kVariableCount)) return std::nullopt;
    return std::pair{counter, slot};
}

const Variable& slotOf(const LabelDocument& document, bool counter, int slot) {
    const auto index = static_cast<std::size_t>(slot);
    return counter ? document.counters[index] : document.variables[index];
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

std::size_t utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

std::string quotedList(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "\"" : ", \"") + item + "\"";
    return out;
}

}  // namespace

std::string slotName(bool counter, int slot) {
    char text[8];
    std::snprintf(text, sizeof text, "%c%02d", counter ? 'C' : 'V', slot);
    return text;
}

const ColumnMatch* DataMapping::matchOf(bool counter, int slot) const {
    for (const ColumnMatch& m : matches)
        if (m.counter == counter && m.slot == slot) return &m;
    return nullptr;
}

DataMapping matchColumns(const std::vector<std::string>& headers, const LabelDocument& document,
                         const Translation& translation, std::string_view copiesColumn) {
    DataMapping mapping;
    std::array<bool, kVariableCount> variableTaken{};
    std::array<bool, kCounterCount> counterTaken{};
    const auto taken = [&](bool counter, int slot) -> bool& {
        return counter ? counterTaken[static_cast<std::size_t>(slot)] : variableTaken[static_cast<std::size_t>(slot)];
    };
    for (std::size_t column = 0; column < headers.size(); ++column) {
        const std::string& header = headers[column];
        if (!trimBlanks(copiesColumn).empty() && mapping.copiesColumn < 0 && sameName(header, copiesColumn)) {
            mapping.copiesColumn = static_cast<int>(column);
            continue;
        }
        std::optional<std::pair<bool, int>> target;
        if (const auto named = namedSlot(header); named && slotOf(document, named->first, named->second).isDefined())
            target = named;
        for (int pass = 0; pass < 2 && !target; ++pass) {
            const bool counter = pass == 1;
            for (int slot = 0; slot < (counter ? kCounterCount : kVariableCount) && !target; ++slot) {
                const Variable& v = slotOf(document, counter, slot);
                if (v.isDefined() && !taken(counter, slot) &&
                    sameName(printerToScreen(v.promptText(), translation), header))
                    target = std::pair{counter, slot};
            }
        }
        if (!target || taken(target->first, target->second)) {
            mapping.unmatchedColumns.push_back(header);
            continue;
        }
        taken(target->first, target->second) = true;
        mapping.matches.push_back({static_cast<int>(column), target->first, target->second, header});
    }
    mapping.copiesColumnMissing = !trimBlanks(copiesColumn).empty() && mapping.copiesColumn < 0;
    return mapping;
}

bool SlotUse::used(bool counter, int slot) const {
    return counter ? counters[static_cast<std::size_t>(slot)] : variables[static_cast<std::size_t>(slot)];
}

bool SlotUse::inResidentText(bool counter, int slot) const {
    return counter ? countersInResidentText[static_cast<std::size_t>(slot)]
                   : variablesInResidentText[static_cast<std::size_t>(slot)];
}

SlotUse slotUse(const LabelDocument& document) {
    SlotUse use;
    for (const Figure& figure : document.figures) {
        std::string data;
        bool resident = false;
        if (figure.kind == FigureKind::Text) {
            const TextRecord text = TextRecord::decode(figure.record);
            data = text.data;
            resident = text.font >= 1 && text.font <= 5;
        } else if (figure.kind == FigureKind::Barcode) {
            data = BarcodeRecord::decode(figure.record).data;
        } else {
            continue;
        }
        for (const SlotReference& r : slotReferences(data)) {
            const auto i = static_cast<std::size_t>(r.slot);
            (r.counter ? use.counters[i] : use.variables[i]) = true;
            if (resident) (r.counter ? use.countersInResidentText[i] : use.variablesInResidentText[i]) = true;
        }
    }
    return use;
}

std::string printerCodePage(int language) {
    switch (language) {
        case 1: return "MIK";
        case 2: return "CP866";
        default: return "CP850";
    }
}

bool PrintableText::printable(std::string_view character, bool residentFont) {
    auto& known = known_[residentFont ? 1 : 0];
    if (const auto it = known.find(std::string(character)); it != known.end()) return it->second;
    const std::string sent = screenToPrinter(character, translation_);
    bool ok = sent.size() == 1 && sent != "?";
    // In the printer's fonts the byte shows whatever the language's character set has there;
    // elsewhere (barcodes, the label's own fonts) the byte counts, so it must come back.
    if (ok) ok = (residentFont ? decodeCodePage(sent, printerCodePage(language_)) : printerToScreen(sent, translation_)) ==
                 character;
    known.emplace(std::string(character), ok);
    return ok;
}

std::vector<std::string> PrintableText::unprintable(std::string_view utf8, bool residentFont) {
    std::vector<std::string> bad;
    if (isAscii(utf8)) return bad;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = std::min(utf8Length(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        const std::string_view character = utf8.substr(i, length);
        i += length;
        if (length == 1 && static_cast<unsigned char>(character[0]) < 0x80) continue;
        if (!printable(character, residentFont) && std::find(bad.begin(), bad.end(), character) == bad.end())
            bad.emplace_back(character);
    }
    return bad;
}

std::string printerValue(std::string_view utf8, const Translation& translation) {
    // A value goes out as one line: line breaks inside a field become blanks, or the printer
    // would take the rest of the field for the next slot's value.
    std::string text(utf8);
    for (char& c : text)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return isAscii(text) ? text : screenToPrinter(text, translation);
}

std::string DataCheck::firstRefusal() const {
    if (!error.empty()) return error;
    for (const DataProblem& p : problems)
        if (p.kind == ProblemKind::Refusal) return p.text;
    return {};
}

RowValues::RowValues(const LabelDocument& label, const DataMapping& mapping, const Translation& translation)
    : variables_(label.variables), counters_(label.counters), mapping_(mapping), translation_(translation) {}

unsigned RowValues::next(const std::vector<std::string>& fields, LabelDocument& into) {
    ++row_;
    // Counters without a value of their own count on from the row before.
    if (row_ > 1)
        for (Counter& c : counters_)
            if (c.isDefined()) c.setValue(advancedCounterValue(c.valueText(), c.counterStep(), 1));
    into.variables = variables_;
    const auto field = [&](int column) -> std::string_view {
        return column >= 0 && column < static_cast<int>(fields.size()) ? std::string_view(fields[static_cast<std::size_t>(column)])
                                                                        : std::string_view();
    };
    for (const ColumnMatch& m : mapping_.matches) {
        const std::string_view cell = field(m.column);
        const auto slot = static_cast<std::size_t>(m.slot);
        if (m.counter) {
            if (!trimBlanks(cell).empty()) counters_[slot].setValue(printerValue(trimBlanks(cell), translation_));
        } else {
            into.variables[slot].setValue(printerValue(cell, translation_));
        }
    }
    into.counters = counters_;
    if (mapping_.copiesColumn < 0) return 1;
    return validateQuantity(trimBlanks(field(mapping_.copiesColumn)), 0);
}

namespace {

// Problems found row by row, reported one message per kind and slot with their rows.
struct RowProblems {
    RowList rows{kMaxListedRanges};
    std::string example;
};

class Checker {
public:
    Checker(DataCheck& check, const LabelDocument& document, const Translation& translation)
        : check_(check), document_(document), translation_(translation), use_(slotUse(document)),
          printable_(translation, document.setup.language) {}

    void fileProblems(const RowSource& rows, std::string_view copiesColumn);
    void rowProblems(long long row, const std::vector<std::string>& fields, const LabelDocument& values);
    void finish(const RowSource& rows);

private:
    void refuse(std::string text) {
        ++check_.refusals;
        check_.problems.push_back({ProblemKind::Refusal, std::move(text)});
    }
    void refuseRow(std::string text) {
        if (listed_ < kMaxListedRows) refuse(std::move(text));
        else ++check_.refusals;
        ++listed_;
    }
    std::string slotTitle(bool counter, int slot) const {
        return slotName(counter, slot) + " \"" + printerToScreen(slotOf(document_, counter, slot).promptText(), translation_) + "\"";
    }

    DataCheck& check_;
    const LabelDocument& document_;
    const Translation& translation_;
    SlotUse use_;
    PrintableText printable_;
    std::size_t listed_ = 0;
    std::map<std::pair<bool, int>, RowProblems> empty_, tooLong_;
};

void Checker::fileProblems(const RowSource& rows, std::string_view copiesColumn) {
    const DataMapping& mapping = check_.mapping;
    for (const std::string& header : mapping.unmatchedColumns)
        check_.problems.push_back({ProblemKind::Note, "Column \"" + header + "\" matches no variable or counter"});
    if (mapping.matches.empty() && mapping.copiesColumn < 0)
        refuse("No column of " + rows.name() + " matches a variable or counter of the label (columns " +
               quotedList(check_.headers) + ")");
    if (mapping.copiesColumnMissing) refuse("No column \"" + std::string(copiesColumn) + "\" for the copies");
    for (int pass = 0; pass < 2; ++pass) {
        const bool counter = pass == 1;
        for (int slot = 0; slot < (counter ? kCounterCount : kVariableCount); ++slot) {
            const Variable& v = slotOf(document_, counter, slot);
            if (!v.isDefined() || !use_.used(counter, slot) || mapping.matchOf(counter, slot)) continue;
            const std::string value = printerToScreen(v.valueText(), translation_);
            if (value.empty())
                refuse(slotTitle(counter, slot) + " has no column in the data and no value");
            else if (counter)
                check_.problems.push_back({ProblemKind::Note, slotTitle(counter, slot) +
                                                                  " has no column: it counts on from the label's value \"" +
                                                                  value + "\""});
            else
                refuse(slotTitle(counter, slot) + " has no column in the data: every label would show the label's value \"" +
                       value + "\"");
        }
    }
}

void Checker::rowProblems(long long row, const std::vector<std::string>& fields, const LabelDocument& values) {
    const DataMapping& mapping = check_.mapping;
    const std::size_t headerCount = check_.headers.size();
    std::vector<std::string> missing;
    for (const ColumnMatch& m : mapping.matches)
        if (m.column >= static_cast<int>(fields.size())) missing.push_back(m.header);
    if (mapping.copiesColumn >= static_cast<int>(fields.size()))
        missing.push_back(check_.headers[static_cast<std::size_t>(mapping.copiesColumn)]);
    if (!missing.empty()) {
        refuseRow("Row " + std::to_string(row) + ": no value for " + quotedList(missing));
        return;
    }
    // More filled fields than the header names: a separator inside an unquoted value has
    // most likely moved every value after it.
    if (fields.size() > headerCount &&
        std::any_of(fields.begin() + static_cast<std::ptrdiff_t>(headerCount), fields.end(),
                    [](const std::string& f) { return !trimBlanks(f).empty(); })) {
        refuseRow("Row " + std::to_string(row) + ": " + std::to_string(fields.size()) + " values for " +
                  std::to_string(headerCount) + " columns");
        return;
    }
    if (mapping.copiesColumn >= 0) {
        const std::string& copies = fields[static_cast<std::size_t>(mapping.copiesColumn)];
        if (validateQuantity(trimBlanks(copies), 0) == 0)
            refuseRow("Row " + std::to_string(row) + ": copies \"" + copies + "\" is not a number from 1 to 999");
    }
    for (int pass = 0; pass < 2; ++pass) {
        const bool counter = pass == 1;
        for (int slot = 0; slot < (counter ? kCounterCount : kVariableCount); ++slot) {
            const Variable& definition = slotOf(document_, counter, slot);
            if (!definition.isDefined() || !use_.used(counter, slot)) continue;
            const ColumnMatch* match = mapping.matchOf(counter, slot);
            // A variable without a column was refused as a whole above.
            if (!match && !counter) continue;
            const std::string_view raw = match ? std::string_view(fields[static_cast<std::size_t>(match->column)]) : "";
            const std::string_view cell = trimBlanks(raw);
            if (!counter && cell.empty()) {
                empty_[{counter, slot}].rows.add(row);
                continue;
            }
            // The value the row prints: its cell, or what the counter has counted to.
            const std::string value = !cell.empty() ? printerValue(counter ? cell : raw, translation_)
                                                    : slotOf(values, counter, slot).valueText();
            if (value.size() > definition.length) {
                RowProblems& p = tooLong_[{counter, slot}];
                if (p.rows.empty()) p.example = printerToScreen(value, translation_);
                p.rows.add(row);
            }
            if (!cell.empty()) {
                const auto bad = printable_.unprintable(cell, use_.inResidentText(counter, slot));
                if (!bad.empty())
                    refuseRow("Row " + std::to_string(row) + ", column \"" + match->header + "\": " + quotedList(bad) +
                              (bad.size() == 1 ? " is" : " are") + " not in the printer's character set");
            }
        }
    }
}

void Checker::finish(const RowSource& rows) {
    if (listed_ > kMaxListedRows)
        check_.problems.push_back({ProblemKind::Refusal, "... " + groupedNumber(static_cast<long long>(listed_ - kMaxListedRows)) +
                                                             " more rows with problems"});
    for (const auto& [slot, p] : empty_) {
        refuse(slotTitle(slot.first, slot.second) + " is empty in row" + (p.rows.count() == 1 ? " " : "s ") + p.rows.text());
    }
    for (const auto& [slot, p] : tooLong_) {
        const Variable& v = slotOf(document_, slot.first, slot.second);
        refuse(slotTitle(slot.first, slot.second) + " holds " + std::to_string(v.length) + " characters; longer in row" +
               (p.rows.count() == 1 ? " " : "s ") + p.rows.text() + " (\"" + p.example + "\" would be cut)");
    }
    if (const std::string end = rows.endProblem(); !end.empty()) refuse("Row " + std::to_string(check_.rowCount) + ": " + end);
    // Notes first, then what stops the run.
    std::stable_partition(check_.problems.begin(), check_.problems.end(),
                          [](const DataProblem& p) { return p.kind == ProblemKind::Note; });
}

}  // namespace

DataCheck checkRows(RowSource& rows, const LabelDocument& document, const Translation& translation,
                    std::string_view copiesColumn, const RowSelection& chosen) {
    DataCheck check;
    if (!rows.error().empty()) {
        check.error = rows.error();
        return check;
    }
    if (!rows.rewind()) {
        check.error = rows.error().empty() ? "Can't read " + rows.name() : rows.error();
        return check;
    }
    check.headers = rows.headers();
    check.mapping = matchColumns(check.headers, document, translation, copiesColumn);
    Checker checker(check, document, translation);
    checker.fileProblems(rows, copiesColumn);
    RowValues values(document, check.mapping, translation);
    LabelDocument row = document;
    std::vector<std::string> fields;
    while (rows.next(fields)) {
        values.next(fields, row);
        if (chosen.contains(++check.rowCount)) checker.rowProblems(check.rowCount, fields, row);
    }
    checker.finish(rows);
    return check;
}

std::string applyDataRow(RowSource& rows, LabelDocument& document, const Translation& translation, long long row) {
    if (!rows.error().empty()) return rows.error();
    if (!rows.rewind()) return "Can't read " + rows.name();
    const DataMapping mapping = matchColumns(rows.headers(), document, translation);
    RowValues values(document, mapping, translation);
    LabelDocument label = document;
    std::vector<std::string> fields;
    long long count = 0;
    while (rows.next(fields)) {
        values.next(fields, label);
        if (++count == row) {
            document.variables = label.variables;
            document.counters = label.counters;
            return {};
        }
    }
    return "the data has " + std::to_string(count) + " rows, no row " + std::to_string(row);
}

std::string rowProgressText(long long index, long long total) {
    return "Row " + groupedNumber(index) + " of " + groupedNumber(total);
}

}  // namespace tavrin
