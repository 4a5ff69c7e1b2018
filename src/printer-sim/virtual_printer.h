#pragma once
// The printer's side of the command language, as a byte-stream engine: bytes from the
// host go in through receive(); replies leave through the reply sink and printed labels
// through the label sink. It stores forms, graphics and fonts, answers the list, retrieve,
// memory, variables and clock queries, and prints immediate jobs and stored forms with
// their values, sets and copies. Whatever it does not understand it ignores.
#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "label_job.h"
#include "printer_memory.h"
#include "render/bitmap.h"

namespace tavrin {
class ResidentFonts;
}

namespace tavrin::sim {

struct Faults {
    bool silent = false;         // never answer
    bool truncateReplies = false;  // send only the first half of every reply
    bool garbage = false;        // answer with noise instead of the reply
};

struct PrintedLabel {
    Bitmap image;
    int set = 1;    // 1-based
    int copy = 1;   // 1-based
    std::string source;  // "job" or the form's name
    // The values it printed with, for the log: V00="..." C00="..." (defined slots only).
    std::string values;
};

class VirtualPrinter {
public:
    using ReplySink = std::function<void(std::span<const std::uint8_t>)>;
    using LabelSink = std::function<void(const PrintedLabel&)>;
    using LogSink = std::function<void(const std::string&)>;

    VirtualPrinter(PrinterMemory& memory, const ResidentFonts* fonts, ReplySink reply, LabelSink printed);

    void receive(std::span<const std::uint8_t> bytes);
    void receive(std::string_view text) {
        receive(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }

    void setFaults(const Faults& faults) { faults_ = faults; }
    void setLog(LogSink log) { log_ = std::move(log); }
    // The host's clock; the printer keeps its own offset from it (set with TS).
    void setClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }
    std::tm printerTime() const;

    int labelsPrinted() const { return labelsPrinted_; }

private:
    enum class Mode { Line, Graphic, Font, Raster };

    void receiveByte(std::uint8_t b);
    void lineComplete();
    bool startsBinary();  // the line so far opens a binary payload
    void command(const std::string& line);
    void binaryComplete();
    void fontByte(std::uint8_t b);

    void reply(std::string_view text);
    void reply(const Bytes& bytes);
    void replyList(const std::vector<std::string>& names);
    void replyObject(const Bytes* bytes);
    void replyVariables();
    void print(int sets, int copies);
    void logLine(const std::string& text);

    PrinterMemory& memory_;
    const ResidentFonts* fonts_;
    ReplySink reply_;
    LabelSink printed_;
    LogSink log_;
    Faults faults_;
    std::function<std::time_t()> clock_;
    std::time_t clockOffset_ = 0;

    Mode mode_ = Mode::Line;
    std::string line_;
    bool lineOverflow_ = false;

    // binary payload in progress
    std::string objectName_;
    Bytes payload_;
    std::size_t payloadSize_ = 0;
    std::size_t fontNeed_ = 3;
    int fontRecordsLeft_ = -1;
    int fontHeight_ = 0;
    bool fontInRecordBody_ = false;
    Raster raster_;

    // form being stored (FS .. FE)
    bool storing_ = false;
    std::string storingName_;
    std::vector<std::string> storingLines_;

    // immediate job (N .. P)
    bool job_ = false;
    std::vector<std::string> jobLines_;
    std::vector<std::string> jobValues_;
    std::vector<Raster> rasters_;
    // values of the stored forms' variables and counters, by form
    std::map<std::string, std::vector<std::string>> formValues_;
    int valuesExpected_ = 0;
    std::vector<std::string>* valuesTarget_ = nullptr;

    int labelsPrinted_ = 0;
    unsigned noise_ = 12345;
};

}  // namespace tavrin::sim
