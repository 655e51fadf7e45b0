// "Start convert": every contour of the letters written as lines and arcs, the quadratic
// curves sampled and fitted by arcs.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "convert/contour_writer.h"
#include "curve_letters.h"
#include "convert/conversion.h"
#include "engine/contours.h"
#include "preview/scale.h"

namespace {

const std::filesystem::path kConvertSample = std::filesystem::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat";
const std::filesystem::path kConvertHalf = std::filesystem::path(LK_TEST_DATA) / "half.dat";  // 125 letters
const std::filesystem::path kConvertLong = std::filesystem::path(LK_TEST_DATA) / "long.dat";  // 250 letters
// letters of 392 curves each, every contour one long run of samples for the arc fitting
const std::filesystem::path kCurves125 = curveDenseLetters(125, 196, "curves125.dat");
const std::filesystem::path kCurves250 = curveDenseLetters(250, 196, "curves250.dat");
const std::filesystem::path kCurves255 = curveDenseLetters();  // the point table full

// The letters as "Start convert" has them before writing: in internal units.
engine::Model scaled(const std::filesystem::path& file, convert::Settings& s) {
    engine::Model m;
    engine::readGroundContours(m, file, true);
    preview::scaleToHeight(m);
    const double d = m.smallHeight;
    preview::scaleModel(m, 200 / d);
    s.outputScale = d / 200;
    return m;
}

void convertContours(benchmark::State& state, const std::filesystem::path& file) {
    convert::Settings s;
    engine::Model m = scaled(file, s);
    const std::int32_t letters = m.letterCount;
    convert::readBack(m, convert::intermediateForm(m));
    convert::ContourStats stats;
    std::size_t bytes = 0;
    for (auto _ : state) {
        stats = convert::ContourStats{};
        wf::LineWriter out;
        std::int32_t object = 0;
        for (std::int32_t first = 0, i = 0; i < static_cast<std::int32_t>(m.elements.size()); ++i) {
            if (m.elements[i].kind != engine::kCodeEnd) continue;
            if (!convert::writeContour(m, first, i - 1, object, s, out, stats)) state.SkipWithError("fit failed");
            first = i + 1;
        }
        bytes = out.content().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["letters"] = letters;
    state.counters["records"] = static_cast<double>(stats.records);
    state.counters["samples"] = static_cast<double>(stats.samples);
    state.counters["maxDev_mm"] = stats.maxDeviation;
    state.counters["bytes"] = static_cast<double>(bytes);
}

}  // namespace

// the whole of workrl.dat: the intermediate form, its read-back and the final records
void conversionFile(benchmark::State& state, const std::filesystem::path& file) {
    convert::Settings s;
    const engine::Model start = scaled(file, s);
    std::size_t bytes = 0;
    for (auto _ : state) {
        engine::Model m = start;
        convert::readBack(m, convert::intermediateForm(m));
        std::int32_t object = 0;
        bytes = convert::contourFile(m, s, object).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

BENCHMARK_CAPTURE(conversionFile, sample, kConvertSample)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(conversionFile, letters125, kConvertHalf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(conversionFile, letters250, kConvertLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(conversionFile, curves125, kCurves125)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(conversionFile, curves250, kCurves250)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(conversionFile, curves255, kCurves255)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(convertContours, sample, kConvertSample)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(convertContours, letters125, kConvertHalf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(convertContours, letters250, kConvertLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(convertContours, curves125, kCurves125)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(convertContours, curves250, kCurves250)->Unit(benchmark::kMillisecond);
