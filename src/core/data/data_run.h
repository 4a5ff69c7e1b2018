#pragma once
// Printing a label once per row of a data file: the file's columns give the variables'
// values and the counters' start values, a chosen column the copies. Before anything is
// printed the file is read through once and every problem reported; the run then stores
// the label once as a form (or uses the active form) and sends each row only its values
// and its P line, reading the file again as a stream.
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/label_document.h"
#include "data/data_file.h"
#include "printer/form_writer.h"
#include "link/printer_link.h"
#include "printer/translation.h"

namespace tavrin {

// Where the rows come from and how to read them.
struct DataSource {
    std::filesystem::path file;
    char delimiter = 0;          // 0: guessed from the first line
    std::string copiesColumn;    // the column giving each row's copies; empty for one copy
};

// One column that feeds a slot.
struct ColumnMatch {
    int column = 0;
    bool counter = false;
    int slot = 0;
    std::string header;  // as UTF-8
};

// "V00", "C07".
std::string slotName(bool counter, int slot);

struct DataMapping {
    std::vector<ColumnMatch> matches;
    int copiesColumn = -1;
    std::vector<std::string> unmatchedColumns;   // headers that feed nothing (UTF-8)
    std::vector<std::string> slotsWithoutColumn;  // "V01 \"Prompt\"": they keep the label's value
    bool copiesColumnMissing = false;             // a copies column was asked for and not found
};

// Matches the header's columns (UTF-8) to the defined slots by prompt, compared without
// regard to case or surrounding blanks, or by slot name; the first column to claim a slot
// has it.
DataMapping matchColumns(const std::vector<std::string>& headers, const LabelDocument& document,
                         const Translation& translation, std::string_view copiesColumn = {});

// What reading the file through once found.
struct DataCheck {
    std::string error;  // the file could not be read at all; nothing else is set then
    DataEncoding encoding = DataEncoding::Utf8;
    char delimiter = ',';
    std::vector<std::string> headers;  // UTF-8
    DataMapping mapping;
    long long rowCount = 0;  // data rows, blank records not counted
    // Rows that lack a value for a matched column or have copies that are no number
    // from 1 to 999, each with its message; at most kMaxReportedRows listed, all counted.
    std::vector<long long> badRows;
    long long badRowCount = 0;
    std::vector<std::string> problems;  // every message for the user, in file order
    bool ok() const { return error.empty() && badRowCount == 0; }
};
inline constexpr std::size_t kMaxReportedRows = 100;

DataCheck checkDataFile(const DataSource& source, const LabelDocument& document, const Translation& translation);

// Puts row `row`'s values into the document (converted to the printer's character set);
// counters without a column count on from the label's values as if every row before had
// printed, and so does a counter whose cell is empty. `baseCounters` are the label's counters before the run. Returns the row's
// copies (1 without a copies column; 0 when the copies are no number from 1 to 999).
unsigned applyRow(LabelDocument& document, const std::array<Counter, kCounterCount>& baseCounters,
                  const DataMapping& mapping, const std::vector<std::string>& fields, long long row,
                  DataEncoding encoding, const Translation& translation);

// Reads the file as a stream and stops at data row `row` (1-based), its fields in `fields`.
// False when the file has fewer rows or cannot be read.
bool readDataRow(const DataSource& source, DataEncoding encoding, long long row, std::vector<std::string>& fields);

// "Row 1,234 of 10,000".
std::string rowProgressText(long long index, long long total);

inline constexpr const char* kDataFormName = "TLDATA";

struct DataRunOptions {
    RowSelection rows;
    // Each row as an immediate job instead of values for a stored form.
    bool direct = false;
    RasterFigureWriter rasterFigure;  // direct jobs with direct graphics
    // Print through the form already active in the printer (its name) instead of storing
    // the label; the document then holds the form's variables.
    std::string activeForm;
    std::string formName = kDataFormName;
    // The printer is asked to answer after this many rows (and at the end); only rows it
    // has answered after count as printed.
    long long confirmEvery = 20;
    // It answers once it has printed the labels before the question, so the wait for its
    // answer grows by this much per label (copies counted) on top of the link's silence limit.
    std::chrono::milliseconds timePerLabel{3000};
    // Called before each row with its position in the run; false stops the run there.
    std::function<bool(long long row, long long index, long long total)> beforeRow;
    // Called when the link refuses a byte of a row: true when that was the user asking to
    // stop (the request is then taken back), so the row is finished and the run stops after it.
    std::function<bool()> takeStopRequest;
};

struct DataRunResult {
    bool completed = false;       // every chosen row was sent and the printer answered
    bool stopped = false;         // the user stopped it between rows
    long long rowsPrinted = 0;    // rows the printer confirmed
    long long lastRowPrinted = 0; // the file row of the last of them; 0 for none
    long long firstRowNotPrinted = 0;  // where to resume; 0 when none is left
    std::string message;          // why it ended early, for the user
};

// The run. The document is the label (a copy is changed per row). Link failures end the
// run with the link's flags set and the rows up to the last confirmed one counted.
DataRunResult runDataPrint(PrinterLink& link, const LabelDocument& document, const DataSource& source,
                           const DataCheck& check, const Translation& translation, const DataRunOptions& options);

}  // namespace tavrin
