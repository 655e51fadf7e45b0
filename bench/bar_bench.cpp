// The connection bar, built after every change while "Contour connection" is ticked: along the
// baseline, and cut into the pieces between the letters.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "connection/bar.h"
#include "shaped_letters.h"
#include "engine/contours.h"
#include "engine/shape.h"
#include "preview/scale.h"

namespace {

const std::filesystem::path kBarSample = std::filesystem::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat";
const std::filesystem::path kBarHalf = std::filesystem::path(LK_TEST_DATA) / "half.dat";  // 125 letters
const std::filesystem::path kBarLong = std::filesystem::path(LK_TEST_DATA) / "long.dat";  // 250 letters

void bar(benchmark::State& state, const std::filesystem::path& file, int shape, int cut) {
    engine::Model model = shapedLetters(file, shape);
    const engine::Model shaped = model;
    connection::BarOutcome out;
    for (auto _ : state) {
        model.shapeLines = shaped.shapeLines;  // the bar lengthens the baseline it runs along
        out = connection::buildBar(model, connection::BarInput{0, 4, cut, true, {}});
        benchmark::DoNotOptimize(model.barLines.size());
    }
    state.counters["letters"] = model.letterCount;
    state.counters["pieces"] = static_cast<double>(model.barLines.size() + model.barArcs.size());
    state.counters["abandoned"] = out.cutAbandoned;
}

}  // namespace

BENCHMARK_CAPTURE(bar, sample_shape0, kBarSample, 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bar, sample_shape0_cut, kBarSample, 0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bar, sample_shape4_cut, kBarSample, 4, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bar, letters125_shape4_cut, kBarHalf, 4, 1)->Unit(benchmark::kMillisecond);
// 250 letters cut would need more than the bar's 641 elements; uncut they fit
BENCHMARK_CAPTURE(bar, letters125_shape4, kBarHalf, 4, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bar, letters250_shape4, kBarLong, 4, 0)->Unit(benchmark::kMillisecond);
