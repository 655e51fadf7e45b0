// The text stage: up to 255 letters from the typed text to the letter file's content, with
// bridges (125 and 250 letters for the growth, 255 for the most a text may hold).

#include <benchmark/benchmark.h>

#include "text/lettering.h"

namespace {

// n letters of mixed text: capitals, small letters, figures and signs, about sixty glyphs.
std::string longText(std::size_t n) {
    const std::string words = "The quick brown fox jumps over the lazy dog. STENCIL 0486 &@ BRAQUE 1379! ";
    std::string t;
    while (t.size() < n) t += words;
    return t.substr(0, n);
}

// A fresh typesetter each time: the font opened, every glyph read and bridged for the first time.
void BM_TextLettersFirstTime(benchmark::State& state) {
    const text::FontRef font = text::resolveFont("DejaVu Sans:Bold");
    const std::string t = longText(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        text::Typesetter setter(font);
        benchmark::DoNotOptimize(text::groundFile(setter.set(t, true)));
    }
}
BENCHMARK(BM_TextLettersFirstTime)->Arg(125)->Arg(250)->Arg(255)->Unit(benchmark::kMillisecond);

// The preview while typing: one more letter on a text the typesetter has seen.
void BM_TextLettersTyping(benchmark::State& state) {
    text::Typesetter setter(text::resolveFont("DejaVu Sans:Bold"));
    const std::string t = longText(static_cast<std::size_t>(state.range(0)));
    setter.set(t, true);
    for (auto _ : state) benchmark::DoNotOptimize(text::groundFile(setter.set(t, true)));
}
BENCHMARK(BM_TextLettersTyping)->Arg(125)->Arg(250)->Arg(255)->Unit(benchmark::kMillisecond);

// An OpenType font: cubic outlines made quadratic on the way.
void BM_TextLettersOpenType(benchmark::State& state) {
    const text::FontRef font = text::resolveFont("Nimbus Sans");
    const std::string t = longText(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        text::Typesetter setter(font);
        benchmark::DoNotOptimize(text::groundFile(setter.set(t, true)));
    }
}
BENCHMARK(BM_TextLettersOpenType)->Arg(125)->Arg(250)->Arg(255)->Unit(benchmark::kMillisecond);

}  // namespace
