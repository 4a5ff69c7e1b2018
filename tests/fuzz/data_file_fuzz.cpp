// A data file as Print from Data File takes it: read record by record, its header matched
// to the sample label's variables and counters, checked through once, and its first rows
// put into the label both as a run walks them and one by one.
#include <sstream>

#include "fuzz/fuzz_support.h"
#include "data/data_file.h"
#include "data/data_check.h"
#include "data/row_source.h"

using namespace tavrin;

namespace {

// Records looked at in the stream, and rows read again on their own: enough to reach every
// state of the reader without reading a long file over and over.
constexpr int kMaxRecords = 4000;
constexpr long long kMaxRowsApplied = 6;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path path = fuzz::scratchFile("rows.csv");
    static const Translation translation;
    const LabelDocument& sample = fuzz::sampleLabel();
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The stream as the reader hands it out, with the delimiter guessed.
    std::istringstream in(bytes);
    DataReader reader(in);
    std::vector<std::string> fields;
    std::vector<std::vector<std::string>> rows;  // blank records left out, the header first
    for (int n = 0; n < kMaxRecords && reader.next(fields); ++n) {
        if (reader.line() < 1) std::abort();
        for (const std::string& f : fields) fieldToUtf8(f, reader.fieldEncoding(), translation.ansiCodePage());
        if (!isBlankRecord(fields) && rows.size() <= static_cast<std::size_t>(kMaxRowsApplied)) rows.push_back(fields);
    }
    if (reader.delimiter() != '\t' && reader.delimiter() != ';' && reader.delimiter() != ',') std::abort();

    // A row selection typed as the first field reads back as what it printed.
    if (!rows.empty() && !rows[0].empty()) {
        if (const auto selection = RowSelection::parse(rows[0][0])) {
            const auto again = RowSelection::parse(selection->text());
            if (!again || again->text() != selection->text()) std::abort();
            selection->countWithin(1000);
            selection->after(3);
        }
    }

    fuzz::writeScratch(path, {data, size});
    DataFileRows source(path, translation.ansiCodePage());
    const DataCheck check = checkRows(source, sample, translation, "Copies");
    if (!check.error.empty()) return 0;
    if (source.delimiter() != reader.delimiter()) std::abort();
    for (const ColumnMatch& m : check.mapping.matches)
        if (m.column < 0 || static_cast<std::size_t>(m.column) >= check.headers.size()) std::abort();

    // Each row walked to on its own puts its values into the label; the values of a row
    // come out the same however it is reached.
    RowValues values(sample, check.mapping, translation);
    LabelDocument walked = sample;
    if (!source.rewind()) std::abort();
    for (long long row = 1; row <= std::min(check.rowCount, kMaxRowsApplied); ++row) {
        if (!source.next(fields)) std::abort();
        if (values.next(fields, walked) > 999) std::abort();
        LabelDocument document = sample;
        if (!applyDataRow(source, document, translation, row).empty()) std::abort();
        if (document.variables != walked.variables || document.counters != walked.counters) std::abort();
        // applyDataRow read from the start: back to where the walk was.
        if (!source.rewind()) std::abort();
        for (long long skip = 0; skip < row; ++skip) source.next(fields);
    }
    return 0;
}
