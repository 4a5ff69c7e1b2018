#include "proof/proof_output.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "render/image_io.h"

namespace tavrin {

namespace {

struct NumberPattern {
    std::string prefix, suffix;  // "%%" already made "%"
    bool zeros = false;
    int width = 0;
};

// The pattern taken apart, or what is wrong with it.
std::optional<NumberPattern> parsePattern(std::string_view pattern, std::string* problem) {
    NumberPattern parsed;
    bool found = false;
    const auto refuse = [&](std::string text) {
        if (problem != nullptr) *problem = std::move(text);
        return std::nullopt;
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        std::string& out = found ? parsed.suffix : parsed.prefix;
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        if (found) return refuse("more than one number in the file name " + std::string(pattern));
        std::size_t j = i + 1;
        if (j < pattern.size() && pattern[j] == '0') {
            parsed.zeros = true;
            ++j;
        }
        while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && parsed.width < 100)
            parsed.width = parsed.width * 10 + (pattern[j++] - '0');
        if (j >= pattern.size() || (pattern[j] != 'd' && pattern[j] != 'i' && pattern[j] != 'u') ||
            parsed.width > 20)
            return refuse("the file name's number must be written like %d or %04d: " + std::string(pattern));
        found = true;
        i = j;
    }
    if (!found) return refuse("the file name has no number (such as %04d): " + std::string(pattern));
    return parsed;
}

std::string extensionOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

class SvgProof : public ProofOutput {
public:
    explicit SvgProof(std::filesystem::path path) : path_(std::move(path)) {}
    std::string add(LabelDocument& label, const RenderContext& context, const ProofLabel&) override {
        if (image_) return "An SVG file holds one label: " + path_.string();
        image_ = renderPrintImage(label, context);
        return {};
    }
    std::string finish() override { return image_ ? writeSvgLabel(path_, *image_) : "No label to show"; }

private:
    std::filesystem::path path_;
    std::optional<Bitmap> image_;
};

class ImageSeries : public ProofOutput {
public:
    ImageSeries(std::string pattern, bool numbered, ProofImageKind kind, CanvasOptions canvas)
        : pattern_(std::move(pattern)), extension_(extensionOf(pattern_)), numbered_(numbered), kind_(kind),
          options_(canvas) {}

    std::string add(LabelDocument& label, const RenderContext& context, const ProofLabel& described) override {
        if (!numbered_ && added_++ > 0) return "An image file holds one label: " + pattern_;
        const std::filesystem::path path =
            numbered_ ? numberedName(pattern_, described.row > 0 ? described.row : 1) : pattern_;
        if (extension_ == ".svg") return writeSvgLabel(path, renderPrintImage(label, context));
        if (kind_ == ProofImageKind::Print) {
            const Bitmap image = renderPrintImage(label, context);
            if (extension_ == ".png") return writePng(path, image).message();
            if (extension_ == ".pbm") return writePbm(path, image).message();
            ScreenImage colour;
            colour.copyFrom(image);
            return writePpm(path, colour).message();
        }
        RedrawLabel(canvas_, label, context, options_);
        if (extension_ == ".png") return writePng(path, canvas_.visible).message();
        if (extension_ == ".ppm") return writePpm(path, canvas_.visible).message();
        return writePbm(path, toOneBit(canvas_.visible)).message();
    }
    std::string finish() override { return {}; }

private:
    std::string pattern_, extension_;
    bool numbered_;
    int added_ = 0;
    ProofImageKind kind_;
    CanvasOptions options_;
    LabelCanvas canvas_;
};

}  // namespace

std::string checkNumberPattern(std::string_view pattern) {
    std::string problem;
    parsePattern(pattern, &problem);
    return problem;
}

bool hasNumberPattern(std::string_view name) { return name.find('%') != std::string_view::npos; }

std::string numberedName(std::string_view pattern, long long number) {
    const std::optional<NumberPattern> parsed = parsePattern(pattern, nullptr);
    if (!parsed) return std::string(pattern);
    std::string digits = std::to_string(number < 0 ? -number : number);
    const std::size_t room = static_cast<std::size_t>(parsed->width) - (number < 0 ? 1 : 0);
    if (parsed->zeros && digits.size() < room) digits.insert(0, room - digits.size(), '0');
    if (number < 0) digits.insert(0, 1, '-');
    if (digits.size() < static_cast<std::size_t>(parsed->width))
        digits.insert(0, static_cast<std::size_t>(parsed->width) - digits.size(), ' ');
    return parsed->prefix + digits + parsed->suffix;
}

std::unique_ptr<ProofOutput> openSvgProof(const std::filesystem::path& path) {
    return std::make_unique<SvgProof>(path);
}

std::unique_ptr<ProofOutput> openImageSeries(const std::string& pattern, ProofImageKind kind,
                                             const CanvasOptions& canvas) {
    return std::make_unique<ImageSeries>(pattern, true, kind, canvas);
}

std::unique_ptr<ProofOutput> openImageFile(const std::filesystem::path& path, ProofImageKind kind,
                                           const CanvasOptions& canvas) {
    return std::make_unique<ImageSeries>(path.string(), false, kind, canvas);
}

ProofResult writeProof(const LabelDocument& label, const RenderContext& context, ProofRows& rows,
                       ProofOutput& output, const std::function<bool(long long, long long)>& beforeLabel) {
    ProofResult result;
    LabelDocument copy = label;
    RenderContext local = context;
    local.document = &copy;
    ProofLabel described;
    const long long total = rows.count();
    while (rows.next(copy, described)) {
        if (beforeLabel && !beforeLabel(result.labels + 1, total)) {
            result.stopped = true;
            return result;
        }
        if (std::string problem = output.add(copy, local, described); !problem.empty()) {
            result.error = std::move(problem);
            return result;
        }
        ++result.labels;
    }
    if (!rows.error().empty()) {
        result.error = rows.error();
        return result;
    }
    if (result.labels == 0) {
        result.error = "No rows to show";
        return result;
    }
    result.error = output.finish();
    return result;
}

}  // namespace tavrin
