// A colour picture as the converter opens it: the browser's facts read from the header, the
// BMP, JPEG and PNG decoders, then a small preview turned and weighted and its black and
// white image by both methods.
#include "fuzz/fuzz_support.h"
#include "graphics/bw_converter.h"
#include "graphics/picture_facts.h"
#include "graphics/source_picture.h"

using namespace tavrin;

namespace {

// Decoding a hostile header that claims 100 megapixels is allowed but would spend the run on
// clearing memory; such pictures are only checked through their facts.
constexpr std::int64_t kMaxDecodedPixels = 1 << 22;

// The converter's work on a decoded picture, at a size that keeps a run quick.
void convert(const SourcePicture& picture, std::uint8_t knob) {
    if (picture.empty()) return;
    if (picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
        std::abort();
    placePreview(picture.width, picture.height, 160, 120);
    ConvertSettings s;
    s.rotation = knob & 3;
    s.width = 4 + (knob >> 2 & 7) * 9, s.height = 4 + (knob >> 5) * 11;
    s.brightness = (knob & 1) ? -40 : 60;
    s.threshold = (knob & 0x10) != 0;
    s.smooth = (knob & 0x20) != 0;
    const SourcePicture rotated = (s.rotation & 1) ? MakeRotatedSource(picture) : SourcePicture{};
    const SourcePicture preview = RenderPreview(picture, rotated, s);
    if (preview.width != renderWidth(s) || preview.height != renderHeight(s)) std::abort();
    const Bitmap bw = ConvertToBW(preview, s);
    encodeMonochromeBmp(bw);
    CutPicture(preview, 0, 0, preview.width - 1, preview.height - 1);
}

bool smallEnough(const PictureFacts& facts) {
    return !facts.valid || static_cast<std::int64_t>(facts.width) * facts.height <= kMaxDecodedPixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path bmp = fuzz::scratchFile("picture.bmp");
    static const std::filesystem::path jpg = fuzz::scratchFile("picture.jpg");
    static const std::filesystem::path png = fuzz::scratchFile("picture.png");
    const std::span<const std::uint8_t> file(data, size);
    const std::uint8_t knob = size > 0 ? data[size - 1] : 0;

    // The facts go by the extension, so the file is looked at as what its first bytes say.
    const std::filesystem::path& path =
        size >= 2 && data[0] == 'B' && data[1] == 'M' ? bmp : size >= 2 && data[0] == 0xFF ? jpg : png;
    fuzz::writeScratch(path, file);
    // The facts say what the header says, a damaged one's negative width included.
    const PictureFacts facts = readPictureFacts(path);
    placePreview(facts.width, facts.height, 160, 120);
    if (!smallEnough(facts)) return 0;

    SourcePicture picture;
    if (readBmpPicture(file, picture)) convert(picture, knob);
    else if (!picture.empty()) std::abort();  // a failed read leaves nothing behind

    picture = {};
    const int scale = previewScaleDenominator(facts.largerSide, 160);
    if (scale != 1 && scale != 2 && scale != 4 && scale != 8) std::abort();
    if (readJpegPicture(file, picture, scale)) convert(picture, knob);
    else if (!picture.empty()) std::abort();

    picture = {};
    if (readPngPicture(file, picture)) convert(picture, knob);
    else if (!picture.empty()) std::abort();
    return 0;
}
