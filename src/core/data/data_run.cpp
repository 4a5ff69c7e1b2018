#include "data/data_run.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "printer/matrix_symbols.h"
#include "printer/printing.h"
#include "printer/screen_text.h"

namespace tavrin {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

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

bool sameName(std::string_view a, std::string_view b) { return foldCase(trimmed(a)) == foldCase(trimmed(b)); }

// "V07" or "c03" naming a slot that exists.
std::optional<std::pair<bool, int>> slotOf(std::string_view header) {
    header = trimmed(header);
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

// A value goes out as one line: line breaks inside a field become blanks, or the printer
// would take the rest of the field for the next slot's value.
std::string printerValue(std::string_view field, DataEncoding encoding, const Translation& translation) {
    std::string utf8 = fieldToUtf8(field, encoding, translation.ansiCodePage());
    for (char& c : utf8)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return screenToPrinter(utf8, translation);
}

std::string printLine(unsigned sets, unsigned copies) {
    return "P" + std::to_string(sets) + "," + std::to_string(copies) + "\r\n";
}

void addRowProblem(DataCheck& check, long long row, std::string message) {
    ++check.badRowCount;
    if (check.badRows.size() < kMaxReportedRows) {
        check.badRows.push_back(row);
        check.problems.push_back("Row " + std::to_string(row) + ": " + message);
    }
}

}  // namespace

std::string slotName(bool counter, int slot) {
    char text[8];
    std::snprintf(text, sizeof text, "%c%02d", counter ? 'C' : 'V', slot);
    return text;
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
        if (!trimmed(copiesColumn).empty() && mapping.copiesColumn < 0 && sameName(header, copiesColumn)) {
            mapping.copiesColumn = static_cast<int>(column);
            continue;
        }
        std::optional<std::pair<bool, int>> target;
        if (const auto named = slotOf(header); named && slotOf(document, named->first, named->second).isDefined())
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
    for (int pass = 0; pass < 2; ++pass) {
        const bool counter = pass == 1;
        for (int slot = 0; slot < (counter ? kCounterCount : kVariableCount); ++slot) {
            const Variable& v = slotOf(document, counter, slot);
            if (v.isDefined() && !taken(counter, slot))
                mapping.slotsWithoutColumn.push_back(slotName(counter, slot) + " \"" +
                                                     printerToScreen(v.promptText(), translation) + "\"");
        }
    }
    mapping.copiesColumnMissing = !trimmed(copiesColumn).empty() && mapping.copiesColumn < 0;
    return mapping;
}

DataCheck checkDataFile(const DataSource& source, const LabelDocument& document, const Translation& translation) {
    DataCheck check;
    std::ifstream in(source.file, std::ios::binary);
    if (!in) {
        check.error = "Can't open data file " + source.file.string();
        return check;
    }
    DataReader reader(in, source.delimiter);
    check.delimiter = reader.delimiter();
    std::vector<std::string> fields;
    while (reader.next(fields) && isBlankRecord(fields)) {}
    if (fields.empty() || isBlankRecord(fields)) {
        check.error = "The data file has no header line: " + source.file.string();
        return check;
    }
    // Bytes that are no UTF-8 mean the ANSI code page; a byte order mark settles it.
    const bool marked = reader.hadByteOrderMark();
    bool utf8 = true;
    const auto note = [&](const std::vector<std::string>& f) {
        if (!marked && utf8)
            utf8 = std::all_of(f.begin(), f.end(), [](const std::string& s) { return isValidUtf8(s); });
    };
    note(fields);
    const DataEncoding headerEncoding = marked || utf8 ? reader.fieldEncoding() : DataEncoding::Ansi;
    for (const std::string& f : fields)
        check.headers.push_back(std::string(trimmed(fieldToUtf8(f, headerEncoding, translation.ansiCodePage()))));
    check.mapping = matchColumns(check.headers, document, translation, source.copiesColumn);

    const std::size_t headerCount = fields.size();
    int lastNeeded = check.mapping.copiesColumn;
    for (const ColumnMatch& m : check.mapping.matches) lastNeeded = std::max(lastNeeded, m.column);
    while (reader.next(fields)) {
        if (isBlankRecord(fields)) continue;
        const long long row = ++check.rowCount;
        note(fields);
        if (static_cast<long long>(fields.size()) <= lastNeeded) {
            std::string missing;
            for (const ColumnMatch& m : check.mapping.matches)
                if (m.column >= static_cast<int>(fields.size())) missing += (missing.empty() ? "\"" : ", \"") + m.header + "\"";
            if (check.mapping.copiesColumn >= static_cast<int>(fields.size()))
                missing += (missing.empty() ? "\"" : ", \"") + check.headers[static_cast<std::size_t>(check.mapping.copiesColumn)] + "\"";
            addRowProblem(check, row, "no value for " + missing);
            continue;
        }
        // More filled fields than the header names: a separator inside an unquoted value
        // has most likely moved every value after it.
        const bool extra = std::any_of(fields.begin() + static_cast<std::ptrdiff_t>(std::min(headerCount, fields.size())),
                                       fields.end(), [](const std::string& f) { return !trimmed(f).empty(); });
        if (extra) {
            addRowProblem(check, row, std::to_string(fields.size()) + " values for " + std::to_string(headerCount) + " columns");
            continue;
        }
        if (check.mapping.copiesColumn >= 0 &&
            validateQuantity(trimmed(fields[static_cast<std::size_t>(check.mapping.copiesColumn)]), 0) == 0)
            addRowProblem(check, row, "copies \"" + fields[static_cast<std::size_t>(check.mapping.copiesColumn)] +
                                          "\" is not a number from 1 to 999");
    }
    // An unclosed quote swallows every line after it into one value: the rows it hid would
    // silently not print.
    if (reader.unterminatedQuote())
        addRowProblem(check, check.rowCount,
                      "a quote opened on line " + std::to_string(reader.line()) + " is never closed");
    check.encoding = marked ? reader.fieldEncoding() : utf8 ? DataEncoding::Utf8 : DataEncoding::Ansi;

    std::vector<std::string> notes;
    for (const std::string& header : check.mapping.unmatchedColumns)
        notes.push_back("Column \"" + header + "\" matches no variable or counter");
    if (check.mapping.copiesColumnMissing) notes.push_back("No column \"" + source.copiesColumn + "\" for the copies");
    for (const std::string& slot : check.mapping.slotsWithoutColumn)
        notes.push_back(slot + " has no column: the label's value is used");
    check.problems.insert(check.problems.begin(), notes.begin(), notes.end());
    if (check.badRowCount > static_cast<long long>(check.badRows.size()))
        check.problems.push_back("... " + std::to_string(check.badRowCount - static_cast<long long>(check.badRows.size())) +
                                 " more rows with problems");
    return check;
}

unsigned applyRow(LabelDocument& document, const std::array<Counter, kCounterCount>& baseCounters,
                  const DataMapping& mapping, const std::vector<std::string>& fields, long long row,
                  DataEncoding encoding, const Translation& translation) {
    document.counters = baseCounters;
    if (row > 1) document.advanceCounters(row - 1);
    for (const ColumnMatch& m : mapping.matches) {
        if (m.column >= static_cast<int>(fields.size())) continue;
        // An empty cell for a counter lets it count on rather than start again at nothing.
        if (m.counter && trimmed(fields[static_cast<std::size_t>(m.column)]).empty()) continue;
        const std::string value = printerValue(fields[static_cast<std::size_t>(m.column)], encoding, translation);
        const auto slot = static_cast<std::size_t>(m.slot);
        (m.counter ? document.counters[slot] : document.variables[slot]).setValue(value);
    }
    if (mapping.copiesColumn < 0) return 1;
    if (mapping.copiesColumn >= static_cast<int>(fields.size())) return 0;
    return validateQuantity(trimmed(fields[static_cast<std::size_t>(mapping.copiesColumn)]), 0);
}

bool readDataRow(const DataSource& source, DataEncoding encoding, long long row, std::vector<std::string>& fields) {
    std::ifstream in(source.file, std::ios::binary);
    if (!in || row < 1) return false;
    DataReader reader(in, source.delimiter, encoding);
    bool header = true;
    long long current = 0;
    while (reader.next(fields)) {
        if (isBlankRecord(fields)) continue;
        if (header) {
            header = false;
            continue;
        }
        if (++current == row) return true;
    }
    return false;
}

std::string rowProgressText(long long index, long long total) {
    return "Row " + groupedNumber(index) + " of " + groupedNumber(total);
}

DataRunResult runDataPrint(PrinterLink& link, const LabelDocument& document, const DataSource& source,
                           const DataCheck& check, const Translation& translation, const DataRunOptions& options) {
    DataRunResult result;
    const long long total = options.rows.countWithin(check.rowCount);
    if (!check.error.empty()) {
        result.message = check.error;
        return result;
    }
    if (total == 0) {
        result.message = "No rows to print";
        return result;
    }
    const bool useActiveForm = !options.direct && !options.activeForm.empty();
    // A label whose 2D symbols change from row to row cannot be stored as a form (the
    // printer keeps only fixed pictures): every row then goes as a job of its own, which
    // carries its symbols as rasters.
    const bool direct = options.direct ||
                        (!useActiveForm && matrixSymbolStoreRefusal(document, RenderContext{&document, nullptr, {}}));
    if (!useActiveForm && !hasPrintableFigures(document.figures)) {
        result.message = kNothingToPrint;
        return result;
    }
    std::ifstream in(source.file, std::ios::binary);
    if (!in) {
        result.message = "Can't open data file " + source.file.string();
        return result;
    }
    DataReader reader(in, check.delimiter, check.encoding);
    std::vector<std::string> fields;
    while (reader.next(fields) && isBlankRecord(fields)) {}  // the header

    LabelDocument label = document;
    const std::array<Counter, kCounterCount> baseCounters = label.counters;
    if (!link.openPort()) {
        result.message = kOpenPortFailed;
        return result;
    }
    LinkByteSink sink(link);
    bool ok = true;
    if (!direct) {
        const std::string form = useActiveForm ? options.activeForm : options.formName;
        // Storing makes the form the active one; a form already there is made active.
        if (useActiveForm) ok = link.writeText("\r\nFR\"" + form + "\"\r\n");
        else ok = writeStoredForm(label, form, sink) && !link.abortFlag;
    }

    long long row = 0, index = 0, lastSent = 0, sentSinceAnswer = 0, indexSent = 0, labelsSinceAnswer = 0;
    bool stopAfterRow = false;
    // Byte by byte, so that a stop asked for in the middle still lets the bytes end: half a
    // row would leave the printer waiting for values.
    const auto sendWhole = [&](const BufferSink& part) {
        std::size_t nextPause = 0;
        const auto& bytes = part.bytes();
        for (std::size_t i = 0; i < bytes.size();) {
            for (; nextPause < part.pauses().size() && part.pauses()[nextPause].offset == i; ++nextPause)
                link.pause(std::chrono::milliseconds(static_cast<int>(part.pauses()[nextPause].pause)));
            if (link.writeByte(bytes[i])) ++i;
            else if (options.takeStopRequest && options.takeStopRequest()) stopAfterRow = true;  // that byte again
            else return false;
        }
        return true;
    };
    // The printer answers a question only once it has printed everything before it.
    const auto confirmed = [&] {
        std::string line;
        link.discardInput();
        BufferSink question;
        question.write({reinterpret_cast<const std::uint8_t*>("\r\nFA\r\n"), 6});
        if (!sendWhole(question)) return false;
        const LinkTiming usual = link.timing();
        LinkTiming patient = usual;
        const long long labels = std::min(labelsSinceAnswer, 100000LL);
        patient.silenceLimit += std::chrono::milliseconds(options.timePerLabel.count() * labels);
        link.setTiming(patient);
        link.readLine(line, 32);
        link.setTiming(usual);
        if (link.timeoutFlag) return false;
        labelsSinceAnswer = 0;
        result.rowsPrinted = indexSent;
        result.lastRowPrinted = lastSent;
        sentSinceAnswer = 0;
        return true;
    };
    PrintJob job;
    job.rasterFigure = options.rasterFigure;
    while (ok && index < total && reader.next(fields)) {
        if (isBlankRecord(fields)) continue;
        ++row;
        if (!options.rows.contains(row)) continue;
        ++index;
        if (options.beforeRow && !options.beforeRow(row, index, total)) {
            result.stopped = true;
            break;
        }
        unsigned copies = applyRow(label, baseCounters, check.mapping, fields, row, check.encoding, translation);
        if (copies == 0) copies = 1;  // reported before the run; the user chose to print anyway
        BufferSink rowBytes;
        if (direct) {
            job.quantity = copies;
            writePrintLabel(label, job, rowBytes);
        } else {
            const std::string text = storedFormValues(label) + printLine(1, copies);
            rowBytes.write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
        }
        ok = sendWhole(rowBytes);
        if (!ok) break;
        if (!link.isOpen()) {
            // Closed under the run (the user closed the progress window): what went out
            // last is not known to have arrived.
            result.stopped = true;
            break;
        }
        lastSent = row;
        indexSent = index;
        labelsSinceAnswer += copies;
        if (stopAfterRow) {
            result.stopped = true;
            break;
        }
        if (++sentSinceAnswer >= std::max(options.confirmEvery, 1LL)) ok = confirmed();
    }
    if (ok && sentSinceAnswer > 0 && link.isOpen()) ok = confirmed();
    link.closePort();
    link.endProgress();

    result.completed = ok && !result.stopped && result.rowsPrinted == total;
    if (!ok) {
        result.message = link.abortFlag ? "Can't write to comm. port" : kNoPrinterResponse;
    } else if (result.stopped) {
        result.message = "Stopped";
    } else if (!result.completed) {
        result.message = "The data file changed: fewer rows than before";
    }
    if (!result.completed) {
        const RowSelection rest = options.rows.after(result.lastRowPrinted);
        for (long long r = result.lastRowPrinted + 1; r <= check.rowCount; ++r)
            if (rest.contains(r)) {
                result.firstRowNotPrinted = r;
                break;
            }
    }
    return result;
}

}  // namespace tavrin
