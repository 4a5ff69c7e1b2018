#pragma once
// What the fuzz targets share: a reader of typed values from the input bytes, the resident
// fonts, a fixed clock (so that every run of one input does exactly the same), the sample
// label and the checks several targets make.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "document/label_file.h"
#include "render/render_context.h"
#include "render/resident_font.h"
#include "render/text_drawing.h"
#include "support/test_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace tavrin::fuzz {

// Takes values off the front of the input; once it is used up every value reads as 0 and
// every string as empty, so a short input is still a whole case.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    std::uint8_t byte() {
        if (bytes_.empty()) return 0;
        const std::uint8_t b = bytes_.front();
        bytes_ = bytes_.subspan(1);
        return b;
    }
    // A value in lo..hi from one or two bytes.
    int range(int lo, int hi) {
        const unsigned span = static_cast<unsigned>(hi - lo) + 1u;
        unsigned v = byte();
        if (span > 256) v = (v << 8) | byte();
        return lo + static_cast<int>(v % span);
    }
    // A 16-bit value, as label files and records hold them: wide values reach the edges.
    int word() { return static_cast<int>(static_cast<unsigned>(byte()) << 8 | byte()); }
    bool flag() { return (byte() & 1) != 0; }
    // Up to the next NUL (or at most maxLength bytes): how the targets split one input into
    // several fields without fixing their lengths.
    std::string text(std::size_t maxLength = 4096) {
        std::size_t n = 0;
        while (n < bytes_.size() && n < maxLength && bytes_[n] != 0) ++n;
        std::string out(reinterpret_cast<const char*>(bytes_.data()), n);
        bytes_ = bytes_.subspan(std::min(bytes_.size(), n + 1));
        return out;
    }
    // At most n bytes, any values.
    std::vector<std::uint8_t> bytes(std::size_t n) {
        n = std::min(n, bytes_.size());
        std::vector<std::uint8_t> out(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(n));
        bytes_ = bytes_.subspan(n);
        return out;
    }
    std::span<const std::uint8_t> rest() {
        const auto r = bytes_;
        bytes_ = {};
        return r;
    }
    bool empty() const { return bytes_.empty(); }

private:
    std::span<const std::uint8_t> bytes_;
};

// The shipped data: TAVRIN_DATA_DIR (the replays and scripts/fuzz set it) or the sources'.
inline std::filesystem::path dataFolder() {
    const char* dir = std::getenv("TAVRIN_DATA_DIR");
    return dir != nullptr ? dir : TAVRIN_FUZZ_DATA_DIR;
}

// The shipped resident font file, loaded once; an empty (blank) font when it is missing.
inline const ResidentFonts& residentFonts() {
    static const ResidentFonts fonts = [] {
        ResidentFonts f;
        if (f.load(dataFolder() / "ZREDIT.FNT") != 0) f.loadFromBytes({});
        return f;
    }();
    return fonts;
}

inline RenderContext renderContext(const LabelDocument* document) {
    RenderContext context;
    context.document = document;
    context.residentFonts = &residentFonts();
    context.now = test::fixedTime;
    return context;
}

// A scratch folder of this process, for readers that only take a path: in memory where the
// system has /dev/shm (a file on disk per run costs more than the run), removed at exit.
inline const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path base =
            ::access("/dev/shm", W_OK) == 0 ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
        std::filesystem::path p = base / ("tavrin-fuzz-" + std::to_string(static_cast<long>(::getpid())));
        std::filesystem::create_directories(p);
        // Kept in plain storage: the handler runs after the path object is gone.
        static char name[4096];
        std::snprintf(name, sizeof name, "%s", p.c_str());
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(name, ec);
        });
        return p;
    }();
    return folder;
}

inline std::filesystem::path scratchFile(std::string_view name) { return scratchFolder() / name; }

// Writes the bytes to the scratch file with plain stdio: the targets check the readers, not
// the safe replacement of files, and a sync per run would cost more than the run.
inline void writeScratch(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

// The label the data and service targets fill in: the shipped sample. Without it their
// runs would try no slots at all, so a missing sample stops the run instead.
inline const LabelDocument& sampleLabel() {
    static const LabelDocument document = [] {
        LabelDocument d;
        const std::filesystem::path path = dataFolder() / "samples" / "sample.qlb";
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        if (!decodeLabelFile(bytes, d)) {
            std::fprintf(stderr, "%s: cannot read the sample label\n", path.c_str());
            std::abort();
        }
        return d;
    }();
    return document;
}

// Written back, a label must read as it was written: saving it twice changes nothing.
inline void checkLabelFileRoundTrip(const LabelDocument& document) {
    const std::vector<std::uint8_t> encoded = encodeLabelFile(document);
    LabelDocument again;
    if (!decodeLabelFile(encoded, again) || encodeLabelFile(again) != encoded) std::abort();
}

// Every raster row the printer gets is whole.
inline void checkWholeRows(const GlyphRaster& glyph) {
    if (glyph.data.size() < static_cast<std::size_t>(glyph.bytesPerRow) * static_cast<std::size_t>(glyph.rows))
        std::abort();
}

}  // namespace tavrin::fuzz
