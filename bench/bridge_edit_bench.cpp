// The text window while a bridge is dragged: each mouse move places the bridge across the stroke
// under the pointer and checks the islands of its letter (and the letters it overlaps) anew, on a
// line of one letter and on the longest line a text may hold.

#include <benchmark/benchmark.h>

#include "text/bridge_edit.h"

namespace {

// One drag step there and back again, alternating between the bridge's own place and one a
// little along its stroke, so that each step really moves it.
void BM_TextBridgeDragStep(benchmark::State& state) {
    const std::size_t letters = static_cast<std::size_t>(state.range(0));
    std::string t;
    while (t.size() < letters) t += "OBAD 0486 ";
    t.resize(letters);
    text::Typesetter setter(text::resolveFont("DejaVu Sans:Bold"));
    text::Lettering l = setter.set(t, text::BridgeChoice{});
    const text::BridgeRef ref{(letters - 1) / 10 * 10, 0};  // an O
    const text::Letter& o = l.letters[ref.letter];
    const text::Pt m = text::stripMiddle(o.bridges[0], l.stripWidth);
    const text::Pt home{m.x + o.x, m.y};
    text::BridgeEdits edits;
    bool aside = false;
    for (auto _ : state) {
        aside = !aside;
        benchmark::DoNotOptimize(edits.move(l, ref, {home.x + (aside ? 2 : 0), home.y}));
    }
    if (l.looseCount() != 0) state.SkipWithError("the dragged bridge no longer holds");
}
BENCHMARK(BM_TextBridgeDragStep)->Arg(1)->Arg(255)->Unit(benchmark::kMillisecond);

}  // namespace
