// Mouse editing on the largest label of 200 figures: dragging a selection of 20 (each move
// followed by the marks refresh that makes the visible image ready), the end of a drag with
// its full redraw, and the undo snapshot a one-figure change records.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_labels.h"
#include "editing/editor_session.h"
#include "render/resident_font.h"

namespace tavrin {
namespace {

constexpr int kFigures = 200;
constexpr int kSelected = 20;
// The selected rectangle the drags grab, and a point inside it away from its corners.
constexpr DotPoint kGrip{300, 820};

// The benches' 200-figure label with every tenth figure selected, and at the head the
// selected rectangle the drags grab.
void fillDocument(LabelDocument& document) {
    bench::fillDocument(document, kFigures - 1);
    const int every = kFigures / kSelected;
    int n = 0;
    for (Figure& f : document.figures) {
        f.flags = (n % every == 0 && n / every < kSelected - 1) ? kFlagSelected : 0;
        ++n;
    }
    // At the head, so that a click on it finds it before any figure drawn over it.
    document.figures.prependFigure(RectangleRecord{kGrip.x - 20, kGrip.y - 20, 40, 40, 0}.encode(),
                                   FigureKind::Rectangle)
        .flags = kFlagSelected;
}

struct Scene {
    ResidentFonts fonts;
    std::unique_ptr<EditorSession> session;
    bool ready(benchmark::State& state) {
        if (fonts.load(std::string(TAVRIN_SOURCE_DATA_DIR) + "/ZREDIT.FNT") != 0) {
            state.SkipWithError("ZREDIT.FNT not found");
            return false;
        }
        session = std::make_unique<EditorSession>(&fonts);
        LabelDocument label;
        fillDocument(label);
        session->startLabel(std::move(label));
        session->canvasOptions().showGrid = true;
        session->resetHistory();
        session->redraw();
        return true;
    }
    DotPoint grip(int dx = 0) const {
        const LabelSetup& s = session->document().setup;
        return {kGrip.x + s.leftMargin + dx, kGrip.y + s.topMargin};
    }
};

// One mouse move of the drag and the visible image made ready for the view.
void BM_DragMove(benchmark::State& state) {
    Scene scene;
    if (!scene.ready(state)) return;
    MouseEditor& mouse = scene.session->mouse();
    mouse.mouseDown(scene.grip(), MouseButton::Left, false);
    if (!mouse.dragging() || scene.session->document().figures.countSelected() != kSelected) {
        state.SkipWithError("the press did not grab the selection");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        const MouseResult r = mouse.mouseMove(scene.grip(++step % 2));  // back and forth by a dot
        if (r.marksChanged) scene.session->refreshMarks();
        benchmark::DoNotOptimize(scene.session->canvas().visible.pixels().data());
    }
    mouse.mouseUp(scene.grip(step % 2), false);
    state.counters["selected"] = scene.session->document().figures.countSelected();
}
BENCHMARK(BM_DragMove)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The end of a drag: the release and the full redraw (the press and one move come with it).
void BM_DragEnd(benchmark::State& state) {
    Scene scene;
    if (!scene.ready(state)) return;
    MouseEditor& mouse = scene.session->mouse();
    int step = 0;
    for (auto _ : state) {
        const int from = step % 2, to = ++step % 2;
        mouse.mouseDown(scene.grip(from), MouseButton::Left, false);
        mouse.mouseMove(scene.grip(to));
        const MouseResult r = mouse.mouseUp(scene.grip(to), false);
        if (r.redraw) scene.session->redraw();
        benchmark::DoNotOptimize(scene.session->canvas().visible.pixels().data());
    }
}
BENCHMARK(BM_DragEnd)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The undo step of a one-figure change: compare with the last state and keep a snapshot,
// with the history full so that the oldest step is dropped each time too.
void BM_UndoSnapshot(benchmark::State& state) {
    Scene scene;
    if (!scene.ready(state)) return;
    EditorSession& session = *scene.session;
    // One figure selected and moved a dot at a time, as the arrow keys move it.
    session.select([](FigureList& figures) {
        figures.unselectAll();
        figures.back().flags |= kFlagSelected;
    });
    int step = 0;
    for (std::size_t i = 0; i <= EditorSession::kHistoryLimit; ++i) {
        session.mouse().nudgeSelection(++step % 2 ? 1 : -1, 0);
        session.commit();
    }
    for (auto _ : state) {
        session.mouse().nudgeSelection(++step % 2 ? 1 : -1, 0);
        session.commit();
    }
    state.counters["steps"] = static_cast<double>(session.undoSteps());
}
BENCHMARK(BM_UndoSnapshot)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tavrin
