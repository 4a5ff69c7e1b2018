#include "printer/form_writer.h"

#include <algorithm>
#include <set>
#include <string>

#include "printer/matrix_symbols.h"
#include "render/barcode/barcode.h"
#include "common/text.h"
#include "printer/printer_exchanges.h"

namespace tavrin {

namespace {

// Speed as the printer counts it; form files keep the editor's index.
unsigned printerSpeed(const LabelSetup& setup) { return static_cast<unsigned>(setup.speed + 2); }

bool sendPictures(const LabelDocument& document, CommandWriter& out) {
    std::set<std::string> sent;
    for (const Figure& figure : document.figures) {
        if (figure.kind != FigureKind::Picture) continue;
        const PictureRecord p = PictureRecord::decode(figure.record);
        // A Picture without data (its retrieve failed, say) has nothing to download.
        if (p.dataLength == 0 || !figure.picture || figure.picture->bytes.size() < 2) continue;
        if (!sent.insert(p.name).second) continue;
        const auto& block = figure.picture->bytes;
        out.progress("Store picture " + inQuotes(p.name));
        if (!out.send("\r\n\nGK" + inQuotes(p.name) + "\r\n")) return false;
        out.pause(PrinterPause::Medium);
        // The count announces what follows: the header (128) and the rows (block - 2).
        if (!out.send("GM" + inQuotes(p.name) + std::to_string(block.size() + 126) + "\n")) return false;
        const auto header = pcxHeaderForPicture(p.width, p.height, figure.picture->bytesPerRow());
        if (!out.send(header)) return false;
        if (!out.send(std::span<const std::uint8_t>(block).subspan(2))) return false;
        if (!out.send("\r\n\n\n")) return false;
    }
    out.pause(PrinterPause::Medium);
    return out.ok();
}

bool sendFonts(const LabelDocument& document, CommandWriter& out) {
    static const std::string kFontEnd(256, '\r');
    for (const Figure& figure : document.figures) {
        if (!figure.isFont()) continue;
        const std::string letter(1, FontRecord::decode(figure.record).letter);
        out.progress("Store font " + inQuotes(letter));
        if (!out.send("\r\n\nEK" + inQuotes(letter) + "\r\n")) return false;
        out.pause(PrinterPause::Medium);
        if (!out.send("ES" + inQuotes(letter))) return false;
        if (!out.send(figure.fontData)) return false;
        if (!out.send(kFontEnd)) return false;
        out.pause(PrinterPause::Short);
    }
    return out.ok();
}

}  // namespace

void writeFormFile(const LabelDocument& document, ByteSink& sink) {
    CommandWriter out(sink);
    const LabelSetup& setup = document.setup;
    out.send("; Saved by TAVRIN Label Editor\r\n");
    out.writeVarCounterLines(document);
    out.send(numberLines(setup, static_cast<unsigned>(setup.speed)));
    out.send(directionLine(setup));
    out.send(formatLines(setup));
    out.send(lengthAndWidthLines(setup));
    out.send(referencePointLine(setup));
    for (const Figure& figure : document.figures) {
        if (isMatrixSymbolFigure(figure)) {
            // The language has no line for it; a comment says it is missing rather than
            // dropping it silently.
            const BarcodeRecord b = BarcodeRecord::decode(figure.record);
            out.send("; " + std::string(barcode::symbology(b.type).name) + " at " + std::to_string(b.x) + "," +
                     std::to_string(b.y) + " is not in this file: store or print the label to send it\r\n");
        } else if (const auto line = figureLine(figure, document.figures)) {
            out.send(*line);
        }
    }
    out.send("\r\n");
}

namespace {
bool writeStoredFormAsIs(const LabelDocument& document, std::string_view name, ByteSink& sink) {
    CommandWriter out(sink);
    const LabelSetup& setup = document.setup;
    out.progress("Store current form as " + std::string(name));
    out.send("\r\nN\r\n");
    if (!out.send("FK" + inQuotes(name) + "\r\n")) return false;
    out.pause(PrinterPause::Long);
    out.send("FS" + inQuotes(name) + "\r\n");
    out.writeVarCounterLines(document);
    out.send(numberLines(setup, printerSpeed(setup)));
    out.send(directionLine(setup));
    out.send(lengthAndWidthLines(setup));
    out.send(formatLines(setup));
    out.send(referencePointLine(setup));
    out.writeFigureLines(document.figures, PictureLineEnd::Lf);
    if (!out.send("FE\r\n")) return false;
    if (!sendPictures(document, out)) return false;
    if (!sendFonts(document, out)) return false;
    return out.send(selectFormLine(name));
}
}  // namespace

bool writeStoredForm(const LabelDocument& document, std::string_view name, ByteSink& sink) {
    const RenderContext context{&document, nullptr, {}};
    if (matrixSymbolStoreRefusal(document, context)) return false;
    // The printer has no command for 2D symbols: they go with the form as stored pictures.
    if (std::none_of(document.figures.begin(), document.figures.end(), isMatrixSymbolFigure))
        return writeStoredFormAsIs(document, name, sink);
    return writeStoredFormAsIs(withMatrixSymbolsAsPictures(document, context), name, sink);
}

bool writePrintLabel(const LabelDocument& document, const PrintJob& job, ByteSink& sink) {
    CommandWriter out(sink);
    const LabelSetup& setup = document.setup;
    out.send("\r\nN\r\nVC\r\n");
    out.writeVarCounterLines(document);
    out.send("?\r\n");
    for (const Variable& v : document.variables)
        if (v.isDefined()) out.send(v.valueText() + "\r\n");
    for (const Counter& c : document.counters)
        if (c.isDefined()) out.send(c.valueText() + "\r\n");
    out.send(numberLines(setup, printerSpeed(setup)));
    out.send(directionLine(setup));
    out.send(lengthAndWidthLines(setup));
    out.send(referencePointLine(setup));
    out.send(formatLines(setup));
    for (const Figure& figure : document.figures) {
        if (!out.ok()) return false;
        if (job.rasterFigure && job.rasterFigure(figure, out)) continue;
        // 2D symbols always go as rasters, direct graphics or not: the printer cannot draw them.
        if (writeMatrixRaster(figure, RenderContext{&document, nullptr, {}}, out)) continue;
        if (const auto line = figureLine(figure, document.figures)) out.send(*line);
    }
    return out.send("P" + std::to_string(job.quantity) + "\r\n");
}

}  // namespace tavrin
