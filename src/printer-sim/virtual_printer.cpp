#include "virtual_printer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace tavrin::sim {

namespace {

constexpr std::size_t kLineLimit = 1024;          // longer lines are cut, as a printer's buffer would
constexpr std::size_t kMaxObjectBytes = 0xFFFF;   // the retrieve replies carry 16-bit lengths
constexpr std::size_t kMaxRasterBytes = 512 * 4096;

// The quoted name after a two-letter command: FK"NAME" gives NAME.
bool quotedName(const std::string& line, std::size_t at, std::string& name, std::size_t* end = nullptr) {
    if (line.size() <= at || line[at] != '"') return false;
    const std::size_t close = line.find('"', at + 1);
    if (close == std::string::npos) return false;
    name = line.substr(at + 1, close - at - 1);
    if (end) *end = close + 1;
    return true;
}

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

std::string escaped(const std::string& text);

// What a printed label's variables and counters held: V00="..." C00="...".
std::string valuesOf(const LabelDocument& label) {
    std::string out;
    const auto add = [&](char kind, std::size_t slot, const Variable& v) {
        if (!v.isDefined()) return;
        char name[8];
        std::snprintf(name, sizeof name, "%c%02zu", kind, slot);
        out += (out.empty() ? "" : " ") + std::string(name) + "=\"" + escaped(v.valueText()) + "\"";
    };
    for (std::size_t i = 0; i < label.variables.size(); ++i) add('V', i, label.variables[i]);
    for (std::size_t i = 0; i < label.counters.size(); ++i) add('C', i, label.counters[i]);
    return out;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

VirtualPrinter::VirtualPrinter(PrinterMemory& memory, const ResidentFonts* fonts, ReplySink reply, LabelSink printed)
    : memory_(memory), fonts_(fonts), reply_(std::move(reply)), printed_(std::move(printed)),
      clock_([] { return std::time(nullptr); }) {}

std::tm VirtualPrinter::printerTime() const {
    const std::time_t t = clock_() + clockOffset_;
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

void VirtualPrinter::logLine(const std::string& text) {
    if (log_) log_(text);
}

void VirtualPrinter::receive(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) receiveByte(b);
}

void VirtualPrinter::receiveByte(std::uint8_t b) {
    switch (mode_) {
        case Mode::Graphic:
        case Mode::Raster:
            payload_.push_back(b);
            if (payload_.size() >= payloadSize_) binaryComplete();
            return;
        case Mode::Font:
            fontByte(b);
            return;
        case Mode::Line:
            break;
    }
    if (b == '\n') {
        lineComplete();
        return;
    }
    if (b == '\r' || b == 0) return;
    if (line_.size() >= kLineLimit) {
        lineOverflow_ = true;
        return;
    }
    line_ += static_cast<char>(b);
    if (startsBinary()) line_.clear();
}

// ES"X" and GW x,y,w,h, carry their data right after the command, with no line end.
bool VirtualPrinter::startsBinary() {
    if (line_.size() >= 5 && startsWith(line_, "ES\"") && line_.back() == '"' && line_.size() == 5) {
        objectName_ = line_.substr(3, 1);
        payload_.clear();
        fontNeed_ = 3;
        fontRecordsLeft_ = -1;
        fontInRecordBody_ = false;
        mode_ = Mode::Font;
        logLine(line_ + " (font data follows)");
        return true;
    }
    if (startsWith(line_, "GW") && line_.back() == ',') {
        int v[4];
        if (!scanNumbers(line_, 2, "ssuu", v, true)) return false;
        logLine(line_ + " (raster follows)");
        const long size = static_cast<long>(v[2]) * v[3];
        raster_ = Raster{v[0], v[1], v[2], v[3], {}};
        if (v[2] <= 0 || v[3] <= 0 || size > static_cast<long>(kMaxRasterBytes)) return true;  // nothing to take
        payload_.clear();
        payloadSize_ = static_cast<std::size_t>(size);
        mode_ = Mode::Raster;
        return true;
    }
    return false;
}

// Label font data: n, 0, height, then n records of code, width, bytesPerRow and the rows.
// Its length is known only by walking the records.
void VirtualPrinter::fontByte(std::uint8_t b) {
    payload_.push_back(b);
    if (payload_.size() > kMaxObjectBytes) {
        logLine("font data too long; dropped");
        mode_ = Mode::Line;
        return;
    }
    if (payload_.size() < fontNeed_) return;
    if (fontRecordsLeft_ < 0) {
        fontRecordsLeft_ = payload_[0];
        fontHeight_ = payload_[2];
    } else if (!fontInRecordBody_) {
        const std::size_t bytesPerRow = payload_[payload_.size() - 1];
        fontInRecordBody_ = true;
        fontNeed_ += bytesPerRow * static_cast<std::size_t>(fontHeight_);
        if (payload_.size() < fontNeed_) return;
    }
    if (fontInRecordBody_) {
        fontInRecordBody_ = false;
        --fontRecordsLeft_;
    }
    if (fontRecordsLeft_ == 0) {
        binaryComplete();
        return;
    }
    fontNeed_ += 3;
}

void VirtualPrinter::binaryComplete() {
    const Mode finished = mode_;
    mode_ = Mode::Line;
    if (finished == Mode::Graphic) {
        memory_.graphics[objectName_] = payload_;
        logLine("stored graphics \"" + objectName_ + "\" (" + std::to_string(payload_.size()) + " bytes)");
        memory_.save();
    } else if (finished == Mode::Font) {
        memory_.fonts[objectName_] = payload_;
        logLine("stored font \"" + objectName_ + "\" (" + std::to_string(payload_.size()) + " bytes)");
        memory_.save();
    } else if (finished == Mode::Raster) {
        raster_.data = payload_;
        rasters_.push_back(raster_);
    }
    payload_.clear();
}

void VirtualPrinter::lineComplete() {
    std::string line;
    line.swap(line_);
    if (lineOverflow_) logLine("line too long; cut to " + std::to_string(kLineLimit) + " characters");
    lineOverflow_ = false;
    if (valuesExpected_ > 0) {
        valuesTarget_->push_back(line);
        --valuesExpected_;
        return;
    }
    if (line.empty()) return;
    logLine(line);
    if (storing_) {
        if (line == "FE") {
            memory_.forms[storingName_] = storingLines_;
            storing_ = false;
            memory_.save();
            logLine("stored form \"" + storingName_ + "\" (" + std::to_string(storingLines_.size()) + " lines)");
        } else {
            storingLines_.push_back(line);
        }
        return;
    }
    command(line);
}

void VirtualPrinter::command(const std::string& line) {
    std::string name;
    if (line == "N") {
        job_ = true;
        jobLines_.clear();
        jobValues_.clear();
        rasters_.clear();
    } else if (line == "UF" || line == "UG" || line == "UE") {
        std::vector<std::string> names;
        if (line == "UF") for (const auto& [n, lines] : memory_.forms) names.push_back(n);
        if (line == "UG") for (const auto& [n, bytes] : memory_.graphics) names.push_back(n);
        if (line == "UE") for (const auto& [n, bytes] : memory_.fonts) names.push_back(n);
        replyList(names);
    } else if (line == "UM") {
        char text[64];
        std::snprintf(text, sizeof text, "%u,%u,%u,%u\r\n", memory_.formBytes(), memory_.graphicsBytes(),
                      memory_.fontBytes(), memory_.freeBytes());
        reply(text);
    } else if (line == "FA") {
        reply(memory_.activeForm + "\r\n");
    } else if (line == "VI") {
        replyVariables();
    } else if (line == "TI") {
        const std::tm t = printerTime();
        char text[64];
        std::snprintf(text, sizeof text, "%02d,%02d,%02d,%02d,%02d,%02d\r\n", t.tm_mon + 1, t.tm_mday,
                      t.tm_year % 100, t.tm_hour, t.tm_min, t.tm_sec);
        reply(text);
    } else if (startsWith(line, "TS")) {
        int v[6];
        if (scanNumbers(line, 2, "uuuuuu", v, false)) {
            std::tm t{};
            t.tm_mon = v[0] - 1;
            t.tm_mday = v[1];
            t.tm_year = v[2] + 100;
            t.tm_hour = v[3];
            t.tm_min = v[4];
            t.tm_sec = v[5];
            t.tm_isdst = -1;
            const std::time_t set = std::mktime(&t);
            if (set != -1) clockOffset_ = set - clock_();
        }
    } else if (startsWith(line, "FS") && quotedName(line, 2, name)) {
        storing_ = true;
        storingName_ = name;
        storingLines_.clear();
    } else if (startsWith(line, "FK") && quotedName(line, 2, name)) {
        memory_.forms.erase(name);
        if (memory_.activeForm == name) memory_.activeForm.clear();
        memory_.save();
    } else if (startsWith(line, "GK") && quotedName(line, 2, name)) {
        memory_.graphics.erase(name);
        memory_.save();
    } else if (startsWith(line, "EK") && quotedName(line, 2, name)) {
        memory_.fonts.erase(name);
        memory_.save();
    } else if (startsWith(line, "FR") && quotedName(line, 2, name)) {
        if (memory_.forms.count(name)) memory_.activeForm = name;
        job_ = false;
        memory_.save();
    } else if (startsWith(line, "FI") && quotedName(line, 2, name)) {
        const auto it = memory_.forms.find(name);
        std::string text;
        if (it != memory_.forms.end())
            for (const auto& l : it->second) text += l + "\r\n";
        text += '\0';
        reply(text);
    } else if (startsWith(line, "GI") && quotedName(line, 2, name)) {
        const auto it = memory_.graphics.find(name);
        replyObject(it == memory_.graphics.end() ? nullptr : &it->second);
    } else if (startsWith(line, "EI") && quotedName(line, 2, name)) {
        const auto it = memory_.fonts.find(name);
        replyObject(it == memory_.fonts.end() ? nullptr : &it->second);
    } else if (startsWith(line, "GM")) {
        std::size_t end = 0;
        if (!quotedName(line, 2, name, &end)) return;
        int size = 0;
        // The scanner stops at 65535, so a count that reaches it is one too large to trust.
        if (!scanNumbers(line, end, "u", &size, false) || size <= 0 || static_cast<std::size_t>(size) >= kMaxObjectBytes)
            return;
        objectName_ = name;
        payload_.clear();
        payloadSize_ = static_cast<std::size_t>(size);
        mode_ = Mode::Graphic;
    } else if (line == "?") {
        // The values of the definitions in force: the job's, or the active form's.
        // Looked up, not indexed: a missing active form must not become a stored one.
        static const std::vector<std::string> kNoLines;
        const auto form = memory_.forms.find(memory_.activeForm);
        const auto& lines = job_ ? jobLines_ : form != memory_.forms.end() ? form->second : kNoLines;
        valuesTarget_ = job_ ? &jobValues_ : &formValues_[memory_.activeForm];
        valuesTarget_->clear();
        valuesExpected_ = static_cast<int>(definitionsOf(lines).size());
    } else if (line[0] == 'P') {
        // "Psets,copies"; a single number is the quantity of one label (the editor's test
        // print), so its copies are alike and the counters move once.
        int v[2] = {1, 1};
        if (line.size() == 1) print(1, 1);
        else if (scanNumbers(line, 1, "u", v, false)) print(1, v[0]);
        else if (scanNumbers(line, 1, "uu", v, false)) print(v[0], v[1]);
    } else if (line == "M") {
        memory_.erase();
        memory_.save();
    } else if (line == "U" || line == "RESET" || line == "FI" || line == "GI" || line == "EI" || line == "VC") {
        // Diagnostic page, default parameters, list prints: nothing to keep.
    } else if (job_) {
        jobLines_.push_back(line);
    }
}

void VirtualPrinter::reply(std::string_view text) {
    reply(Bytes(text.begin(), text.end()));
}

void VirtualPrinter::reply(const Bytes& bytes) {
    if (faults_.silent || !reply_) return;
    Bytes out = bytes;
    if (faults_.truncateReplies) out.resize(out.size() / 2);
    if (faults_.garbage) {
        for (auto& b : out) {
            noise_ = noise_ * 1103515245u + 12345u;
            b = static_cast<std::uint8_t>(noise_ >> 16);
        }
    }
    reply_(out);
}

void VirtualPrinter::replyList(const std::vector<std::string>& names) {
    std::string text = std::to_string(names.size()) + "\r\n";
    for (const auto& n : names) text += n + "\r\n";
    reply(text);
}

void VirtualPrinter::replyObject(const Bytes* bytes) {
    const std::size_t n = bytes ? std::min(bytes->size(), kMaxObjectBytes) : 0;
    Bytes out = {static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n & 0xFF)};
    if (bytes) out.insert(out.end(), bytes->begin(), bytes->begin() + static_cast<std::ptrdiff_t>(n));
    reply(out);
}

// One line per definition in fixed columns, then NUL:
// V00,10,R0,"prompt","value" and C00,04,R0,+1,"prompt","value".
void VirtualPrinter::replyVariables() {
    std::string text;
    const auto formIt = memory_.forms.find(memory_.activeForm);
    if (formIt != memory_.forms.end()) {
        const auto& values = formValues_[memory_.activeForm];
        std::size_t next = 0;
        for (const auto& [counter, slot, d] : definitionsOf(formIt->second)) {
            static const char letters[] = "NLCR";
            char head[32];
            std::snprintf(head, sizeof head, "%c%02d,%02d,%c%c,", counter ? 'C' : 'V', slot, d.length % 100,
                          letters[d.justification & 3], d.padChar ? d.padChar : ' ');
            text += head;
            if (counter) text += (d.counterStep() >= 0 ? "+" : "") + std::to_string(d.counterStep()) + ",";
            const std::string value = next < values.size() ? values[next] : "";
            text += "\"" + escaped(d.promptText()) + "\",\"" + escaped(value) + "\"\r\n";
            ++next;
        }
    }
    text += '\0';
    reply(text);
}

void VirtualPrinter::print(int sets, int copies) {
    const bool fromJob = job_;
    const std::string source = fromJob ? "job" : memory_.activeForm;
    std::vector<std::string>* lines = nullptr;
    std::vector<std::string>* values = nullptr;
    if (fromJob) {
        lines = &jobLines_;
        values = &jobValues_;
    } else {
        const auto it = memory_.forms.find(memory_.activeForm);
        if (it == memory_.forms.end()) {
            logLine("P without a job or an active form: nothing printed");
            return;
        }
        lines = &it->second;
        values = &formValues_[memory_.activeForm];
    }
    sets = std::clamp(sets, 0, 9999);
    copies = std::clamp(copies, 0, 9999);
    LabelDocument label = buildLabel(*lines, *values, memory_);
    for (int set = 1; set <= sets; ++set) {
        // One label handed out for every copy: a copy of the image per label would make a
        // request of 9999 copies of a large label take minutes.
        PrintedLabel printed{printLabelImage(label, rasters_, fonts_, printerTime()), set, 1, source, valuesOf(label)};
        for (int copy = 1; copy <= copies; ++copy) {
            ++labelsPrinted_;
            printed.copy = copy;
            if (printed_) printed_(printed);
        }
        label.advanceCounters(1);
    }
    // The printer remembers where its counters stand.
    const auto defs = definitionsOf(*lines);
    values->resize(std::max(values->size(), defs.size()));
    for (std::size_t i = 0; i < defs.size(); ++i) {
        if (!defs[i].counter) continue;
        (*values)[i] = label.counters[static_cast<std::size_t>(defs[i].slot)].valueText();
    }
    if (fromJob) job_ = false;
}

}  // namespace tavrin::sim
