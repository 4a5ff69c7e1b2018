// The barcode self-check on a label of ten barcodes of mixed symbologies and rotations:
// the time it adds to a redraw (the print image is drawn once, outside the loop).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "document/figure_records.h"
#include "document/label_document.h"
#include "render/barcode_check.h"
#include "render/canvas.h"
#include "render/resident_font.h"

namespace tavrin {
namespace {

void tenBarcodes(benchmark::State& state) {
    ResidentFonts fonts;
    fonts.load(std::filesystem::path(TAVRIN_SOURCE_DATA_DIR) / "ZREDIT.FNT");
    LabelDocument document;
    document.setup.width = 1200, document.setup.length = 2000;
    const struct {
        int type;
        const char* data;
    } figures[] = {{8, "\"400638133393\""}, {3, "\"BOX-000123-XL\""}, {0, "\"LOT 42\""}, {12, "\"0112345678901231\""},
                   {20, "\"03600029145\""}, {14, "\"12345678\""},      {2, "\"PART 77\""}, {5, "\"9638507\""},
                   {1, "\"CODE39\""},         {19, "\"12345678901234567\""}};
    int i = 0;
    for (const auto& f : figures) {
        BarcodeRecord b;
        b.type = f.type, b.data = f.data, b.narrow = 2, b.wide = 5, b.height = 80;
        b.rotation = i % 4 == 1 ? 1 : 0;
        b.x = b.rotation == 1 ? 1100 : 40, b.y = 40 + 150 * i;
        document.figures.appendFigure(b.encode(), FigureKind::Barcode);
        ++i;
    }
    RenderContext context;
    context.document = &document;
    context.residentFonts = &fonts;
    const Bitmap image = renderPrintImage(document, context);
    for (auto _ : state) {
        const auto results = checkBarcodes(document, context, image);
        benchmark::DoNotOptimize(results.data());
    }
    const auto results = checkBarcodes(document, context, image);
    int passed = 0;
    for (const auto& r : results) {
        passed += r.status == BarcodeReadStatus::ReadBack ? 1 : 0;
        if (r.status != BarcodeReadStatus::ReadBack) state.SetLabel(r.symbology + " " + barcodeStatusText(r.status) + " " + r.note);
    }
    state.counters["read_back"] = passed;
}
BENCHMARK(tenBarcodes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavrin
