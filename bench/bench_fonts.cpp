// Recomputing the converter's preview: all 224 characters rasterised and laid out, as after
// every change of a setting. The 20 pt case should keep up with a slider (20 ms or less).
#include <benchmark/benchmark.h>

#include "fonts/font_preview.h"

namespace {

constexpr const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

void previewAt(benchmark::State& state, int size) {
    std::string error;
    const auto source = tavrin::GlyphSource::open(kFont, 0, *tavrin::scriptByName("Cyrillic"), error);
    if (!source) {
        state.SkipWithError(error.c_str());
        return;
    }
    tavrin::CharacterTable table;
    table.copyAll();
    tavrin::RasterSettings settings;
    settings.size = size;
    settings.autoTrim = true;
    for (auto _ : state) {
        const tavrin::RasterFont font = tavrin::rasteriseFont(*source, table.cells(), settings);
        const tavrin::FontPreview preview = tavrin::drawFontPreview(font, 1000);
        benchmark::DoNotOptimize(preview.bits.data());
    }
}

void BM_Preview20pt(benchmark::State& state) { previewAt(state, 20); }
void BM_Preview240pt(benchmark::State& state) { previewAt(state, 240); }

BENCHMARK(BM_Preview20pt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Preview240pt)->Unit(benchmark::kMillisecond);

}  // namespace
