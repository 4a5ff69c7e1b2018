// A label font file as the Add Font command opens it: read and checked, put into a label
// under a letter (twice, as replacing a font does), and a text in it drawn in every
// rotation on the screen and as printer rasters.
#include "document/label_document.h"
#include "fonts/font_file.h"
#include "fonts/font_management.h"
#include "fuzz/fuzz_support.h"
#include "link/byte_sink.h"
#include "printer/direct_graphics.h"

using namespace tavrin;

namespace {

// The text field: a quoted string of a few fixed characters and the codes of the font's
// first records, so that the drawing reaches glyphs the font really has.
std::string sampleText(const std::vector<std::uint8_t>& font) {
    std::string text = "\"A0 a\x7F\xC9";
    const unsigned height = font[2];
    std::size_t at = 3;
    for (unsigned i = 0; i < font[0] && i < 12 && at + 3 <= font.size(); ++i) {
        const char code = static_cast<char>(font[at]);
        if (code != '"' && code != '\\' && code != 0) text += code;
        at += 3 + static_cast<std::size_t>(font[at + 2]) * height;
    }
    return text + '"';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path path = fuzz::scratchFile("font.qft");
    const std::span<const std::uint8_t> file(data, size);
    fuzz::writeScratch(path, file);

    std::vector<std::uint8_t> fontData, decodedFont;
    const Result read = readFontFile(path, fontData);
    const Result decoded = decodeFontFile(file, decodedFont);
    // The file and its bytes read alike; a font either loads whole or says why not.
    if (read.kind() != decoded.kind() || fontData != decodedFont || read.message() != decoded.message()) std::abort();
    if (!read) {
        if (read.message().empty() || !fontData.empty()) std::abort();
        return 0;
    }
    if (!checkFontData(fontData) || fontData.size() < 3) std::abort();

    const std::uint8_t knob = data[size - 1];
    LabelDocument document;
    document.setup.width = document.setup.length = 640;
    const char letter = static_cast<char>('A' + knob % 26);
    addNewFont(document.figures, 'Z', fontData);
    addNewFont(document.figures, letter, fontData);
    addNewFont(document.figures, letter, fontData);  // replaces, as loading it again does
    const int font = softFontNumber(document.figures, letter);
    if (font < 6) std::abort();

    const RenderContext context = fuzz::renderContext(&document);
    const std::string text = sampleText(fontData);
    const int hMul = 1 + (knob >> 5 & 3), vMul = 1 + (knob >> 7);
    Bitmap canvas(640, 640);
    BufferSink raster;
    CommandWriter writer(raster);
    for (int rotation = 0; rotation < 4; ++rotation) {
        const int x = rotation == 1 || rotation == 2 ? 600 : 20, y = rotation >= 2 ? 600 : 20;
        const int extent = DrawLabelText(canvas, context, x, y, rotation, font, hMul, vMul, 0, text);
        const int printed = DrawLabelTextToPrinter(context, x, y, rotation, font, hMul, vMul, 0, text,
                                                   [&](const GlyphRaster& glyph) {
                                                       fuzz::checkWholeRows(glyph);
                                                       writeGlyphRaster(glyph, document.setup, writer);
                                                   });
        if (printed != extent) std::abort();
    }
    return 0;
}
