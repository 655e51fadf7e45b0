// Drawings of one hand-over made one after another: what a change of the settings leaves as it
// was is kept and used again.
#include <map>
#include <mutex>

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
        Stage stage;
        Drawing made;  // the drawing as far as the stage goes: problems, tabs, sheet, letters' area
        std::map<double, std::vector<Problem>> thin;  // the thin material found, by its width
    };
    std::mutex busy;
    std::vector<std::unique_ptr<Entry>> entries;  // the one used last first
};

DrawingMaker::DrawingMaker(std::shared_ptr<const Handover> h) : h_(std::move(h)), kept_(std::make_unique<Kept>()) {}
DrawingMaker::~DrawingMaker() = default;

Drawing DrawingMaker::make(const Options& o) {
    checkWidths(o);
    const std::lock_guard<std::mutex> lock(kept_->busy);
    auto& entries = kept_->entries;
    const StageKey key = keyOf(o);
    auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e->key == key; });
    if (it == entries.end()) {
        auto e = std::make_unique<Kept::Entry>();
        e->key = key;
        Build job(*h_, o, e->made, e->stage);
        prepareStage(job);
        entries.insert(entries.begin(), std::move(e));
        if (entries.size() > kStagesKept) entries.pop_back();
    } else {
        std::rotate(entries.begin(), it, it + 1);
    }
    Kept::Entry& e = *entries.front();
    Drawing d = e.made;
    d.options = o;
    Build job(*h_, o, d, e.stage);
    const double width = thinWidth(o);
    if (auto found = e.thin.find(width); found != e.thin.end()) {
        d.problems.insert(d.problems.end(), found->second.begin(), found->second.end());
    } else {
        const std::size_t before = d.problems.size();
        reportThinMaterial(job);
        if (e.thin.size() >= kWidthsKept) e.thin.clear();
        e.thin.emplace(width, std::vector<Problem>(d.problems.begin() + static_cast<std::ptrdiff_t>(before), d.problems.end()));
    }
    finishDrawing(job);
    return d;
}

}  // namespace cut
