// Lettering: the letters and the bar as parts; pieces the bar does not reach are loose, or
// joined to their letters by tabs.
#include <optional>

#include "cut/detail.h"

namespace cut::detail {

namespace {

// Tabs reach this share of their width into the pieces they join.
constexpr double kTabOverlap = 0.5;
// A tab is never narrower than this (mm), whatever the aperture width.
constexpr double kMinTabWidth = 0.5;

// Which pieces of lettering hold together: with one object, those the bar reaches (without a
// bar, each letter's largest piece); otherwise each letter's largest piece and the bar's.
struct Holding {
    std::vector<char> held;
    std::vector<int> pieceLetter;
    std::vector<Pt> place;
    std::vector<std::size_t> mainOf;  // a letter's largest piece
};

Holding holding(const Build& job, const cl::Paths& bar) {
    const Handover& h = job.h;
    const std::vector<LetterRegion>& letters = job.letters;
    const std::vector<Region>& pieces = job.pieces;
    Holding r;
    std::vector<char>& held = r.held;
    std::vector<int>& pieceLetter = r.pieceLetter;
    std::vector<Pt>& place = r.place;
    std::vector<std::size_t>& mainOf = r.mainOf;
    held.assign(pieces.size(), 0);
    pieceLetter.assign(pieces.size(), 0);
    place.resize(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        place[i] = placeOf(pieces[i]);
        pieceLetter[i] = letterAt(letters, toInt(place[i]));
    }
    mainOf.assign(letters.size() + 1, pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const int l = pieceLetter[i];
        if (l && (mainOf[l] == pieces.size() || area(pieces[i]) > area(pieces[mainOf[l]]))) mainOf[l] = i;
    }
    const bool byBar = h.oneObject && !bar.empty();
    if (byBar) {
        for (const cl::Path& b : bar)
            for (std::size_t i = 0; i < pieces.size(); ++i)
                if (contains(paths(pieces[i]), b[0])) held[i] = 1;
    } else {
        for (std::size_t l = 1; l < mainOf.size(); ++l)
            if (mainOf[l] < pieces.size()) held[mainOf[l]] = 1;
        for (std::size_t i = 0; i < pieces.size(); ++i)
            if (!pieceLetter[i]) held[i] = 1;  // a piece of the bar
    }
    return r;
}

// Both ends of a tab lie wholly in material when this many points across its width do.
constexpr int kTabEndPoints = 5;
// A tab's ends are carried into the pieces it joins by steps of this share of its width, at
// most this many steps (an apex or a serif's tip meets the tab with a corner first).
constexpr double kTabStep = 0.25;
constexpr int kTabSteps = 24;
// Places across the span where a loose piece and its holder face each other that a tab is
// tried at, besides the middle.
constexpr int kTabTries = 8;

// The line across a tab at `at` lies in the region (all but a hair of each side of it).
bool acrossIn(const cl::Paths& p, Pt at, Pt normal, double width) {
    for (int k = 0; k < kTabEndPoints; ++k) {
        const double s = (static_cast<double>(k) / (kTabEndPoints - 1) - 0.5) * width * 0.98;
        if (!contains(p, toInt({at.x + normal.x * s, at.y + normal.y * s}))) return false;
    }
    return true;
}

// How far beyond `end` (along dir) the tab must reach for its end to lie wholly in the
// region: from the least overlap on; < 0 when it never does within its steps.
double reachInto(const cl::Paths& r, Pt end, Pt dir, double width) {
    const Pt normal{-dir.y, dir.x};
    for (int i = 0; i <= kTabSteps; ++i) {
        const double e = width * (kTabOverlap + kTabStep * i);
        if (acrossIn(r, {end.x + dir.x * e, end.y + dir.y * e}, normal, width)) return e;
    }
    return -1;
}

// Where two outlines face each other across the line through `at` along dir: the overlap of
// their extents across it, as offsets from that line (hi < lo: nowhere).
void facing(const cl::Path& one, const cl::Path& other, Pt at, Pt normal, double& lo, double& hi) {
    auto span = [&](const cl::Path& path, double& from, double& to) {
        from = std::numeric_limits<double>::max(), to = -from;
        for (const auto& v : path) {
            const Pt p = toMm(v);
            const double t = (p.x - at.x) * normal.x + (p.y - at.y) * normal.y;
            from = std::min(from, t), to = std::max(to, t);
        }
    };
    double lo2, hi2;
    span(one, lo, hi);
    span(other, lo2, hi2);
    lo = std::max(lo, lo2), hi = std::min(hi, hi2);
}

// A tab from a loose piece to the piece that holds it, across the gap between their nearest
// points. It is tried in the middle of where they face each other (a dot over a stem), on the
// line of the nearest points and half its width to either side, and at places across that span;
// of those whose ends reach into both pieces at the tab's full width the shortest (the first of
// equals) is taken. None when none reaches.
std::optional<cl::Path> tabBetween(const Region& loose, const Region& target, double width, Pt& middle) {
    Pt a, b;
    nearestPoints(loose.outer, target.outer, a, b);
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    if (len == 0) return std::nullopt;
    const Pt dir{(b.x - a.x) / len, (b.y - a.y) / len}, normal{-dir.y, dir.x};
    double lo, hi;
    facing(loose.outer, target.outer, a, normal, lo, hi);
    std::vector<double> offsets;
    if (hi - lo >= width) offsets.push_back((lo + hi) / 2);
    offsets.insert(offsets.end(), {0, -width / 2, width / 2});
    for (int k = 0; hi - lo >= width && k <= kTabTries; ++k) offsets.push_back(lo + width / 2 + (hi - lo - width) * k / kTabTries);
    const cl::Paths from = paths(loose), into = paths(target);
    std::optional<cl::Path> best;
    double shortest = std::numeric_limits<double>::max();
    for (const double s : offsets) {
        const Pt p{a.x + normal.x * s, a.y + normal.y * s}, q{b.x + normal.x * s, b.y + normal.y * s};
        const double back = reachInto(from, p, {-dir.x, -dir.y}, width), on = reachInto(into, q, dir, width);
        if (back < 0 || on < 0 || len + back + on >= shortest) continue;
        shortest = len + back + on;
        best = strip({p.x - dir.x * back, p.y - dir.y * back}, {q.x + dir.x * on, q.y + dir.y * on}, width, 0);
        orientPositive(*best);
        middle = {(p.x + q.x) / 2, (p.y + q.y) / 2};
    }
    return best;
}

// The piece each loose piece is joined to: its letter's body, or when that does not hold
// either, the nearest piece that does; pieces.size() when there is none.
std::size_t targetOf(const Build& job, const Holding& hold, std::size_t i, int letter) {
    const std::vector<Region>& pieces = job.pieces;
    std::size_t target = letter ? hold.mainOf[static_cast<std::size_t>(letter)] : pieces.size();
    if (target != i && target < pieces.size() && hold.held[target]) return target;
    target = pieces.size();
    double best = std::numeric_limits<double>::max();
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        if (!hold.held[k]) continue;
        const double dx = hold.place[k].x - hold.place[i].x, dy = hold.place[k].y - hold.place[i].y;
        if (dx * dx + dy * dy < best) best = dx * dx + dy * dy, target = k;
    }
    return target;
}

// Each piece that does not hold: a tab to the piece that holds it when tabs are asked for,
// else a loose piece in the problems. Returns the tabs.
cl::Paths tabsOrProblems(Build& job, const Holding& hold) {
    Drawing& d = job.d;
    const std::vector<Region>& pieces = job.pieces;
    const double width = std::max(job.h.aperture, kMinTabWidth);
    cl::Paths tabs;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (hold.held[i]) continue;
        const int letter = hold.pieceLetter[i] ? hold.pieceLetter[i] : letterNear(job.letters, toInt(hold.place[i]));
        if (!job.o.tabs) {
            d.problems.push_back({ProblemKind::LoosePiece, letter, hold.place[i], toMm(pieces[i])});
            continue;
        }
        const std::size_t target = targetOf(job, hold, i, letter);
        Pt middle;
        if (target == pieces.size()) continue;
        if (auto tab = tabBetween(pieces[i], pieces[target], width, middle)) {
            tabs.push_back(std::move(*tab));
            d.tabs.push_back(middle);
        }
    }
    return tabs;
}

// After the tabs: every piece that holds none of the pieces that held before is loose.
void reportStillLoose(Build& job, const Holding& hold) {
    for (const Region& r : job.pieces) {
        const cl::Paths p = paths(r);
        bool holds = false;
        for (std::size_t k = 0; k < hold.held.size() && !holds; ++k) holds = hold.held[k] && contains(p, toInt(hold.place[k]));
        if (holds) continue;
        const Pt place = placeOf(r);
        int letter = letterAt(job.letters, toInt(place));
        if (!letter) letter = letterNear(job.letters, toInt(place));
        job.d.problems.push_back({ProblemKind::LoosePiece, letter, place, toMm(r)});
    }
}

}  // namespace

// Lettering: letters and bar are parts; a piece that does not hold is reported, or joined to
// the nearest held piece by a tab when asked.
void buildLettering(Build& job) {
    const Handover& h = job.h;
    Flattener& flat = job.flat;
    const std::vector<LetterRegion>& letters = job.letters;
    const cl::Paths& allLetters = job.allLetters;
    cl::Paths& material = job.material;
    std::vector<Region>& pieces = job.pieces;
    cl::Paths bar;
    for (const Loop& l : h.bar) {
        cl::Path p = flat.loop(l);
        if (p.size() < 3) continue;
        orientPositive(p);
        bar.push_back(std::move(p));
    }
    if (h.oneObject) {
        cl::Paths all = allLetters;
        all.insert(all.end(), bar.begin(), bar.end());
        material = boolean(cl::ctUnion, all, {});
        pieces = regions(material);
    } else {
        for (const LetterRegion& l : letters)
            for (Region& r : regions(l.paths)) pieces.push_back(std::move(r));
        for (Region& r : regions(bar)) pieces.push_back(std::move(r));
    }
    const Holding hold = holding(job, bar);
    const cl::Paths tabs = tabsOrProblems(job, hold);
    if (!tabs.empty()) {
        if (h.oneObject) {
            cl::Paths all = material;
            all.insert(all.end(), tabs.begin(), tabs.end());
            material = boolean(cl::ctUnion, all, {});
            pieces = regions(material);
        } else {
            cl::Paths all;
            for (const Region& r : pieces) {
                cl::Paths p = paths(r);
                all.insert(all.end(), p.begin(), p.end());
            }
            all.insert(all.end(), tabs.begin(), tabs.end());
            pieces = regions(boolean(cl::ctUnion, all, {}));
        }
    }
    if (job.o.tabs) reportStillLoose(job, hold);
    if (material.empty())
        for (const Region& r : pieces) {
            cl::Paths p = paths(r);
            material.insert(material.end(), p.begin(), p.end());
        }
}

}  // namespace cut::detail
