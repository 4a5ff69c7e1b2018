#include "data/data_run.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "document/figure_records.h"
#include "link/transport_factory.h"
#include "printer/matrix_symbols.h"
#include "printer/printing.h"
#include "printer/screen_text.h"
#include "printer/storage_operations.h"
#include "common/text.h"

namespace tavrin {

namespace {

// The longest answer to FA the run reads: a form name.
constexpr std::size_t kAnswerLineSize = 16;
// The header a stored picture's bytes begin with.
constexpr std::size_t kPcxHeaderSize = 128;

// The least time a label is given to print once the printer's pace is known.
constexpr std::chrono::milliseconds kLeastLabelTime{25};

// Blank lines enough to fill any value list a printer may still be waiting for: at most one
// per slot.
std::string blankLines() {
    std::string lines;
    for (int i = 0; i <= kVariableCount + kCounterCount; ++i) lines += "\r\n";
    return lines;
}


bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

bool holds(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return sameName(n, name); });
}

// `base` when the printer does not hold it, else base with a number that makes it free,
// within the printer's eight characters.
std::string freeName(const std::string& base, const std::vector<std::string>& taken) {
    if (!holds(taken, base)) return base;
    for (int n = 1;; ++n) {
        const std::string number = std::to_string(n);
        const std::string name = base.substr(0, std::min(base.size(), kMaxObjectNameLength - number.size())) + number;
        if (!holds(taken, name)) return name;
    }
}

// What a run stored for itself, kept in the journal so that it can be deleted later even
// when the run was cut short: "F:NAME G:NAME E:X".
struct PrinterObjects {
    std::vector<std::string> forms, graphics, fonts;

    bool empty() const { return forms.empty() && graphics.empty() && fonts.empty(); }
    bool holdsForm(std::string_view name) const {
        return std::any_of(forms.begin(), forms.end(), [&](const std::string& f) { return sameName(f, name); });
    }
    void add(const PrinterObjects& more) {
        forms.insert(forms.end(), more.forms.begin(), more.forms.end());
        graphics.insert(graphics.end(), more.graphics.begin(), more.graphics.end());
        fonts.insert(fonts.end(), more.fonts.begin(), more.fonts.end());
    }
    std::string text() const {
        std::string out;
        const auto list = [&](const char* kind, const std::vector<std::string>& names) {
            for (const std::string& n : names) out += (out.empty() ? "" : " ") + std::string(kind) + n;
        };
        list("F:", forms);
        list("G:", graphics);
        list("E:", fonts);
        return out;
    }
    static PrinterObjects parse(std::string_view text) {
        PrinterObjects objects;
        while (!text.empty()) {
            const std::size_t space = text.find(' ');
            const std::string_view item = text.substr(0, space);
            text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
            if (item.size() < 3 || item[1] != ':') continue;
            const std::string name(item.substr(2));
            if (item[0] == 'F') objects.forms.push_back(name);
            if (item[0] == 'G') objects.graphics.push_back(name);
            if (item[0] == 'E') objects.fonts.push_back(name);
        }
        return objects;
    }
};

std::string screenText(const std::string& printerBytes, const Translation& translation) {
    const bool ascii = std::all_of(printerBytes.begin(), printerBytes.end(), [](char c) { return (c & 0x80) == 0; });
    return ascii ? printerBytes : printerToScreen(printerBytes, translation);
}

// The values a row sends, for the journal: {"V00":"...","C00":"..."}.
std::string valuesJson(const LabelDocument& label, const Translation& translation) {
    std::string json = "{";
    const auto add = [&](bool counter, int slot, const Variable& v) {
        if (!v.isDefined()) return;
        if (json.size() > 1) json += ',';
        json += jsonQuoted(slotName(counter, slot)) + ":" + jsonQuoted(screenText(v.valueText(), translation));
    };
    for (int i = 0; i < kVariableCount; ++i) add(false, i, label.variables[static_cast<std::size_t>(i)]);
    for (int i = 0; i < kCounterCount; ++i) add(true, i, label.counters[static_cast<std::size_t>(i)]);
    return json + "}";
}

BufferSink bytesOf(std::string_view text) {
    BufferSink sink;
    sink.write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    return sink;
}

}  // namespace

std::string rowsAfter(const RowSelection& rows, long long row) { return rows.after(row).text(); }

long long firstChosenAfter(const RowSelection& rows, long long row, long long rowCount) {
    for (long long r = std::max(row, 0LL) + 1; r <= rowCount; ++r)
        if (rows.contains(r)) return r;
    return 0;
}

std::string runReport(const DataRunResult& result, std::string_view goOn) {
    std::vector<std::string> parts;
    const auto rowsText = [](const RowList& rows) {
        return std::string(rows.count() == 1 ? "row " : "rows ") + rows.text();
    };
    if (result.toPrintQueue && result.confirmed.empty() && !result.unconfirmed.empty() && result.firstNotSent == 0)
        return rowsText(result.unconfirmed) + " sent to a print queue, which cannot confirm them";
    if (!result.confirmed.empty()) parts.push_back("printed " + rowsText(result.confirmed));
    if (!result.unconfirmed.empty()) {
        if (result.confirmed.empty())
            parts.push_back(rowsText(result.unconfirmed) + " sent, none confirmed — check the labels before going on");
        else
            parts.push_back(rowsText(result.unconfirmed) + (result.unconfirmed.count() == 1 ? " was" : " were") +
                            " sent but not confirmed — check the last labels before going on");
    }
    if (parts.empty()) parts.push_back("nothing printed");
    const std::string fromUnconfirmed = result.firstNotConfirmed > 0 ? rowsAfter(result.rows, result.firstNotConfirmed - 1) : "";
    const std::string fromUnsent = result.firstNotSent > 0 ? rowsAfter(result.rows, result.firstNotSent - 1) : "";
    if (!result.unconfirmed.empty() && !fromUnsent.empty() && fromUnsent != fromUnconfirmed)
        parts.push_back("go on with " + std::string(goOn) + fromUnsent + " or " + std::string(goOn) + fromUnconfirmed);
    else if (!fromUnconfirmed.empty())
        parts.push_back("go on with " + std::string(goOn) + fromUnconfirmed);
    std::string out;
    for (const std::string& part : parts) out += (out.empty() ? "" : "; ") + part;
    return out;
}

DataRunOptions optionsFromJournal(const JournalRun& run) {
    DataRunOptions options;
    options.rows = RowSelection::parse(run.rowsChosen).value_or(RowSelection::all());
    options.copiesColumn = run.copiesColumn;
    options.direct = run.mode == "direct" || run.mode == "direct graphics";
    options.formName = run.formName;
    options.resumeRun = run.id;
    return options;
}

std::string resumeRefusal(const JournalRun& run, std::string_view labelHash, std::string_view dataHash) {
    const auto changed = [&](const char* what, const std::string& path, const std::string& then, std::string_view now) {
        return std::string("The ") + what + " " + path + " changed since run " + std::to_string(run.id) +
               " (SHA-256 then " + then + ", now " + std::string(now) + ")";
    };
    if (run.labelHash != labelHash) return changed("label", run.labelPath, run.labelHash, labelHash);
    if (run.dataHash != dataHash) return changed("data file", run.dataPath, run.dataHash, dataHash);
    return {};
}

DataRun::DataRun(const LabelDocument& label, RowSource& rows, const Translation& translation, DataRunOptions options)
    : label_(label), rows_(rows), translation_(translation), options_(std::move(options)) {
    // Going on from a row, the rows before it are not printed again and not looked at.
    const RowSelection checked = options_.resumeFrom > 0 ? options_.rows.after(options_.resumeFrom - 1) : options_.rows;
    check_ = checkRows(rows_, label_, translation_, options_.copiesColumn, checked);
}

// One print() call: the link, the journal and what has been sent and confirmed so far.
class DataRun::Sender {
public:
    Sender(DataRun& run, PrinterLink& link, DataRunResult& result)
        : run_(run), options_(run.options_), link_(link), result_(result), journal_(run.options_.journal) {}

    void print();

private:
    bool startJournal();
    bool resumeInterrupted();
    bool storeLabel(LabelDocument& label, bool useActiveForm, bool direct);
    bool listNames(std::string_view command, std::vector<std::string>& names);
    bool sendWhole(const BufferSink& part);
    bool question();
    std::chrono::milliseconds labelTime() const;
    bool confirm();
    void cleanUp();
    void finish();
    bool deleteObjects(const PrinterObjects& objects);
    bool stopRequested() { return options_.takeStopRequest && options_.takeStopRequest(); }

    DataRun& run_;
    const DataRunOptions& options_;
    PrinterLink& link_;
    DataRunResult& result_;
    PrintJournal* journal_;
    std::optional<JournalRun> previous_;  // the journal's run being resumed
    long long doneUpTo_ = 0;              // rows before and at this one count as printed
    long long labelsSinceAnswer_ = 0;
    long long pendingFirst_ = 0;          // the first row sent since the last answer
    long long lastSent_ = 0;
    bool linkFailed_ = false;             // the printer did not answer or refused bytes
    bool journalFailed_ = false;
    bool stopAfterRow_ = false;
    bool answers_ = true;                 // the device can answer questions
    std::optional<std::chrono::milliseconds> learntLabelTime_;
    std::chrono::milliseconds batchStart_{0};  // when the first label since the last answer went
    PrinterObjects stored_;               // stored for this run, to be deleted
    PrinterObjects leftOver_;             // stored by the run resumed, left behind
    std::string previousActiveForm_;
};

bool DataRun::Sender::startJournal() {
    if (journal_ == nullptr) return true;
    if (!journal_->isOpen()) {
        result_.message = journal_->error();
        return false;
    }
    if (options_.resumeRun > 0) {
        if (!journal_->reopenRun(options_.resumeRun, ::getpid())) {
            result_.message = journal_->error();
            return false;
        }
        result_.runId = options_.resumeRun;
        if (options_.started) options_.started(result_.runId);
        return true;
    }
    JournalRun record = options_.record;
    record.rowsChosen = options_.rows.text();
    record.copiesColumn = options_.copiesColumn;
    record.mode = !options_.activeForm.empty() ? "active form"
                  : options_.direct           ? (options_.rasterFigure ? "direct graphics" : "direct")
                                              : "form";
    record.formName = options_.formName;
    if (record.device.empty()) record.device = link_.portDevice(link_.settings().portIndex);
    record.total = options_.rows.countWithin(run_.check_.rowCount);
    record.state = std::string(kRunRunning);
    result_.runId = journal_->beginRun(record);
    if (result_.runId == 0) {
        result_.message = journal_->error();
        return false;
    }
    if (options_.started) options_.started(result_.runId);
    return true;
}

// Byte by byte, so that a stop asked for in the middle still lets the bytes end: half a row
// would leave the printer waiting for values.
bool DataRun::Sender::sendWhole(const BufferSink& part) {
    std::size_t nextPause = 0;
    const auto& bytes = part.bytes();
    for (std::size_t i = 0; i < bytes.size();) {
        for (; nextPause < part.pauses().size() && part.pauses()[nextPause].offset == i; ++nextPause)
            link_.pause(std::chrono::milliseconds(static_cast<int>(part.pauses()[nextPause].pause)));
        if (link_.writeByte(bytes[i])) ++i;
        else if (stopRequested()) stopAfterRow_ = true;  // that byte again
        else return false;
    }
    return true;
}

// The printer answers a question only once it has printed everything before it.
bool DataRun::Sender::question() {
    std::string line;
    link_.discardInput();
    if (!sendWhole(bytesOf("\r\nFA\r\n"))) return false;
    const LinkTiming usual = link_.timing();
    LinkTiming patient = usual;
    const long long labels = std::min(labelsSinceAnswer_, 100000LL);
    patient.silenceLimit += labelTime() * labels;
    link_.setTiming(patient);
    link_.readLine(line, kAnswerLineSize);
    link_.setTiming(usual);
    if (link_.silent()) return false;
    if (labels > 0) learntLabelTime_ = (usual.now() - batchStart_) / labels;
    labelsSinceAnswer_ = 0;
    return true;
}

// How long one label may take: twice what labels have taken so far, as the printer's
// answers tell, so that a printer that has gone is not waited for much longer than the
// silence limit; before the first answer the run's own guide.
std::chrono::milliseconds DataRun::Sender::labelTime() const {
    if (!learntLabelTime_) return options_.timePerLabel;
    return std::min(options_.timePerLabel, std::max(*learntLabelTime_ * 2, kLeastLabelTime));
}

bool DataRun::Sender::confirm() {
    if (!answers_) return true;
    if (!question()) return false;
    if (pendingFirst_ > 0) {
        if (journal_ && result_.runId > 0 && !journalFailed_ && !journal_->rowsConfirmed(result_.runId, pendingFirst_, lastSent_))
            journalFailed_ = true;
        // What was unconfirmed is confirmed now.
        RowList confirmed = result_.confirmed;
        for (long long r = pendingFirst_; r <= lastSent_; ++r)
            if (result_.unconfirmed.contains(r)) confirmed.add(r);
        result_.confirmed = confirmed;
        result_.unconfirmed = RowList();
        pendingFirst_ = 0;
    }
    return true;
}

// A run whose process was killed may have left part of a row in the printer: a value list it
// still waits for, a P line without its end, a form being stored. A line that is no command
// ends a partial line (a cut "P1" would otherwise print), blank lines fill any value list,
// FE ends a store. The rows that had gone out whole were handed to the device, so once the
// printer has answered they are printed.
bool DataRun::Sender::resumeInterrupted() {
    // Killed before its first row, it may have been storing a picture, whose bytes the
    // printer counts: line ends, which mean nothing between commands, fill it up.
    if (previous_->sent == 0) {
        std::size_t picture = 0;
        for (const Figure& figure : run_.label_.figures)
            if (figure.kind == FigureKind::Picture && figure.picture)
                picture = std::max(picture, figure.picture->bytes.size() + kPcxHeaderSize);
        if (picture > 0 && !sendWhole(bytesOf(std::string(picture, '\n')))) return false;
    }
    if (!sendWhole(bytesOf("X\r\n" + blankLines() + "FE\r\n"))) return false;
    // The labels the killed run had sent may still be printing.
    labelsSinceAnswer_ = previous_->sent - previous_->confirmed + 1;
    batchStart_ = link_.timing().now();
    if (!question()) return false;
    learntLabelTime_.reset();
    if (previous_->lastSent > previous_->lastConfirmed && journal_ &&
        !journal_->rowsConfirmed(previous_->id, previous_->lastConfirmed + 1, previous_->lastSent)) {
        journalFailed_ = true;
        return false;
    }
    if (options_.resumeFrom == 0) doneUpTo_ = previous_->lastSent;
    return true;
}

bool DataRun::Sender::listNames(std::string_view command, std::vector<std::string>& names) {
    names.clear();
    link_.discardInput();
    if (!receiveNameList(link_, command, names, true)) return false;
    // The list's end mark, if the printer sends one, and anything else left over.
    link_.pause(std::chrono::milliseconds(100));
    link_.discardInput();
    return true;
}

// Stores the label as a form: under the name the user gave, or under names the printer
// does not hold, which are noted in the journal before anything is stored.
bool DataRun::Sender::storeLabel(LabelDocument& label, bool useActiveForm, bool direct) {
    if (direct) return true;
    if (useActiveForm) return link_.writeText(selectFormLine(options_.activeForm));
    if (!options_.formName.empty()) {
        LinkByteSink sink(link_);
        return writeStoredForm(label, options_.formName, sink) && !link_.refused();
    }
    // What runs cut short left behind on this printer is ours to delete.
    std::vector<long long> leftBy;
    if (journal_) {
        for (const JournalRun& earlier : journal_->runsWithPrinterObjects(link_.portDevice(link_.settings().portIndex))) {
            if (earlier.id == result_.runId) continue;
            leftOver_.add(PrinterObjects::parse(earlier.printerObjects));
            leftBy.push_back(earlier.id);
        }
    }
    if (!deleteObjects(leftOver_)) return false;
    for (const long long id : leftBy) journal_->setPrinterObjects(id, "");
    std::vector<std::string> forms, graphics, fonts;
    if (!listNames(listCommand(kListForms), forms) || !listNames(listCommand(kListGraphics), graphics) ||
        !listNames(listCommand(kListFonts), fonts)) {
        result_.namesUnknown = link_.silent() && !link_.refused();
        return false;
    }
    if (!sendWhole(bytesOf("\r\nFA\r\n"))) return false;
    link_.readLine(previousActiveForm_, kAnswerLineSize);
    if (link_.silent()) return false;
    // 2D symbols go as pictures of their own: they are named here like the others.
    if (std::any_of(label.figures.begin(), label.figures.end(), isMatrixSymbolFigure))
        label = withMatrixSymbolsAsPictures(label, RenderContext{&label, nullptr, {}});
    stored_.forms = {freeName(kDataFormName, forms)};
    std::vector<std::pair<std::string, std::string>> renamed;  // picture name -> name stored
    for (Figure& figure : label.figures) {
        if (figure.kind == FigureKind::Picture) {
            PictureRecord p = PictureRecord::decode(figure.record);
            auto it = std::find_if(renamed.begin(), renamed.end(), [&](const auto& r) { return r.first == p.name; });
            if (it == renamed.end()) {
                std::string name = p.name;
                if (holds(graphics, name) || holds(stored_.graphics, name)) {
                    std::vector<std::string> taken = graphics;
                    taken.insert(taken.end(), stored_.graphics.begin(), stored_.graphics.end());
                    name = freeName("TLP", taken);
                }
                stored_.graphics.push_back(name);
                it = renamed.insert(renamed.end(), {p.name, name});
            }
            p.name = it->second;
            figure.record = p.encode();
        } else if (figure.isFont()) {
            FontRecord f = FontRecord::decode(figure.record);
            std::string letter(1, f.letter);
            if (holds(fonts, letter) || holds(stored_.fonts, letter)) {
                for (char c = 'A'; c <= 'Z'; ++c) {
                    const std::string candidate(1, c);
                    if (!holds(fonts, candidate) && !holds(stored_.fonts, candidate) && !label.figures.fontByLetter(c)) {
                        letter = candidate;
                        break;
                    }
                }
                f.letter = letter[0];
                figure.record = f.encode();
            }
            stored_.fonts.push_back(letter);
        }
    }
    if (journal_ && result_.runId > 0 && !journal_->setPrinterObjects(result_.runId, stored_.text())) {
        journalFailed_ = true;
        return false;
    }
    LinkByteSink sink(link_);
    return writeStoredForm(label, stored_.forms.front(), sink) && !link_.refused();
}

bool DataRun::Sender::deleteObjects(const PrinterObjects& objects) {
    if (objects.empty()) return true;
    bool ok = true;
    for (const std::string& f : objects.forms) ok = ok && link_.writeText(deleteLine(kListForms, f));
    for (const std::string& g : objects.graphics) ok = ok && link_.writeText(deleteLine(kListGraphics, g));
    for (const std::string& f : objects.fonts) ok = ok && link_.writeText(deleteLine(kListFonts, f));
    if (ok) link_.pause(std::chrono::milliseconds(150));
    return ok;
}

// Deletes what the run stored for itself and makes the form active before it active again.
void DataRun::Sender::cleanUp() {
    if (stored_.empty() || !link_.isOpen() || !deleteObjects(stored_)) return;
    if (!previousActiveForm_.empty() && !leftOver_.holdsForm(previousActiveForm_) &&
        !link_.writeText(selectFormLine(previousActiveForm_)))
        return;
    if (journal_ && result_.runId > 0 && !journalFailed_) journal_->setPrinterObjects(result_.runId, "");
}

void DataRun::Sender::print() {
    const DataCheck& check = run_.check_;
    if (check.refused() && !(options_.printAnyway && check.error.empty())) {
        result_.refused = true;
        result_.message = check.firstRefusal();
        return;
    }
    if (options_.resumeRun > 0) {
        previous_ = journal_ ? journal_->run(options_.resumeRun) : std::nullopt;
        if (!previous_) {
            result_.refused = true;
            result_.message = journal_ ? "No run " + std::to_string(options_.resumeRun) + " in the print journal " +
                                             journal_->path().string()
                                       : "No print journal to resume from";
            return;
        }
        if (previous_->state == kRunCompleted) {
            result_.refused = true;
            result_.message = "Run " + std::to_string(previous_->id) + " is complete: nothing to resume";
            return;
        }
        if (previous_->state == kRunRunning && !isInterrupted(*previous_)) {
            result_.refused = true;
            result_.message = "Run " + std::to_string(previous_->id) + " is still printing (process " +
                              std::to_string(previous_->pid) + ")";
            return;
        }
        doneUpTo_ = options_.resumeFrom > 0 ? options_.resumeFrom - 1 : previous_->lastConfirmed;
        leftOver_ = PrinterObjects::parse(previous_->printerObjects);
    }
    result_.rows = options_.rows;

    const bool useActiveForm = !options_.direct && !options_.activeForm.empty();
    LabelDocument label = run_.label_;
    // A label whose 2D symbols change from row to row cannot be stored as a form (the
    // printer keeps only fixed pictures): every row then goes as a job of its own, which
    // carries its symbols as rasters.
    const bool direct = options_.direct ||
                        (!useActiveForm && matrixSymbolStoreRefusal(label, RenderContext{&label, nullptr, {}}));
    if (!useActiveForm && !hasPrintableFigures(label.figures)) {
        result_.refused = true;
        result_.message = kNothingToPrint;
        return;
    }
    // A print queue takes jobs and never answers: nothing can be asked of it, neither which
    // names the printer holds nor what it has printed.
    answers_ = deviceKind(link_.portDevice(link_.settings().portIndex)) != DeviceKind::PrintQueue;
    result_.toPrintQueue = !answers_;
    if (!answers_ && !direct && !useActiveForm && options_.formName.empty()) {
        result_.refused = true;
        result_.message = "A print queue cannot say which forms and pictures the printer holds, so a form stored "
                          "for the run could replace one of yours: print each row as a job of its own, or name the form";
        return;
    }
    if (options_.rows.countWithin(check.rowCount) == 0) {
        result_.refused = true;
        result_.message = "No rows to print";
        return;
    }
    if (!startJournal()) {
        result_.refused = true;
        result_.journalFailed = true;
        return;
    }
    if (!link_.openPort()) {
        linkFailed_ = true;
        result_.refused = true;
        result_.message = std::string(kOpenPortFailed) + " " + link_.portDevice(link_.settings().portIndex);
        finish();
        return;
    }
    const bool interrupted = previous_ && isInterrupted(*previous_);
    bool ok = true;
    if (interrupted) ok = resumeInterrupted();
    const RowSelection chosen = previous_ ? options_.rows.after(doneUpTo_) : options_.rows;
    const long long total = chosen.countWithin(check.rowCount);
    if (ok && total == 0) {
        // Nothing left to print: only what the run before left behind goes.
        if (deleteObjects(leftOver_) && journal_) journal_->setPrinterObjects(result_.runId, "");
        link_.closePort();
        link_.endProgress();
        result_.completed = true;
        finish();
        return;
    }
    if (ok) ok = storeLabel(label, useActiveForm, direct);
    if (!ok) linkFailed_ = !journalFailed_;

    if (ok && !run_.rows_.rewind()) {
        ok = false;
        result_.message = "Can't read " + run_.rows_.name();
    }
    RowValues values(run_.label_, check.mapping, run_.translation_);
    std::vector<std::string> fields;
    long long index = 0;
    PrintJob job;
    job.rasterFigure = options_.rasterFigure;
    while (ok && index < total && run_.rows_.next(fields)) {
        unsigned copies = values.next(fields, label);
        const long long row = values.row();
        if (!chosen.contains(row)) continue;
        ++index;
        if (options_.beforeRow && !options_.beforeRow(row, index, total)) {
            result_.stopped = true;
            break;
        }
        if (copies == 0) copies = 1;  // reported before the run; the user chose to print anyway
        if (pendingFirst_ == 0) batchStart_ = link_.timing().now();
        BufferSink rowBytes;
        if (direct) {
            job.quantity = copies;
            writePrintLabel(label, job, rowBytes);
        } else {
            const std::string text = storedFormValues(label) + printLine(1, copies);
            rowBytes.write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
        }
        if (!sendWhole(rowBytes)) {
            linkFailed_ = true;
            ok = false;
            break;
        }
        if (!link_.isOpen()) {
            // Closed under the run (the user closed the progress window): what went out
            // last is not known to have arrived.
            result_.stopped = true;
            break;
        }
        lastSent_ = row;
        result_.unconfirmed.add(row);
        if (pendingFirst_ == 0) pendingFirst_ = row;
        labelsSinceAnswer_ += copies;
        // A row that went out is recorded before the next one goes; a journal that cannot
        // take it ends the run here.
        if (journal_ && !journal_->rowSent(result_.runId, row, valuesJson(label, run_.translation_), copies)) {
            journalFailed_ = true;
            ok = false;
            break;
        }
        if (stopAfterRow_) {
            result_.stopped = true;
            break;
        }
        // The first row is confirmed on its own: the answer tells how fast the printer prints.
        const long long every = learntLabelTime_ ? std::max(options_.confirmEvery, 1LL) : 1;
        if (static_cast<long long>(result_.unconfirmed.count()) >= every && !confirm()) {
            if (stopRequested()) result_.stopped = true;
            else linkFailed_ = true;
            ok = false;
        }
    }
    // The user's stop leaves the printer answering: what was sent is confirmed, and the
    // run's own objects deleted.
    if (result_.stopped) stopRequested();
    if (!linkFailed_ && answers_ && pendingFirst_ > 0 && link_.isOpen() && !confirm()) {
        if (stopRequested()) result_.stopped = true;
        else linkFailed_ = true;
    }
    if (!linkFailed_) cleanUp();
    link_.closePort();
    // A queue takes the job only now, and may refuse it.
    if (!answers_ && link_.silent()) linkFailed_ = true;
    link_.endProgress();

    const long long done = answers_ ? result_.confirmed.count() : result_.unconfirmed.count();
    result_.completed = ok && !linkFailed_ && !result_.stopped && !journalFailed_ && done == total;
    if (journalFailed_ && result_.message.empty()) result_.message = journal_->error();
    if (result_.message.empty() && !result_.completed) {
        if (linkFailed_) result_.message = link_.refused() ? "Can't write to comm. port" : link_.failureMessage();
        else if (result_.stopped) result_.message = "Stopped";
        else result_.message = "The data changed: fewer rows than before";
    }
    finish();
}

void DataRun::Sender::finish() {
    const DataCheck& check = run_.check_;
    result_.linkFailed = !result_.completed && (linkFailed_ || result_.namesUnknown);
    result_.journalFailed = journalFailed_;
    if (!result_.completed) {
        const long long lastConfirmed = result_.confirmed.empty() ? doneUpTo_ : result_.confirmed.last();
        const long long lastSent = result_.unconfirmed.empty() ? lastConfirmed : result_.unconfirmed.last();
        result_.firstNotConfirmed = firstChosenAfter(options_.rows, lastConfirmed, check.rowCount);
        result_.firstNotSent = firstChosenAfter(options_.rows, lastSent, check.rowCount);
    }
    if (journal_ == nullptr || result_.runId == 0) return;
    const std::string_view state = result_.completed ? kRunCompleted : result_.stopped ? kRunStopped : kRunFailed;
    const std::string message = result_.completed ? std::string() : result_.message + "; " + runReport(result_);
    if (!journal_->finishRun(result_.runId, state, message) && result_.completed) {
        result_.completed = false;
        result_.message = journal_->error();
    }
}

DataRunResult DataRun::print(PrinterLink& link) {
    DataRunResult result;
    Sender(*this, link, result).print();
    return result;
}

}  // namespace tavrin
