// Drawings of one hand-over made one after another: what a change of the settings leaves as it
// was is kept and used again.
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "cut/detail.h"

namespace cut {

using namespace detail;

namespace {

// Stages kept: a stencil, and lettering with and without tabs, so that going back and forth
// between them finds each one ready.
constexpr std::size_t kStagesKept = 3;
// Widths of the thin check kept per stage (a kerf stepped through its range brings many).
constexpr std::size_t kWidthsKept = 16;

// What a stage depends on: the kind, tabs for lettering, the border for a stencil.
struct StageKey {
    Kind kind;
    bool tabs;
    double border;
    bool operator==(const StageKey&) const = default;
};

StageKey keyOf(const Options& o) {
    return o.kind == Kind::Stencil ? StageKey{o.kind, false, o.border} : StageKey{o.kind, o.tabs, -1};
}

}  // namespace

struct DrawingMaker::Kept {
    struct Entry {
        StageKey key;
        std::once_flag prepared;
        Stage stage;
        Drawing made;  // the drawing as far as the stage goes: problems, tabs, sheet, letters' area
        std::mutex thinBusy;
        std::map<double, std::vector<Problem>> thin;  // the thin material found, by its width
    };
    std::mutex busy;
    std::vector<std::shared_ptr<Entry>> entries;  // the one used last first
};

DrawingMaker::DrawingMaker(std::shared_ptr<const Handover> h) : h_(std::move(h)), kept_(std::make_unique<Kept>()) {}
DrawingMaker::~DrawingMaker() = default;

namespace {

// The kept stage for these settings, made first if it is not: a thread asking for a stage
// another thread is making waits for that one.
std::shared_ptr<DrawingMaker::Kept::Entry> stageFor(DrawingMaker::Kept& kept, const Handover& h, const Options& o) {
    checkWidths(o);
    std::shared_ptr<DrawingMaker::Kept::Entry> e;
    {
        const std::lock_guard<std::mutex> lock(kept.busy);
        auto& entries = kept.entries;
        const StageKey key = keyOf(o);
        auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& k) { return k->key == key; });
        if (it == entries.end()) {
            entries.insert(entries.begin(), std::make_shared<DrawingMaker::Kept::Entry>());
            entries.front()->key = key;
            if (entries.size() > kStagesKept) entries.pop_back();
        } else {
            std::rotate(entries.begin(), it, it + 1);
        }
        e = entries.front();
    }
    std::call_once(e->prepared, [&] {
        Build job(h, o, e->made, e->stage);
        prepareStage(job);
    });
    return e;
}

// The thin material of the stage at the settings' width, found once per width.
std::vector<Problem> thinOf(DrawingMaker::Kept::Entry& e, const Handover& h, const Options& o) {
    const double width = thinWidth(o);
    const std::lock_guard<std::mutex> lock(e.thinBusy);
    if (auto found = e.thin.find(width); found != e.thin.end()) return found->second;
    Drawing scratch;
    scratch.kind = e.made.kind;
    Build job(h, o, scratch, e.stage);
    reportThinMaterial(job);
    if (e.thin.size() >= kWidthsKept) e.thin.clear();
    return e.thin.emplace(width, std::move(scratch.problems)).first->second;
}

// The thin material already found for the stage at the settings' width, if it was.
std::optional<std::vector<Problem>> thinKnown(DrawingMaker::Kept::Entry& e, const Options& o) {
    const std::lock_guard<std::mutex> lock(e.thinBusy);
    if (auto found = e.thin.find(thinWidth(o)); found != e.thin.end()) return found->second;
    return std::nullopt;
}

// The drawing of the stage with the kerf, and the thin material found when it is given.
Drawing finished(DrawingMaker::Kept::Entry& e, const Handover& h, const Options& o, const std::vector<Problem>* thin) {
    Drawing d = e.made;
    d.options = o;
    if (thin) d.problems.insert(d.problems.end(), thin->begin(), thin->end());
    d.thinPending = !thin;
    Build job(h, o, d, e.stage);
    finishDrawing(job);
    return d;
}

}  // namespace

Drawing DrawingMaker::make(const Options& o) {
    const auto e = stageFor(*kept_, *h_, o);
    const std::vector<Problem> thin = thinOf(*e, *h_, o);
    return finished(*e, *h_, o, &thin);
}

Drawing DrawingMaker::makeFirstLook(const Options& o) {
    const auto e = stageFor(*kept_, *h_, o);
    const auto thin = thinKnown(*e, o);
    return finished(*e, *h_, o, thin ? &*thin : nullptr);
}

void DrawingMaker::prepare(const Options& o) { thinOf(*stageFor(*kept_, *h_, o), *h_, o); }

}  // namespace cut
