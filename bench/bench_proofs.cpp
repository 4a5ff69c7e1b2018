// Proofs of a whole data run in one process: 1,000 rows of a label with a text and a
// Code 128 fed by variables, as one PDF and as 1,000 PNG images. The whole command, its
// start-up included, is timed against another label program by proofs_vs_glabels.sh.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "document/figure_records.h"
#include "proof/proof_output.h"
#include "render/resident_font.h"

namespace tavrin {
namespace {

constexpr int kRows = 1000;

struct RunFixture {
    RunFixture() {
        fonts.load(std::filesystem::path(TAVRIN_SOURCE_DATA_DIR) / "ZREDIT.FNT");
        document.setup.width = 320, document.setup.length = 200;
        for (int slot = 0; slot < 2; ++slot) {
            Variable& v = document.variables[static_cast<std::size_t>(slot)];
            v.defined = 1, v.length = 16, v.justification = kJustifyLeft, v.padChar = ' ';
            v.setPrompt(slot == 0 ? "Name" : "Code");
        }
        document.figures.appendFigure(TextRecord{.x = 16, .y = 12, .font = 3, .data = "V00"}.encode(), FigureKind::Text);
        document.figures.appendFigure(BarcodeRecord{.type = 3, .x = 16, .y = 60, .height = 100, .narrow = 2, .wide = 4,
                                                    .data = "V01"}.encode(),
                                      FigureKind::Barcode);
        context.document = &document, context.residentFonts = &fonts;
        folder = std::filesystem::temp_directory_path() / "tavrin-bench-proofs";
        std::filesystem::create_directories(folder);
        {
            std::ofstream rows(folder / "rows.csv");
            rows << "Name,Code\n";
            for (int i = 1; i <= kRows; ++i) rows << "Item " << i << ",TL-" << 100000 + i << "\n";
        }
        source = std::make_unique<DataFileRows>(folder / "rows.csv", Translation().ansiCodePage());
        check = checkRows(*source, document, Translation());
    }
    ~RunFixture() { std::filesystem::remove_all(folder); }

    ResidentFonts fonts;
    LabelDocument document;
    RenderContext context;
    std::filesystem::path folder;
    std::unique_ptr<DataFileRows> source;
    DataCheck check;
};

void run(benchmark::State& state, const std::function<std::unique_ptr<ProofOutput>(const RunFixture&)>& open) {
    const RunFixture fixture;
    for (auto _ : state) {
        DataRunRows rows(fixture.document, *fixture.source, fixture.check, RowSelection::all(), Translation());
        const auto output = open(fixture);
        const ProofResult result = writeProof(fixture.document, fixture.context, rows, *output);
        if (!result.ok() || result.labels != kRows) {
            const std::string problem = result.error + " after " + std::to_string(result.labels) + " labels";
            state.SkipWithError(problem.c_str());
        }
    }
    state.counters["labels_per_s"] = benchmark::Counter(static_cast<double>(kRows) * static_cast<double>(state.iterations()),
                                                        benchmark::Counter::kIsRate);
}

void thousandRowPdf(benchmark::State& state) {
    run(state, [](const RunFixture& f) {
        std::string problem;
        return openPdfProof(f.folder / "proof.pdf", {ProofPaper::LabelSize, "bench.qlb"}, problem);
    });
}
BENCHMARK(thousandRowPdf)->Unit(benchmark::kMillisecond);

void thousandRowSheets(benchmark::State& state) {
    run(state, [](const RunFixture& f) {
        std::string problem;
        return openPdfProof(f.folder / "sheets.pdf", {ProofPaper::A4, "bench.qlb"}, problem);
    });
}
BENCHMARK(thousandRowSheets)->Unit(benchmark::kMillisecond);

void thousandPngs(benchmark::State& state) {
    run(state, [](const RunFixture& f) {
        return openImageSeries((f.folder / "label-%04d.png").string(), ProofImageKind::Print, {});
    });
}
BENCHMARK(thousandPngs)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavrin
