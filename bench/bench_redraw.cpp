// The full redraw of the largest label: every figure into the back image, the visible
// image with grid, margins and selection marks on top.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "render/canvas.h"
#include "render/resident_font.h"

namespace tavrin {
namespace {

// A picture of 96 x 64 dots: stripes and plain runs, as a converted logo would have.
std::shared_ptr<PictureBlock> makePicture() {
    auto block = std::make_shared<PictureBlock>();
    block->bytes = {1, 12};
    for (int row = 0; row < 64; ++row) {
        if (row % 4 == 0) {
            block->bytes.insert(block->bytes.end(), {0xCC, 0x00});
        } else {
            for (int b = 0; b < 12; ++b) block->bytes.push_back(static_cast<std::uint8_t>((b * 37 + row * 11) & 0x7F));
        }
    }
    return block;
}

// count figures spread over a 608 x 1640 label: mostly text in all five fonts, turned and
// scaled, with rectangles of every colour, boxes, diagonal lines and pictures between.
void fillDocument(LabelDocument& document, int count) {
    document.setup.width = 608;
    document.setup.length = 1640;
    document.setup.leftMargin = 8;
    document.setup.topMargin = 8;
    const auto picture = makePicture();
    for (int i = 0; i < count; ++i) {
        const int x = (i * 97) % 560, y = (i * 131) % 1600;
        switch (i % 10) {
            case 0: case 1: case 2: case 3: case 4: {
                TextRecord t;
                t.x = x, t.y = y;
                t.font = 1 + i % 5;
                t.rotation = (i / 5) % 4;
                t.hMul = 1 + i % 2;
                t.vMul = 1 + (i / 3) % 2;
                t.style = i % 4;
                t.data = i % 3 == 0 ? "\"Lot \"V0\" 1234\"" : "\"TAVRIN Label 42\"";
                document.figures.appendFigure(t.encode(), FigureKind::Text);
                break;
            }
            case 5:
                document.figures.appendFigure(RectangleRecord{x, y, 120, 40, (i / 10) % 3}.encode(),
                                              FigureKind::Rectangle);
                break;
            case 6:
                document.figures.appendFigure(BoxRecord{x, y, x + 150, y + 90, 3}.encode(), FigureKind::Box);
                break;
            case 7:
                document.figures.appendFigure(LineRecord{x, y, x + 200, y + 60, 4, (i / 10) % 3}.encode(),
                                              FigureKind::DiagonalLine);
                break;
            case 8:
                document.figures.appendFigure(LineRecord{x, y, x + 30, y + 160, 3, 0}.encode(),
                                              FigureKind::DiagonalLine);
                break;
            default: {
                PictureRecord p;
                p.x = x, p.y = y, p.width = 96, p.height = 64, p.name = "LOGO";
                p.dataLength = static_cast<unsigned>(picture->bytes.size());
                Figure& f = document.figures.appendFigure(p.encode(), FigureKind::Picture);
                f.picture = picture;
                break;
            }
        }
    }
    // Some of them selected, as while editing.
    int n = 0;
    for (Figure& f : document.figures)
        if (n++ % 7 == 0) f.flags = kFlagSelected;
}

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
        fillDocument(document, static_cast<int>(state.range(0)));
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
