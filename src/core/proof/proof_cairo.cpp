// The print image through cairo: PDF pages with each label as a one-bit stencil mask painted
// without smoothing, so a rasteriser at the printer's resolution puts each dot on one pixel;
// SVG drawings of the ink as rectangles, which stay sharp at any zoom.
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <array>
#include <charconv>
#include <bit>
#include <cstdio>

#include "document/safe_file.h"
#include "proof/proof_output.h"

namespace tavrin {

namespace {

cairo_status_t writeToFile(void* closure, const unsigned char* data, unsigned int length) {
    return static_cast<FileReplacement*>(closure)->write({data, length}) ? CAIRO_STATUS_SUCCESS
                                                                          : CAIRO_STATUS_WRITE_ERROR;
}

// Bitmap bytes (MSB the leftmost dot, 0 ink) as cairo's A1 bytes (1 opaque; the leftmost
// dot in the low bit on little-endian machines, where cairo reads 32-bit words).
const std::array<std::uint8_t, 256>& inkByteTable() {
    static const std::array<std::uint8_t, 256> table = [] {
        std::array<std::uint8_t, 256> t{};
        for (unsigned b = 0; b < 256; ++b) {
            unsigned ink = ~b & 0xFFu, out = ink;
            if constexpr (std::endian::native == std::endian::little) {
                out = 0;
                for (int i = 0; i < 8; ++i)
                    if (ink & (0x80u >> i)) out |= 1u << i;
            }
            t[b] = static_cast<std::uint8_t>(out);
        }
        return t;
    }();
    return table;
}

struct SurfaceReleaser {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceReleaser>;

Surface inkMask(const Bitmap& image) {
    Surface mask(cairo_image_surface_create(CAIRO_FORMAT_A1, image.width(), image.height()));
    if (cairo_surface_status(mask.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    cairo_surface_flush(mask.get());
    unsigned char* data = cairo_image_surface_get_data(mask.get());
    const int stride = cairo_image_surface_get_stride(mask.get());
    const auto& table = inkByteTable();
    const int whole = image.width() / 8, rest = image.width() % 8;
    // Of the last byte only the dots left of the edge: the ink table marks them for a byte
    // whose first `rest` dots are ink.
    const std::uint8_t restMask = table[static_cast<std::uint8_t>(0xFFu >> rest)];
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* in = image.row(y);
        unsigned char* out = data + static_cast<std::ptrdiff_t>(y) * stride;
        for (int i = 0; i < whole; ++i) out[i] = table[in[i]];
        if (rest > 0) out[whole] = static_cast<unsigned char>(table[in[whole]] & restMask);
    }
    cairo_surface_mark_dirty(mask.get());
    return mask;
}

// A PDF keeps six decimals of a point, so a label placed on whole dots is written a hair
// off, and a rasteriser that takes the floor of its left edge and the ceiling of its right
// would then stretch it by a dot. The image is drawn a hundredth of a dot inside its place on
// every side: every rounding then gives exactly its dots, each source dot on one pixel.
constexpr double kInset = 0.01;

void paintLabel(cairo_t* cr, cairo_surface_t* mask, const DotRectangle& place) {
    cairo_save(cr);
    cairo_translate(cr, place.x + kInset, place.y + kInset);
    cairo_scale(cr, (place.width - 2 * kInset) / place.width, (place.height - 2 * kInset) / place.height);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(mask);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_mask(cr, pattern);
    cairo_pattern_destroy(pattern);
    cairo_restore(cr);
}

// With a point whatever the locale: the editor runs in the user's, where it may be a comma.
std::string points(int dots) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, dots * kPointsPerDot, std::chars_format::fixed, 3).ptr;
    return std::string(text, end);
}

std::string mm(int dots) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", dots / 8.0);
    return text;
}

// "" for success; else the write error with the system's reason, or cairo's own.
std::string cairoProblem(cairo_status_t status, const FileReplacement& file, const char* kind) {
    if (status == CAIRO_STATUS_SUCCESS) return {};
    std::string problem = file.written().message();
    return problem.empty() ? std::string("Can't make the ") + kind + ": " + cairo_status_to_string(status) : problem;
}

class PdfProof : public ProofOutput {
public:
    std::string open(const std::filesystem::path& path, const PdfProofOptions& options) {
        options_ = options;
        return file_.open(path).message();
    }
    ~PdfProof() override {
        if (cr_ != nullptr) cairo_destroy(cr_);
    }

    std::string add(LabelDocument& label, const RenderContext& context, const ProofLabel& described) override {
        const Bitmap image = renderPrintImage(label, context);
        if (image.width() == 0 || image.height() == 0) return "The label has no size: nothing to show";
        if (!surface_) {
            layout_ = layoutProof(options_.paper, image.width(), image.height());
            if (layout_.places.empty())
                return "The label (" + mm(image.width()) + " x " + mm(image.height()) + " mm) is larger than " +
                       proofPaperName(options_.paper) + " paper";
            if (std::string problem = begin(); !problem.empty()) return problem;
        }
        if (slot_ == 0) firstRow_ = described.row;
        const DotRectangle& place = layout_.places[static_cast<std::size_t>(slot_)];
        const Surface mask = inkMask(image);
        if (!mask) return cairoProblem(CAIRO_STATUS_NO_MEMORY, file_, "PDF");
        paintLabel(cr_, mask.get(), place);
        if (layout_.cutMarks) {
            // Drawn a quarter dot inside their dots, so that no rasteriser widens them into
            // their neighbours.
            for (const DotRectangle& m : cutMarksAround(place))
                cairo_rectangle(cr_, m.x + 0.25, m.y + 0.25, m.width - 0.5, m.height - 0.5);
            cairo_fill(cr_);
        }
        const std::string caption = described.row > 0 ? described.caption() : options_.title;
        if (!caption.empty()) {
            const std::string link = "page=" + std::to_string(page_ + 1) + " pos=[" + points(place.x) + " " +
                                     points(place.y) + "]";
            cairo_pdf_surface_add_outline(surface_.get(), CAIRO_PDF_OUTLINE_ROOT, caption.c_str(), link.c_str(),
                                          static_cast<cairo_pdf_outline_flags_t>(0));
        }
        lastRow_ = described.row;
        if (++slot_ == layout_.perPage()) endPage();
        return status();
    }

    std::string finish() override {
        if (slot_ > 0) endPage();
        if (page_ == 0) return "No label to show";
        cairo_destroy(cr_);
        cr_ = nullptr;
        cairo_surface_finish(surface_.get());
        if (std::string problem = status(); !problem.empty()) return problem;
        surface_.reset();
        return file_.commit().message();
    }

private:
    // Every page has the size of the first: cairo clips a page whose size is changed later to
    // whole points, which would cut off the label's last dots.
    std::string begin() {
        surface_.reset(cairo_pdf_surface_create_for_stream(writeToFile, &file_, pagePoints(layout_.pageWidth),
                                                           pagePoints(layout_.pageHeight)));
        if (std::string problem = status(); !problem.empty()) return problem;
        cairo_pdf_surface_restrict_to_version(surface_.get(), CAIRO_PDF_VERSION_1_5);
        if (!options_.title.empty())
            cairo_pdf_surface_set_metadata(surface_.get(), CAIRO_PDF_METADATA_TITLE, options_.title.c_str());
        cairo_pdf_surface_set_metadata(surface_.get(), CAIRO_PDF_METADATA_CREATOR, "TAVRIN Label Editor");
        cr_ = cairo_create(surface_.get());
        cairo_scale(cr_, kPointsPerDot, kPointsPerDot);
        return status();
    }
    void endPage() {
        // A viewer shows the row as the page's name: "Row 15", or "Rows 1-12" on a sheet.
        if (firstRow_ > 0) {
            const std::string name = firstRow_ == lastRow_ ? "Row " + std::to_string(firstRow_)
                                                           : "Rows " + std::to_string(firstRow_) + "-" +
                                                                 std::to_string(lastRow_);
            cairo_pdf_surface_set_page_label(surface_.get(), name.c_str());
        }
        cairo_show_page(cr_);
        slot_ = 0;
        ++page_;
    }
    std::string status() const {
        cairo_status_t s = cairo_surface_status(surface_.get());
        if (s == CAIRO_STATUS_SUCCESS && cr_ != nullptr) s = cairo_status(cr_);
        return cairoProblem(s, file_, "PDF");
    }

    PdfProofOptions options_;
    FileReplacement file_;
    Surface surface_;
    cairo_t* cr_ = nullptr;
    ProofLayout layout_;
    int slot_ = 0, page_ = 0;
    long long firstRow_ = 0, lastRow_ = 0;
};

// Calls `rectangle(x, y, width, height)` for the ink, each horizontal run of dots joined
// with the same run in the rows below it, so a bar is one rectangle.
template <typename F>
void forEachInkRectangle(const Bitmap& image, F&& rectangle) {
    struct Open {
        int x0, x1, top;
    };
    std::vector<Open> open, next;
    std::vector<std::pair<int, int>> runs;
    for (int y = 0; y <= image.height(); ++y) {
        runs.clear();
        for (int x = 0; y < image.height() && x < image.width();) {
            if (!image.isInk(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && image.isInk(x, y)) ++x;
            runs.emplace_back(start, x);
        }
        next.clear();
        std::size_t i = 0, j = 0;
        while (i < open.size() || j < runs.size()) {
            if (i < open.size() && j < runs.size() && open[i].x0 == runs[j].first && open[i].x1 == runs[j].second) {
                next.push_back(open[i++]);
                ++j;
            } else if (i < open.size() && (j == runs.size() || open[i].x0 <= runs[j].first)) {
                rectangle(open[i].x0, open[i].top, open[i].x1 - open[i].x0, y - open[i].top);
                ++i;
            } else {
                next.push_back({runs[j].first, runs[j].second, y});
                ++j;
            }
        }
        open.swap(next);
    }
}

}  // namespace

std::unique_ptr<ProofOutput> openPdfProof(const std::filesystem::path& path, const PdfProofOptions& options,
                                          std::string& error) {
    auto proof = std::make_unique<PdfProof>();
    error = proof->open(path, options);
    if (!error.empty()) return nullptr;
    return proof;
}

std::string writeSvgLabel(const std::filesystem::path& path, const Bitmap& image) {
    if (image.width() == 0 || image.height() == 0) return "The label has no size: nothing to show";
    FileReplacement file;
    if (const Result opened = file.open(path); !opened) return opened.message();
    // Millimetres as the unit, so every dot edge is an exact decimal (n x 0.125 mm).
    Surface surface(cairo_svg_surface_create_for_stream(writeToFile, &file, image.width() / 8.0,
                                                        image.height() / 8.0));
    cairo_svg_surface_set_document_unit(surface.get(), CAIRO_SVG_UNIT_MM);
    cairo_t* cr = cairo_create(surface.get());
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_scale(cr, 1 / 8.0, 1 / 8.0);
    forEachInkRectangle(image, [cr](int x, int y, int w, int h) { cairo_rectangle(cr, x, y, w, h); });
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_fill(cr);
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface.get());
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface.get());
    if (std::string problem = cairoProblem(status, file, "SVG"); !problem.empty()) return problem;
    surface.reset();
    return file.commit().message();
}

}  // namespace tavrin
