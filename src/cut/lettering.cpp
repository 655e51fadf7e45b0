// Lettering: the letters and the bar as parts; pieces the bar does not reach are loose, or
// joined to their letters by tabs.
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

// Each piece that does not hold: a tab to its letter's body (or the nearest held piece) when
// tabs are asked for, else a loose piece in the problems. Returns the tabs.
cl::Paths tabsOrProblems(Build& job, const Holding& hold) {
    const Handover& h = job.h;
    Drawing& d = job.d;
    const std::vector<LetterRegion>& letters = job.letters;
    const std::vector<Region>& pieces = job.pieces;
    const std::vector<char>& held = hold.held;
    const std::vector<int>& pieceLetter = hold.pieceLetter;
    const std::vector<Pt>& place = hold.place;
    const std::vector<std::size_t>& mainOf = hold.mainOf;
    cl::Paths tabs;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (held[i]) continue;
        const int letter = pieceLetter[i] ? pieceLetter[i] : letterNear(letters, toInt(place[i]));
        std::size_t target = letter ? mainOf[static_cast<std::size_t>(letter)] : pieces.size();
        if (target == i || (target < pieces.size() && !held[target])) {
            // the letter's own body is not held either: join to the nearest held piece
            target = pieces.size();
            double best = std::numeric_limits<double>::max();
            for (std::size_t k = 0; k < pieces.size(); ++k) {
                if (!held[k]) continue;
                const double dx = place[k].x - place[i].x, dy = place[k].y - place[i].y;
                if (dx * dx + dy * dy < best) best = dx * dx + dy * dy, target = k;
            }
        }
        if (job.o.tabs && target < pieces.size()) {
            Pt a, b;
            nearestPoints(pieces[i].outer, pieces[target].outer, a, b);
            const double width = std::max(h.aperture, kMinTabWidth);
            centreTab(pieces[i].outer, pieces[target].outer, width, a, b);
            tabs.push_back(strip(a, b, width, width * kTabOverlap));
            orientPositive(tabs.back());
            d.tabs.push_back({(a.x + b.x) / 2, (a.y + b.y) / 2});
        } else {
            d.problems.push_back({ProblemKind::LoosePiece, letter, place[i], toMm(pieces[i])});
        }
    }
    return tabs;
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
    const cl::Paths tabs = tabsOrProblems(job, holding(job, bar));
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
    if (material.empty())
        for (const Region& r : pieces) {
            cl::Paths p = paths(r);
            material.insert(material.end(), p.begin(), p.end());
        }
}

}  // namespace cut::detail
