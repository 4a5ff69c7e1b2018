// tavrin-label journal [--run ID] [--json]: the print journal's runs, newest first, or one
// run with its rows (the values each sent, its copies, sent or confirmed).
#include <cstdio>
#include <string>
#include <vector>

#include "command_registry.h"
#include "data/print_journal.h"
#include "data_rows.h"

namespace tavrin::cli {
namespace {

constexpr Option kOptions[] = {
    {.name = "--run", .value = "ID", .kind = ValueKind::Number, .help = "one run with the values, copies and state of each row",
     .low = 1, .high = kMaxRowNumber},
    {.name = "--json", .help = "report as JSON"},
    {.name = "--journal", .value = "FILE", .kind = ValueKind::File,
     .help = "the print journal to read (TAVRIN_JOURNAL, else the user's state folder)"},
};

const char* rowStateName(RowState state) {
    switch (state) {
        case RowState::Queued: return "queued";
        case RowState::Sent: return "sent";
        case RowState::Confirmed: return "confirmed";
    }
    return "?";
}

// A run that says it is running but whose process is gone is shown as what it is.
std::string stateOf(const JournalRun& run) { return isInterrupted(run) ? "interrupted" : run.state; }

std::string runJson(const JournalRun& run) {
    const auto field = [](const char* key, const std::string& text) { return jsonQuoted(key) + ":" + jsonQuoted(text); };
    const auto number = [](const char* key, long long value) { return jsonQuoted(key) + ":" + std::to_string(value); };
    return "{" + number("id", run.id) + "," + field("started", run.started) + "," + field("finished", run.finished) +
           "," + field("user", run.user) + "," + field("host", run.host) + "," + number("pid", run.pid) + "," +
           field("origin", run.origin) + "," + field("label", run.labelPath) + "," + field("labelSha256", run.labelHash) +
           "," + field("data", run.dataPath) + "," + field("dataSha256", run.dataHash) + "," +
           field("device", run.device) + "," + field("rowsChosen", run.rowsChosen) + "," +
           field("copiesColumn", run.copiesColumn) + "," + field("mode", run.mode) + "," +
           field("form", run.formName) + "," + number("total", run.total) + "," + number("sent", run.sent) + "," +
           number("confirmed", run.confirmed) + "," + number("lastConfirmedRow", run.lastConfirmed) + "," +
           field("state", stateOf(run)) + "," + field("message", run.message) + "}";
}

std::string runLine(const JournalRun& run) {
    std::string line = std::to_string(run.id) + "  " + run.started + "  " + stateOf(run) + "  " +
                       std::to_string(run.confirmed) + " of " + std::to_string(run.total) + " rows confirmed";
    if (run.sent > run.confirmed) line += ", " + std::to_string(run.sent - run.confirmed) + " sent but not confirmed";
    line += "  " + run.origin + "  " + run.labelPath + "  " + run.dataPath + "  " + run.device;
    if (!run.message.empty()) line += "\n    " + run.message;
    return line;
}

int run(const Arguments& arguments) {
    const long long id = arguments.number("--run").value_or(0);
    const bool json = arguments.has("--json");
    const std::string path = arguments.value("--journal");
    const std::filesystem::path file = path.empty() ? PrintJournal::defaultPath() : std::filesystem::path(path);
    if (!std::filesystem::exists(file)) {
        if (id > 0) return fail("No run " + std::to_string(id) + ": there is no print journal " + file.string());
        std::printf(json ? "[]\n" : "");
        return 0;
    }
    PrintJournal journal(file, true);
    if (!journal.isOpen()) return fail(journal.error());

    if (id == 0) {
        const std::vector<JournalRun> runs = journal.runs();
        if (!journal.error().empty()) return fail(journal.error());
        std::string out = json ? "[" : "";
        for (std::size_t i = 0; i < runs.size(); ++i)
            out += json ? (i > 0 ? ",\n " : "") + runJson(runs[i]) : runLine(runs[i]) + "\n";
        if (json) out += "]\n";
        std::fputs(out.c_str(), stdout);
        return 0;
    }
    const std::optional<JournalRun> found = journal.run(id);
    if (!found) return fail("No run " + std::to_string(id) + " in the print journal " + file.string());
    const std::vector<JournalRow> rows = journal.rows(id);
    if (!journal.error().empty()) return fail(journal.error());
    if (json) {
        std::string out = runJson(*found);
        out.pop_back();
        out += ",\"rows\":[";
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const JournalRow& r = rows[i];
            out += (i > 0 ? ",\n " : "") + std::string("{\"row\":") + std::to_string(r.row) + ",\"values\":" +
                   (r.values.empty() ? "{}" : r.values) + ",\"copies\":" + std::to_string(r.copies) +
                   ",\"state\":" + jsonQuoted(rowStateName(r.state)) + ",\"sent\":" + jsonQuoted(r.sentAt) +
                   ",\"confirmed\":" + jsonQuoted(r.confirmedAt) + "}";
        }
        out += "]}\n";
        std::fputs(out.c_str(), stdout);
        return 0;
    }
    const JournalRun& r = *found;
    std::printf("run %lld: %s\n", r.id, stateOf(r).c_str());
    std::printf("started %s by %s on %s (%s, process %lld)%s%s\n", r.started.c_str(), r.user.c_str(), r.host.c_str(),
                r.origin.c_str(), r.pid, r.finished.empty() ? "" : ", ended ", r.finished.c_str());
    std::printf("label %s (SHA-256 %s)\n", r.labelPath.c_str(), r.labelHash.c_str());
    std::printf("data %s (SHA-256 %s), rows %s\n", r.dataPath.c_str(), r.dataHash.c_str(), r.rowsChosen.c_str());
    std::printf("printer %s, %s\n", r.device.c_str(), r.mode.c_str());
    std::printf("%lld of %lld rows confirmed, %lld sent\n", r.confirmed, r.total, r.sent);
    if (!r.message.empty()) std::printf("%s\n", r.message.c_str());
    for (const JournalRow& row : rows)
        std::printf("row %lld  %s  copies %u  %s\n", row.row, rowStateName(row.state), row.copies, row.values.c_str());
    return 0;
}

constexpr CommandDefinition kJournal{"journal", "the print journal's runs, newest first, or one run with its rows", {},
                               kOptions, run};
RegisterCommand registration(kJournal);

}  // namespace
}  // namespace tavrin::cli
