// A rebuild right after the toolkit has drawn: its raster drawing runs wide vector code, and on
// some processors the plain double arithmetic after it runs slowly until the upper halves of
// the vector registers are cleared again. "clean" clears them as every program of the suite
// does after each event; "as_left" leaves them as the drawing left them. Only the rebuild is
// timed.
#include <benchmark/benchmark.h>

#include <QImage>

#include <chrono>
#include <filesystem>

#include "suite_qt/guard.h"
#include "toolkit.h"
#include "preview_qt/render.h"
#include "engine/contours.h"
#include "engine/shape.h"
#include "preview/paint.h"
#include "preview/scale.h"

namespace {

void rebuildAfterDrawing(benchmark::State& state, bool clean) {
    benchApplication();
    const auto file = std::filesystem::path(LK_TEST_DATA) / "long.dat";
    engine::Model model;
    preview::DisplayList picture;
    const auto rebuild = [&] {
        engine::readGroundContours(model, file, true);
        model.smallHeight = 101.6;
        preview::scaleToHeight(model);
        model.shapeNumber = 4;
        model.bigHeight = 152.4;
        engine::buildShape(model, true);
        preview::paint(model, preview::PaintOptions{}, picture);
    };
    rebuild();
    model.view = engine::viewAround(engine::contourExtents(model));
    rebuild();
    for (auto _ : state) {
        const QImage drawn = preview_qt::pictureImage(picture);
        benchmark::DoNotOptimize(drawn.constBits());
        if (clean) suite_qt::cleanVectorState();
        const auto start = std::chrono::steady_clock::now();
        rebuild();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["points"] = static_cast<double>(model.elements.size());
}

}  // namespace

BENCHMARK_CAPTURE(rebuildAfterDrawing, letters250_as_left, false)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuildAfterDrawing, letters250_clean, true)->UseManualTime()->Unit(benchmark::kMillisecond);
