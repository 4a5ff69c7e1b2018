// One conversion as the converter window runs it on every slider movement: the colour
// preview of a photo just under the size converted live (577 x 433 = 249,841 dots), then its
// black and white dots by error diffusion.
#include <benchmark/benchmark.h>

#include "graphics/bw_converter.h"

namespace tavrin {
namespace {

// A smooth colour photo stand-in, twice the target size so the preview really scales.
SourcePicture makePhoto(int width, int height) {
    SourcePicture p;
    p.resize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.row(y)[x] = rgb(static_cast<unsigned>(x * 255 / width), static_cast<unsigned>(y * 255 / height),
                              static_cast<unsigned>((x + y) * 7 & 0xFF));
    return p;
}

void BM_RenderPreviewAndConvert(benchmark::State& state) {
    const SourcePicture photo = makePhoto(1154, 866);
    const SourcePicture rotated = MakeRotatedSource(photo);
    ConvertSettings s;
    s.width = 577;
    s.height = 433;
    s.red = 20;  // weights off 16, so the weighting pass runs
    s.brightness = 10;
    for (auto _ : state) {
        const SourcePicture preview = RenderPreview(photo, rotated, s);
        Bitmap result = ConvertToBW(preview, s);
        benchmark::DoNotOptimize(result.bits().data());
    }
}
BENCHMARK(BM_RenderPreviewAndConvert)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tavrin

namespace tavrin {
namespace {

// The two halves apart, to see where the time goes.
void BM_RenderPreviewOnly(benchmark::State& state) {
    const SourcePicture photo = makePhoto(1154, 866);
    const SourcePicture rotated = MakeRotatedSource(photo);
    ConvertSettings s;
    s.width = 577;
    s.height = 433;
    s.red = 20;
    for (auto _ : state) {
        SourcePicture preview = RenderPreview(photo, rotated, s);
        benchmark::DoNotOptimize(preview.pixels.data());
    }
}
BENCHMARK(BM_RenderPreviewOnly)->Unit(benchmark::kMillisecond);

void BM_ConvertOnly(benchmark::State& state) {
    const SourcePicture photo = makePhoto(577, 433);
    ConvertSettings s;
    s.width = 577;
    s.height = 433;
    for (auto _ : state) {
        Bitmap result = ConvertToBW(photo, s);
        benchmark::DoNotOptimize(result.bits().data());
    }
}
BENCHMARK(BM_ConvertOnly)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavrin
