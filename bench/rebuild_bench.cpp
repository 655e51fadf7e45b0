// The rebuild behind every slider move: read the letters, scale them to h, bend them into the
// shape and draw the preview.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/contours.h"
#include "engine/shape.h"
#include "preview/paint.h"
#include "shaped_letters.h"
#include "preview/scale.h"

namespace {

const std::filesystem::path kSample = std::filesystem::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat";
const std::filesystem::path kHalf = std::filesystem::path(LK_TEST_DATA) / "half.dat";  // 125 letters
const std::filesystem::path kLong = std::filesystem::path(LK_TEST_DATA) / "long.dat";  // 250 letters

// Letters (250 unless told) of polygons with straight edges only (a ring of 150 edges, 2 contours each), so
// that the subdivision of the arched shapes brings the point list close to its capacity.
std::filesystem::path denseLetters(int letters = 250) {
    const auto file = std::filesystem::path(LK_TEST_DATA) / ("dense" + std::to_string(letters) + ".dat");
    if (std::filesystem::exists(file)) return file;
    std::string s;
    auto line = [&s](const std::string& l) { s += l + "\r\n"; };
    line("dense");
    line(" 0");
    line(" " + std::to_string(letters));
    line(" 0");
    line(" 0");
    constexpr int kEdges = 150;
    for (int letter = 0; letter < letters; ++letter) {
        line("O");
        line(" 60");
        for (int i = 0; i < 4; ++i) line(" 0");
        line(std::to_string(2 * (2 * kEdges + 2)));
        for (double r : {30.0, 20.0}) {
            auto pt = [&](int k, const char* code) {
                const double a = 6.283185307179586 * k / kEdges;
                line(std::to_string(30 + r * std::cos(a)));
                line(std::to_string(40 + r * std::sin(a)));
                line(code);
            };
            for (int k = 0; k < kEdges; ++k) {
                pt(k, "1");
                pt(k + 1, "0");
            }
            pt(0, "6");
            pt(0, "0");
        }
        line(" 0");
    }
    std::ofstream(file, std::ios::binary) << s;
    return file;
}

void rebuild(benchmark::State& state, const std::filesystem::path& file, int shape) {
    engine::Model model;
    preview::DisplayList picture;
    bool fitted = false;
    for (auto _ : state) {
        engine::readGroundContours(model, file, true);
        model.smallHeight = 101.6;
        preview::scaleToHeight(model);
        model.shapeNumber = static_cast<std::int16_t>(shape);
        model.bigHeight = shape == 0 ? 101.6 : 152.4;
        engine::buildShape(model, true);
        if (!fitted) {  // the view stays where the user left it while the slider moves
            model.view = engine::viewAround(engine::contourExtents(model));
            fitted = true;
        }
        preview::paint(model, preview::PaintOptions{}, picture);
        benchmark::DoNotOptimize(picture.strokes.data());
    }
    state.counters["points"] = static_cast<double>(model.elements.size());
    state.counters["letters"] = model.letterCount;
}

// the first steps of every rebuild: the letters read (their file's bytes kept since the last
// move) and scaled to h; the part the parse floor below stands under
void load(benchmark::State& state, const std::filesystem::path& file) {
    engine::Model model;
    for (auto _ : state) {
        engine::readGroundContours(model, file, true);
        model.smallHeight = 101.6;
        preview::scaleToHeight(model);
        benchmark::DoNotOptimize(model.elements.raw().data());
    }
    state.counters["points"] = static_cast<double>(model.elements.size());
}

// the drawing alone, as every zoom step and redraw runs it
void paint(benchmark::State& state, const std::filesystem::path& file, int shape) {
    engine::Model model = shapedLetters(file, shape);
    model.view = engine::viewAround(engine::contourExtents(model));
    preview::DisplayList picture;
    for (auto _ : state) {
        preview::paint(model, preview::PaintOptions{}, picture);
        benchmark::DoNotOptimize(picture.strokes.data());
    }
    state.counters["strokes"] = static_cast<double>(picture.strokes.size());
    state.counters["letters"] = model.letterCount;
}

// The floor under the rebuild: the same letter file's numbers parsed by std::from_chars alone,
// one multiply-add each, from the bytes in memory (as the loader keeps them between moves).
void parseFloor(benchmark::State& state, const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    double sum = 0;
    long numbers = 0;
    for (auto _ : state) {
        sum = 0;
        numbers = 0;
        const char* p = bytes.data();
        const char* const end = p + bytes.size();
        while (p < end) {
            const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            if (!eol) eol = end;
            const char* q = p;
            while (q < eol && *q == ' ') ++q;
            double v = 0;
            if (std::from_chars(q, eol, v).ec == std::errc()) {
                sum = sum * 0.5 + v;
                ++numbers;
            }
            p = eol + 1;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["numbers"] = static_cast<double>(numbers);
}

}  // namespace

BENCHMARK_CAPTURE(parseFloor, letters125, kHalf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFloor, letters250, kLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, letters125, kHalf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, letters250, kLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paint, sample_shape4, kSample, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paint, letters125_shape4, kHalf, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paint, letters250_shape4, kLong, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, sample_shape0, kSample, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, sample_shape4, kSample, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, sample_shape17, kSample, 17)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, letters125_shape4, kHalf, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, letters250_shape4, kLong, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, letters125_shape17, kHalf, 17)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, letters250_shape17, kLong, 17)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, dense125_shape4, denseLetters(125), 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, dense250_shape4, denseLetters(), 4)->Unit(benchmark::kMillisecond);
