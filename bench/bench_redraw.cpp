// The full redraw of the largest label: every figure into the back image, the visible
// image with grid, margins and selection marks on top.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "render/canvas.h"
#include "render/resident_font.h"
#include "bench_labels.h"

namespace tavrin {
namespace {

// The fonts and a label of state.range(0) figures; false (and the run skipped) without fonts.
struct Scene {
    ResidentFonts fonts;
    LabelDocument document;
    RenderContext context;
    bool ready(benchmark::State& state) {
        if (fonts.load(std::string(TAVRIN_SOURCE_DATA_DIR) + "/ZREDIT.FNT") != 0) {
            state.SkipWithError("ZREDIT.FNT not found");
            return false;
        }
        bench::fillDocument(document, static_cast<int>(state.range(0)));
        context.residentFonts = &fonts;
        context.now = [] { return std::tm{}; };
        return true;
    }
};

void BM_RedrawLabel(benchmark::State& state) {
    Scene scene;
    if (!scene.ready(state)) return;
    CanvasOptions options;
    options.showGrid = true;
    LabelCanvas canvas;
    for (auto _ : state) {
        RedrawLabel(canvas, scene.document, scene.context, options);
        benchmark::DoNotOptimize(canvas.visible.pixels().data());
    }
    state.counters["figures"] = static_cast<double>(canvas.drawnCount);
}
BENCHMARK(BM_RedrawLabel)->Arg(10)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

// The print image alone (what printing and the printer simulator need).
void BM_PrintImage(benchmark::State& state) {
    Scene scene;
    if (!scene.ready(state)) return;
    LabelCanvas canvas;
    for (auto _ : state) {
        drawFigures(canvas, scene.document, scene.context);
        benchmark::DoNotOptimize(canvas.back.bits().data());
    }
}
BENCHMARK(BM_PrintImage)->Arg(200)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tavrin
