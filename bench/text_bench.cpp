// The text stage: up to 255 letters from the typed text to the letter file's content, with
// bridges (125 and 250 letters for the growth, 255 for the most a text may hold).

#include <benchmark/benchmark.h>

#include <QImage>
#include <optional>

#include "toolkit.h"
#include "text/lettering.h"
#include "text_qt/lettering_view.h"

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

// "Next" after typing: the letters of a text the typesetter has seen, to the letter file's
// content (the file's numbers are most of it; the window's preview is BM_TextPreviewKeystroke).
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

// The text window's preview after a keystroke, as the window runs it once typing pauses: the
// text set on a typesetter that has seen its letters (shaping, bridges, islands), the letters
// handed to the view and the view drawn at its size in the window (880 x 360).
void BM_TextPreviewKeystroke(benchmark::State& state) {
    benchApplication();
    text::Typesetter setter(text::resolveFont("DejaVu Sans:Bold"));
    const std::string t = longText(static_cast<std::size_t>(state.range(0)));
    std::optional<text::Lettering> shown = setter.set(t, text::BridgeChoice{});
    text_qt::LetteringView view;
    view.resize(880, 360);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        shown = setter.set(t, text::BridgeChoice{});
        view.show(&*shown);
        view.render(&image);
    }
    benchmark::DoNotOptimize(image.constBits());
}
BENCHMARK(BM_TextPreviewKeystroke)->Arg(125)->Arg(250)->Arg(255)->Unit(benchmark::kMillisecond);

// The drawing alone, to tell its share from the typesetting's.
void BM_TextPreviewDrawing(benchmark::State& state) {
    benchApplication();
    text::Typesetter setter(text::resolveFont("DejaVu Sans:Bold"));
    const text::Lettering l = setter.set(longText(static_cast<std::size_t>(state.range(0))), text::BridgeChoice{});
    text_qt::LetteringView view;
    view.resize(880, 360);
    view.show(&l);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) view.render(&image);
    benchmark::DoNotOptimize(image.constBits());
}
BENCHMARK(BM_TextPreviewDrawing)->Arg(125)->Arg(250)->Arg(255)->Unit(benchmark::kMillisecond);

}  // namespace
