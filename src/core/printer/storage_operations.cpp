#include "printer/storage_operations.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

#include "printer/form_reader.h"
#include "printer/form_writer.h"
#include "printer/matrix_symbols.h"
#include "common/text.h"

namespace tavrin {

namespace {

using std::chrono::milliseconds;

// Reply buffers, as characters per line including room for the end.
constexpr std::size_t kVariableLineSize = 128;
constexpr std::size_t kActiveFormLineSize = 16;
// The slots are 40; a reply that goes on far longer is not a VI reply.
constexpr int kMaxVariableLines = 256;
// The longest quoted string a VI line may carry.
constexpr std::size_t kMaxQuotedLength = 63;
constexpr std::size_t kFontHeaderProbe = 48;
constexpr std::size_t kFormLineSize = 250;
// A form reply that goes on longer than this is not a form.
constexpr int kMaxFormLines = 65536;
// Font files are kept below this size; a longer reply is not a font.
constexpr std::size_t kMaxFontBytes = 49152;

bool isNameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<int> twoDigits(std::string_view line, std::size_t at) {
    if (at + 1 >= line.size() || !isDigit(line[at]) || !isDigit(line[at + 1])) return std::nullopt;
    return (line[at] - '0') * 10 + (line[at + 1] - '0');
}

// The quoted string whose opening quote is at `at`: the text up to the closing quote, a
// backslash taking the next character literally. Dropped when it runs past the longest
// string or the line end. `next` gets the position after the closing quote.
std::optional<std::string> quotedString(std::string_view line, std::size_t at, std::size_t& next) {
    std::string text;
    std::size_t i = at + 1;
    while (i < line.size()) {
        char c = line[i];
        if (c == '"') {
            next = i + 1;
            return text;
        }
        if (c == '\\') {
            if (++i >= line.size()) break;
            c = line[i];
        }
        if (text.size() >= kMaxQuotedLength) return std::nullopt;
        text.push_back(c);
        ++i;
    }
    return std::nullopt;
}

std::uint8_t justificationCode(char letter) {
    switch (letter) {
        case 'L': return kJustifyLeft;
        case 'C': return kJustifyCentre;
        case 'R': return kJustifyRight;
        default: return kJustifyNone;
    }
}

std::vector<std::uint8_t> readWholeFile(const std::filesystem::path& path, bool& ok) {
    std::ifstream file(path, std::ios::binary);
    ok = static_cast<bool>(file);
    if (!ok) return {};
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ok = !file.bad();
    return bytes;
}

// Where a font file's data starts: past its own "ES"x"" when the file begins with its
// download commands, else at its first byte.
std::size_t fontDataStart(const std::vector<std::uint8_t>& bytes) {
    const std::string_view head(reinterpret_cast<const char*>(bytes.data()),
                                std::min(bytes.size(), kFontHeaderProbe));
    const auto store = head.find("ES\"");
    if (head.find("EK\"") == std::string_view::npos || store == std::string_view::npos) return 0;
    return std::min(bytes.size(), store + 5);
}

const char* listHeading(int kind) {
    switch (kind) {
        case kListGraphics: return "Existing graphics:";
        case kListFonts: return "Existing fonts:";
        default: return "Existing forms:";
    }
}

}  // namespace

std::optional<VariableDefinition> parseVariableLine(std::string_view line) {
    if (line.size() < 11 || (line[0] != 'V' && line[0] != 'C')) return std::nullopt;
    VariableDefinition parsed;
    parsed.counter = line[0] == 'C';
    const auto slot = twoDigits(line, 1);
    const auto length = twoDigits(line, 4);
    if (!slot || !length) return std::nullopt;
    // The slot number indexes the label's slots; one past them names nothing.
    if (*slot >= (parsed.counter ? kCounterCount : kVariableCount)) return std::nullopt;
    parsed.slot = *slot;

    Variable& v = parsed.definition;
    v.defined = 1;
    v.length = static_cast<std::uint8_t>(*length);
    v.justification = justificationCode(line[7]);
    v.padChar = line[8];
    std::size_t promptQuote = 10;
    if (parsed.counter) {
        std::size_t i = 10;
        bool negative = false;
        if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
        int magnitude = 0;
        for (int digits = 0; i < line.size() && isDigit(line[i]) && digits < 3; ++i, ++digits)
            magnitude = magnitude * 10 + (line[i] - '0');
        const int step = std::clamp(negative ? -magnitude : magnitude, -128, 127);
        v.step = static_cast<std::uint8_t>(static_cast<std::int8_t>(step));
        promptQuote = 13 + (magnitude >= 10 ? 1 : 0) + (magnitude >= 100 ? 1 : 0);
    }
    std::size_t afterPrompt = 0;
    if (promptQuote < line.size()) {
        if (auto prompt = quotedString(line, promptQuote, afterPrompt)) {
            while (!prompt->empty() && static_cast<unsigned char>(prompt->back()) <= ' ') prompt->pop_back();
            v.setPrompt(*prompt);
            std::size_t afterValue = 0;
            // The value follows the prompt's closing quote and a comma.
            if (afterPrompt + 1 < line.size())
                if (const auto value = quotedString(line, afterPrompt + 1, afterValue)) v.setValue(*value);
        }
    }
    return parsed;
}

StoreAsDecision checkStoreAsName(std::string_view name, int kind, const std::vector<std::string>& existing) {
    StoreAsDecision decision;
    if (name.empty()) return decision;
    // A font is known by one letter; forms and pictures by up to eight.
    const std::size_t longest = kind == kListFonts ? 1 : kMaxObjectNameLength;
    if (name.size() > longest || !std::all_of(name.begin(), name.end(), isNameCharacter)) {
        decision.action = StoreAsDecision::Action::Refuse;
        decision.message = {"Error", "Invalid name: " + std::string(name)};
        return decision;
    }
    if (std::find(existing.begin(), existing.end(), name) != existing.end()) {
        decision.action = StoreAsDecision::Action::AskOverwrite;
        decision.message = {"Warning", std::string(listKindWord(kind)) + " exists. Overwrite ?"};
        return decision;
    }
    decision.action = StoreAsDecision::Action::Store;
    return decision;
}

bool PrinterStorage::receiveNames(std::string_view command, std::vector<std::string>& names, bool trim) {
    return static_cast<bool>(receiveNameList(link_, command, names, trim));
}

bool PrinterStorage::receiveList(int kind) {
    link_.showProgress(listProgressText(kind));
    storeAsList_.names.clear();
    bool ok = false;
    if (link_.openPort()) {
        storeAsList_.heading = listHeading(kind);
        ok = receiveNames(listCommand(kind), storeAsList_.names, false);
        link_.closePort();
        if (ok) CurrentListKind = kind;
    }
    link_.endProgress();
    return ok;
}

bool PrinterStorage::listGraphicsAndFonts() {
    graphicsNames_.clear();
    fontNames_.clear();
    if (!link_.openPort()) return false;
    bool ok = receiveNames("\r\nUG\r\n", graphicsNames_, true);
    if (ok) {
        link_.pause(milliseconds(100));
        // The first list's end mark and anything else left over.
        link_.discardInput();
        ok = receiveNames("\r\nUE\r\n", fontNames_, true);
    }
    link_.closePort();
    return ok;
}

bool PrinterStorage::stopAfterRefusal() {
    link_.closePort();
    link_.endProgress();
    return false;
}

bool PrinterStorage::storeFormFile(const std::filesystem::path& file, std::string_view name) {
    bool readable = false;
    const std::vector<std::uint8_t> form = readWholeFile(file, readable);
    if (!readable) {
        link_.ui().showError("Error", "Can't open input file");
        return false;
    }
    if (!link_.openPort()) return false;
    if (!link_.writeText("\r\n\nN\r\n")) return stopAfterRefusal();
    link_.showProgress("Store form " + std::string(name));
    if (!link_.writeText("FK" + inQuotes(name) + "\r\n")) return stopAfterRefusal();
    link_.pause(milliseconds(150));
    if (!link_.writeText("FS" + inQuotes(name) + "\r\n")) return stopAfterRefusal();
    if (!link_.writeBytes(form)) return stopAfterRefusal();
    if (!link_.writeText("\r\nFE\r\n")) return stopAfterRefusal();
    if (!link_.writeText("FR" + inQuotes(name) + "\r\n")) return stopAfterRefusal();
    link_.closePort();
    link_.endProgress();
    receiveList(kListForms);
    return true;
}

bool PrinterStorage::storeGraphicsFile(const GraphicsBuffer& buffer, std::string_view name) {
    if (!link_.openPort()) return false;
    if (!link_.writeText("\r\n\nGK" + inQuotes(name) + "\n")) return stopAfterRefusal();
    link_.pause(milliseconds(100));
    link_.showProgress("Store picture " + std::string(name));
    const auto pcx = buffer.pcx();
    if (!link_.writeText("GM" + inQuotes(name) + std::to_string(pcx.size()) + "\n")) return stopAfterRefusal();
    if (!link_.writeBytes(pcx)) return stopAfterRefusal();
    if (!link_.writeText(std::string(256, '\n'))) return stopAfterRefusal();
    link_.closePort();
    link_.endProgress();
    receiveList(kListGraphics);
    return true;
}

bool PrinterStorage::storeFontFile(const std::filesystem::path& file, std::string_view name) {
    bool readable = false;
    const std::vector<std::uint8_t> font = readWholeFile(file, readable);
    if (!readable) {
        link_.ui().showError("Error", "Can't open input file");
        return false;
    }
    if (!link_.openPort()) return false;
    const std::size_t start = fontDataStart(font);
    if (!link_.writeText("\r\n\nEK" + inQuotes(name) + "\r\n")) return stopAfterRefusal();
    link_.pause(milliseconds(150));
    link_.showProgress("Store font " + std::string(name));
    if (!link_.writeText("ES" + inQuotes(name))) return stopAfterRefusal();
    if (!link_.writeBytes(std::span(font).subspan(start))) return stopAfterRefusal();
    if (!link_.writeText(std::string(256, '\r') + "\n")) return stopAfterRefusal();
    link_.closePort();
    link_.endProgress();
    receiveList(kListFonts);
    return true;
}

bool PrinterStorage::storeCurrentLabel(const LabelDocument& label, std::string_view name) {
    // Refused before the port opens, so the printer's form of this name stays as it was.
    if (const auto refusal = matrixSymbolStoreRefusal(label, RenderContext{&label, nullptr, {}})) {
        link_.ui().showError(refusal->title, refusal->text);
        return false;
    }
    if (!link_.openPort()) return false;
    // One progress window for the whole chain: its steps only change the text.
    link_.showProgress("Store current form as " + std::string(name));
    bool sent = false;
    {
        const ProgressChain chain(link_);
        LinkByteSink sink(link_);
        sent = writeStoredForm(label, name, sink);
        link_.closePort();
        link_.pause(milliseconds(100));
    }
    link_.endProgress();
    if (!sent) return false;
    CurrentListKind = kListFormsForLabel;
    receiveList(kListFormsForLabel);
    return true;
}

bool PrinterStorage::storeAs(std::string_view name, const StoreSources& sources) {
    switch (CurrentListKind) {
        case kListForms: return storeFormFile(sources.file, name);
        case kListGraphics: return sources.graphics && storeGraphicsFile(*sources.graphics, name);
        case kListFonts: return storeFontFile(sources.file, name);
        case kListFormsForLabel: return sources.label && storeCurrentLabel(*sources.label, name);
        default: return false;
    }
}

bool PrinterStorage::receiveActiveForm() {
    activeFormName_.clear();
    if (!link_.openPort()) return false;
    const bool sent = link_.writeText("\r\nFA\r\n");
    link_.showProgress("Receiving active form name");
    if (sent) {
        std::string line;
        link_.readLine(line, kActiveFormLineSize);
        activeFormName_ = line;
    }
    link_.endProgress();
    link_.closePort();
    return sent && !link_.silent();
}

void PrinterStorage::selectActiveForm(std::string_view name, LabelDocument& label) {
    if (!link_.openPort()) return;
    link_.showProgress("Receiving active form name");
    if (!link_.writeText(selectFormLine(name))) {
        stopAfterRefusal();
        return;
    }
    link_.pause(milliseconds(50));
    {
        const ProgressChain chain(link_);
        receiveActiveForm();
        if (!link_.silent()) {
            link_.showProgress("Receiving variables");
            receiveVariables(label);
        }
    }
    link_.endProgress();
    link_.closePort();
}

int PrinterStorage::receiveVariables(std::array<Variable, kVariableCount>& variables,
                                     std::array<Counter, kCounterCount>& counters) {
    // Slots the reply does not name end up undefined; their other bytes stay.
    auto scratchVariables = variables;
    auto scratchCounters = counters;
    for (auto& v : scratchVariables) v.defined = 0;
    for (auto& c : scratchCounters) c.defined = 0;

    if (!link_.openPort()) return 0;
    if (!link_.writeText("\r\n\nVI\r\n")) {
        link_.closePort();
        return 0;
    }
    int count = 0;
    std::string line;
    for (int lines = 0; lines < kMaxVariableLines; ++lines) {
        link_.readLine(line, kVariableLineSize);
        if (link_.silent()) {
            link_.closePort();
            return 0;
        }
        if (link_.atEndMark() || line.empty() || (line[0] != 'V' && line[0] != 'C')) break;
        const auto parsed = parseVariableLine(line);
        if (!parsed) continue;
        auto& slot = parsed->counter ? scratchCounters[static_cast<std::size_t>(parsed->slot)]
                                     : scratchVariables[static_cast<std::size_t>(parsed->slot)];
        slot = parsed->definition;
        ++count;
    }
    link_.closePort();
    variables = scratchVariables;
    counters = scratchCounters;
    return count;
}

// The port stays open for the caller to close; silence, a stop or a refused write end the
// whole retrieval, a damaged reply only leaves its object out.
PrinterStorage::Fetch PrinterStorage::fetch(std::string_view command, std::string_view progress, std::size_t minimum,
                                            std::size_t maximum, std::vector<std::uint8_t>& block) {
    if (!link_.openPort()) return Fetch::Silent;
    if (!link_.writeText(command)) return Fetch::Silent;
    link_.showProgress(progress);
    const Result read = readLengthPrefixedBlock(link_, minimum, maximum, block);
    if (read) return Fetch::Done;
    return read.kind() == FailureKind::Damaged ? Fetch::Damaged : Fetch::Silent;
}

// GI: the PCX header, then the run-length rows. The block keeps the rows behind a share
// count and the header's bytes per line; width and height come from the header. A reply too
// short for its header, too big for the program to hold, or with a header that describes no
// picture is left out.
PrinterStorage::Fetch PrinterStorage::fetchPicture(std::string_view name, PictureBlockRef& block,
                                                   PictureRecord& facts) {
    std::vector<std::uint8_t> reply;
    const Fetch fetched = fetch("\r\nGI" + inQuotes(name) + "\r\n", "Receiving graphics " + inQuotes(name),
                                GraphicsBuffer::kHeaderSize, GraphicsBuffer::kCapacity, reply);
    if (fetched != Fetch::Done) return fetched;
    const auto le16 = [&reply](std::size_t at) { return reply[at] | reply[at + 1] << 8; };
    const int width = le16(8) - le16(4) + 1;
    const int height = le16(10) - le16(6) + 1;
    const int bytesPerRow = le16(66);
    if (width < 1 || height < 1 || bytesPerRow > 255 || bytesPerRow * 8 < width) return Fetch::Damaged;
    auto fresh = std::make_shared<PictureBlock>();
    fresh->bytes.reserve(reply.size() - GraphicsBuffer::kHeaderSize + 2);
    fresh->bytes.push_back(1);
    fresh->bytes.push_back(static_cast<std::uint8_t>(bytesPerRow));
    fresh->bytes.insert(fresh->bytes.end(), reply.begin() + GraphicsBuffer::kHeaderSize, reply.end());
    facts.width = width;
    facts.height = height;
    facts.dataLength = static_cast<unsigned>(fresh->bytes.size());
    block = std::move(fresh);
    return Fetch::Done;
}

// EI: the font data: character count, a zero, height, records.
PrinterStorage::Fetch PrinterStorage::fetchFont(std::string_view name, std::vector<std::uint8_t>& data) {
    return fetch("\r\nEI" + inQuotes(name) + "\r\n", "Receiving font " + inQuotes(name), 3, kMaxFontBytes - 1, data);
}

bool PrinterStorage::retrieveForm(std::string_view name, LabelDocument& label) {
    if (!listGraphicsAndFonts()) return false;
    if (!link_.openPort()) return false;
    label.figures.clearFigures();
    label.variables = {};
    label.counters = {};
    if (!link_.writeText("\r\nFI" + inQuotes(name) + "\r\n")) {
        link_.closePort();
        return false;
    }
    FormReader reader(label, FormReader::nameListResolver(graphicsNames_));
    std::string line;
    for (int lines = 0; lines < kMaxFormLines; ++lines) {
        link_.readLine(line, kFormLineSize);
        if (link_.silent()) {
            link_.closePort();
            return false;
        }
        if (link_.atEndMark()) break;
        reader.readFormLine(line);
    }
    link_.closePort();

    for (const std::string& pictureName : graphicsNames_) {
        PictureBlockRef block;
        PictureRecord facts;
        bool fetched = false;
        for (Figure& figure : label.figures) {
            if (figure.kind != FigureKind::Picture) continue;
            PictureRecord picture = PictureRecord::decode(figure.record);
            if (picture.name != pictureName) continue;
            if (!fetched) {
                fetched = true;
                const Fetch result = fetchPicture(pictureName, block, facts);
                link_.closePort();
                if (result == Fetch::Silent) return false;
            } else if (block && block->bytes[0] < 255) {
                ++block->bytes[0];
            }
            if (!block) continue;
            picture.width = facts.width;
            picture.height = facts.height;
            picture.dataLength = facts.dataLength;
            figure.record = picture.encode();
            figure.picture = block;
        }
    }

    int fontNumber = 5;
    for (const std::string& fontName : fontNames_) {
        if (fontName.empty()) continue;
        const int letter = static_cast<unsigned char>(fontName[0]);
        const auto usesFont = [letter](const Figure& figure) {
            return figure.kind == FigureKind::Text && TextRecord::decode(figure.record).font == letter;
        };
        if (std::none_of(label.figures.begin(), label.figures.end(), usesFont)) continue;
        std::vector<std::uint8_t> data;
        const Fetch result = fetchFont(fontName, data);
        link_.closePort();
        if (result == Fetch::Silent) return false;
        // A font that did not come whole leaves its texts naming the letter.
        if (result == Fetch::Damaged) continue;
        ++fontNumber;
        for (Figure& figure : label.figures) {
            if (!usesFont(figure)) continue;
            TextRecord text = TextRecord::decode(figure.record);
            text.font = fontNumber;
            figure.record = text.encode();
        }
        FontRecord font;
        font.dataLength = static_cast<unsigned>(data.size());
        font.charCount = data[0];
        font.height = data[2];
        font.letter = fontName[0];
        Figure& entry = label.figures.appendFigure(font.encode(), FigureKind::Font);
        entry.fontData = std::move(data);
    }

    if (!link_.openPort()) return false;
    link_.writeText(selectFormLine(name));
    link_.showProgress("Receiving variables");
    receiveVariables(label);
    return true;
}

Result PrinterStorage::receiveForm(std::string_view name, LabelDocument& label) {
    link_.showProgress("Receiving form " + inQuotes(name));
    const bool whole = [&] {
        const ProgressChain chain(link_);
        return retrieveForm(name, label);
    }();
    link_.closePort();
    // The window must end as an error, not close as if the form had come.
    if (!whole) link_.markSilent();
    link_.endProgress();
    return link_.status();
}

}  // namespace tavrin
