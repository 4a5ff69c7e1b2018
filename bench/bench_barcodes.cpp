// Barcode encoding against zint on the same 10,000 data values, and a label of 50 barcodes.
#include <benchmark/benchmark.h>
#include <zint.h>

#include <cstdio>
#include <string>
#include <vector>

#include "render/barcode/barcode.h"
#include "render/canvas.h"
#include "render/resident_font.h"

namespace tavrin {
namespace {

constexpr int kValues = 10000;

// 12 digits for EAN-13 (zint adds the check digit as we do), 12 mixed characters for
// Code 128 and 10 upper-case characters for Code 39.
std::vector<std::string> dataValues(int type) {
    std::vector<std::string> values;
    values.reserve(kValues);
    char text[32];
    for (int i = 0; i < kValues; ++i) {
        if (type == 8) std::snprintf(text, sizeof text, "%012d", 400000000 + i * 7919);
        else if (type == 3) std::snprintf(text, sizeof text, "AB%06dcd%02d", i * 13, i % 100);
        else std::snprintf(text, sizeof text, "LOT-%06d", i * 17);
        values.emplace_back(text);
    }
    return values;
}

int zintSymbology(int type) { return type == 8 ? BARCODE_EANX : type == 3 ? BARCODE_CODE128 : BARCODE_CODE39; }

void ours(benchmark::State& state) {
    const int type = static_cast<int>(state.range(0));
    const auto values = dataValues(type);
    for (auto _ : state) {
        for (const auto& v : values) {
            auto result = barcode::encodeBarcode({type, v, 2, 5});
            benchmark::DoNotOptimize(result.barLength);
        }
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

void zint(benchmark::State& state) {
    const int type = static_cast<int>(state.range(0));
    const auto values = dataValues(type);
    zint_symbol* symbol = ZBarcode_Create();
    for (auto _ : state) {
        for (const auto& v : values) {
            ZBarcode_Clear(symbol);
            symbol->symbology = zintSymbology(type);
            const int error = ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(v.data()),
                                              static_cast<int>(v.size()));
            benchmark::DoNotOptimize(error);
            benchmark::DoNotOptimize(symbol->width);
        }
    }
    ZBarcode_Delete(symbol);
    state.SetItemsProcessed(state.iterations() * kValues);
}

// 8 EAN-13, 3 Code 128, 0 Code 39.
BENCHMARK(ours)->Arg(8)->Arg(3)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(zint)->Arg(8)->Arg(3)->Arg(0)->Unit(benchmark::kMillisecond);

// A 608 x 1640 label of 50 barcodes of every symbology, four rotations, human-readable
// lines on: the print image alone, as the printer simulator and render --print make it.
void labelOf50Barcodes(benchmark::State& state) {
    static const char* data[] = {"\"123456789012\"", "\"TAVRIN-42\"", "\"1234AB\"", "\"A1234B\"", "\"12345\""};
    LabelDocument document;
    document.setup.width = 608;
    document.setup.length = 1640;
    for (int i = 0; i < 50; ++i) {
        BarcodeRecord b;
        b.type = i % barcode::kSymbologyCount;
        b.x = 40 + (i % 3) * 180;
        b.y = 40 + (i / 3) * 95;
        b.height = 60;
        b.narrow = 1 + i % 2;
        b.wide = 3;
        b.rotation = (i / 7) % 4;
        b.humanReadable = i % 4;
        b.data = data[i % 5];
        document.figures.appendFigure(b.encode(), FigureKind::Barcode);
    }
    ResidentFonts fonts;
    fonts.load(std::string(TAVRIN_SOURCE_DATA_DIR) + "/ZREDIT.FNT");
    RenderContext context{&document, &fonts, {}};
    for (auto _ : state) {
        Bitmap image = renderPrintImage(document, context);
        benchmark::DoNotOptimize(image.bits().data());
    }
}
BENCHMARK(labelOf50Barcodes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavrin
