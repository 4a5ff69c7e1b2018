#include "document/label_file.h"

#include <algorithm>
#include <cstring>

#include "document/safe_file.h"

namespace tavrin {

namespace {

constexpr int kStoredFontShift = 59;   // soft font numbers 6.. are stored as 65..
constexpr int kStoredFontFirst = 64;
constexpr std::size_t kSlotRecordSize = 1 + kSlotSize;

class Writer {
public:
    void u8(unsigned v) { out.push_back(static_cast<std::uint8_t>(v)); }
    void be16(int v) {
        const auto w = static_cast<std::uint16_t>(v);
        u8(w >> 8);
        u8(w & 0xFF);
    }
    void bytes(const std::uint8_t* p, std::size_t n) { out.insert(out.end(), p, p + n); }
    void field(const std::string& text, std::size_t width) {
        const std::size_t n = std::min(text.size(), width - 1);
        out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
        out.insert(out.end(), width - n, 0);
    }
    void record(char tag, const std::uint8_t* body, std::size_t size) {
        u8(static_cast<unsigned char>(tag));
        be16(static_cast<int>(size));
        bytes(body, size);
    }
    std::vector<std::uint8_t> out;
};

// Characters of the zero-terminated string at offset, at most maxLength.
std::size_t dataLength(const Record& r, std::size_t offset, std::size_t maxLength) {
    std::size_t n = 0;
    while (n < maxLength && r[offset + n] != 0) ++n;
    return n;
}

// A string field's record body always ends with its zero byte, even if memory lacked one.
void writeStringRecord(Writer& w, char tag, Record r, std::size_t dataOffset, std::size_t maxLength) {
    const std::size_t n = dataLength(r, dataOffset, maxLength);
    r[dataOffset + n] = 0;
    w.record(tag, r.data(), dataOffset + n + 1);
}

void writeHeader(Writer& w, const LabelSetup& s) {
    w.bytes(reinterpret_cast<const std::uint8_t*>(kLabelFileMagic), sizeof kLabelFileMagic);
    w.be16(s.width);
    w.be16(s.length);
    w.be16(s.leftMargin);
    w.be16(s.topMargin);
    w.be16(s.offset);
    w.u8((s.orientation & 1) | (s.normalText == 0 ? 2 : 0));
    w.u8(static_cast<unsigned>(s.darkness));
    w.u8(static_cast<unsigned>(s.speed));
    w.u8(static_cast<unsigned>(s.language));
    w.u8(static_cast<unsigned>(s.labelGap));
    w.u8(static_cast<unsigned>(s.paperType));
    w.u8(0); w.u8(0); w.u8(0); w.u8(0);
    w.field(s.dateFormat, kFormatFieldWidth);
    w.field(s.timeFormat, kFormatFieldWidth);
}

template <std::size_t N>
void writeSlots(Writer& w, char tag, const std::array<Variable, N>& slots) {
    for (std::size_t i = 0; i < N; ++i) {
        if (!slots[i].isDefined()) continue;
        std::uint8_t body[kSlotRecordSize];
        body[0] = static_cast<std::uint8_t>(i);
        const auto bytes = slots[i].toBytes();
        std::memcpy(body + 1, bytes.data(), kSlotSize);
        w.record(tag, body, sizeof body);
    }
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : in(bytes) {}
    std::size_t left() const { return in.size() - pos; }
    bool take(std::size_t n, std::span<const std::uint8_t>& out) {
        if (left() < n) return false;
        out = in.subspan(pos, n);
        pos += n;
        return true;
    }
    int be16At(std::size_t at) const { return (in[at] << 8) | in[at + 1]; }
    std::span<const std::uint8_t> in;
    std::size_t pos = 0;
};

std::string formatField(std::span<const std::uint8_t> field) {
    std::string text;
    for (std::uint8_t c : field) {
        if (c == 0 || text.size() == kFormatFieldWidth - 1) break;
        text.push_back(static_cast<char>(c));
    }
    return text;
}

LabelSetup readHeader(const Reader& r, LabelSetup setup) {
    const auto s16 = [&](std::size_t at) { return static_cast<int>(static_cast<std::int16_t>(r.be16At(at))); };
    setup.width = r.be16At(12);
    setup.length = r.be16At(14);
    setup.leftMargin = s16(16);
    setup.topMargin = s16(18);
    setup.offset = s16(20);
    setup.orientation = r.in[22] & 1;
    setup.normalText = (r.in[22] & 2) ? 0 : 1;
    setup.darkness = r.in[23];
    setup.speed = r.in[24];
    setup.language = r.in[25];
    setup.labelGap = r.in[26];
    setup.paperType = r.in[27];
    setup.dateFormat = formatField(r.in.subspan(32, kFormatFieldWidth));
    setup.timeFormat = formatField(r.in.subspan(48, kFormatFieldWidth));
    return setup;
}

FigureKind kindOfTag(std::uint8_t tag) {
    switch (tag) {
        case 'A': return FigureKind::Text;
        case 'B': return FigureKind::Barcode;
        case 'R': return FigureKind::Rectangle;
        case 'L': return FigureKind::DiagonalLine;
        case 'X': return FigureKind::Box;
        case 'G': return FigureKind::Picture;
        default: return FigureKind::Font;
    }
}

// Reads records until an unknown tag, the end, or a record cut short. Nothing is written
// outside a record, slot or block: oversized bodies are cut to the record, bad slot
// numbers skip their record.
void readRecords(Reader& r, LabelDocument& doc) {
    static constexpr std::string_view kTags = "VCABRLXGE";
    while (r.left() >= 3 && kTags.find(static_cast<char>(r.in[r.pos])) != std::string_view::npos) {
        const std::uint8_t tag = r.in[r.pos];
        const auto size = static_cast<std::size_t>(r.be16At(r.pos + 1));
        r.pos += 3;
        std::span<const std::uint8_t> body;
        if (!r.take(size, body)) return;

        if (tag == 'V' || tag == 'C') {
            if (body.empty()) continue;
            const std::size_t slot = body[0];
            if (tag == 'V' && slot < doc.variables.size())
                doc.variables[slot] = Variable::fromBytes(body.data() + 1, body.size() - 1);
            else if (tag == 'C' && slot < doc.counters.size())
                doc.counters[slot] = Counter::fromBytes(body.data() + 1, body.size() - 1);
            continue;
        }

        Record record{};
        std::copy_n(body.begin(), std::min(body.size(), kRecordSize), record.begin());
        const FigureKind kind = kindOfTag(tag);
        if (kind == FigureKind::Text || kind == FigureKind::Barcode) record[kRecordSize - 1] = 0;
        if (kind == FigureKind::Text) {
            const int font = recordField<&TextRecord::font>(record);
            if (font >= kStoredFontFirst) setRecordField<&TextRecord::font>(record, font - kStoredFontShift);
        }

        std::span<const std::uint8_t> block;
        if (kind == FigureKind::Picture || kind == FigureKind::Font) {
            const unsigned length = kind == FigureKind::Picture ? recordField<&PictureRecord::dataLength>(record)
                                                                : recordField<&FontRecord::dataLength>(record);
            if (!r.take(length, block)) return;
        }

        Figure& figure = doc.figures.appendFigure(record, kind);
        if (kind == FigureKind::Picture && !block.empty())
            figure.picture = std::make_shared<PictureBlock>(PictureBlock{{block.begin(), block.end()}});
        if (kind == FigureKind::Font) figure.fontData.assign(block.begin(), block.end());
    }
}

// Pictures written without data take the block of an earlier Picture of the same name.
void shareLoadedPictures(FigureList& figures) {
    std::vector<std::pair<std::string, PictureBlockRef>> seen;
    for (auto& f : figures) {
        if (f.kind != FigureKind::Picture) continue;
        const std::string name = PictureRecord::decode(f.record).name;
        if (f.picture) {
            seen.emplace_back(name, f.picture);
            continue;
        }
        for (const auto& [seenName, block] : seen) {
            if (seenName != name) continue;
            f.picture = block;
            setRecordField<&PictureRecord::dataLength>(f.record, static_cast<unsigned>(block->bytes.size()));
            break;
        }
    }
}

}  // namespace

bool hasLabelFileMagic(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= sizeof kLabelFileMagic &&
           std::memcmp(bytes.data(), kLabelFileMagic, sizeof kLabelFileMagic) == 0;
}

bool fileHasLabelFileMagic(const std::filesystem::path& path) {
    const auto bytes = readWholeFile(path);
    return bytes && hasLabelFileMagic(*bytes);
}

std::vector<std::uint8_t> encodeLabelFile(const LabelDocument& doc) {
    Writer w;
    writeHeader(w, doc.setup);
    writeSlots(w, 'V', doc.variables);
    writeSlots(w, 'C', doc.counters);

    std::vector<const PictureBlock*> written;
    for (const auto& f : doc.figures) {
        Record r = f.record;
        switch (f.kind) {
            case FigureKind::Text: {
                const int font = recordField<&TextRecord::font>(r);
                if (font > 5) setRecordField<&TextRecord::font>(r, font + kStoredFontShift);
                writeStringRecord(w, 'A', r, TextRecord::kDataOffset, TextRecord::kMaxData);
                break;
            }
            case FigureKind::Barcode:
                writeStringRecord(w, 'B', r, BarcodeRecord::kDataOffset, BarcodeRecord::kMaxData);
                break;
            case FigureKind::Rectangle: w.record('R', r.data(), kRectangleBodySize); break;
            case FigureKind::DiagonalLine: w.record('L', r.data(), kLineBodySize); break;
            case FigureKind::Box: w.record('X', r.data(), kBoxBodySize); break;
            case FigureKind::Picture: {
                const PictureBlock* block = f.picture.get();
                const bool carries = block != nullptr && !block->bytes.empty() &&
                                     std::find(written.begin(), written.end(), block) == written.end();
                setRecordField<&PictureRecord::dataLength>(r, carries ? static_cast<unsigned>(block->bytes.size()) : 0u);
                w.record('G', r.data(), kPictureBodySize);
                if (carries) {
                    written.push_back(block);
                    w.u8(static_cast<unsigned>(std::min(doc.figures.shareCount(block), 255)));
                    w.bytes(block->bytes.data() + 1, block->bytes.size() - 1);
                }
                break;
            }
            case FigureKind::Font: {
                // Re-encoded so that the letter is followed by its zero byte.
                FontRecord font = FontRecord::decode(r);
                font.dataLength = static_cast<unsigned>(f.fontData.size());
                r = font.encode();
                w.record('E', r.data(), kFontBodySize);
                w.bytes(f.fontData.data(), f.fontData.size());
                break;
            }
        }
    }
    return std::move(w.out);
}

Result decodeLabelFile(std::span<const std::uint8_t> bytes, LabelDocument& document) {
    if (!hasLabelFileMagic(bytes) || bytes.size() < kLabelFileHeaderSize)
        return Result::failure(FailureKind::Damaged, "Invalid label file");
    Reader reader(bytes);
    LabelDocument loaded;
    loaded.setup = readHeader(reader, document.setup);
    reader.pos = kLabelFileHeaderSize;
    readRecords(reader, loaded);
    shareLoadedPictures(loaded.figures);
    document.setup = loaded.setup;
    document.figures = std::move(loaded.figures);
    document.variables = loaded.variables;
    document.counters = loaded.counters;
    return Result::success();
}

Result saveLabelFile(const std::filesystem::path& path, const LabelDocument& document) {
    if (document.figures.empty()) return Result::failure(FailureKind::Invalid, "Nothing to save");
    for (const auto& f : document.figures) {
        // Sizes are 16-bit in the file; a larger block could not be read back whole.
        if ((f.picture && f.picture->bytes.size() > 0xFFFF) || f.fontData.size() > 0xFFFF)
            return Result::failure(FailureKind::CannotWrite, "Can't open output file");
    }
    const auto bytes = encodeLabelFile(document);
    if (!replaceFileContents(path, bytes)) return Result::failure(FailureKind::CannotWrite, "Can't open output file");
    return Result::success();
}

Result loadLabelFile(const std::filesystem::path& path, LabelDocument& document) {
    const auto bytes = readWholeFile(path);
    if (!bytes) return Result::failure(FailureKind::CannotOpen, "Can't open input file");
    return decodeLabelFile(*bytes, document);
}

}  // namespace tavrin
