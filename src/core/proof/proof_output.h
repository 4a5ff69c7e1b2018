#pragma once
// Proof files. Every label is drawn as its print image, the dots the printer prints, through
// the one renderer, and handed to cairo as exact squares: a PDF of one page per label or of
// sheets of office paper, an SVG of one label; or one image file per label.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "document/label_document.h"
#include "proof/proof_layout.h"
#include "proof/proof_rows.h"
#include "render/bitmap.h"
#include "render/canvas.h"
#include "render/render_context.h"

namespace tavrin {

class ProofOutput {
public:
    // Without finish() nothing is written and a file of the same name stays as it was.
    virtual ~ProofOutput() = default;
    // Adds one label, `label` holding its values. "" on success, else the message.
    virtual std::string add(LabelDocument& label, const RenderContext& context, const ProofLabel& described) = 0;
    virtual std::string finish() = 0;
};

struct PdfProofOptions {
    ProofPaper paper = ProofPaper::LabelSize;
    std::string title;  // the document's title: the label file's name
};

// nullptr with `error` set when the file cannot be made.
std::unique_ptr<ProofOutput> openPdfProof(const std::filesystem::path& path, const PdfProofOptions& options,
                                          std::string& error);
// One label only: a second is refused.
std::unique_ptr<ProofOutput> openSvgProof(const std::filesystem::path& path);

// One file per label, named by a pattern with one number: the data row's, 1 without data.
// The pattern's extension chooses the kind: .png or .pbm (print or screen image), .ppm
// (screen colours), .svg (print image).
enum class ProofImageKind { Print, Screen };
std::unique_ptr<ProofOutput> openImageSeries(const std::string& pattern, ProofImageKind kind,
                                             const CanvasOptions& canvas);
// The same for one label in one file.
std::unique_ptr<ProofOutput> openImageFile(const std::filesystem::path& path, ProofImageKind kind,
                                           const CanvasOptions& canvas);

// A number pattern has exactly one whole-number conversion (%d, %i or %u with an optional
// 0 flag and width, "%04d") and nothing else printf would read but "%%". "" when it is good,
// else what is wrong with it.
std::string checkNumberPattern(std::string_view pattern);
bool hasNumberPattern(std::string_view name);  // any '%' at all
std::string numberedName(std::string_view pattern, long long number);

// The print image as a PDF page or SVG drawing sees it: one file, one label.
std::string writeSvgLabel(const std::filesystem::path& path, const Bitmap& image);

struct ProofResult {
    long long labels = 0;  // labels added
    bool stopped = false;  // beforeLabel said stop: nothing was written
    std::string error;     // why it failed: nothing was written
    bool ok() const { return !stopped && error.empty(); }
};

// Every label `rows` gives, drawn into `output`, which is then finished. `label` is copied
// and the copy takes the rows' values. `beforeLabel(index, total)` (1-based) may stop it.
ProofResult writeProof(const LabelDocument& label, const RenderContext& context, ProofRows& rows,
                       ProofOutput& output, const std::function<bool(long long, long long)>& beforeLabel = {});

}  // namespace tavrin
