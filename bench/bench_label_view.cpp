// Dragging a selection on screen: from the mouse event to the label view's pixels ready, at
// one and at four screen pixels per dot, on the largest label with 200 figures.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <cstdlib>

#include "bench_labels.h"
#include "editor/label_view.h"
#include "render/resident_font.h"

namespace tavrin {
namespace {

QApplication& application() {
    static char name[] = "bench_label_view";
    static char* argv[] = {name, nullptr};
    static int argc = 1;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
    return app;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// state.range(0) is the zoom. Twenty of the 200 figures are selected; the drag goes to and
// fro by 8 dots so the figures stay where they are over the run.
void BM_DragSelection(benchmark::State& state) {
    application();
    ResidentFonts fonts;
    if (fonts.load(std::string(TAVRIN_SOURCE_DATA_DIR) + "/ZREDIT.FNT") != 0) {
        state.SkipWithError("ZREDIT.FNT not found");
        return;
    }
    EditorSession session(&fonts);
    LabelDocument label;
    bench::fillDocument(label, 200);
    int n = 0;
    for (Figure& f : label.figures) f.flags = (n++ % 10 == 0) ? kFlagSelected : 0;
    session.startLabel(std::move(label));
    LabelView view(session);
    view.resize(1000, 800);
    view.setZoom(static_cast<int>(state.range(0)));
    view.show();
    QApplication::processEvents();
    LabelImage* image = view.image();

    // A selected figure's position to grab it by.
    const Figure* grabbed = nullptr;
    for (const Figure& f : session.document().figures)
        if (f.selected() && f.kind == FigureKind::Text) grabbed = &f;
    const TextRecord text = TextRecord::decode(grabbed->record);
    const int zoom = view.zoom();
    const QPoint start((text.x + session.document().setup.leftMargin + 1) * zoom,
                       (text.y + session.document().setup.topMargin + 1) * zoom);
    view.ensureVisible(start.x(), start.y(), 200, 200);
    QApplication::processEvents();
    sendMouse(image, QEvent::MouseButtonPress, start, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        const QPoint at = start + QPoint((step++ % 2 == 0 ? 8 : 0) * zoom, 0);
        sendMouse(image, QEvent::MouseMove, at, Qt::LeftButton);
        // The pixels of the visible part, painted now rather than at the next event loop turn.
        image->repaint(image->visibleRegion());
    }
    sendMouse(image, QEvent::MouseButtonRelease, start, Qt::NoButton);
    state.counters["selected"] = session.document().figures.countSelected();
}
BENCHMARK(BM_DragSelection)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tavrin
