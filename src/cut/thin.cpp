// Material narrower than the kerf.
#include "cut/detail.h"

namespace cut::detail {

namespace {
// A leftover of the kerf test smaller than this share of kerf² is a corner, not a web.
constexpr double kThinAreaShare = 0.3;
// Slivers of the kerf test thinner than this on average (mm) are rounding, not material.
constexpr double kDustWidth = 0.0005;
// How far (mm) beyond an opening its neighbourhood reaches in the test, besides the kerf.
constexpr double kThinWindow = 1;

// Material narrower than the kerf in `material`: what an opening (shrink, then grow back)
// removes, and every place where shrinking by half the kerf splits a piece of material in two.
// Only what lies in `accept` is reported.
void thinIn(Build& job, const cl::Paths& material, const Bounds& accept) {
    const Options& o = job.o;
    Drawing& d = job.d;
    const std::vector<LetterRegion>& letters = job.letters;

    auto report = [&](Pt place, std::vector<std::vector<Pt>> area) {
        if (!accept.holds(toInt(place))) return;
        for (const Problem& q : d.problems)
            if (q.kind == ProblemKind::ThinMaterial && std::hypot(q.place.x - place.x, q.place.y - place.y) < 4 * o.kerf) return;
        Problem p{ProblemKind::ThinMaterial, letterNear(letters, toInt(place)), place, std::move(area)};
        d.problems.push_back(std::move(p));
    };
    const cl::Paths shrunk = offset(material, -o.kerf / 2, cl::jtMiter);
    const cl::Paths opened = offset(shrunk, o.kerf / 2, cl::jtMiter);
    // what the opening removes: webs and bridges narrower than the kerf (sharp corners come
    // back whole with mitred joins, so little else is left)
    std::vector<Region> thin;
    for (Region& r : regions(boolean(cl::ctDifference, material, opened)))
        if (r.outer.size() >= 3 && 2 * area(r) / perimeter(r.outer) > kDustWidth) thin.push_back(std::move(r));
    std::vector<char> told(thin.size(), 0);
    const double least = kThinAreaShare * o.kerf * o.kerf;
    for (std::size_t i = 0; i < thin.size(); ++i)
        if (area(thin[i]) >= least) report(placeOf(thin[i]), toMm(thin[i])), told[i] = 1;

    const std::vector<Region> whole = regions(material), cores = regions(shrunk);
    std::vector<Bounds> wholeBox(whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i) wholeBox[i].add({whole[i].outer});
    std::vector<std::vector<std::size_t>> coresOf(whole.size());
    for (std::size_t c = 0; c < cores.size(); ++c)
        for (std::size_t i = 0; i < whole.size(); ++i)
            if (wholeBox[i].holds(cores[c].outer[0]) && contains(paths(whole[i]), cores[c].outer[0])) {
                coresOf[i].push_back(c);
                break;
            }
    for (std::size_t i = 0; i < whole.size(); ++i) {
        auto& cs = coresOf[i];
        if (cs.empty()) {  // thinner than the kerf all over
            report(placeOf(whole[i]), toMm(whole[i]));
            continue;
        }
        if (cs.size() < 2) continue;
        std::sort(cs.begin(), cs.end(), [&](std::size_t a, std::size_t b) { return area(cores[a]) > area(cores[b]); });
        for (std::size_t k = 1; k < cs.size(); ++k) {
            // a piece that the shrinking cut off hangs on a link that is too thin: the
            // removed sliver nearest to it
            const Region& core = cores[cs[k]];
            Bounds box;
            box.add({core.outer});
            const auto reach = static_cast<cl::cInt>(o.kerf * 2 * kUnitsPerMm);
            box.x0 -= reach, box.y0 -= reach, box.x1 += reach, box.y1 += reach;
            double best = std::numeric_limits<double>::max();
            std::size_t link = thin.size();
            for (std::size_t j = 0; j < thin.size(); ++j) {
                Bounds tb;
                tb.add({thin[j].outer});
                if (tb.x1 < box.x0 || tb.x0 > box.x1 || tb.y1 < box.y0 || tb.y0 > box.y1) continue;
                Pt a, b;
                nearestPoints(core.outer, thin[j].outer, a, b);
                const double dd = std::hypot(a.x - b.x, a.y - b.y);
                if (dd < best) best = dd, link = j;
            }
            if (link == thin.size()) {
                // the link is too small to outline: show the piece that hangs on it
                report(placeOf(core), toMm(core));
            } else if (!told[link]) {
                told[link] = 1;
                const Pt at = placeOf(thin[link]);
                const double r = o.kerf;
                report(at, {{{at.x - r, at.y - r}, {at.x + r, at.y - r}, {at.x + r, at.y + r}, {at.x - r, at.y + r}}});
            }
        }
    }
}


}  // namespace

// The booleans of the test are kept to one piece's neighbourhood at a time: over a whole long
// row of letters every sweep line would cross every letter. Lettering: each part on its own. A
// stencil's sheet is one piece: each opening with the sheet around it, in a window that reaches
// well beyond what is reported from it, so that the window's own edge is never taken for a web.
void reportThinMaterial(Build& job) {
    const double kerf = job.o.kerf;
    if (job.d.kind == Kind::Lettering) {
        Bounds all;
        all.add(job.material);
        for (const Region& r : regions(job.material)) thinIn(job, paths(r), all);
        return;
    }
    const auto reach = [](Bounds b, double mm) {
        const auto m = static_cast<cl::cInt>(mm * kUnitsPerMm);
        b.x0 -= m, b.y0 -= m, b.x1 += m, b.y1 += m;
        return b;
    };
    std::vector<Bounds> boxes(job.pieces.size());
    for (std::size_t i = 0; i < job.pieces.size(); ++i) boxes[i].add({job.pieces[i].outer});
    Bounds sheet;
    sheet.add({job.sheetPath});
    for (std::size_t i = 0; i < job.pieces.size(); ++i) {
        const Bounds accept = reach(boxes[i], 2 * kerf + kThinWindow), window = reach(accept, 3 * kerf + kThinWindow);
        cl::Paths openings;
        for (std::size_t k = 0; k < job.pieces.size(); ++k)
            if (boxes[k].x0 <= window.x1 && window.x0 <= boxes[k].x1 && boxes[k].y0 <= window.y1 && window.y0 <= boxes[k].y1) {
                const cl::Paths p = paths(job.pieces[k]);
                openings.insert(openings.end(), p.begin(), p.end());
            }
        // the window, no larger than the sheet
        const cl::Path frame{{std::max(window.x0, sheet.x0), std::max(window.y0, sheet.y0)},
                             {std::min(window.x1, sheet.x1), std::max(window.y0, sheet.y0)},
                             {std::min(window.x1, sheet.x1), std::min(window.y1, sheet.y1)},
                             {std::max(window.x0, sheet.x0), std::min(window.y1, sheet.y1)}};
        thinIn(job, boolean(cl::ctDifference, {frame}, openings), accept);
    }
}

}  // namespace cut::detail
