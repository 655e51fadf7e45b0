// The text stage: 255 letters from the typed text to the letter file's content, with bridges.

#include <benchmark/benchmark.h>

#include "text/lettering.h"

namespace {

// 255 letters of mixed text: capitals, small letters, figures and signs, about sixty glyphs.
std::string longText() {
    const std::string words = "The quick brown fox jumps over the lazy dog. STENCIL 0486 &@ BRAQUE 1379! ";
    std::string t;
    while (t.size() < 255) t += words;
    return t.substr(0, 255);
}

// A fresh typesetter each time: the font opened, every glyph read and bridged for the first time.
void BM_Text255LettersFirstTime(benchmark::State& state) {
    const text::FontRef font = text::resolveFont("DejaVu Sans:Bold");
    const std::string t = longText();
    for (auto _ : state) {
        text::Typesetter setter(font);
        benchmark::DoNotOptimize(text::groundFile(setter.set(t, true)));
    }
}
BENCHMARK(BM_Text255LettersFirstTime)->Unit(benchmark::kMillisecond);

// The preview while typing: one more letter on a text the typesetter has seen.
void BM_Text255LettersTyping(benchmark::State& state) {
    text::Typesetter setter(text::resolveFont("DejaVu Sans:Bold"));
    const std::string t = longText();
    setter.set(t, true);
    for (auto _ : state) benchmark::DoNotOptimize(text::groundFile(setter.set(t, true)));
}
BENCHMARK(BM_Text255LettersTyping)->Unit(benchmark::kMillisecond);

// An OpenType font: cubic outlines made quadratic on the way.
void BM_Text255LettersOpenType(benchmark::State& state) {
    const text::FontRef font = text::resolveFont("Nimbus Sans");
    const std::string t = longText();
    for (auto _ : state) {
        text::Typesetter setter(font);
        benchmark::DoNotOptimize(text::groundFile(setter.set(t, true)));
    }
}
BENCHMARK(BM_Text255LettersOpenType)->Unit(benchmark::kMillisecond);

}  // namespace
