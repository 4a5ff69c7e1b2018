#pragma once
// A run of labels, one per row of values: the label, the rows, the printer and the journal.
// The editor's data window, `tavrin-label print --data` and any other front gather the
// rows and show progress; this type checks the rows and refuses a run that would print a
// wrong label before anything is sent, stores the label in the printer under names the
// printer does not hold yet (and deletes them again), sends each row only its values and
// its P line, asks the printer now and then to confirm what it has printed, records every
// row in the journal as sent and as confirmed, and resumes a journal's run where it ended.
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "data/data_check.h"
#include "data/data_file.h"
#include "data/print_journal.h"
#include "data/row_source.h"
#include "document/label_document.h"
#include "link/printer_link.h"
#include "printer/form_writer.h"
#include "printer/translation.h"

namespace tavrin {

// The form name a run tries first for its temporary form.
inline constexpr const char* kDataFormName = "TLDATA";

struct DataRunOptions {
    RowSelection rows;
    std::string copiesColumn;
    // Each row as an immediate job instead of values for a stored form.
    bool direct = false;
    RasterFigureWriter rasterFigure;  // direct jobs with direct graphics
    // Print through the form already active in the printer (its name) instead of storing
    // the label; the document then holds the form's variables.
    std::string activeForm;
    // A form name the user chose: the label is stored under it (replacing a form of that
    // name, its pictures under their own names) and left in the printer. Empty: the run
    // stores under names the printer does not hold and deletes them when it ends.
    std::string formName;
    // Print although the check refused the rows.
    bool printAnyway = false;
    // The printer is asked to answer after this many rows (and at the end); only rows it
    // has answered after count as printed.
    long long confirmEvery = 20;
    // It answers once it has printed the labels before the question, so the wait for its
    // answer grows by the time per label (copies counted) on top of the link's silence
    // limit: at most this, and once the printer has answered twice the pace it has shown.
    std::chrono::milliseconds timePerLabel{3000};
    // Called before each row with its position in the run; false stops the run there.
    std::function<bool(long long row, long long index, long long total)> beforeRow;
    // Called when the link refuses a byte or a wait ends early: true when that was the user
    // asking to stop (the request is then taken back), so the run stops cleanly.
    std::function<bool()> takeStopRequest;

    // The journal, when the run is recorded: the facts of the run (label, data, device,
    // origin) go into `record`; the run's number comes back in the result.
    PrintJournal* journal = nullptr;
    JournalRun record;
    // Continue this journal run instead of starting one: from `resumeFrom`, or with 0 from
    // where its confirmed rows end. `rows` and the other settings come from the journal.
    long long resumeRun = 0;
    long long resumeFrom = 0;
    // Called once the journal holds the run (before anything goes to the printer), with its
    // number: a caller that must find the run again after a crash keeps it from here.
    std::function<void(long long run)> started;
};

struct DataRunResult {
    bool completed = false;  // every chosen row was sent and the printer confirmed it
    bool stopped = false;    // the user stopped it
    bool refused = false;    // nothing was sent: the check, the journal or the resume said no
    bool toPrintQueue = false;  // sent to a queue, which cannot confirm what the printer did
    // The printer did not say which names it holds, so nothing was stored: one that never
    // answers can only print under a form name given, or each row as a job of its own.
    bool namesUnknown = false;
    long long runId = 0;     // in the journal
    RowSelection rows;       // the rows the run was to print
    RowList confirmed;       // rows the printer confirmed
    RowList unconfirmed;     // rows sent after the last confirmation
    // Where to go on: from the first row not confirmed, or from the first not sent; 0 when
    // no chosen row is left.
    long long firstNotConfirmed = 0;
    long long firstNotSent = 0;
    std::string message;  // why it ended early
    // Why it ended early, for a caller that retries: the printer could not be reached or
    // stopped answering, or the journal could not be written.
    bool linkFailed = false;
    bool journalFailed = false;
};

// How the run went, for the user: "printed rows 1-100; rows 101-102 were sent but not
// confirmed — check the last labels before going on; go on with --rows 103- or --rows 101-".
// `goOn` names how to go on ("--rows " on the command line).
std::string runReport(const DataRunResult& result, std::string_view goOn = "--rows ");

// The rows after `row` that `rows` chooses, as --rows takes them ("103-").
std::string rowsAfter(const RowSelection& rows, long long row);

// The first row after `row` that `rows` chooses among rowCount rows; 0 for none.
long long firstChosenAfter(const RowSelection& rows, long long row, long long rowCount);

class DataRun {
public:
    // The check runs at once (for the rows and copies column of the options); the label is
    // copied.
    DataRun(const LabelDocument& label, RowSource& rows, const Translation& translation, DataRunOptions options);

    const DataCheck& check() const { return check_; }
    const DataRunOptions& options() const { return options_; }
    // Sends the run over the link (opened here, closed when done).
    DataRunResult print(PrinterLink& link);

private:
    class Sender;

    LabelDocument label_;
    RowSource& rows_;
    const Translation& translation_;
    DataRunOptions options_;
    DataCheck check_;
};

// A journal run's settings as run options; the label and the data come from its paths.
DataRunOptions optionsFromJournal(const JournalRun& run);
// Why a run cannot be resumed with the label and data file as they are now (their hashes
// differ from the journal's), empty when it can.
std::string resumeRefusal(const JournalRun& run, std::string_view labelHash, std::string_view dataHash);

}  // namespace tavrin
